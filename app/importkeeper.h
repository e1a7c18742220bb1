#pragma once
// Keeps a stored-data import in the results store while it is read, a slice
// at a time, so that the window's event loop is never held for the whole
// import: the rows go into a hidden session of the store as they arrive, and
// that session replaces the kept import once the import has
// completed and its last row is written; kept() says so. An import left
// unfinished is dropped from the store.

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace store {
class ResultStore;
}

class ImportKeeper : public QObject
{
    Q_OBJECT

public:
    // Each turn of the event loop writes one transaction of rowsPerWrite
    // rows, and more while budgetMs last.
    explicit ImportKeeper(QObject* parent = nullptr, int budgetMs = 15, int rowsPerWrite = 64);

    // A new import into the given store (none: nothing is kept). An earlier
    // import that completed is written out first; one that did not is dropped.
    void begin(store::ResultStore* resultStore);
    // The next rows of the table, in order.
    void add(QList<QStringList> rows);
    // The import is complete: its session replaces the kept one when written,
    // then kept() follows (at once when nothing is being kept).
    void complete();
    // The import ended without completing.
    void abandon();
    // Writes what is left of a completed import at once, before the store is
    // read or closed.
    void flush();
    bool isWriting() const { return !waiting.isEmpty() || (finished && session > 0); }
    // Whether the rows of this import go to the store, and how many are committed.
    bool keepsRows() const { return session > 0; }
    int rowsWritten() const { return rowsCommitted; }

signals:
    // After each write: the window checks whether the store is still keeping.
    void written();
    // The completed import is in the store, or the store could not keep it.
    void kept();

private:
    void writeSlice(int budgetMs);
    void writeRows(int count);
    void endSession();

    store::ResultStore* resultStore = nullptr;
    qint64 session = 0;  // the hidden session of the import, 0: none
    bool finished = false;
    int rowsCommitted = 0;
    QList<QStringList> waiting;
    QTimer nextSlice;
    const int budgetMs;
    const int rowsPerWrite;
};
