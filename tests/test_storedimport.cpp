// The stored-data import without the window: it ends with the last record or
// with its own read-out's end, naming the lost records; records, counts and
// read-out ends that belong to an import no longer running change nothing.

#include "app/storedimport.h"
#include "data/storedrecordsmodel.h"

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
    bool startReadOut(int count)
    {
        QSignalSpy readOut(&import, &StoredImport::readOutRequested);
        import.start(nullptr);
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
