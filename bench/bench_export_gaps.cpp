// How long the window stops answering during each export: the longest gap
// between two turns of its event loop (a 2 ms timer notes each turn) from the
// operator's request to the written file. The window runs against a
// simulated instrument in the same process with fake save dialogs; three
// exports, each repeated: the PDF report of 2,008 DC result rows, the stored
// table of 9,999 records to Excel, and a history session of 9,999 stored
// records to Excel. Prints the median and the worst longest gap, and the
// median time to the written file.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench-export-gaps [runs]   (default 5)

#include "data/storedrecordsmodel.h"
#include "dialogs/historydialog.h"
#include "testsupport/windowrig.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace windowtest;

namespace {

constexpr int kDcRows = 2008;
constexpr int kStoredRecords = 9999;
constexpr int kStoredColumns = 16;
constexpr int kProbeMs = 2;

struct Figures {
    double longestGapMs = 0;
    double totalMs = 0;
};

// Runs the request from inside the event loop and turns the loop until the
// export has ended, noting the longest time between two of the probe's ticks.
Figures measure(const Rig& rig, const std::function<void()>& request)
{
    const auto* exports = rig.window->findChild<FileExports*>();
    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longest = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - lastTick);
        lastTick = now;
    });
    bool requested = false;
    qint64 requestedAt = 0;
    QTimer::singleShot(10, [&] {
        requestedAt = clock.nsecsElapsed();
        request();
        requested = true;
    });
    clock.start();
    probe.start(kProbeMs);
    if (!windowsteps::waitUntil([&] { return requested && !exports->isExporting(); }, "the export", 120000))
        qFatal("the export did not end");
    const qint64 endedAt = clock.nsecsElapsed();
    QTest::qWait(3 * kProbeMs);  // the tick after the end closes the last gap
    return {longest / 1e6, (endedAt - requestedAt) / 1e6};
}

QStringList storedTexts(int row)
{
    static const char* const texts[] = {"2024-03-05 14:07:09", "12", "10.00A", "1.2345mΩ", "", "", "", "",
                                        "铜", "+20.0℃", "75℃", "05", "AB", "高压", "1.5678mΩ"};
    QStringList cells{QString::number(row + 1)};
    for (int column = 1; column < kStoredColumns; ++column)
        cells << QString::fromUtf8(texts[(column - 1) % 15]);
    return cells;
}

void report(const char* what, std::vector<Figures> runs)
{
    std::sort(runs.begin(), runs.end(), [](const Figures& a, const Figures& b) { return a.longestGapMs < b.longestGapMs; });
    std::vector<double> totals;
    for (const Figures& run : runs)
        totals.push_back(run.totalMs);
    std::sort(totals.begin(), totals.end());
    std::printf("%-40s longest gap median %7.1f ms, worst %7.1f ms; written after %7.0f ms (median of %zu)\n", what,
                runs[runs.size() / 2].longestGapMs, runs.back().longestGapMs, totals[totals.size() / 2], runs.size());
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    initWindowTests();
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));

    Rig rig;
    auto files = rig.fakeDesktopFiles();
    if (!rig.connect())
        qFatal("no connection to the simulated instrument");

    std::vector<Figures> pdf, stored, history;
    fillRows(rig.model("tableView_resTest"), kDcRows);
    auto* storedModel = qobject_cast<StoredRecordsModel*>(tableModel(rig, "tableView"));
    for (int row = 0; row < kStoredRecords; ++row)
        storedModel->appendRow(storedTexts(row));
    QTest::qWait(2000);  // the tables laid out once with their rows, as the operator finds them
    for (int run = 0; run < runs; ++run) {
        files->answer = home.filePath(QStringLiteral("dc-%1.pdf").arg(run));
        pdf.push_back(measure(rig, [&] {
            QMetaObject::invokeMethod(rig.window.get(), "pdfSettingSlot", Q_ARG(PdfSettingData, PdfSettingData()));
        }));
        files->answer = home.filePath(QStringLiteral("stored-%1.xlsx").arg(run));
        stored.push_back(measure(rig, [&] { rig.action("actionExportToExcel")->trigger(); }));
    }

    // An earlier import of 9,999 records, now in the history.
    QList<QStringList> earlier;
    for (int row = 0; row < kStoredRecords; ++row)
        earlier << storedTexts(row);
    rig.reopenWindow([&] {
        store::ResultStore kept(store::ResultStore::defaultPath());
        kept.replaceCurrentSession(store::TableKind::StoredRecords, earlier);
        kept.clearTable(store::TableKind::StoredRecords);
    });
    files = rig.fakeDesktopFiles();
    QTest::qWait(2000);
    rig.action("actionHistory")->trigger();
    auto* dialog = rig.window->findChild<HistoryDialog*>();
    auto* exportButton = dialog ? dialog->findChild<QPushButton*>(QStringLiteral("pushButton_export")) : nullptr;
    if (!exportButton || !exportButton->isEnabled())
        qFatal("no session in the history");
    for (int run = 0; run < runs; ++run) {
        files->answer = home.filePath(QStringLiteral("history-%1.xlsx").arg(run));
        history.push_back(measure(rig, [&] { exportButton->click(); }));
    }

    report("PDF report, 2,008 DC rows", pdf);
    report("Excel, 9,999 stored records", stored);
    report("History → Excel, 9,999 stored records", history);
    return 0;
}
