// The object under test: named on either test page and shown on both,
// proposed again by the next run, kept with every result row and session,
// listed and filtered in the history, and named in the report's header.

#include "app/fileexports.h"
#include "app/resultkeeper.h"
#include "app/testobjectbar.h"
#include "data/storedrecordsmodel.h"
#include "dialogs/historydialog.h"
#include "testsupport/fakedesktopfiles.h"
#include "tests/exportreaders.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QCompleter>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <tuple>

using store::TableKind;

namespace {

const char* const kFields[] = {"lineEdit_objectName", "lineEdit_objectSerial", "lineEdit_objectLocation"};

// As an input method types: Chinese included.
void type(QLineEdit* field, const QString& text)
{
    QInputMethodEvent typed;
    typed.setCommitString(text);
    QCoreApplication::sendEvent(field, &typed);
}

// Two test pages, each with the table's fold button the fields follow.
struct BarRig {
    BarRig()
    {
        for (QWidget& page : pages) {
            auto* row = new QHBoxLayout(&page);
            auto* fold = new QToolButton(&page);
            row->addWidget(fold);
            row->addWidget(new QPushButton(&page));
            bar.placeAfter(&page, fold);
        }
    }
    QLineEdit* field(int page, int part) { return pages[page].findChild<QLineEdit*>(QLatin1String(kFields[part])); }
    QStringList shown(int page)
    {
        return {field(page, 0)->text(), field(page, 1)->text(), field(page, 2)->text()};
    }

    QWidget pages[2];
    TestObjectBar bar;
    QSignalSpy changes{&bar, &TestObjectBar::objectChanged};
};

struct KeeperRig {
    KeeperRig() : keeper(tables(), nullptr, &window) {}
    ResultKeeper::Tables tables()
    {
        ResultKeeper::Tables t;
        t.results = [this](TableKind kind) { return kind == TableKind::DcResults ? &dc : &length; };
        t.storedRecords = &stored;
        t.name = [](TableKind) { return QString(); };
        return t;
    }

    QWidget window;
    QStandardItemModel dc;
    QStandardItemModel length;
    StoredRecordsModel stored;
    ResultKeeper keeper;
};

// A results store and the object fields, joined as the window joins them.
struct ObjectKeepingRig {
    ObjectKeepingRig()
    {
        keeping.keeper.open(dir.filePath("results.sqlite"));
        rig.bar.setStore(keeping.keeper.store());
        keeping.keeper.setObjectSource([this] { return rig.bar.currentObjectId(); });
        QObject::connect(&keeping.keeper, &ResultKeeper::sessionObjectLoaded, &rig.bar, &TestObjectBar::showObject);
    }
    store::ResultStore* results() { return keeping.keeper.store(); }
    QList<qint64> currentRowObjects(TableKind kind)
    {
        QList<qint64> objects;
        for (const store::Row& row : results()->currentRows(kind))
            objects << row.object;
        return objects;
    }

    QTemporaryDir dir;
    KeeperRig keeping;
    BarRig rig;
};

}  // namespace

class TestTestObject : public QObject
{
    Q_OBJECT

    QTemporaryDir home;

private slots:
    void initTestCase()
    {
        qputenv("HOME", QFile::encodeName(home.path()));
        QStandardPaths::setTestModeEnabled(true);
    }

