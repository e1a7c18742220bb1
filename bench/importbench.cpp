// Speed of the stored-data import and of the live reading, against simulated
// instruments served on sockets in this process:
//   bare client   the same requests over the same socket, checksums checked (the reference)
//   link+decoder  WinUSBManager and ReceiveThread in their threads, until the last decoded record
//   window        the main window's import, from the action until the action is usable again
//   command line  resistance-tester-cli import to CSV, the whole process from its start to its exit
// then the command line's first live reading (read --count 1, from the
// program's start until its line arrives),
// plus the longest stall of the window's event loop during an import and
// during imports, polls and disconnects against a silent, a slow and a
// vanishing instrument, the live-reading latency and the window's memory.
// Medians of alternating runs; ratios to the bare client of the same run.
//   QT_QPA_PLATFORM=offscreen build/bench/import-bench [runs] [records]

#include "app/importkeeper.h"
#include "app/mainwindow.h"
#include "data/receivethread.h"
#include "store/resultstore.h"
#include "sim/simserver.h"
#include "link/sockettransport.h"
#include "link/winusbmanager.h"
#include "resources/programresources.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QAbstractItemModel>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Resident memory of this process in MB.
double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// Runs the event loop until done() holds or the time is up; false on time-out.
// The loop sleeps between events, as the window's own does: a loop spinning
// here would take a core from the threads being measured.
bool waitFor(const std::function<bool()>& done, int timeoutMs = 60000)
{
    QElapsedTimer timer;
    timer.start();
    QTimer check;  // wakes the wait below at least every millisecond
    check.start(1);
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// One simulated instrument on a socket of its own folder, served by a thread.
struct Served {
    Served(int records, const sim::Faults& faults = {}, sim::SimServer::LogSink log = nullptr)
        : instrument(std::make_shared<sim::Instrument>(options(records, faults))),
          server(instrument, socketFile(dir))
    {
        if (log)
            server.setLog(std::move(log));
        std::string error;
        if (!server.listen(&error))
            std::fprintf(stderr, "cannot listen: %s\n", error.c_str());
        thread = std::thread([this] { server.serve(); });
    }
    ~Served()
    {
        server.stop();
        thread.join();
    }
    static sim::InstrumentOptions options(int records, const sim::Faults& faults)
    {
        sim::InstrumentOptions o;
        o.storedRecords = records;
        o.faults = faults;
        return o;
    }
    // In the folder where programs of this machine look for simulated
    // instruments, under the temporary folder as their runtime folder.
    static std::string socketFile(const QTemporaryDir& dir)
    {
        const QString folder = dir.filePath(QLatin1String(SocketTransport::kRuntimeFolderName));
        QDir().mkpath(folder);
        return (folder + QLatin1String("/sim.sock")).toStdString();
    }
    std::string runtimeFolder() const { return dir.path().toStdString(); }
    std::string folder() const { return QFileInfo(QString::fromStdString(path())).path().toStdString(); }
    std::string path() const { return server.socketPath(); }

    QTemporaryDir dir;
    std::shared_ptr<sim::Instrument> instrument;
    sim::SimServer server;
    std::thread thread;
};

// ---------------------------------------------------------------- bare client

bool sendAll(int fd, const protocol::Bytes& request)
{
    return ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == ssize_t(request.size());
}

double bareClientMs(const Served& served, int records)
{
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", served.path().c_str());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return -1;
    const auto start = Clock::now();
    std::uint8_t buffer[protocol::kReadLength];
    bool ok = sendAll(fd, protocol::buildStoredCountRequest());
    ok = ok && ::recv(fd, buffer, sizeof buffer, 0) == ssize_t(protocol::kCountAnswerSize)
         && protocol::storedCount(buffer) == records;
    for (int first = 1; ok && first <= records; first += protocol::kReadBackBatch) {
        const int batch = std::min(protocol::kReadBackBatch, records - first + 1);
        ok = sendAll(fd, protocol::buildReadBackRequest(first, batch));
        for (int i = 0; ok && i < batch; ++i) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            ok = n > 0 && protocol::recordChecksumValid(buffer, std::size_t(n));
        }
    }
    const double ms = msSince(start);
    ::close(fd);
    return ok ? ms : -1;
}

// ---------------------------------------------------------------- link and decoder

