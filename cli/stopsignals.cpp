#include "cli/stopsignals.h"

#include <atomic>
#include <csignal>

namespace cli {

namespace {

std::atomic<bool> stopFlag{false};  // lock-free, set by the signal handler

extern "C" void onStopSignal(int)
{
    stopFlag.store(true);
}

}  // namespace

void installStopHandlers()
{
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    action.sa_flags = SA_RESETHAND;  // the second signal takes the default action
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool stopRequested()
{
    return stopFlag.load();
}

void requestStop()
{
    stopFlag.store(true);
}

}  // namespace cli
