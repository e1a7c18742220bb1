// The instrument simulator as a program: one simulated instrument served on a
// Unix-domain socket, for running the application without the hardware.

#include "sim/instrument.h"
#include "sim/keycommands.h"
#include "sim/simserver.h"
#include "link/sockettransport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include <sys/stat.h>

namespace {

std::atomic<sim::SimServer*> runningServer{nullptr};  // lock-free, read by the signal handler

extern "C" void onStopSignal(int)
{
    if (sim::SimServer* server = runningServer.load())
        server->stop();
}

void installStopHandlers()
{
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

QString defaultSocketPath(const QString& name)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QLatin1Char('/') +
                           QLatin1String(SocketTransport::kRuntimeFolderName);
    // A folder made here is the user's alone, whatever the umask.
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), S_IRWXU) == 0)
        ::chmod(path.constData(), S_IRWXU);
    return folder + QLatin1Char('/') + name + QStringLiteral(".sock");
}

struct Option {
    const char* name;
    const char* description;
    const char* valueName;  // null: a switch
    const char* defaultValue;
};

// Every option of the program, in the order --help lists them.
const Option kOptions[] = {
    {"socket", "Listen on this socket path instead of the default one.", "path", ""},
    {"name", "Name of the default socket file (<runtime folder>/resistance-tester/<name>.sock).", "name", "sim"},
    {"records", "Number of stored records in the instrument's memory (0-9999).", "n", "0"},
    {"screen", "Screen shown at start: dc, length or none (a menu that refuses real-time reads).", "screen", "dc"},
    {"time-scale", "Factor on every duration of a test cycle (0.1 makes it ten times faster).", "factor", "1"},
    {"battery", "Battery cells: 3 full, 2 refuses ranges above 2 A, 1 above 400 mA.", "cells", "3"},
    {"seed", "Seed of the noise and of the stored records.", "n", "1"},
    {"sample-ohms", "Resistance of the DC test object in ohms (above the range limit: over range).", "ohms",
     "0.012345"},
    {"sample-metres", "Length of the copper conductor on the length screen, in metres.", "metres", "250"},
    {"inductive", "Time constant in seconds of an inductive DC sample, whose reading settles (0: a plain resistor).",
     "seconds", "0"},
    {"danger", "Set the danger bit while a high current is discharged.", nullptr, nullptr},
    {"refuse", "Refuse every acknowledged request.", nullptr, nullptr},
    {"silent", "Take requests but never answer (time-outs).", nullptr, nullptr},
    {"corrupt-record", "Give stored record k a wrong checksum.", "k", "0"},
    {"misnumber-record", "Give stored record k a wrong record number.", "k", "0"},
    {"ack-realtime", "Answer real-time reads with an accepting acknowledge.", nullptr, nullptr},
    {"drop-after", "Close the client's connection after n requests (0: never).", "n", "0"},
    {"delay", "Hold back every answer by this many milliseconds.", "ms", "0"},
    {"verbose", "Log every request and answer to stderr.", nullptr, nullptr},
};

bool readInt(const QCommandLineParser& parser, const char* name, int low, int high, int* value)
{
    bool ok = false;
    const int parsed = parser.value(QLatin1String(name)).toInt(&ok);
    if (!ok || parsed < low || parsed > high) {
        std::fprintf(stderr, "--%s must be a whole number from %d to %d\n", name, low, high);
        return false;
    }
    *value = parsed;
    return true;
}

bool readPositive(const QCommandLineParser& parser, const char* name, double highest, double* value)
{
    bool ok = false;
    const double parsed = parser.value(QLatin1String(name)).toDouble(&ok);
    if (!ok || !(parsed > 0.0) || parsed > highest) {
        std::fprintf(stderr, "--%s must be a number above 0 and at most %g\n", name, highest);
        return false;
    }
    *value = parsed;
    return true;
}

bool readScreen(const QString& text, sim::Screen* screen)
{
    if (text == QLatin1String("dc"))
        *screen = sim::Screen::DcTest;
    else if (text == QLatin1String("length"))
        *screen = sim::Screen::LengthTest;
    else if (text == QLatin1String("none"))
        *screen = sim::Screen::Other;
    else
        return false;
    return true;
}