double linkImportMs(const Served& served, int records)
{
    QThread linkThread, parserThread;
    auto* manager = new WinUSBManager(std::make_unique<SocketTransport>(served.folder()), LinkTiming{});
    auto* parser = new ReceiveThread;
    manager->moveToThread(&linkThread);
    parser->moveToThread(&parserThread);
    QObject::connect(manager, &WinUSBManager::finishReadReadBack, parser, &ReceiveThread::parseReadBackData);
    QObject context;
    int decoded = 0;
    QObject::connect(parser, &ReceiveThread::finishReadReadBackData, &context,
                     [&decoded](const ReceiveData&, int) { ++decoded; });
    linkThread.start();
    parserThread.start();
    const QString path = QString::fromStdString(served.path());
    QMetaObject::invokeMethod(manager, [manager, path] { manager->connectUsb(path); }, Qt::BlockingQueuedConnection);

    const auto start = Clock::now();
    QMetaObject::invokeMethod(manager, [manager] {
        manager->readStoreTotalNum();
        manager->readReadBackData();
    });
    const bool done = waitFor([&] { return decoded == records; });
    const double ms = msSince(start);

    QMetaObject::invokeMethod(manager, [manager] { manager->disConnect(); }, Qt::BlockingQueuedConnection);
    linkThread.quit();
    parserThread.quit();
    linkThread.wait();
    parserThread.wait();
    delete manager;
    delete parser;
    return done ? ms : -1;
}

// ---------------------------------------------------------------- the command line

// The whole program: start, connect, count, read every record, write the CSV, exit.
// The command-line program, set to find the simulator that serves.
void prepareCli(QProcess& cli, const Served& served)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(served.runtimeFolder()));
    cli.setProcessEnvironment(env);
    cli.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

double cliImportMs(const Served& served, int records)
{
    QProcess cli;
    prepareCli(cli, served);
    const auto start = Clock::now();
    cli.start(QStringLiteral(TESTER_CLI_PROGRAM),
              {QStringLiteral("import"), QStringLiteral("--device"), QString::fromStdString(served.path()),
               QStringLiteral("--format"), QStringLiteral("csv")});
    const bool exited = cli.waitForFinished(120000);
    const double ms = msSince(start);
    const int lines = cli.readAllStandardOutput().count('\n');
    return exited && cli.exitCode() == 0 && lines == records + 1 ? ms : -1;  // a header and a line each
}

// The whole program asked for one live reading: ms from its start until its
// line has arrived.
double cliFirstReadingMs(const Served& served)
{
    QProcess cli;
    prepareCli(cli, served);
    const auto start = Clock::now();
    cli.start(QStringLiteral(TESTER_CLI_PROGRAM), {QStringLiteral("read"), QStringLiteral("--count"), QStringLiteral("1"),
                                                   QStringLiteral("--device"), QString::fromStdString(served.path())});
    bool printed = cli.waitForStarted(10000);
    while (printed && !cli.canReadLine())
        printed = cli.waitForReadyRead(10000);
    const double ms = msSince(start);
    const bool exited = cli.waitForFinished(10000);
    return printed && exited && cli.exitCode() == 0 ? ms : -1;
}

// ---------------------------------------------------------------- the window

// CPU time of the calling thread in ms.
double threadCpuMs()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The longest time the window's event loop went without running a timer due
// every 2 ms, and how much of it the window's thread spent on a core (the rest
// it waited for one).
struct StallWatch {
    StallWatch()
    {
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const auto now = Clock::now();
            const double cpu = threadCpuMs();
            const double gap = std::chrono::duration<double, std::milli>(now - last).count();
            if (gap > longestMs) {
                longestMs = gap;
                longestCpuMs = cpu - lastCpu;
            }
            last = now;
            lastCpu = cpu;
        });
    }
    void start()
    {
        longestMs = 0;
        longestCpuMs = 0;
        last = Clock::now();
        lastCpu = threadCpuMs();
        timer.start(2);
    }
    double stop()
    {
        timer.stop();
        return longestMs;
    }
    QTimer timer;
    Clock::time_point last;
    double lastCpu = 0;
    double longestMs = 0;
    double longestCpuMs = 0;
};

