#pragma once
// How a writer tells how far it has come, and learns that it should stop.

#include <functional>

namespace reports {

// Called with the steps done (rows or record pages) and the steps in all;
// false asks the writer to stop: it then leaves the target as it was and fails.
using WriteProgress = std::function<bool(int done, int total)>;

inline bool keepWriting(const WriteProgress& progress, int done, int total)
{
    return !progress || progress(done, total);
}

}  // namespace reports
