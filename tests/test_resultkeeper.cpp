// The results store behind the tables, without the window: what one run kept
// and did not forget is what the next run shows, a store that cannot keep
// anything is reported once and marked for as long as it lasts, and what it
// missed meanwhile is recorded once it keeps again.

#include "app/keptrows.h"
#include "app/resultkeeper.h"
#include "data/storedrecordsmodel.h"

#include <QLabel>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

using store::TableKind;

namespace {

struct KeeperRig {
    explicit KeeperRig(int retryMs = 5000) : keeper(tables(), nullptr, &window, retryMs)
    {
        keeper.placeStatusMark(&bar);
    }
    QLabel* mark() const { return bar.findChild<QLabel*>(QStringLiteral("storeNotKeepingMark")); }
    bool marked() const { return mark() && !mark()->isHidden(); }
    void show(const QStringList& texts, qint64 id) { dc.appendRow(lockedRow(texts, id)); }
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
    QStatusBar bar;
    ResultKeeper keeper;
    QSignalSpy messages{&keeper, &ResultKeeper::message};
};

}  // namespace

class TestResultKeeper : public QObject
{
    Q_OBJECT

private slots:
    void theNextRunShowsWhatWasKept()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("results.sqlite"));
        {
            KeeperRig first;
            first.keeper.open(path);
            QVERIFY(first.messages.isEmpty());
            const qint64 gone = first.keeper.keepResultRow(TableKind::DcResults, {"1", "r1"}, QByteArray());
            first.keeper.keepResultRow(TableKind::DcResults, {"2", "r2"}, QByteArray("trace"));
            first.keeper.keepResultRow(TableKind::StoredRecords, {"7", "s7"}, QByteArray());
            first.dc.appendRow(lockedRow({"1", "r1"}, gone));
            first.keeper.forgetRows(first.dc, {0});
        }
        KeeperRig next;
        next.keeper.open(path);
        QCOMPARE(next.dc.rowCount(), 1);
        QCOMPARE(rowTexts(next.dc, 0), (QStringList{"1", "r2"}));  // numbered afresh
        QCOMPARE(next.dc.index(0, 0).data(kTraceRole).toByteArray(), QByteArray("trace"));
        QVERIFY(next.dc.index(0, 0).data(kKeptRowIdRole).toLongLong() > 0);
        QCOMPARE(next.stored.rowCount(), 1);
        QCOMPARE(next.stored.index(0, 1).data().toString(), QStringLiteral("s7"));
        QVERIFY(next.stored.index(0, 0).data(StoredRecordsModel::KeptIdRole).toLongLong() > 0);
        QCOMPARE(next.messages.size(), 1);
        QCOMPARE(next.messages.first().first().toString(), QStringLiteral("已恢复上次的记录：测试结果 1 条，存储数据 1 条"));
    }

    void anUnusableStoreIsReportedOnce()
    {
        QTemporaryFile notAFolder;
        QVERIFY(notAFolder.open());
        KeeperRig rig;
        rig.keeper.open(notAFolder.fileName() + QStringLiteral("/results.sqlite"));
        QCOMPARE(rig.keeper.keepResultRow(TableKind::DcResults, {"1"}, QByteArray()), 0);
        rig.keeper.forgetTable(TableKind::DcResults);
        QCOMPARE(rig.messages.size(), 1);
        QCOMPARE(rig.messages.first().first().toString(), QStringLiteral("测试结果无法保存到本地数据库，仅保留在内存中"));
    }

    // Locked by another copy at start: the rows shown meanwhile are kept once
    // it lets go, in place of the rows the other copy left current.
    void rowsShownWhileLockedAreKeptOnceItLetsGo()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("results.sqlite"));
        auto owner = std::make_unique<store::ResultStore>(path);
        owner->appendRow(TableKind::DcResults, {"1", "other copy"});
        {
            KeeperRig rig(10);
            rig.keeper.open(path, store::StoreOptions{50, 0});
            QVERIFY(rig.marked());
            QVERIFY2(rig.mark()->toolTip().contains(QStringLiteral("数据库正被另一个程序使用")),
                     qPrintable(rig.mark()->toolTip()));
            const QStringList texts{"1", "while locked"};
            rig.show(texts, rig.keeper.keepResultRow(TableKind::DcResults, texts, QByteArray()));
            QTest::qWait(50);
            QVERIFY(rig.marked());
            owner.reset();
            QTRY_VERIFY(!rig.marked());
            QVERIFY(rig.dc.index(0, 0).data(kKeptRowIdRole).toLongLong() > 0);
        }
        KeeperRig next;
        next.keeper.open(path);
        QCOMPARE(next.dc.rowCount(), 1);
        QCOMPARE(rowTexts(next.dc, 0), (QStringList{"1", "while locked"}));
    }

    // A disk that fills up mid-run: a clear made while nothing is kept is
    // recorded once the store keeps again, so the next run does not bring the
    // cleared rows back.
    void aClearWhileNotKeepingIsNotUndoneByARestart()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("results.sqlite"));
        {
            KeeperRig rig(10);
            rig.keeper.open(path, store::StoreOptions{250, 20});
            QVERIFY(!rig.marked());
            for (int i = 1;; ++i) {
                const QStringList texts{QString::number(i), QString(300, QLatin1Char('x'))};
                const qint64 id = rig.keeper.keepResultRow(TableKind::DcResults, texts, QByteArray());
                if (id == 0)
                    break;
                rig.show(texts, id);
            }
            QVERIFY(rig.dc.rowCount() > 0);
            QVERIFY(rig.marked());
            QVERIFY(rig.mark()->toolTip().contains(QStringLiteral("数据库无法写入")));
            rig.keeper.forgetTable(TableKind::DcResults);
            rig.dc.removeRows(0, rig.dc.rowCount());
            QTRY_VERIFY(!rig.marked());
        }
        KeeperRig next;
        next.keeper.open(path);
        QCOMPARE(next.dc.rowCount(), 0);
    }
};

QTEST_MAIN(TestResultKeeper)
#include "test_resultkeeper.moc"
