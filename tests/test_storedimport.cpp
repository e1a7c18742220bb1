// The stored-data import without the window: it ends with the last record or
// with its own read-out's end, naming the lost records, and is shown complete
// only once the results store holds it; an import cut off says what arrived,
// one that never got its count leaves the table as it was; records, counts
// and read-out ends that belong to an import no longer running change nothing.

#include "app/storedimport.h"
#include "data/storedrecordsmodel.h"
#include "store/resultstore.h"

#include <QProgressBar>
#include <QTableView>
#include <QtTest>

namespace {

ReceiveData record(int number)
{
    ReceiveData rd;
    rd.recordNo = QString::number(number);
    return rd;
}

struct ImportRig {
    ImportRig() : import(&table, &view, &progress, StoredImport::Timing{1, 1}) { view.setModel(&table); }
    // Started, counted, and the read-out asked for after the key lock.
    bool startReadOut(int count, store::ResultStore* resultStore = nullptr)
    {
        QSignalSpy readOut(&import, &StoredImport::readOutRequested);
        import.start(resultStore);
        return import.takeCount(count) && readOut.wait(2000);
    }
    QStringList firstColumn() const
    {
        QStringList texts;
        for (int row = 0; row < table.rowCount(); ++row)
            texts << table.index(row, 0).data().toString();
        return texts;
    }

    StoredRecordsModel table;
    QTableView view;
    QProgressBar progress;
    StoredImport import;
    QSignalSpy finished{&import, &StoredImport::finished};
};

}  // namespace

class TestStoredImport : public QObject
{
    Q_OBJECT

private slots:
    void importEndsWithTheLastRecordOrItsReadOut_data()
    {
        QTest::addColumn<QList<int>>("arriving");
        QTest::addColumn<QString>("message");
        QTest::newRow("every record") << QList<int>{1, 2, 3, 4, 5} << QString();
        QTest::newRow("some lost") << QList<int>{1, 2, 4} << QStringLiteral("存储数据已导入，缺少第3, 5组");
    }
    void importEndsWithTheLastRecordOrItsReadOut()
    {
        QFETCH(QList<int>, arriving);
        ImportRig rig;
        QVERIFY(rig.startReadOut(5));
        for (int number : arriving)
            rig.import.takeRecord(record(number), number);
        rig.import.takeReadOutEnd();
        QCOMPARE(rig.finished.size(), 1);
        QTEST(rig.finished.first().first().toString(), "message");
        QVERIFY(!rig.import.isImporting());
        QCOMPARE(rig.progress.value(), 100);
        QStringList shown = QVector<QString>(5).toList();
        for (int number : arriving)
            shown[number - 1] = QString::number(number);
        QCOMPARE(rig.firstColumn(), shown);
    }

    // The import is shown complete (the bar full, finished) when its rows are
    // the store's current import, not before; the instrument is let go at once.
    void shownCompleteOnlyOnceKept()
    {
        QTemporaryDir folder;
        store::ResultStore kept(folder.filePath(QStringLiteral("results.sqlite")));
        ImportRig rig;
        QSignalSpy free(&rig.import, &StoredImport::instrumentFree);
        int keptWhenFinished = -1;
        connect(&rig.import, &StoredImport::finished, this,
                [&] { keptWhenFinished = kept.currentRows(store::TableKind::StoredRecords).size(); });
        constexpr int kCount = 300;
        QVERIFY(rig.startReadOut(kCount, &kept));
        for (int number = 1; number <= kCount; ++number)
            rig.import.takeRecord(record(number), number);
        QCOMPARE(free.size(), 1);
        QVERIFY(rig.finished.isEmpty());
        QVERIFY(rig.progress.value() < 100);
        QCOMPARE(rig.progress.format(), QStringLiteral("正在保存 %p%"));
        QVERIFY(rig.finished.wait(5000));
        QCOMPARE(keptWhenFinished, kCount);
        QCOMPARE(rig.progress.value(), 100);
        QCOMPARE(rig.progress.format(), QStringLiteral("%p%"));
    }

    // The table changes only once the count has arrived; a read-out cut off
    // says how many of how many records arrived.
    void anImportCutOffSaysWhatArrived_data()
    {
        QTest::addColumn<int>("count");  // -1: no count arrives
        QTest::addColumn<QList<int>>("arriving");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("shown");
        const QStringList earlier{"7", "8", "9"};
        QTest::newRow("no count") << -1 << QList<int>() << QString() << earlier;
        QTest::newRow("nothing stored") << 0 << QList<int>() << QString() << earlier;
        QTest::newRow("two of five") << 5 << QList<int>{1, 2}
                                     << QStringLiteral("存储数据导入中断：已收到2组，共5组；上次完整导入的数据已保留。")
                                     << QStringList{"1", "2", "", "", ""};
    }
    void anImportCutOffSaysWhatArrived()
    {
        QFETCH(int, count);
        QFETCH(QList<int>, arriving);
        ImportRig rig;
        for (int number = 7; number <= 9; ++number)
            rig.table.appendRow({QString::number(number)}, number);
        rig.import.start(nullptr);
        if (count >= 0)
            rig.import.takeCount(count);
        for (int number : arriving)
            rig.import.takeRecord(record(number), number);
        QTEST(rig.import.abandon(), "message");
        QTEST(rig.firstColumn(), "shown");
        QVERIFY(rig.finished.isEmpty());
    }

    void whatComesAfterTheImportEndedIsIgnored()
    {
        ImportRig rig;
        QVERIFY(rig.startReadOut(3));
        rig.import.takeRecord(record(1), 1);
        rig.import.abandon();
        rig.import.takeRecord(record(2), 2);
        QSignalSpy keyLock(&rig.import, &StoredImport::keyLock);
        QVERIFY(!rig.import.takeCount(3));
        rig.import.takeReadOutEnd();
        QCOMPARE(rig.firstColumn(), (QStringList{"1", "", ""}));
        QVERIFY(keyLock.isEmpty() && rig.finished.isEmpty());
    }

    // The link ends read-outs in the order they were asked for: the end of an
    // abandoned import's read-out does not end the next import.
    void anEarlierReadOutsEndDoesNotEndTheNextImport()
    {
        ImportRig rig;
        QVERIFY(rig.startReadOut(3));
        rig.import.abandon();
        QVERIFY(rig.startReadOut(3));
        rig.import.takeReadOutEnd();
        QVERIFY(rig.import.isImporting());
        rig.import.takeReadOutEnd();
        QCOMPARE(rig.finished.size(), 1);
    }

    // An import replaced during the key-lock pause asks for no read-out.
    void aReplacedImportAsksForNoReadOut()
    {
        ImportRig rig;
        QSignalSpy readOut(&rig.import, &StoredImport::readOutRequested);
        rig.import.start(nullptr);
        QVERIFY(rig.import.takeCount(3));
        rig.import.start(nullptr);
        QTest::qWait(20);
        QVERIFY(readOut.isEmpty());
    }
};

QTEST_MAIN(TestStoredImport)
#include "test_storedimport.moc"