struct Window {
    explicit Window(const Served& served, const LinkTiming& timing = LinkTiming{})
        : window(std::make_unique<SocketTransport>(served.folder()), timing, WindowTiming{})
    {
        window.show();
    }
    QAction* action(const char* name) const { return window.findChild<QAction*>(QLatin1String(name)); }
    bool connected() const { return action("actionConnect")->text() == QStringLiteral("断开连接"); }
    bool connect()
    {
        action("actionConnect")->trigger();
        return waitFor([this] { return connected(); }, 10000);
    }
    // Milliseconds from the import action until the import is usable again,
    // and (keptMs) until its last row is in the results store.
    double importMs(int records, double* keptMs)
    {
        const auto start = Clock::now();
        action("actionImport_storage")->trigger();
        const bool done = waitFor([&] { return action("actionImport_storage")->isEnabled(); });
        const double usableMs = msSince(start);
        auto* keeper = window.findChild<ImportKeeper*>();
        waitFor([keeper] { return !keeper || !keeper->isWriting(); });
        *keptMs = msSince(start);
        const QAbstractItemModel* model = window.findChild<QTableView*>(QStringLiteral("tableView"))->model();
        const bool complete = done && model->rowCount() == records && model->index(records - 1, 0).data().isValid();
        if (!complete)
            std::fprintf(stderr, "window import incomplete (%s): %d rows, status \"%s\"\n", done ? "ended" : "timed out",
                         model->rowCount(), qPrintable(window.statusBar()->currentMessage()));
        return complete ? usableMs : -1;
    }
    MainWindow window;
};

// Longest stall while importing from an instrument with the given faults, leaving the
// import by a page switch after leaveAfterMs, then disconnecting.
double faultStallMs(int records, const sim::Faults& faults, int leaveAfterMs)
{
    Served served(records);
    LinkTiming timing;  // the real waits
    Window w(served, timing);
    if (!w.connect())
        return -1;
    StallWatch watch;
    watch.start();
    waitFor([] { return false; }, 1200);  // two polls
    served.instrument->setFaults(faults);
    w.action("actionImport_storage")->trigger();
    waitFor([] { return false; }, leaveAfterMs);
    w.action("actionDc_resistance_test")->trigger();
    waitFor([] { return false; }, 1200);
    if (w.connected())
        w.action("actionConnect")->trigger();
    waitFor([&] { return !w.connected(); }, 20000);
    const double stall = watch.stop();
    served.instrument->setFaults({});
    return stall;
}

// Milliseconds from the instrument's sending of each real-time answer until the
// window has shown it, for `readings` readings.
std::vector<double> readingLatenciesMs(int readings)
{
    std::mutex mutex;
    std::vector<Clock::time_point> sent;
    auto log = [&](const std::string& line) {
        // "-> AB CD 00 3B 02 …": a 63-byte real-time answer leaving the instrument
        if (line.size() == 3 + 63 * 3 - 1 && line.compare(0, 2, "->") == 0 && line.compare(15, 2, "02") == 0) {
            std::lock_guard<std::mutex> lock(mutex);
            sent.push_back(Clock::now());
        }
    };
    Served served(0, {}, log);
    Window w(served);
    // Every queued call the window takes, timed when it has run.
    struct Done : QObject {
        std::vector<Clock::time_point> times;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() != QEvent::MetaCall)
                return false;
            watched->event(event);
            times.push_back(Clock::now());
            return true;
        }
    } done;
    w.window.installEventFilter(&done);
    if (!w.connect())
        return {};
    waitFor([&] {
        std::lock_guard<std::mutex> lock(mutex);
        return int(sent.size()) > readings + 1;
    }, 60000);
    std::vector<double> latencies;
    std::lock_guard<std::mutex> lock(mutex);
    // The last call the window ran before the next answer left is that answer's reading.
    for (std::size_t i = 0; i + 1 < sent.size() && int(latencies.size()) < readings; ++i) {
        Clock::time_point shown{};
        for (const Clock::time_point t : done.times)
            if (t >= sent[i] && t < sent[i + 1])
                shown = t;
        if (shown != Clock::time_point{})
            latencies.push_back(std::chrono::duration<double, std::milli>(shown - sent[i]).count());
    }
    return latencies;
}

