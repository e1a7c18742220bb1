// The results store behind the tables, without the window: what one run kept
// and did not forget is what the next run shows, and a store that cannot keep
// anything is reported once.

#include "app/keptrows.h"
#include "app/resultkeeper.h"
#include "data/storedrecordsmodel.h"

#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

using store::TableKind;

namespace {

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
};

QTEST_MAIN(TestResultKeeper)
#include "test_resultkeeper.moc"
