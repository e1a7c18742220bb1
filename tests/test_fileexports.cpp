// File exports without the window: what the answer of the save dialog leads to
// for the tables, a prepared workbook and the PDF report of the page on screen;
// the writing off the window's thread, one export at a time, and its Cancel.

#include "app/fileexports.h"
#include "testsupport/fakedesktopfiles.h"
#include "tests/exportreaders.h"

#include <QSignalSpy>
#include <QDialog>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

using windowtest::FakeDesktopFiles;
using windowtest::FileLog;

class TestFileExports : public QObject {
    Q_OBJECT

    QTemporaryDir home;
    QWidget window;
    QStackedWidget* pages = new QStackedWidget(&window);
    QStatusBar* statusBar = new QStatusBar(&window);

    // An export the writer needs a while for: enough rows to outlast a few turns of the event loop.
    static reports::TextTable longTable()
    {
        return reports::listTable({"序号", "备注"}, QVector<QStringList>(20000, {"1", "油温正常，接线良好"}));
    }
    // Until the export under way has ended.
    static bool waitForEnd(const FileExports& exports)
    {
        return QTest::qWaitFor([&exports] { return !exports.isExporting(); }, 20000);
    }

private slots:
    void initTestCase()
    {
        // The proposed paths lie in the documents folder: a home of our own.
        qputenv("HOME", QFile::encodeName(home.path()));
        QStandardPaths::setTestModeEnabled(true);
        for (int page = 0; page < 3; ++page)
            pages->addWidget(new QWidget);
    }

    void answersToTheSaveDialog_data()
    {
        QTest::addColumn<QString>("kind");     // "table", "workbook" or "pdf"
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("answer");   // a file in a fresh folder; empty: the dialog was cancelled
        QTest::addColumn<int>("dialogs");
        QTest::addColumn<QString>("warning");  // "title|how the text starts"; empty: none
        QTest::newRow("table written") << "table" << 2 << "t.xlsx" << 1 << "";
        QTest::newRow("table without rows") << "table" << 0 << "t.xlsx" << 0 << "|无数据";
        QTest::newRow("table cancelled") << "table" << 2 << "" << 1 << "保存Excel文件|保存失败";
        QTest::newRow("table unwritable") << "table" << 2 << "missing/t.xlsx" << 1 << "保存Excel文件|无法写入文件";
        QTest::newRow("workbook cancelled") << "workbook" << 2 << "" << 1 << "";
        QTest::newRow("workbook without rows") << "workbook" << 0 << "w.xlsx" << 0 << "|无数据";
        QTest::newRow("report written") << "pdf" << 0 << "r.pdf" << 1 << "";
        QTest::newRow("report cancelled") << "pdf" << 0 << "" << 1 << "";
        QTest::newRow("report unwritable") << "pdf" << 0 << "missing/r.pdf" << 1 << "保存PDF文件|无法写入文件";
    }
    void answersToTheSaveDialog()
    {
        QFETCH(QString, kind);
        QFETCH(int, rows);
        QFETCH(QString, answer);
        QFETCH(int, dialogs);
        QFETCH(QString, warning);
        QTemporaryDir dir;
        auto log = std::make_shared<FileLog>();
        log->answer = answer.isEmpty() ? QString() : dir.filePath(answer);
        FileExports exports(&window, pages, statusBar, [] { return reports::ReportContent(); });
        exports.setDesktopFiles(std::make_unique<FakeDesktopFiles>(log));
        QSignalSpy warnings(&exports, &FileExports::warning);

        QStandardItemModel model(rows, 2);
        if (kind == "table")
            exports.exportTable(reports::modelTable(model));
        else if (kind == "workbook")
            QCOMPARE(exports.exportWorkbook("汇总", reports::modelTable(model), &window), !answer.isEmpty() || rows == 0);
        else
            exports.exportPdf({});
        QVERIFY(waitForEnd(exports));

        QCOMPARE(log->captions.size(), dialogs);
        if (dialogs)
            QVERIFY(log->proposed.at(0).endsWith(kind == "pdf" ? ".pdf" : ".xlsx"));
        const bool written = dialogs && !answer.isEmpty() && warning.isEmpty();
        QCOMPARE(QFileInfo::exists(log->answer), written);
        QCOMPARE(log->opened, written ? QStringList(log->answer) : QStringList());
        QCOMPARE(warnings.size(), warning.isEmpty() ? 0 : 1);
        if (written) {
            // The status bar says where the file went and offers its folder.
            QCOMPARE(statusBar->currentMessage(), "已保存：" + QDir::toNativeSeparators(log->answer));
            statusBar->findChild<QPushButton*>("pushButton_openExportFolder")->click();
            QCOMPARE(log->opened, QStringList({log->answer, dir.path()}));
        }
        if (warning.isEmpty())
            return;
        const QString text = warnings.at(0).at(1).toString();
        QCOMPARE(warnings.at(0).at(0).toString() + '|' + text.left(warning.section('|', 1).size()), warning);
        QVERIFY(!text.startsWith("无法写入") || text.contains(QDir::toNativeSeparators(log->answer)));
    }

