#pragma once
// SIGINT and SIGTERM ask the running command to stop: the handler only sets a
// flag, which every loop of the command checks between its bounded waits. A
// second signal ends the program at once.

namespace cli {

void installStopHandlers();
bool stopRequested();
void requestStop();  // as a signal would; for tests of the commands

}  // namespace cli
