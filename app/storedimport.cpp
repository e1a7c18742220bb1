#include "app/storedimport.h"

#include "app/importkeeper.h"
#include "data/storedrecordsmodel.h"
#include "link/protocol.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QProgressBar>
#include <QTableView>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <iterator>

namespace {

constexpr int kFullProgress = 100;
constexpr int kWideColumns[] = {1, 7};
constexpr int kWideColumnWidth = 150;
// The store's share of one turn of the event loop during an import: half a
// display frame, the other half left to the arriving records and the table.
constexpr int kKeepingSliceMs = 8;

// "3, 7-9, 12": record numbers in rising order, runs joined; at most a few
// dozen named, the rest counted.
QString numberRanges(const QList<int>& numbers)
{
    constexpr int kMostNamed = 20;
    QStringList parts;
    int i = 0;
    while (i < numbers.size() && parts.size() < kMostNamed) {
        int j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1)
            ++j;
        parts << (j == i ? QString::number(numbers[i])
                         : QStringLiteral("%1-%2").arg(numbers[i]).arg(numbers[j]));
        i = j + 1;
    }
    if (i < numbers.size())
        parts << QStringLiteral("… (+%1)").arg(numbers.size() - i);
    return parts.join(QStringLiteral(", "));
}

// The records on their way through the threads during an import, and the
// rows waiting for the store, took many small blocks that are free again;
// the C library keeps them for later unless told otherwise.
void returnFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

}  // namespace

StoredImport::StoredImport(StoredRecordsModel* table, QTableView* view, QProgressBar* progressBar,
                           const Timing& timing, QObject* parent)
    : QObject(parent),
      table(table),
      view(view),
      progressBar(progressBar),
      timing(timing),
      keeperOfImport(new ImportKeeper(this, kKeepingSliceMs))
{
    refreshTimer.setSingleShot(true);
    connect(&refreshTimer, &QTimer::timeout, this, &StoredImport::showArrivedRows);
    connect(keeperOfImport, &ImportKeeper::written, this, [this] {
        if (importing || keeping)
            showProgress();
        else if (!keeperOfImport->isWriting())
            returnFreedMemory();
    });
    connect(keeperOfImport, &ImportKeeper::kept, this, &StoredImport::showKept);
}

void StoredImport::start(store::ResultStore* resultStore)
{
    importing = true;
    keeping = false;
    total = 0;
    recordsArrived = 0;
    shownUpTo = 0;
    ++generation;
    ownReadOut = 0;
    refreshTimer.stop();
    arrived.clear();
    rowsKept = 0;
    keeperOfImport->begin(resultStore);
    progressBar->reset();
    progressBar->resetFormat();
    emit countRequested();
}

bool StoredImport::takeCount(int count)
{
    // A count for an import that has ended already would lock the keys with
    // nobody left to unlock them.
    if (!importing || count < 1 || count > protocol::kMaxStoredRecords)
        return false;
    total = count;
    progressBar->setMaximum(kFullProgress);
    table->clear();
    table->setRowCount(count);

    emit stopCirculation(false);
    emit keyLock();
    // Both requests travel the same queue to the link, so the read-out always
    // follows the key lock; the pause leaves the instrument time to lock.
    QTimer::singleShot(timing.keyLockPauseMs, this, [this, started = generation] {
        if (importing && started == generation)
            requestReadOut();
    });
    return true;
}

void StoredImport::requestReadOut()
{
    ownReadOut = ++readOutsRequested;
    emit readOutRequested();
}

void StoredImport::takeRecord(const ReceiveData& rd, int number)
{
    // Records still on their way when an import ended belong to no import.
    if (!importing || total < 1 || number < 1 || number > table->rowCount())
        return;
    QStringList texts = StoredRecordsModel::recordTexts(rd);
    ++recordsArrived;
    arrived.append({number - 1, texts});
    keepRow(number - 1, std::move(texts));

    if (number == total) {
        finish(QString());
        return;
    }
    if (!refreshTimer.isActive())
        refreshTimer.start(timing.refreshMs);
}

