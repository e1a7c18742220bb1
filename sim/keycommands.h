#pragma once
// The simulated instrument's keys and switches as lines of text, typed on the
// simulator program's standard input while it serves: "start", "stop",
// "screen dc", "danger on", "battery low", "state", "help".

#include <string>

namespace sim {

class Instrument;

// Carries out one line and returns the reply to show (never empty).
std::string runKeyCommand(Instrument& instrument, const std::string& line);
// The list of commands, one a line.
std::string keyCommandHelp();

}  // namespace sim
