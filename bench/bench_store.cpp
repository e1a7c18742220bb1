// What keeping a result row costs the operator: the window handling the
// reading that ends a test (it appends the row), and until the row is
// painted, in a window whose results store keeps rows against one whose store
// is off (another copy holds the database, so the window goes on in memory).
// Beside it the store's append on its own, and a bare flush to the disk in
// the same folder: what each append would wait for if it flushed its commit.
// Medians of alternating runs, measured in the same process.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench-store [runs] [rows per run]

#include "bench/benchreadings.h"
#include "app/mainwindow.h"
#include "data/receivedata.h"
#include "store/resultstore.h"
#include "sim/simtransport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

double elapsedMs(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// A window that believes it is connected and is fed readings by hand, so
// that no polling runs beside the measurement.
struct Window {
    explicit Window() : window(std::make_unique<sim::SimulatorTransport>(instruments), LinkTiming(), WindowTiming())
    {
        window.resize(1280, 800);
        window.show();
        window.upperSwitchOnSlot();
        QCoreApplication::processEvents();
    }
    // One test: a reading while measuring, then the one that ends it. Notes
    // the time the window takes for the last (it appends the row) and the
    // time until the row is painted.
    void finishTest(std::vector<double>& handled, std::vector<double>& painted)
    {
        window.showRealTimeData(dcReading(true));
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        window.showRealTimeData(dcReading(false));
        handled.push_back(elapsedMs(timer));
        QCoreApplication::processEvents();
        painted.push_back(elapsedMs(timer));
    }

    std::vector<std::shared_ptr<sim::Instrument>> instruments;
    MainWindow window;
};

double storeAppendMs(store::ResultStore& kept, const QStringList& cells)
{
    QElapsedTimer timer;
    timer.start();
    kept.appendRow(store::TableKind::DcResults, cells);
    return elapsedMs(timer);
}

// One page written at the end of a file and flushed to the disk.
double flushMs(int fd)
{
    static const std::vector<char> page(4096, 'x');
    QElapsedTimer timer;
    timer.start();
    if (::write(fd, page.data(), page.size()) != ssize_t(page.size()) || ::fdatasync(fd) != 0)
        return -1;
    return elapsedMs(timer);
}

void row(const char* name, double ms, double reference)
{
    std::printf("%-48s %9.3f ms %8.2fx\n", name, ms, ms / reference);
}

}  // namespace

int main(int argc, char* argv[])
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int rows = argc > 2 ? std::max(1, std::atoi(argv[2])) : 40;
    const QString path = store::ResultStore::defaultPath();
    QDir().mkpath(QFileInfo(path).absolutePath());

    std::vector<double> kept, keptPainted, inMemory, inMemoryPainted, alone, flushed;
    const QStringList cells{"1", "2026-12-07 02:00:00", "7", "铜", "+20.50℃", "75℃", "21.3℃", "03", "AB",
                            "高压", "10A", "10.00A", "1.301mΩ", "1.234mΩ", "主变 A 相"};
    const QString flushPath = QFileInfo(path).absolutePath() + QStringLiteral("/flush-reference");
    for (int run = 0; run < runs; ++run) {  // alternate, so that drifts of the machine hit all alike
        store::ResultStore::removeFiles(path);
        {
            Window on;
            for (int i = 0; i < rows; ++i)
                on.finishTest(kept, keptPainted);
        }
        {
            store::ResultStore otherCopy(path);  // holds the database: the window's store is off
            Window off;
            for (int i = 0; i < rows; ++i)
                off.finishTest(inMemory, inMemoryPainted);
        }
        store::ResultStore::removeFiles(path);
        {
            store::ResultStore store(path);
            for (int i = 0; i < rows; ++i)
                alone.push_back(storeAppendMs(store, cells));
        }
        const int fd = ::open(QFile::encodeName(flushPath).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        for (int i = 0; i < rows; ++i)
            flushed.push_back(flushMs(fd));
        ::close(fd);
    }
    QFile::remove(flushPath);
    store::ResultStore::removeFiles(path);

    std::printf("The reading that ends a DC test, medians of %d runs x %d rows\n", runs, rows);
    const double reference = median(inMemory);
    row("window appends the row, store off (reference)", reference, reference);
    row("window appends and keeps the row", median(kept), reference);
    row("  until painted, store off", median(inMemoryPainted), reference);
    row("  until painted, keeping", median(keptPainted), reference);
    row("store append alone", median(alone), reference);
    row("one 4 KiB write + fdatasync, same folder", median(flushed), reference);
    return 0;
}
