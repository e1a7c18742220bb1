#include "sim/keycommands.h"

#include "sim/instrument.h"

#include <functional>
#include <sstream>
#include <vector>

namespace sim {
namespace {

struct Command {
    const char* words;  // the line as typed, words separated by single spaces
    const char* description;
    std::function<std::string(Instrument&)> run;
};

std::string startTest(Instrument& instrument)
{
    if (instrument.pressStartKey())
        return "test started";
    if (instrument.keysLocked())
        return "start refused: the keys are locked by the PC";
    if (instrument.screen() == Screen::Other)
        return "start refused: a menu is shown (screen dc or screen length first)";
    if (instrument.phase() != Phase::Idle && instrument.phase() != Phase::Complete)
        return "start refused: a test is under way";
    return "start refused: the battery cannot give the chosen current";
}

std::string stopTest(Instrument& instrument)
{
    return instrument.pressStopKey() ? "test stopped" : "stop refused: the keys are locked by the PC";
}

const char* phaseName(Phase phase)
{
    switch (phase) {
    case Phase::Idle: return "waiting";
    case Phase::Charging: return "charging";
    case Phase::Testing: return "testing";
    case Phase::Discharging: return "discharging";
    case Phase::Complete: return "complete";
    }
    return "?";
}

const char* screenName(Screen screen)
{
    switch (screen) {
    case Screen::DcTest: return "dc";
    case Screen::LengthTest: return "length";
    case Screen::Other: return "menu";
    }
    return "?";
}

std::string state(Instrument& instrument)
{
    return std::string("screen ") + screenName(instrument.screen()) + ", " + phaseName(instrument.phase()) +
           (instrument.keysLocked() ? ", keys locked by the PC" : "");
}

std::function<std::string(Instrument&)> setScreen(Screen screen)
{
    return [screen](Instrument& instrument) {
        instrument.setScreen(screen);
        return std::string("screen ") + screenName(screen);
    };
}

std::function<std::string(Instrument&)> setDanger(bool on)
{
    return [on](Instrument& instrument) {
        instrument.setDangerWhileDischarging(on);
        return std::string(on ? "danger shown while a high current discharges" : "danger never shown");
    };
}

std::function<std::string(Instrument&)> setBattery(int cells, const char* reply)
{
    return [cells, reply](Instrument& instrument) {
        instrument.setBatteryCells(cells);
        return std::string(reply);
    };
}

const std::vector<Command>& commands()
{
    static const std::vector<Command> table = {
        {"start", "press the start key: a test on the screen shown", startTest},
        {"stop", "press the stop key: end the running test", stopTest},
        {"screen dc", "show the DC resistance test screen", setScreen(Screen::DcTest)},
        {"screen length", "show the conductor length test screen", setScreen(Screen::LengthTest)},
        {"screen menu", "show a menu (real-time reads are refused)", setScreen(Screen::Other)},
        {"danger on", "show the danger indication while a high current discharges", setDanger(true)},
        {"danger off", "never show the danger indication", setDanger(false)},
        {"battery full", "full battery", setBattery(3, "battery full")},
        {"battery low", "weak battery: ranges above 2 A are refused", setBattery(2, "battery low")},
        {"battery empty", "nearly empty battery: ranges above 400 mA are refused",
         setBattery(1, "battery nearly empty")},
        {"state", "show the screen and the test's phase", state},
    };
    return table;
}

// Words separated by any run of blanks, joined by single spaces.
std::string normalised(const std::string& line)
{
    std::istringstream words(line);
    std::string word, joined;
    while (words >> word)
        joined += (joined.empty() ? "" : " ") + word;
    return joined;
}

}  // namespace

std::string keyCommandHelp()
{
    std::string help;
    for (const Command& command : commands())
        help += std::string("  ") + command.words + std::string(16 - std::string(command.words).size(), ' ') +
                command.description + "\n";
    help += "  help            this list\n";
    return help;
}

std::string runKeyCommand(Instrument& instrument, const std::string& line)
{
    const std::string typed = normalised(line);
    for (const Command& command : commands())
        if (typed == command.words)
            return command.run(instrument);
    if (typed == "help")
        return keyCommandHelp();
    return "unknown command \"" + typed + "\"; type help for the list";
}

}  // namespace sim