    // The workbook is written and opened; the operator is told how many
    // characters it could not hold.
    void charactersLeftOutOfAWorkbookAreCounted()
    {
        QTemporaryDir dir;
        auto log = std::make_shared<FileLog>();
        log->answer = dir.filePath("t.xlsx");
        FileExports exports(&window, pages, statusBar, [] { return reports::ReportContent(); });
        exports.setDesktopFiles(std::make_unique<FakeDesktopFiles>(log));
        QSignalSpy warnings(&exports, &FileExports::warning);
        exports.exportTable(
            reports::listTable({"备注"}, {{QString("备注") + QChar(0xFFFE) + QChar(0x0001) + QChar(0xFFFF)}}));
        QVERIFY(waitForEnd(exports));
        QCOMPARE(log->opened, QStringList(log->answer));
        QCOMPARE(warnings.size(), 1);
        QCOMPARE(warnings.at(0).at(1).toString(), "表格中有 3 个 Excel 文件无法存放的字符，已略去");
    }

    // The title follows the page on screen; the header comes from the dialog.
    void reportOfThePageOnScreen_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("title");
        QTest::newRow("DC page") << 0 << "直流电阻测量报告";
        QTest::newRow("length page") << 1 << "导体长度测量报告";
    }
    void reportOfThePageOnScreen()
    {
        QFETCH(int, page);
        QFETCH(QString, title);
        QTemporaryDir dir;
        auto log = std::make_shared<FileLog>();
        log->answer = dir.filePath("r.pdf");
        FileExports exports(&window, pages, statusBar, [] { return reports::ReportContent(); });
        exports.setDesktopFiles(std::make_unique<FakeDesktopFiles>(log));
        pages->setCurrentIndex(page);
        PdfSettingData header;
        header.companyName = "东方仪表厂";
        exports.exportPdf(header);
        QVERIFY(waitForEnd(exports));

        const QString text = exportreaders::pdfText(log->answer);
        QVERIFY2(text.contains(title) && text.contains(header.companyName), qPrintable(text));
    }

    // The writer runs while the window's event loop keeps turning: a timer
    // fires before the end; a second export meanwhile is refused, the first
    // one goes on to its file.
    void writesWhileTheWindowTurns()
    {
        QTemporaryDir dir;
        auto log = std::make_shared<FileLog>();
        log->answer = dir.filePath("long.xlsx");
        FileExports exports(&window, pages, statusBar, [] { return reports::ReportContent(); });
        exports.setDesktopFiles(std::make_unique<FakeDesktopFiles>(log));
        QSignalSpy warnings(&exports, &FileExports::warning);
        int turns = 0;
        int turnsAtTheEnd = -1;
        QTimer turning;
        connect(&turning, &QTimer::timeout, [&turns] { ++turns; });
        connect(&exports, &FileExports::exportFinished, [&] { turnsAtTheEnd = turns; });
        turning.start(0);

        exports.exportWorkbook("汇总", longTable(), &window);
        exports.exportTable(reports::listTable({"序号"}, {{"1"}}));
        exports.openPdfSettings();
        QCOMPARE(warnings.size(), 2);
        QVERIFY(warnings.at(0).at(1).toString().startsWith("正在导出另一个文件"));
        QCOMPARE(log->captions.size(), 1);
        QVERIFY(window.findChildren<QDialog*>().isEmpty());

        QVERIFY(waitForEnd(exports));
        QVERIFY2(turnsAtTheEnd > 0, "the export held the event loop");
        QCOMPARE(log->opened, QStringList(log->answer));
        QCOMPARE(warnings.size(), 2);
    }

    // Cancel leaves the folder as it was: no new file, no scratch file, an old one unchanged.
    void cancelLeavesNoFile_data()
    {
        QTest::addColumn<bool>("pdf");
        QTest::addColumn<bool>("existing");
        QTest::newRow("new workbook") << false << false;
        QTest::newRow("over a workbook") << false << true;
        QTest::newRow("new report") << true << false;
        QTest::newRow("over a report") << true << true;
    }
    void cancelLeavesNoFile()
    {
        QFETCH(bool, pdf);
        QFETCH(bool, existing);
        QTemporaryDir dir;
        auto log = std::make_shared<FileLog>();
        log->answer = dir.filePath(pdf ? "r.pdf" : "w.xlsx");
        if (existing) {
            QFile old(log->answer);
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        }
        const auto manyRecords = [] {
            reports::ReportContent content;
            content.records.fill(reports::DataSection{"记录", {}, {}, {}, {}, {}}, 2000);
            return content;
        };
        FileExports exports(&window, pages, statusBar, manyRecords);
        exports.setDesktopFiles(std::make_unique<FakeDesktopFiles>(log));
        QSignalSpy warnings(&exports, &FileExports::warning);
        if (pdf)
            exports.exportPdf({});
        else
            exports.exportWorkbook("汇总", longTable(), &window);
        statusBar->findChild<QPushButton*>("pushButton_cancelExport")->click();
        QVERIFY(waitForEnd(exports));

        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), existing ? QStringList(QFileInfo(log->answer).fileName()) : QStringList());
        if (existing) {
            QFile old(log->answer);
            QVERIFY(old.open(QIODevice::ReadOnly));
            QCOMPARE(old.readAll(), QByteArray("old"));
        }
        QVERIFY(log->opened.isEmpty());
        QVERIFY(warnings.isEmpty());
        QCOMPARE(statusBar->currentMessage(), QString("导出已取消，未写入文件"));
    }
};

QTEST_MAIN(TestFileExports)
#include "test_fileexports.moc"
