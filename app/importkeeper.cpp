#include "app/importkeeper.h"

#include "store/resultstore.h"

#include <QElapsedTimer>

#include <algorithm>

ImportKeeper::ImportKeeper(QObject* parent, int budgetMs, int rowsPerWrite)
    : QObject(parent), budgetMs(budgetMs), rowsPerWrite(std::max(1, rowsPerWrite))
{
    nextSlice.setSingleShot(true);
    nextSlice.setInterval(0);
    connect(&nextSlice, &QTimer::timeout, this, [this] { writeSlice(this->budgetMs); });
}

void ImportKeeper::begin(store::ResultStore* store)
{
    if (finished)
        flush();
    else
        abandon();
    resultStore = store;
    finished = false;
    rowsCommitted = 0;
    session = resultStore ? resultStore->beginHiddenSession(store::TableKind::StoredRecords) : 0;
    emit written();
}

void ImportKeeper::add(QList<QStringList> rows)
{
    if (session <= 0 || finished)
        return;
    waiting.append(std::move(rows));
    if (!nextSlice.isActive())
        nextSlice.start();
}

void ImportKeeper::complete()
{
    if (finished)
        return;
    if (session <= 0) {
        emit kept();
        return;
    }
    finished = true;
    nextSlice.start();
}

void ImportKeeper::abandon()
{
    if (session <= 0 || finished)
        return;
    nextSlice.stop();
    waiting.clear();
    resultStore->dropHiddenSession(session);
    session = 0;
    emit written();
}

void ImportKeeper::flush()
{
    if (!finished)
        return;  // a hidden session is read by nobody
    nextSlice.stop();
    writeSlice(-1);
}

// One write at least, then more while the budget lasts (budget < 0: all).
void ImportKeeper::writeSlice(int budget)
{
    if (session <= 0)
        return;
    QElapsedTimer clock;
    clock.start();
    while (!waiting.isEmpty()) {
        writeRows(std::min<int>(rowsPerWrite, waiting.size()));
        if (budget >= 0 && clock.elapsed() >= budget)
            break;
    }
    if (!waiting.isEmpty())
        nextSlice.start();
    else if (finished)
        endSession();
    emit written();
}

void ImportKeeper::writeRows(int count)
{
    if (!resultStore->appendRows(session, waiting.mid(0, count))) {
        waiting.clear();  // the store has stopped keeping: nothing more is written
        session = 0;
        return;
    }
    waiting.erase(waiting.begin(), waiting.begin() + count);
    rowsCommitted += count;
}

void ImportKeeper::endSession()
{
    resultStore->makeCurrent(session);
    session = 0;
    finished = false;
    emit kept();
}