    // Typed on one page, shown on the other; kept when the field is left, and
    // proposed by the next run with a store of its own.
    void namedOnOnePageShownOnBothAndProposedNextRun_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("typed");  // name, serial, location
        QTest::newRow("DC page, whole object") << 0 << QStringList{"1#主变", "SN-2019-07", "城东变电站"};
        QTest::newRow("length page, name only") << 1 << QStringList{"电缆盘 3", "", ""};
        QTest::newRow("spaces around the texts") << 0 << QStringList{"  T1 ", " 9 ", ""};
    }
    void namedOnOnePageShownOnBothAndProposedNextRun()
    {
        QFETCH(int, page);
        QFETCH(QStringList, typed);
        QTemporaryDir dir;
        const QString path = dir.filePath("results.sqlite");
        qint64 id = 0;
        {
            store::ResultStore results(path);
            BarRig rig;
            rig.bar.setStore(&results);
            QCOMPARE(rig.shown(1 - page), QStringList({"", "", ""}));  // nothing kept yet
            for (int part = 0; part < 3; ++part)
                type(rig.field(page, part), typed.at(part));
            QCOMPARE(rig.shown(1 - page), typed);
            QMetaObject::invokeMethod(rig.field(page, 0), "editingFinished");
            id = rig.changes.last().first().toLongLong();
            QVERIFY(id > 0);
            QCOMPARE(rig.bar.currentObjectId(), id);
            QCOMPARE(results.testObject(id).name, typed.at(0).trimmed());
        }
        store::ResultStore again(path);
        BarRig next;
        next.bar.setStore(&again);
        const QStringList trimmed{typed.at(0).trimmed(), typed.at(1).trimmed(), typed.at(2).trimmed()};
        QCOMPARE(next.shown(0), trimmed);
        QCOMPARE(next.shown(1), trimmed);
        QCOMPARE(next.bar.currentObjectId(), id);
        QCOMPARE(next.changes.last().first().toLongLong(), id);
    }

    // A name or serial number picked from the completion brings the rest of
    // that object; emptying the name names no object.
    void completionBringsTheWholeObject()
    {
        QTemporaryDir dir;
        store::ResultStore results(dir.filePath("results.sqlite"));
        const qint64 older = results.objectId({0, "T1", "SN-1", "北郊"});
        const qint64 last = results.objectId({0, "T2", "SN-2", "南郊"});
        BarRig rig;
        rig.bar.setStore(&results);
        QCOMPARE(rig.shown(1), QStringList({"T2", "SN-2", "南郊"}));
        emit rig.field(0, 1)->completer()->activated(QStringLiteral("SN-1"));
        QCOMPARE(rig.shown(1), QStringList({"T1", "SN-1", "北郊"}));
        QCOMPARE(rig.changes.last().first().toLongLong(), older);
        emit rig.field(1, 0)->completer()->activated(QStringLiteral("T2"));
        QCOMPARE(rig.bar.currentObjectId(), last);
        rig.field(0, 0)->clear();
        type(rig.field(0, 0), " ");
        QCOMPARE(rig.bar.currentObjectId(), 0);
        QCOMPARE(rig.changes.last().first().toLongLong(), 0);
    }

    // The object named when a test ends goes with its row, even while its
    // field still has the focus; the session takes the object of its first row.
    void rowsAndSessionsCarryTheObject()
    {
        ObjectKeepingRig kept;
        KeeperRig& keeping = kept.keeping;
        BarRig& rig = kept.rig;

        keeping.keeper.keepResultRow(TableKind::DcResults, {"1", "none"}, QByteArray());
        type(rig.field(0, 0), "T1");
        keeping.keeper.keepResultRow(TableKind::DcResults, {"2", "T1"}, QByteArray());
        keeping.keeper.forgetTable(TableKind::DcResults);
        keeping.keeper.keepResultRow(TableKind::DcResults, {"1", "T1 again"}, QByteArray());
        rig.field(1, 0)->clear();
        type(rig.field(1, 0), "T2");
        keeping.keeper.keepResultRow(TableKind::DcResults, {"2", "T2"}, QByteArray());
        keeping.keeper.keepResultRow(TableKind::LengthResults, {"1", "T2"}, QByteArray());

        store::ResultStore* results = kept.results();
        const qint64 t1 = results->objectId({0, "T1", "", ""});
        const qint64 t2 = results->objectId({0, "T2", "", ""});
        QVERIFY(t1 > 0 && t2 > 0 && t1 != t2);
        QCOMPARE(kept.currentRowObjects(TableKind::DcResults), QList<qint64>({t1, t2}));
        QCOMPARE(results->currentRows(TableKind::LengthResults).value(0).object, t2);
        keeping.keeper.forgetTable(TableKind::DcResults);
        const QList<store::SessionSummary> sessions = results->earlierSessions();
        QCOMPARE(sessions.size(), 2);
        QCOMPARE(sessions.at(0).object.id, t1);  // its first row's object, not its last
        QCOMPARE(sessions.at(0).object.label(), QStringLiteral("T1"));
        QCOMPARE(sessions.at(1).object.id, 0);
    }

    // Loading an earlier session brings back its object, so that the rows
    // measured next go to the loaded session's object, not to the one the
    // fields named before; a session without an object leaves the fields.
    void loadingASessionNamesItsObject()
    {
        ObjectKeepingRig kept;
        KeeperRig& keeping = kept.keeping;
        BarRig& rig = kept.rig;
        store::ResultStore* results = kept.results();
        QMenu view;
        keeping.keeper.placeHistoryAction(&view);
        const auto load = [&](qint64 session) {  // as the history's Load button does
            HistoryDialog* dialog = nullptr;
            const auto opened = QObject::connect(&keeping.keeper, &ResultKeeper::historyOpened,
                                                 [&dialog](HistoryDialog* shown) { dialog = shown; });
            view.actions().constLast()->trigger();
            QObject::disconnect(opened);
            QVERIFY(dialog);
            emit dialog->loadSessionSignal(session);
            delete dialog;
        };

        keeping.keeper.keepResultRow(TableKind::DcResults, {"1", "none"}, QByteArray());
        keeping.keeper.forgetTable(TableKind::DcResults);
        type(rig.field(0, 0), "T1");
        type(rig.field(0, 1), "SN-1");
        keeping.keeper.keepResultRow(TableKind::DcResults, {"1", "T1"}, QByteArray());
        keeping.keeper.forgetTable(TableKind::DcResults);
        for (int part = 0; part < 3; ++part)
            rig.field(1, part)->clear();
        type(rig.field(1, 0), "T2");
        keeping.keeper.keepResultRow(TableKind::DcResults, {"1", "T2"}, QByteArray());
        const qint64 t1 = results->objectId({0, "T1", "SN-1", ""});
        const qint64 t2 = results->objectId({0, "T2", "", ""});

        const QList<store::SessionSummary> sessions = results->earlierSessions();
        QCOMPARE(sessions.size(), 2);
        QCOMPARE(sessions.at(0).object.id, t1);
        rig.changes.clear();
        load(sessions.at(0).id);
        QCOMPARE(rig.shown(0), QStringList({"T1", "SN-1", ""}));
        QCOMPARE(rig.shown(1), rig.shown(0));
        QCOMPARE(rig.changes.size(), 1);
        QCOMPARE(rig.changes.at(0).at(0).toLongLong(), t1);
        keeping.keeper.keepResultRow(TableKind::DcResults, {"2", "T1 again"}, QByteArray());
        QCOMPARE(kept.currentRowObjects(TableKind::DcResults), QList<qint64>({t1, t1}));

        const qint64 withoutObject = results->earlierSessions().last().id;
        QCOMPARE(results->earlierSessions().last().object.id, 0);
        load(withoutObject);
        QCOMPARE(rig.shown(0), QStringList({"T1", "SN-1", ""}));
        QVERIFY(t2 != t1);
    }

    // The history lists each session's object and shows the sessions of one
    // object when it is chosen above the list; Load takes a shown session.
    void historyFiltersByObject_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QList<qint64>>("shown");
        QTest::newRow("every object") << "全部对象" << QList<qint64>{4, 3, 2, 1};
        QTest::newRow("one object") << "T1 / SN-1" << QList<qint64>{3, 1};
        QTest::newRow("another object") << "T2" << QList<qint64>{4};
    }
    void historyFiltersByObject()
    {
        QFETCH(QString, chosen);
        QFETCH(QList<qint64>, shown);
        HistoryDialog dialog;
        const QDateTime time(QDate(2026, 5, 1), QTime(9, 0));
        QList<HistoryEntry> entries;
        for (const auto& [id, table, objectId, object] : {std::tuple{4, "直流电阻", 7, "T2"},
                                                          {3, "直流电阻", 5, "T1 / SN-1"},
                                                          {2, "导体长度", 0, ""},
                                                          {1, "直流电阻", 5, "T1 / SN-1"}}) {
            HistoryEntry entry;
            entry.id = id;
            entry.started = time;
            entry.table = QString::fromUtf8(table);
            entry.objectId = objectId;
            entry.object = QString::fromUtf8(object);
            entries << entry;
        }
        dialog.setEntries(entries);
        auto* filter = dialog.findChild<QComboBox*>("comboBox_objectFilter");
        QCOMPARE(filter->count(), 3);  // every object, T2, T1
        filter->setCurrentIndex(filter->findText(chosen));
        auto* list = dialog.findChild<QTreeWidget*>("treeWidget_sessions");
        QList<qint64> visible;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            if (!list->topLevelItem(i)->isHidden())
                visible << entries.value(list->topLevelItem(i)->data(0, Qt::UserRole + 1).toInt()).id;
        }
        QCOMPARE(visible, shown);
        QCOMPARE(list->topLevelItem(3)->text(5), QStringLiteral("T1 / SN-1"));  // the object's column
        QSignalSpy loads(&dialog, &HistoryDialog::loadSessionSignal);
        dialog.findChild<QPushButton*>("pushButton_load")->click();
        QCOMPARE(loads.value(0).value(0).toLongLong(), shown.first());
    }

    // The report names the object under test where the operator left the
    // header's object empty, and keeps what the operator wrote.
    void reportHeaderNamesTheObject_data()
    {
        QTest::addColumn<QString>("typedName");
        QTest::addColumn<QString>("typedScene");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("header left empty") << "" << "" << QStringList{"1#主变 / SN-2019-07", "城东变电站"} << QStringList();
        QTest::newRow("header written") << "2#主变" << "户外" << QStringList{"2#主变", "户外"}
                                        << QStringList{"SN-2019-07", "城东变电站"};
        QTest::newRow("only the scene written") << "" << "户外" << QStringList{"1#主变 / SN-2019-07", "户外"}
                                                << QStringList{"城东变电站"};
    }
    void reportHeaderNamesTheObject()
    {
        QFETCH(QString, typedName);
        QFETCH(QString, typedScene);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, absent);
        QTemporaryDir dir;
        QWidget window;
        auto* pages = new QStackedWidget(&window);
        pages->addWidget(new QWidget);
        auto log = std::make_shared<windowtest::FileLog>();
        log->answer = dir.filePath("r.pdf");
        FileExports exports(&window, pages, new QStatusBar(&window), [] { return reports::ReportContent(); });
        exports.setDesktopFiles(std::make_unique<windowtest::FakeDesktopFiles>(log));
        exports.setObjectSource([] { return store::TestObject{3, "1#主变", "SN-2019-07", "城东变电站"}; });
        PdfSettingData header;
        header.testObjName = typedName;
        header.scene = typedScene;
        exports.exportPdf(header);
        QVERIFY(QTest::qWaitFor([&exports] { return !exports.isExporting(); }, 20000));

        const QString text = exportreaders::pdfPageText(log->answer, 1);
        for (const QString& words : expected)
            QVERIFY2(text.contains(words), qPrintable(text));
        for (const QString& words : absent)
            QVERIFY2(!text.contains(words), qPrintable(text));
    }
};

QTEST_MAIN(TestTestObject)
#include "test_testobject.moc"
