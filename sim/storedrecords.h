#pragma once
// The instrument's record memory: plausible finished measurements of both
// test types, made up from a seed so that every run serves the same ones.

#include "link/protocol.h"

#include <cstdint>
#include <vector>

namespace sim {

// `count` stored-record answers numbered 1..count, oldest first; the newest
// was taken at `newestEpochSeconds`.
std::vector<protocol::Bytes> makeStoredRecords(int count, std::uint32_t seed, bool highLimitTable,
                                               std::int64_t newestEpochSeconds);

}  // namespace sim
