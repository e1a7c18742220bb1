// The team's server as the operator meets it: the dialog's connection test
// says what failed, the history lists and loads another operator's session,
// and a session's DC rows become its object's reference values.

#include "app/historyactions.h"
#include "app/teamlink.h"
#include "dialogs/teamserverdialog.h"
#include "store/settingsfiles.h"
#include "store/teamhistory.h"
#include "testsupport/testpostgres.h"
#include "tests/dcresultcells.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using testsupport::TestPostgres;

Q_DECLARE_METATYPE(store::TeamFault)
Q_DECLARE_METATYPE(store::TeamReach)

namespace {

const char* const kOtherSession = "6f1c1d2e-0000-4000-8000-000000000001";

// Another operator's DC session on a transformer: three rows, the middle one deleted later.
const QString otherOperatorsSession = QStringLiteral(
    "INSERT INTO team_results.objects (uuid, name, serial, location, operator) VALUES"
    " ('6f1c1d2e-0000-4000-8000-0000000000aa', '2号主变', 'SN-7', '东站', 'fieldtwo');"
    "INSERT INTO team_results.sessions (uuid, kind, started, operator, instrument, host, object) VALUES"
    " ('%1', 0, '2026-03-04 05:06:07+00', 'fieldtwo', 'DRT-0042', 'laptop-2', '6f1c1d2e-0000-4000-8000-0000000000aa');"
    "INSERT INTO team_results.rows (uuid, session, position, cells, settled, operator) VALUES"
    " ('6f1c1d2e-0000-4000-8000-000000000011', '%1', 1, %2, true, 'fieldtwo'),"
    " ('6f1c1d2e-0000-4000-8000-000000000012', '%1', 2, ARRAY['deleted'], NULL, 'fieldtwo'),"
    " ('6f1c1d2e-0000-4000-8000-000000000013', '%1', 3, %3, NULL, 'fieldtwo');"
    "INSERT INTO team_results.row_deletions (row_uuid, at, operator) VALUES"
    " ('6f1c1d2e-0000-4000-8000-000000000012', now(), 'fieldtwo');");

QString sqlArray(const QStringList& cells)
{
    QStringList quoted;
    for (QString cell : cells)
        quoted << QLatin1Char('\'') + cell.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
    return QStringLiteral("ARRAY[%1]").arg(quoted.join(QLatin1Char(',')));
}

const QStringList firstRow = dcCells(QStringLiteral("AB"), QStringLiteral("1.234mΩ"), QStringLiteral("1.500mΩ"));
// A remark with a comma, quotes and braces: cells must come back as they went.
const QStringList secondRow = [] {
    QStringList cells = dcCells(QStringLiteral("BC"), QStringLiteral("1.240mΩ"), QStringLiteral("1.510mΩ"),
                                QStringLiteral("05"), QStringLiteral("High"), QStringLiteral("Cu"));
    cells[14] = QStringLiteral("a \"b\", {c} 'd'");
    return cells;
}();

}  // namespace

class TestTeamServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        qRegisterMetaType<store::TeamReach>();
        server = std::make_unique<TestPostgres>();
        QVERIFY2(server->isRunning(), qPrintable(server->failure()));
        QVERIFY2(server->psqlFile(QStringLiteral(TESTER_SOURCE_DIR "/packaging/team-server.sql")),
                 qPrintable(server->lastError()));
        QVERIFY2(server->psql(otherOperatorsSession.arg(QLatin1String(kOtherSession), sqlArray(firstRow),
                                                        sqlArray(secondRow))),
                 qPrintable(server->lastError()));
        server->addService(QStringLiteral("nowhere"), TestPostgres::firstOperator(), folder.path());
        server->setWrongPassword(TestPostgres::secondOperator(), true);
    }

    void dialogSaysWhatFailed_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<store::TeamFault>("fault");
        QTest::addColumn<QString>("said");  // a part of what the dialog says

        QTest::newRow("good service") << TestPostgres::firstOperator() << store::TeamFault::None << "连接成功";
        QTest::newRow("wrong password") << TestPostgres::secondOperator() << store::TeamFault::WrongPassword
                                        << ".pgpass";
        QTest::newRow("no server") << "nowhere" << store::TeamFault::Refused << "拒绝连接";
        QTest::newRow("no such service") << "unheard" << store::TeamFault::NoService << "pg_service.conf";
    }

    void dialogSaysWhatFailed()
    {
        QFETCH(QString, service);
        TeamServerDialog dialog;
        dialog.findChild<QLineEdit*>(QStringLiteral("lineEdit_service"))->setText(service);
        QSignalSpy tested(&dialog, &TeamServerDialog::connectionTested);
        auto* button = dialog.findChild<QPushButton*>(QStringLiteral("pushButton_test"));
        button->click();
        QVERIFY(!button->isEnabled());  // one test at a time
        QVERIFY(tested.wait(20000));
        QTEST(tested.first().first().value<store::TeamReach>().fault, "fault");
        QVERIFY(button->isEnabled());
        QFETCH(QString, said);
        const QString shown = dialog.findChild<QLabel*>(QStringLiteral("label_result"))->text();
        QVERIFY2(shown.contains(said), qPrintable(shown));
    }

    // What could add options of its own to the connection never reaches the server.
    void serviceNamesAreChecked_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("plain") << "team-main_2.east" << true;
        QTest::newRow("Chinese") << "东站团队" << true;
        QTest::newRow("second option") << "x host=/tmp" << false;
        QTest::newRow("quoted") << "x'" << false;
        QTest::newRow("option separator") << "x;sslmode=disable" << false;
        QTest::newRow("empty") << "" << false;
    }

    void serviceNamesAreChecked()
    {
        QFETCH(QString, service);
        QFETCH(bool, accepted);
        QCOMPARE(store::isServiceName(service), accepted);
        if (!accepted)
            QCOMPARE(store::probeTeamServer(service).fault, store::TeamFault::BadName);
    }

    void dialogKeepsTheService_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("set") << "  team  " << "team";
        QTest::newRow("cleared") << "" << "";
    }

    void dialogKeepsTheService()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        TeamServerDialog dialog;
        QSignalSpy chosen(&dialog, &TeamServerDialog::serviceChosen);
        dialog.findChild<QLineEdit*>(QStringLiteral("lineEdit_service"))->setText(typed);
        dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Ok)->click();
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.first().first().toString(), kept);
        namespace server = settingsfiles::server;
        QCOMPARE(settingsfiles::readText(*settingsfiles::open(QLatin1String(server::kFile)), server::kService), kept);
        TeamServerDialog again;
        QCOMPARE(again.service(), kept);
    }

    // Who measured, with which instrument, on which object; a deleted row is
    // neither counted nor read; the cells come back as they went.
    void teamHistoryReadsAnotherOperatorsSession()
    {
        const store::TeamSessions found = store::readTeamSessions(TestPostgres::firstOperator());
        QVERIFY2(found.reach.reached(), qPrintable(found.reach.detail));
        QCOMPARE(found.sessions.size(), 1);
        const store::TeamSession& session = found.sessions.first();
        QCOMPARE(session.uuid, QLatin1String(kOtherSession));
        QCOMPARE(session.operatorName, TestPostgres::secondOperator());
        QCOMPARE(session.instrument, QStringLiteral("DRT-0042"));
        QCOMPARE(session.object.name, QStringLiteral("2号主变"));
        QCOMPARE(session.rowCount, 2);
        QCOMPARE(session.started, QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7), Qt::UTC).toLocalTime());

        const store::TeamRows rows = store::readTeamRows(TestPostgres::firstOperator(), session.uuid);
        QVERIFY2(rows.reach.reached(), qPrintable(rows.reach.detail));
        QCOMPARE(rows.rows.size(), 2);
        QCOMPARE(rows.rows[0].cells, firstRow);
        QCOMPARE(rows.rows[0].settled, std::optional<bool>(true));
        QCOMPARE(rows.rows[1].cells, secondRow);
        QCOMPARE(rows.rows[1].settled, std::optional<bool>());
    }

    // From the history dialog: the team's session is listed beside the local
    // one, loads into its table, and becomes its object's reference values.
    void historyLoadsATeamSessionAndMakesItTheBaseline()
    {
        QTemporaryDir storeFolder;
        store::ResultStore results(storeFolder.filePath(QStringLiteral("results.sqlite")));
        results.appendRow(store::TableKind::LengthResults, {QStringLiteral("1")});
        results.clearTable(store::TableKind::LengthResults);

        QList<store::Row> loaded;
        HistoryActions::Hooks hooks = teamHooks(results);
        hooks.load = [&](store::TableKind kind, const QList<store::Row>& rows) {
            QCOMPARE(kind, store::TableKind::DcResults);
            loaded = rows;
        };
        HistoryActions actions(hooks, nullptr);
        QSignalSpy messages(&actions, &HistoryActions::message);

        auto* dialog = new HistoryDialog;
        dialog->setAttribute(Qt::WA_DeleteOnClose, false);
        const store::SessionSummary local = results.earlierSessions().first();
        HistoryEntry entry;
        entry.id = local.id;
        entry.started = local.started;
        dialog->setEntries({entry});
        actions.attach(dialog);
        auto* sessions = dialog->findChild<QTreeWidget*>(QStringLiteral("treeWidget_sessions"));
        QTRY_COMPARE_WITH_TIMEOUT(sessions->topLevelItemCount(), 2, 20000);
        QTreeWidgetItem* team = sessions->topLevelItem(1);
        QCOMPARE(team->text(3), TestPostgres::secondOperator());
        QCOMPARE(team->text(4), QStringLiteral("DRT-0042"));
        QCOMPARE(team->text(5), QStringLiteral("2号主变 · SN-7 · 东站"));

        sessions->setCurrentItem(team);
        dialog->findChild<QPushButton*>(QStringLiteral("pushButton_baseline"))->click();
        QVERIFY(messages.wait(20000));
        const qint64 object = results.objectId({0, QStringLiteral("2号主变"), QStringLiteral("SN-7"), QStringLiteral("东站")});
        QCOMPARE(results.baseline(object).size(), 2);

        dialog->findChild<QPushButton*>(QStringLiteral("pushButton_load"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 2, 20000);
        QCOMPARE(loaded[1].cells, secondRow);
        delete dialog;
    }

    // The mark counts what waits while the server cannot be reached and says
    // why in its tooltip; once everything is pushed it says so; without a
    // service it is gone.
    void markFollowsThePush()
    {
        QTemporaryDir storeFolder;
        const QString path = storeFolder.filePath(QStringLiteral("results.sqlite"));
        {
            store::ResultStore results(path);
            results.appendRow(store::TableKind::DcResults, firstRow);
            results.appendRow(store::TableKind::DcResults, secondRow);
        }
        namespace server = settingsfiles::server;
        settingsfiles::writeText(*settingsfiles::open(QLatin1String(server::kFile)), server::kService,
                                 QStringLiteral("nowhere"));
        QWidget window;
        auto* bar = new QStatusBar(&window);
        store::PushTiming quick;
        quick.pollMs = 20;
        quick.firstRetryMs = 20;
        quick.maxRetryMs = 100;
        TeamLink link(&window, quick);
        link.placeStatusMark(bar);
        link.start(path);
        auto* mark = bar->findChild<QLabel*>(QStringLiteral("teamSyncMark"));
        QTRY_VERIFY_WITH_TIMEOUT(!mark->isHidden() && !mark->toolTip().startsWith(QStringLiteral("团队服务器：")), 20000);
        QVERIFY2(mark->text().startsWith(QStringLiteral("待同步 ")) && mark->text() != QStringLiteral("待同步 0"),
                 qPrintable(mark->text()));
        QVERIFY2(mark->toolTip().contains(QStringLiteral("nowhere")), qPrintable(mark->toolTip()));

        link.setService(TestPostgres::firstOperator());
        QTRY_COMPARE_WITH_TIMEOUT(mark->text(), QStringLiteral("已同步"), 20000);
        QCOMPARE(mark->toolTip(), QStringLiteral("团队服务器：") + TestPostgres::firstOperator());

        // What this computer pushed is on the server, but the history lists it once, as its own.
        QTRY_COMPARE_WITH_TIMEOUT(store::readTeamSessions(TestPostgres::firstOperator()).sessions.size(), 2, 20000);
        store::ResultStore results(path);
        HistoryActions actions(teamHooks(results), nullptr);
        HistoryDialog dialog;
        actions.attach(&dialog);
        auto* sessions = dialog.findChild<QTreeWidget*>(QStringLiteral("treeWidget_sessions"));
        QTRY_COMPARE_WITH_TIMEOUT(sessions->topLevelItemCount(), 1, 20000);
        QCOMPARE(sessions->topLevelItem(0)->text(3), TestPostgres::secondOperator());

        link.setService(QString());
        QVERIFY(mark->isHidden());
    }

    void baselineFromRows_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<bool>("gives");
        QTest::addColumn<int>("winding");
        QTest::addColumn<int>("material");

        const auto row = [](const QString& winding, const QString& material, const QString& measured,
                            const QString& temperature) {
            return dcCells(QStringLiteral("A0"), measured, QStringLiteral("1.5mΩ"), QStringLiteral("05"), winding,
                           material, temperature);
        };
        QTest::newRow("Chinese") << row("低压", "铝", "1.234mΩ", "+20.00℃") << true << 0 << 1;
        QTest::newRow("English") << row("High", "Cu", "1.234mΩ", "+20.00℃") << true << 1 << 0;
        QTest::newRow("over range") << row("高压", "铜", "------mΩ", "+20.00℃") << false << 0 << 0;
        QTest::newRow("no temperature") << row("高压", "铜", "1.234mΩ", " ") << false << 0 << 0;
        QTest::newRow("unknown winding") << row("中压", "铜", "1.234mΩ", "+20.00℃") << false << 0 << 0;
        QTest::newRow("unknown material") << row("高压", "?", "1.234mΩ", "+20.00℃") << false << 0 << 0;
        QTest::newRow("length row") << QStringList{"1", "2", "3"} << false << 0 << 0;
    }

    void baselineFromRows()
    {
        QFETCH(QStringList, cells);
        QFETCH(bool, gives);
        store::Row row;
        row.cells = cells;
        const QList<store::BaselineEntry> entries = ::baselineFromRows({row});
        QCOMPARE(entries.size(), gives ? 1 : 0);
        if (!gives)
            return;
        QTEST(entries.first().winding, "winding");
        QTEST(entries.first().material, "material");
        QCOMPARE(entries.first().phase, QStringLiteral("A0"));
        QCOMPARE(entries.first().tapping, QStringLiteral("05"));
        QCOMPARE(entries.first().ohms, 1.234e-3);
        QCOMPARE(entries.first().celsius, 20.0);
    }

private:
    static HistoryActions::Hooks teamHooks(store::ResultStore& results)
    {
        HistoryActions::Hooks hooks;
        hooks.store = [&results] { return &results; };
        hooks.service = [] { return TestPostgres::firstOperator(); };
        hooks.tableName = [](store::TableKind kind) { return QString::number(int(kind)); };
        hooks.load = [](store::TableKind, const QList<store::Row>&) {};
        hooks.exportRows = [](store::TableKind, const QList<store::Row>&) {};
        return hooks;
    }

    QTemporaryDir folder;  // holds no server socket
    std::unique_ptr<TestPostgres> server;
};

QTEST_MAIN(TestTeamServer)
#include "test_teamserver.moc"
