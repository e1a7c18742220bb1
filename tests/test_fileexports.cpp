// File exports without the window: what the answer of the save dialog leads to
// for the tables, a prepared workbook and the PDF report of the page on screen.

#include "app/fileexports.h"
#include "testsupport/fakedesktopfiles.h"
#include "tests/exportreaders.h"

#include <QSignalSpy>
#include <QStackedWidget>
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
        FileExports exports(&window, pages, [] { return reports::ReportContent(); });
        exports.setDesktopFiles(std::make_unique<FakeDesktopFiles>(log));
        QSignalSpy warnings(&exports, &FileExports::warning);

        QStandardItemModel model(rows, 2);
        if (kind == "table")
            exports.exportTable(model);
        else if (kind == "workbook")
            QCOMPARE(exports.exportWorkbook("汇总", reports::modelTable(model), &window), !answer.isEmpty() || rows == 0);
        else
            exports.exportPdf({});

        QCOMPARE(log->captions.size(), dialogs);
        if (dialogs)
            QVERIFY(log->proposed.at(0).endsWith(kind == "pdf" ? ".pdf" : ".xlsx"));
        const bool written = dialogs && !answer.isEmpty() && warning.isEmpty();
        QCOMPARE(QFileInfo::exists(log->answer), written);
        QCOMPARE(log->opened, written ? QStringList(log->answer) : QStringList());
        QCOMPARE(warnings.size(), warning.isEmpty() ? 0 : 1);
        if (warning.isEmpty())
            return;
        const QString text = warnings.at(0).at(1).toString();
        QCOMPARE(warnings.at(0).at(0).toString() + '|' + text.left(warning.section('|', 1).size()), warning);
        QVERIFY(!text.startsWith("无法写入") || text.contains(QDir::toNativeSeparators(log->answer)));
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
        FileExports exports(&window, pages, [] { return reports::ReportContent(); });
        exports.setDesktopFiles(std::make_unique<FakeDesktopFiles>(log));
        pages->setCurrentIndex(page);
        PdfSettingData header;
        header.companyName = "东方仪表厂";
        exports.exportPdf(header);

        const QString text = exportreaders::pdfText(log->answer);
        QVERIFY2(text.contains(title) && text.contains(header.companyName), qPrintable(text));
    }
};

QTEST_MAIN(TestFileExports)
#include "test_fileexports.moc"