bool readOptions(const QCommandLineParser& parser, sim::InstrumentOptions* options)
{
    if (!readScreen(parser.value(QStringLiteral("screen")), &options->screen)) {
        std::fprintf(stderr, "--screen must be dc, length or none\n");
        return false;
    }
    if (!readPositive(parser, "time-scale", 1000.0, &options->timeScale))
        return false;
    if (!readPositive(parser, "sample-ohms", 1.0e9, &options->dcSampleOhms) ||
        !readPositive(parser, "sample-metres", 1.0e9, &options->lengthSampleMetres))
        return false;
    bool ok = false;
    const double inductive = parser.value(QStringLiteral("inductive")).toDouble(&ok);
    if (!ok || !(inductive >= 0.0) || inductive > 3600.0) {
        std::fprintf(stderr, "--inductive must be a number from 0 to 3600\n");
        return false;
    }
    options->inductiveSeconds = inductive;
    const unsigned seed = parser.value(QStringLiteral("seed")).toUInt(&ok);
    if (!ok) {
        std::fprintf(stderr, "--seed must be a whole number from 0 to 4294967295\n");
        return false;
    }
    options->seed = seed;
    int delayMs = 0;
    sim::Faults& f = options->faults;
    if (!readInt(parser, "records", 0, protocol::kMaxStoredRecords, &options->storedRecords) ||
        !readInt(parser, "battery", 1, 3, &options->batteryCells) ||
        !readInt(parser, "corrupt-record", 0, protocol::kMaxStoredRecords, &f.corruptRecord) ||
        !readInt(parser, "misnumber-record", 0, protocol::kMaxStoredRecords, &f.misnumberRecord) ||
        !readInt(parser, "drop-after", 0, 1 << 30, &f.dropAfterRequests) ||
        !readInt(parser, "delay", 0, 600000, &delayMs))
        return false;
    f.answerDelayMs = static_cast<std::uint32_t>(delayMs);
    options->dangerWhileDischarging = parser.isSet(QStringLiteral("danger"));
    f.refuseAcknowledges = parser.isSet(QStringLiteral("refuse"));
    f.silent = parser.isSet(QStringLiteral("silent"));
    f.acknowledgeRealTime = parser.isSet(QStringLiteral("ack-realtime"));
    return true;
}

// Lines on standard input press the instrument's keys while the server runs.
void readKeysFromInput(std::shared_ptr<sim::Instrument> instrument)
{
    std::thread([instrument] {
        std::string line;
        while (std::getline(std::cin, line)) {
            if (line.find_first_not_of(" \t\r") == std::string::npos)
                continue;
            std::printf("%s\n", sim::runKeyCommand(*instrument, line).c_str());
            std::fflush(stdout);
        }
    }).detach();
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("resistance-tester-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated resistance tester served on a Unix-domain SOCK_SEQPACKET socket.\n\n"
                       "While it serves, lines typed on standard input press its keys:\n") +
        QString::fromStdString(sim::keyCommandHelp()));
    parser.addHelpOption();
    for (const Option& o : kOptions) {
        if (o.valueName)
            parser.addOption({QLatin1String(o.name), QLatin1String(o.description), QLatin1String(o.valueName),
                              QLatin1String(o.defaultValue)});
        else
            parser.addOption({QLatin1String(o.name), QLatin1String(o.description)});
    }
    parser.process(app);

    sim::InstrumentOptions options;
    if (!readOptions(parser, &options))
        return 2;
    const QString socketPath = parser.isSet(QStringLiteral("socket"))
                                   ? parser.value(QStringLiteral("socket"))
                                   : defaultSocketPath(parser.value(QStringLiteral("name")));

    auto instrument = std::make_shared<sim::Instrument>(options);
    sim::SimServer server(instrument, QFile::encodeName(socketPath).toStdString());
    if (parser.isSet(QStringLiteral("verbose")))
        server.setLog([](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); });
    std::string error;
    if (!server.listen(&error)) {
        std::fprintf(stderr, "resistance-tester-sim: %s\n", error.c_str());
        return 1;
    }
    runningServer = &server;
    installStopHandlers();
    std::fprintf(stderr, "resistance-tester-sim: listening on %s\n", server.socketPath().c_str());
    readKeysFromInput(instrument);
    server.serve();
    runningServer = nullptr;
    return 0;
}
