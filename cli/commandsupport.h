#pragma once
// What the subcommands share: their arguments, their error lines, the
// instrument's opening and the pauses between requests.

#include "cli/clisession.h"
#include "cli/clitexts.h"
#include "cli/exitcodes.h"
#include "cli/readingformat.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace cli {

// One line on stderr, after the program's name.
void printError(const QString& message);
int usageError(const QString& message);  // prints it; returns Usage

// Parses a subcommand's arguments; false with *status set when the command
// ends here (help asked for, or bad arguments).
bool parseArguments(QCommandLineParser& parser, const QStringList& arguments, int* status,
                    bool positionalAllowed = false);
// An optional whole-number option within [low, high]; false (told) when out of it.
bool intOption(const QCommandLineParser& parser, const QString& name, int low, int high, int* value);
bool readFormat(const QCommandLineParser& parser, Format* format);  // --format text|csv|json

QCommandLineOption deviceOption();
QCommandLineOption formatOption();

// Opens the instrument of --device, or the first one listed; false (told,
// *status set) when there is none.
bool openInstrument(CliSession& session, const QCommandLineParser& parser, int* status);

// Waits until ms have passed since the timer started, or a stop is asked for.
void pauseUntil(const QElapsedTimer& since, qint64 ms);
int lostError(const CliSession& session);
// A poll that ended without a reading: the instrument lost, or showing no test page.
int pollError(const CliSession& session, ExitCode status);
// Polls the live reading every intervalMs while goOn() holds and no stop is
// asked for. Each reading goes to take, which may end the polling with an
// exit status; a failed poll ends it with its own (told on stderr). Nothing
// when the polling ran out.
std::optional<int> pollReadings(CliSession& session, int intervalMs, const std::function<bool()>& goOn,
                                const std::function<std::optional<int>(const ReceiveData&)>& take);
// A closed pipe (a reader that has had enough) ends the output quietly.
int outputError();

int settingsCommand(const QStringList& arguments);
int importCommand(const QStringList& arguments);
int historyCommand(const QStringList& arguments);

}  // namespace cli