// Puts the waiting rows into the table at once: one change of the model and
// one scroll for all of them, then the progress of the newest.
void StoredImport::showArrivedRows()
{
    if (arrived.isEmpty())
        return;
    const int lastRow = arrived.last().first;
    table->setRecords(arrived);
    arrived.clear();
    view->scrollTo(table->index(lastRow, 0));
    shownUpTo = lastRow + 1;
    showProgress();
    if (importing)
        emit rowsShown();
}

// The rows both shown and committed; full only once the store holds the import.
void StoredImport::showProgress()
{
    int done = shownUpTo;
    if (keeperOfImport->keepsRows())
        done = std::min({done, keeperOfImport->rowsWritten(), total - 1});
    const int percent = done * kFullProgress / std::max(total, 1);
    if (percent > 0 && percent <= kFullProgress && percent > progressBar->value()) {
        // Painted with the table in the next frame, not at once on its own.
        progressBar->setUpdatesEnabled(false);
        progressBar->setValue(percent);
        progressBar->setUpdatesEnabled(true);
    }
}

// Each record goes to the results store as it arrives. The rows of records
// that did not arrive are kept empty, so that row r still holds record r + 1.
void StoredImport::keepRow(int row, QStringList texts)
{
    if (row < rowsKept)
        return;  // not for a read-out, whose numbers only rise
    keepEmptyRowsUntil(row);
    keeperOfImport->add({std::move(texts)});
    ++rowsKept;
}

void StoredImport::keepEmptyRowsUntil(int end)
{
    const QStringList emptyRow = QVector<QString>(table->columnCount()).toList();
    QList<QStringList> empty;
    for (; rowsKept < end; ++rowsKept)
        empty << emptyRow;
    if (!empty.isEmpty())
        keeperOfImport->add(std::move(empty));
}

// The link has finished reading out. When the last record was lost (damaged
// or misnumbered) no record completes the import: it ends here, keeping the
// rows that arrived and naming the ones that did not.
void StoredImport::takeReadOutEnd()
{
    if (++readOutsEnded != ownReadOut || !importing || total < 1)
        return;
    showArrivedRows();
    QList<int> missing = table->emptyRows();
    for (int& row : missing)
        ++row;
    finish(QCoreApplication::translate("MainWindow", "存储数据已导入，缺少第%1组").arg(numberRanges(missing)));
}

// The read-out is over: the rows shown and, once written, the kept import
// replaced by this one.
void StoredImport::finish(const QString& message)
{
    showArrivedRows();
    shownUpTo = total;
    keepEmptyRowsUntil(table->rowCount());
    importing = false;
    keeping = true;
    endMessage = message;
    emit instrumentFree();
    progressBar->setFormat(QCoreApplication::translate("MainWindow", "正在保存 %p%"));
    showProgress();
    keeperOfImport->complete();
}

void StoredImport::showKept()
{
    if (!keeping)
        return;
    keeping = false;
    progressBar->resetFormat();
    progressBar->setValue(kFullProgress);
    emit finished(endMessage);
}

QString StoredImport::abandon()
{
    if (!importing)
        return QString();
    showArrivedRows();  // the rows that arrived stay
    keeperOfImport->abandon();
    importing = false;
    if (total < 1)
        return QString();
    return QCoreApplication::translate("MainWindow", "存储数据导入中断：已收到%1组，共%2组；上次完整导入的数据已保留。")
        .arg(recordsArrived)
        .arg(total);
}

void StoredImport::retranslateTable()
{
    table->retranslate();
    if (view->model() != table)
        view->setModel(table);
    QHeaderView* header = view->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    // Longer header texts (English) widen their column instead of being cut.
    for (int column = 0; column < table->columnCount(); ++column) {
        const bool wide = std::find(std::begin(kWideColumns), std::end(kWideColumns), column) != std::end(kWideColumns);
        const int width = wide ? kWideColumnWidth : header->defaultSectionSize();
        view->setColumnWidth(column, std::max(width, header->sectionSizeHint(column)));
    }
}

reports::TextTable StoredImport::heldTable() const
{
    const auto rows = std::make_shared<const StoredRecordsModel::Snapshot>(table->snapshot());
    reports::TextTable held = reports::modelTable(*table);
    held.rowCount = rows->rowCount();
    held.values = reports::ValueLayout::StoredRecords;
    held.cell = [rows](int row, int column) { return rows->cell(row, column); };
    return held;
}
