// The main window with the results store: the rows a window keeps are there
// again after a restart, a language change keeps every row, and a store that
// cannot be used is reported once while measuring goes on.

#include "tests/exportreaders.h"
#include "dialogs/historydialog.h"
#include "reports/sessiontable.h"
#include "reports/valuesheet.h"
#include "testsupport/windowrig.h"

#include <QJsonArray>

using namespace windowtest;
using store::TableKind;

Q_DECLARE_METATYPE(TableKind)

namespace {

const char* const kTables[] = {"tableView_resTest", "tableView_lengthTest", "tableView"};
const char* const kNotKeptWarning = "results are not being kept";
const char* const kChildModeVariable = "WINDOW_STORE_TEST_CHILD";

QStringList headerTexts(const QAbstractItemModel* model)
{
    QStringList texts;
    for (int column = 0; column < model->columnCount(); ++column)
        texts << model->headerData(column, Qt::Horizontal).toString();
    return texts;
}

// One test on the page, with the remark, from start to its result row.
bool finishTest(Rig& rig, bool lengthTest, const QString& remark = QString())
{
    rig.get<QTextEdit>(lengthTest ? "textEdit_Remark_2" : "textEdit_Remark")->setPlainText(remark);
    return rig.runTest(lengthTest);
}

bool importRecords(Rig& rig, int count, int damaged = 0)
{
    sim::Faults faults;
    faults.corruptRecord = damaged;
    rig.instruments[0]->setStoredRecordCount(count);
    rig.instruments[0]->setFaults(faults);
    return rig.importAndWait() && tableModel(rig, "tableView")->rowCount() == count;
}

// Counts the warnings that say results are not kept.
int notKeptWarnings = 0;
QtMessageHandler previousHandler = nullptr;
void countingHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.contains(QLatin1String(kNotKeptWarning)))
        ++notKeptWarnings;
    previousHandler(type, context, message);
}

// A workbook row as openpyxl reads it: an empty cell holds nothing.
QJsonArray workbookRow(const QStringList& texts)
{
    QJsonArray row;
    for (const QString& text : texts)
        row.append(text.isEmpty() ? QJsonValue() : QJsonValue(text));
    return row;
}

}  // namespace

class TestWindowStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initWindowTests();
        previousHandler = qInstallMessageHandler(countingHandler);
    }
    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }

    // Headers follow the language; every row of the three tables stays with
    // the texts it was recorded with, the empty row of a damaged record too.
    // The imported records stay on screen and can be viewed and exported.
    void languageChangeKeepsEveryRow()
    {
        Rig rig;
        QVERIFY(rig.connect());
        QVERIFY(finishTest(rig, false));
        QVERIFY(finishTest(rig, false));
        QVERIFY(importRecords(rig, 4, 2));
        QList<QList<QStringList>> before;
        for (const char* table : kTables)
            before << cellTexts(tableModel(rig, table));

        rig.chooseLanguage(QStringLiteral("en"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(cellTexts(tableModel(rig, kTables[i])), before[i]);
        QCOMPARE(headerTexts(tableModel(rig, "tableView")).mid(0, 2), (QStringList{QStringLiteral("No."), QStringLiteral("Test Time")}));
        QCOMPARE(headerTexts(tableModel(rig, "tableView_resTest")).value(0), QStringLiteral("No."));
        QTest::qWait(200);  // time for readings, had polling restarted
        QVERIFY(!rig.pollingTimerActive());
        QCOMPARE(rig.get<QStackedWidget>("stackedWidget")->currentIndex(), 2);
        QVERIFY(rig.action("actionStorage")->isEnabled());
        QVERIFY(rig.action("actionImport_storage")->isEnabled());
        QVERIFY(rig.action("actionExportToExcel")->isEnabled());
        QVERIFY(rig.action("actionStorage")->isChecked());

        rig.chooseLanguage(QStringLiteral("zh"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(cellTexts(tableModel(rig, kTables[i])), before[i]);
        QCOMPARE(headerTexts(tableModel(rig, "tableView")).value(0), QStringLiteral("序号"));

        // Back on a test page polling restarts as after any import.
        rig.action("actionDc_resistance_test")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(rig.pollingTimerActive(), kWait);
        QCOMPARE(rig.get<QStackedWidget>("stackedWidget")->currentIndex(), 0);
    }

    // A completed import is the stored-data table of the next start, kept as
    // it arrived: a damaged record in the middle or at the end comes back as
    // the same empty row. An import that did not complete leaves the kept one
    // in place.
    void restartShowsTheLastCompleteImport_data()
    {
        QTest::addColumn<int>("damaged");
        QTest::newRow("in the middle") << 3;
        QTest::newRow("the last") << 5;
    }
    void restartShowsTheLastCompleteImport()
    {
        QFETCH(int, damaged);
        Rig rig;
        QVERIFY(rig.connect());
        QVERIFY(importRecords(rig, 5, damaged));
        const QList<QStringList> imported = cellTexts(tableModel(rig, "tableView"));
        QVERIFY(imported[damaged - 1].join(QString()).isEmpty());
        QVERIFY(!imported[damaged == 5 ? 3 : 4].join(QString()).isEmpty());
        // The next one is cut short by a restart once its count has emptied the table.
        QSignalSpy emptied(tableModel(rig, "tableView"), &QAbstractItemModel::rowsRemoved);
        rig.action("actionImport_storage")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!emptied.isEmpty(), kWait);

        rig.reopenWindow();
        QCOMPARE(cellTexts(tableModel(rig, "tableView")), imported);
        QCOMPARE(rig.status(), QStringLiteral("已恢复上次的记录：测试结果 0 条，存储数据 5 条"));
    }

    // Appends, deletes and clears are on disk the moment they happen: a new
    // window shows the same rows with their times, numbered as they were.
    void resultRowsComeBackAfterRestart()
    {
        Rig rig;
        QVERIFY(rig.connect());
        for (const char* remark : {"r1", "r2", "r3"})
            QVERIFY(finishTest(rig, false, QLatin1String(remark)));
        QVERIFY(rig.toPage(true));
        QVERIFY(finishTest(rig, true, QStringLiteral("L1")));
        QVERIFY(finishTest(rig, true, QStringLiteral("L2")));
        rig.selectRows("tableView_resTest", {1});
        rig.get<QPushButton>("pushButton_delete")->click();
        rig.get<QPushButton>("pushButton_clear2")->click();
        QVERIFY(finishTest(rig, true, QStringLiteral("L3")));
        const QList<QStringList> dc = cellTexts(tableModel(rig, "tableView_resTest"));
        const QList<QStringList> length = cellTexts(tableModel(rig, "tableView_lengthTest"));
        QCOMPARE(columnTexts(dc, 14), (QStringList{"r1", "r3"}));
        QCOMPARE(columnTexts(length, 12), QStringList{"L3"});

        rig.reopenWindow();
        QCOMPARE(cellTexts(tableModel(rig, "tableView_resTest")), dc);
        QCOMPARE(cellTexts(tableModel(rig, "tableView_lengthTest")), length);
        QCOMPARE(rig.status(), QStringLiteral("已恢复上次的记录：测试结果 3 条，存储数据 0 条"));
        const QModelIndex restored = tableModel(rig, "tableView_resTest")->index(1, 13);
        QCOMPARE(restored.data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
        QVERIFY(!(restored.flags() & Qt::ItemIsEditable));

        // The next test continues the numbering of the restored rows.
        rig.action("actionConnect")->trigger();
        QVERIFY(rig.waitForConnectText(connectedText()));
        QVERIFY(rig.toPage(false));
        QVERIFY(finishTest(rig, false, QStringLiteral("r4")));
        rig.reopenWindow();
        QCOMPARE(columnTexts(cellTexts(tableModel(rig, "tableView_resTest")), 0), (QStringList{"1", "2", "3"}));
        QCOMPARE(columnTexts(cellTexts(tableModel(rig, "tableView_resTest")), 14), (QStringList{"r1", "r3", "r4"}));
    }

    // The program is killed (SIGKILL) the moment a finished test's row is on
    // screen; the next start shows that row.
    void rowOnScreenSurvivesAKill()
    {
        Rig rig;
        rig.window.reset();  // the child process is the program now
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QLatin1String(kChildModeVariable), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(QTest::qWaitFor([&] { return child.canReadLine() || child.state() == QProcess::NotRunning; }, 4 * kWait));
        child.kill();
        QVERIFY(child.waitForFinished(kWait));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const QString shown = QString::fromUtf8(child.readLine()).remove(QLatin1Char('\n'));
        QVERIFY2(shown.endsWith(QLatin1String("\tkilled")), qPrintable(shown + child.readAllStandardError()));

        rig.reopenWindow();
        QCOMPARE(cellTexts(tableModel(rig, "tableView_resTest")).value(0).join(QLatin1Char('\t')), shown);
    }

    // A cleared table's rows are an earlier session. The history lists it and
    // writes it, in the language on screen, to a workbook; loaded back into
    // its table, the session saves to the same one.
    void historyExportsASessionToAWorkbook_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<TableKind>("kind");
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("saveButton");
        QTest::addColumn<QString>("firstHeader");
        QTest::addColumn<QString>("loadedStatus");
        QTest::newRow("DC results, Chinese") << "zh" << TableKind::DcResults << "tableView_resTest" << "pushButton_save"
                                             << "序号" << "已载入历史记录 3 条";
        QTest::newRow("length results, English") << "en" << TableKind::LengthResults << "tableView_lengthTest"
                                                 << "pushButton_save2" << "No." << "Loaded 3 rows from the history";
    }
    void historyExportsASessionToAWorkbook()
    {
        QFETCH(QString, language);
        QFETCH(TableKind, kind);
        QFETCH(QString, view);
        QFETCH(QString, saveButton);
        QTemporaryDir folder;
        Rig rig;
        const int columns = tableModel(rig, qPrintable(view))->columnCount();
        QList<QStringList> earlier;
        for (int row = 1; row <= 3; ++row) {
            QStringList cells{QString::number(row)};
            for (int column = 1; column < columns; ++column)
                cells << QStringLiteral("%1-%2 相").arg(row).arg(column);
            earlier << cells;
        }
        earlier[1][columns - 1] = QStringLiteral("油温正常\n复测");
        earlier[2][columns - 1].clear();
        rig.reopenWindow([&] {
            store::ResultStore kept(store::ResultStore::defaultPath());
            kept.replaceCurrentSession(kind, earlier);
            kept.clearTable(kind);
            kept.appendRow(kind, QVector<QString>(columns, QStringLiteral("current")).toList());
        });
        auto files = rig.fakeDesktopFiles(folder.filePath(QStringLiteral("history.xlsx")));
        rig.chooseLanguage(language);
        rig.action("actionHistory")->trigger();
        auto* dialog = rig.window->findChild<HistoryDialog*>();
        QVERIFY(dialog && dialog->isVisible());
        auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("treeWidget_sessions"));
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("3"));
        dialog->findChild<QPushButton*>(QStringLiteral("pushButton_export"))->click();
        QVERIFY(rig.waitForExport());
        QCOMPARE(files->opened, QStringList(files->answer));
        QVERIFY(rig.boxTexts.isEmpty());
        QCOMPARE(columnTexts(cellTexts(tableModel(rig, qPrintable(view))), columns - 1), QStringList("current"));  // the table is untouched

        const QJsonObject book = exportreaders::workbookSummary(files->answer);
        QCOMPARE(book["rows"].toInt(), 4);
        QCOMPARE(book["columns"].toInt(), columns);
        const QJsonArray first = book["first"].toArray();
        QTEST(first[0].toArray()[0].toString(), "firstHeader");
        QCOMPARE(first[0].toArray(), workbookRow(headerTexts(tableModel(rig, qPrintable(view)))));
        for (int row = 0; row < 3; ++row)
            QCOMPARE(first[row + 1].toArray(), workbookRow(earlier[row]));
        reports::TextTable layout;
        layout.values = reports::valueLayout(kind);
        QCOMPARE(book["values"].toArray(),
                 QJsonArray::fromStringList(QStringList(reports::valuesSheetName()) + reports::valueHeaders(layout)));

        // Loaded back, the session replaces the table's rows, for good.
        dialog->findChild<QPushButton*>(QStringLiteral("pushButton_load"))->click();
        QCOMPARE(cellTexts(tableModel(rig, qPrintable(view))), earlier);
        QTEST(rig.status(), "loadedStatus");
        files->answer = folder.filePath(QStringLiteral("loaded.xlsx"));
        rig.get<QPushButton>(qPrintable(saveButton))->click();
        QVERIFY(rig.waitForExport());
        const QJsonObject saved = exportreaders::workbookSummary(files->answer);
        QCOMPARE(saved["first"], book["first"]);
        QCOMPARE(saved["values"], book["values"]);
        rig.reopenWindow();
        QCOMPARE(cellTexts(tableModel(rig, qPrintable(view))), earlier);
    }

    // Another copy of the program holds the store: the window opens and
    // measures as before, in memory, and the operator is told once. (Each
    // kind of unusable database is the store's own test.)
    void unusableStoreIsReportedOnce()
    {
        std::unique_ptr<store::ResultStore> otherCopy;
        Rig rig;
        notKeptWarnings = 0;
        rig.reopenWindow([&] { otherCopy = std::make_unique<store::ResultStore>(store::ResultStore::defaultPath()); });
        QCOMPARE(rig.status(), QStringLiteral("测试结果无法保存到本地数据库，仅保留在内存中"));
        QCOMPARE(notKeptWarnings, 1);

        QVERIFY(rig.connect());
        QVERIFY(finishTest(rig, false));
        QVERIFY(importRecords(rig, 2));
        QCOMPARE(notKeptWarnings, 1);
    }
};

// The child of rowOnScreenSurvivesAKill: the window finishes one test,
// prints the row it shows and waits to be killed.
static int runKilledWindow()
{
    initWindowTests();
    Rig rig;
    if (!rig.connect() || !finishTest(rig, false, QStringLiteral("killed")))
        return 1;
    QTextStream out(stdout);
    out << cellTexts(tableModel(rig, "tableView_resTest")).value(0).join(QLatin1Char('\t')) << '\n';
    out.flush();
    for (;;)
        QThread::sleep(1);
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kChildModeVariable))
        return runKilledWindow();
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestWindowStore test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_window_store.moc"
