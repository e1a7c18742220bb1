// The stored-data import kept in the results store a slice at a time: hidden
// until complete, then replacing the kept import; an import left unfinished
// replaces nothing.

#include "app/importkeeper.h"
#include "store/resultstore.h"

#include <QtTest>

using store::ResultStore;
using store::Row;
using store::TableKind;

namespace {

QList<QStringList> records(const QString& mark, int count)
{
    QList<QStringList> rows;
    for (int i = 1; i <= count; ++i)
        rows << QStringList{QString::number(i), mark};
    return rows;
}

QList<QStringList> keptImport(const ResultStore& store)
{
    QList<QStringList> cells;
    for (const Row& row : store.currentRows(TableKind::StoredRecords))
        cells << row.cells;
    return cells;
}

}  // namespace

class TestImportKeeper : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir folder;
    QString path() const { return folder.filePath(QStringLiteral("results.sqlite")); }
    const QList<QStringList> earlier = records(QStringLiteral("earlier"), 3);

private slots:
    void init() { ResultStore::removeFiles(path()); }

    // Without a time budget each turn of the event loop writes one transaction
    // of two rows; the import stays hidden until its last row is written.
    void importReachesTheStoreInSlices()
    {
        ResultStore store(path());
        store.replaceCurrentSession(TableKind::StoredRecords, earlier);
        ImportKeeper keeper(nullptr, 0, 2);
        QList<QList<QStringList>> keptAfterEachWrite;
        connect(&keeper, &ImportKeeper::written, this, [&] { keptAfterEachWrite << keptImport(store); });

        const QList<QStringList> fresh = records(QStringLiteral("fresh"), 5);
        keeper.begin(&store);
        keeper.add(fresh.mid(0, 2));
        keeper.add(fresh.mid(2));
        keeper.complete();
        QCOMPARE(keptAfterEachWrite.size(), 1);  // begun; nothing written while the rows come
        QTRY_VERIFY(!keeper.isWriting());
        QCOMPARE(keptAfterEachWrite, (QList<QList<QStringList>>{earlier, earlier, earlier, fresh}));
        QCOMPARE(store.earlierSessions().value(0).rowCount, earlier.size());
    }

    // An import left unfinished replaces nothing and leaves no history. A new
    // import writes out at once one that completed and is still being written.
    void onlyCompletedImportsReplaceTheKeptOne()
    {
        ResultStore store(path());
        store.replaceCurrentSession(TableKind::StoredRecords, earlier);
        ImportKeeper keeper;

        keeper.begin(&store);
        keeper.add(records(QStringLiteral("left"), 2));
        QTRY_VERIFY(!keeper.isWriting());
        keeper.abandon();
        keeper.flush();
        QCOMPARE(keptImport(store), earlier);
        QVERIFY(store.earlierSessions().isEmpty());

        const QList<QStringList> complete = records(QStringLiteral("complete"), 4);
        keeper.begin(&store);
        keeper.add(complete);
        keeper.complete();
        keeper.begin(&store);  // before the event loop has written anything
        QCOMPARE(keptImport(store), complete);
        keeper.add(records(QStringLiteral("unfinished"), 2));
        keeper.flush();  // writes only completed imports
        QCOMPARE(keptImport(store), complete);
        QCOMPARE(store.earlierSessions().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestImportKeeper)
#include "test_importkeeper.moc"