void row(const char* name, double ms, double reference, const char* note = "")
{
    std::printf("%-44s %9.1f ms  %6.1fx%s\n", name, ms, reference > 0 ? ms / reference : 0.0, note);
}

}  // namespace

int main(int argc, char* argv[])
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    // The windows start with empty tables, not with the import kept by the last run.
    store::ResultStore::removeFiles(store::ResultStore::defaultPath());
    registerProgramResources();
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});  // the link's debug lines

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int records = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, protocol::kMaxStoredRecords) : 9999;
    std::printf("Import of %d stored records, medians of %d alternating runs\n", records, runs);

    Served forClients(records);
    Served forWindow(records);
    Window window(forWindow);
    if (!window.connect()) {
        std::fprintf(stderr, "the window did not connect\n");
        return 1;
    }
    waitFor([] { return false; }, 2000);  // polling, idle
    const double idleMb = residentMb();
    // The window's own memory: one import before the other benchmarks add
    // threads and heap of their own to this process.
    double firstKeptMs = 0;
    window.importMs(records, &firstKeptMs);
    const double importedMb = residentMb();

    std::vector<double> bare, link, cli, imported, kept, stalls, stallCpu;
    StallWatch watch;
    for (int run = 0; run < runs; ++run) {
        bare.push_back(bareClientMs(forClients, records));
        link.push_back(linkImportMs(forClients, records));
        cli.push_back(cliImportMs(forClients, records));
        watch.start();
        double keptMs = 0;
        imported.push_back(window.importMs(records, &keptMs));
        kept.push_back(keptMs);
        stalls.push_back(watch.stop());
        stallCpu.push_back(watch.longestCpuMs);
    }
    const double afterRunsMb = residentMb();
    const double reference = median(bare);
    const double pause = WindowTiming{}.keyLockPauseMs;

    row("bare client (reference)", reference, reference);
    row("link + decoder", median(link), reference);
    row("command line import to CSV, whole process", median(cli), reference);
    row("window import, offscreen", median(imported), reference);
    row("  without the key-lock pause", median(imported) - pause, reference);
    row("  until kept in the results store", median(kept), reference);
    std::printf("%-44s %9.1f ms  (%.1f ms of it on the window thread's CPU)\n", "longest window stall during an import",
                median(stalls), median(stallCpu));
    std::printf("%-44s %9.1f ms\n", "  the worst of the runs", *std::max_element(stalls.begin(), stalls.end()));
    std::printf("%-44s %9.1f MB idle polling, %.1f MB after an import (%.2fx)\n", "window memory (resident)",
                idleMb, importedMb, importedMb / idleMb);
    std::printf("%-44s %9.1f MB\n", "  the process after every run above", afterRunsMb);

    std::vector<double> firstReadings;
    for (int run = 0; run < std::max(runs, 5); ++run)
        firstReadings.push_back(cliFirstReadingMs(forClients));
    const LinkTiming linkTiming;
    const double cycle = linkTiming.flushPauseMs + linkTiming.pollPauseMs;
    std::printf("%-44s %9.1f ms  (goal: one polling cycle, %.0f ms, + the wake-up pause, %u ms, + 20 ms)\n",
                "command line read --count 1, whole process", median(firstReadings), cycle, linkTiming.wakeUpPauseMs);

    const std::vector<double> latencies = readingLatenciesMs(std::max(runs, 3));
    std::printf("%-44s %9.1f ms  (of which %u ms is the fixed pause before the read)\n",
                "live reading, instrument send to window shown", median(latencies), LinkTiming{}.pollPauseMs);

    sim::Faults silent, slow, vanishing;
    silent.silent = true;
    slow.answerDelayMs = 300;
    vanishing.dropAfterRequests = 40;
    const int bound = int(LinkTiming{}.transferTimeoutMs);
    std::printf("Longest window stall, import left after 1 s then disconnect (one transfer's bound: %d ms):\n", bound);
    std::printf("  %-42s %9.1f ms\n", "silent instrument", faultStallMs(records, silent, 1000));
    std::printf("  %-42s %9.1f ms\n", "slow instrument (300 ms per answer)", faultStallMs(records, slow, 1000));
    std::printf("  %-42s %9.1f ms\n", "vanishing instrument (gone mid-import)", faultStallMs(records, vanishing, 1000));
    return 0;
}
