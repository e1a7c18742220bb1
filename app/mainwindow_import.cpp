// Reading the instrument's stored records into the stored-data table: the
// count first, then the records one by one with a progress bar.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/importkeeper.h"
#include "app/keptrows.h"
#include "app/pageswitcher.h"
#include "link/protocol.h"

#include <QHeaderView>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QTimer>

#include <QSignalBlocker>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

constexpr int kFullProgress = 100;

// The stored-data table's columns: the header, and the text of the record
// followed directly by its unit where the column has one.
struct StoredColumn {
    const char* header;
    QString ReceiveData::*text;
    QString ReceiveData::*unit;
};

const StoredColumn kStoredColumns[] = {
    {QT_TRANSLATE_NOOP("MainWindow", "序号"), &ReceiveData::recordNo, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "测试时间"), &ReceiveData::testTime, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "试品编号"), &ReceiveData::conductorNo, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "测试电流"), &ReceiveData::testedCurrent, &ReceiveData::testedCurrentUnit},
    {QT_TRANSLATE_NOOP("MainWindow", "测试电阻"), &ReceiveData::testedResistance, &ReceiveData::testedResistanceUnit},
    {QT_TRANSLATE_NOOP("MainWindow", "导体长度"), &ReceiveData::conductorLength, &ReceiveData::conductorLengthUnit},
    {QT_TRANSLATE_NOOP("MainWindow", "样品编号"), &ReceiveData::sampleNo, nullptr},
    // the parser has appended the cross-section's unit
    {QT_TRANSLATE_NOOP("MainWindow", "1米导线标称截面积"), &ReceiveData::wireSquare, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "1米标准值"), &ReceiveData::standardValue, &ReceiveData::standardUnit},
    {QT_TRANSLATE_NOOP("MainWindow", "试品材质"), &ReceiveData::conductorMaterial, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "试品温度"), &ReceiveData::conductorTemp, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "折算温度"), &ReceiveData::convertedTemp, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "分接"), &ReceiveData::tapping, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "相别"), &ReceiveData::phaseType, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "绕组"), &ReceiveData::winding, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "折算电阻"), &ReceiveData::convertedResistance,
     &ReceiveData::convertedResistanceUnit},
};

constexpr int kStoredWideColumns[] = {1, 7};
constexpr int kStoredWideColumnWidth = 150;

QString columnText(const ReceiveData& rd, const StoredColumn& column)
{
    return column.unit ? rd.*column.text + rd.*column.unit : rd.*column.text;
}

// A record's texts packed into one string: their lengths, one character each,
// then the texts one after the other.
constexpr int kStoredColumnCount = int(std::size(kStoredColumns));
constexpr int kLongestPackedText = 0xffff;

QString packRecord(const QStringList& texts)
{
    QString lengths;
    QString packed;
    for (const QString& text : texts) {
        const QString kept = text.left(kLongestPackedText);
        lengths += QChar(ushort(kept.size()));
        packed += kept;
    }
    return lengths + packed;
}

QString unpackedText(const QString& packed, int column)
{
    int start = kStoredColumnCount;
    for (int c = 0; c < column; ++c)
        start += packed.at(c).unicode();
    return packed.mid(start, packed.at(column).unicode());
}

// The stored-data table: every cell centred and read-only. The model says so
// for all cells at once. An imported record is one item, in its first column,
// holding the texts of all its cells packed, in a fraction of the memory of
// an item per cell. Rows kept from an earlier run are items per cell as in the other
// tables; a record that never arrived has no item at all.
class StoredDataModel : public QStandardItemModel
{
public:
    using QStandardItemModel::QStandardItemModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::TextAlignmentRole && index.isValid())
            return int(Qt::AlignCenter);
        if ((role == Qt::DisplayRole || role == Qt::EditRole) && index.isValid()
            && index.column() < kStoredColumnCount) {
            const QStandardItem* first = item(index.row(), 0);
            const QVariant packed = first ? first->data(kStoredRecordRole) : QVariant();
            if (packed.isValid()) {
                const QString text = unpackedText(packed.toString(), index.column());
                return text.isEmpty() ? QVariant() : QVariant(text);
            }
        }
        return QStandardItemModel::data(index, role);
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return QStandardItemModel::flags(index) & ~Qt::ItemIsEditable;
    }
};

QStandardItem* recordItem(const QStringList& texts)
{
    auto* item = new QStandardItem;
    item->setData(packRecord(texts), kStoredRecordRole);
    return item;
}

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

}  // namespace

void MainWindow::createStoredModel()
{
    QStringList headers;
    for (const StoredColumn& column : kStoredColumns)
        headers << tr(column.header);
    storedModel = new StoredDataModel(this);
    storedModel->setHorizontalHeaderLabels(headers);
    ui->tableView->setModel(storedModel);
    QHeaderView* header = ui->tableView->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    for (int column : kStoredWideColumns)
        ui->tableView->setColumnWidth(column, kStoredWideColumnWidth);
    // Longer header texts (English) widen their column instead of being cut.
    for (int column = 0; column < storedModel->columnCount(); ++column) {
        const int needed = header->sectionSizeHint(column);
        if (header->sectionSize(column) < needed)
            ui->tableView->setColumnWidth(column, needed);
    }
}

void MainWindow::on_actionImport_storage_triggered()
{
    if (!isConnected) {
        ui->statusbar->showMessage(tr("设备未连接"));
        return;
    }
    pageSwitcher->cancel();
    stopPolling();
    startThreadIfIdle(usbThread);

    isImporting = true;
    storedTotal = 0;
    ++importGeneration;
    importReadOut = 0;
    ui->statusbar->clearMessage();
    setDataActionsEnabled(false);
    // A language change rebuilds the table and restarts polling, whose reads
    // would take stored records off the pipe: not until the import ends.
    setLanguageMenuEnabled(false);
    preparePagesForPolling();  // leaves the settings edit mode

    ui->stackedWidget->setCurrentIndex(kStoredPage);
    discardPendingStoredRows();
    storedModel->removeRows(0, storedModel->rowCount());
    rowsHandedToKeeper = 0;
    importKeeper()->begin(resultStore.get());
    ui->progressBar->reset();
    emit startReadStoreTotalNum();
    startThreadIfIdle(receiveThread);
}

void MainWindow::showReadBackStorageNum(int totalNum)
{
    // A count for an import that has ended already would lock the keys with
    // nobody left to unlock them.
    if (!isImporting || totalNum < 1 || totalNum > protocol::kMaxStoredRecords)
        return;
    storedTotal = totalNum;
    ui->progressBar->setMaximum(kFullProgress);
    ui->stackedWidget->setCurrentIndex(kStoredPage);
    storedModel->setRowCount(totalNum);
    storedModel->setColumnCount(kStoredColumnCount);

    emit stopCirculationSignal(false);
    emit keyLockSignal();
    // Both requests travel the same queue to the link, so the read-out always
    // follows the key lock; the pause leaves the instrument time to lock.
    const std::uint64_t generation = importGeneration;
    QTimer::singleShot(keyLockPauseMs, this, [this, generation] {
        if (isImporting && generation == importGeneration)
            requestReadOut();
    });
}

void MainWindow::requestReadOut()
{
    importReadOut = ++readOutsRequested;
    emit startReadReadBackData();
}

void MainWindow::showReadBackData(const ReceiveData& rd, int readedNum)
{
    // Records still on their way when an import ended belong to no import.
    if (!isImporting || storedTotal < 1 || readedNum < 1 || readedNum > storedModel->rowCount())
        return;

    pendingStoredRows.append(readedNum - 1);
    QStringList texts;
    for (const StoredColumn& column : kStoredColumns)
        texts << columnText(rd, column);
    pendingStoredItems.append(recordItem(texts));
    lastPendingRecord = readedNum;
    keepStoredRow(readedNum - 1, std::move(texts));

    if (readedNum == storedTotal) {
        finishImport(QString());
        return;
    }
    if (!importRefreshTimer) {
        importRefreshTimer = new QTimer(ui->tableView);
        importRefreshTimer->setSingleShot(true);
        connect(importRefreshTimer, &QTimer::timeout, this, &MainWindow::showPendingStoredRows);
    }
    if (!importRefreshTimer->isActive())
        importRefreshTimer->start(importRefreshMs);
}

// Puts the waiting rows into the table at once: one change of the model and
// one scroll for all of them, then the progress of the newest.
void MainWindow::showPendingStoredRows()
{
    if (pendingStoredRows.isEmpty())
        return;
    {
        // The view is told once below, for the whole range, instead of once per row.
        const QSignalBlocker quiet(storedModel);
        for (int i = 0; i < pendingStoredRows.size(); ++i)
            storedModel->setItem(pendingStoredRows[i], 0, pendingStoredItems[i]);
    }
    const QModelIndex first = storedModel->index(pendingStoredRows.first(), 0);
    const QModelIndex last = storedModel->index(pendingStoredRows.last(), kStoredColumnCount - 1);
    pendingStoredRows.clear();
    pendingStoredItems.clear();
    emit storedModel->dataChanged(first, last);
    ui->tableView->scrollTo(last.siblingAtColumn(0));

    const int percent = lastPendingRecord * kFullProgress / std::max(storedTotal, 1);
    if (percent >= 0 && percent <= kFullProgress && percent != ui->progressBar->value()) {
        // Painted with the table in the next frame, not at once on its own.
        ui->progressBar->setUpdatesEnabled(false);
        ui->progressBar->setValue(percent);
        ui->progressBar->setUpdatesEnabled(true);
    }
    if (isImporting) {
        setDataActionsEnabled(false);
        setLanguageMenuEnabled(false);
        setPageActionsEnabled(true);
        ui->actionStorage->setEnabled(true);
    }
}

// Each record goes to the results store as it arrives. The rows of records
// that did not arrive are kept empty, so that row r still holds record r + 1.
void MainWindow::keepStoredRow(int row, QStringList texts)
{
    if (row < rowsHandedToKeeper)
        return;  // not for a read-out, whose numbers only rise
    padKeptRows(row);
    importKeeper()->add({std::move(texts)});
    ++rowsHandedToKeeper;
}

void MainWindow::padKeptRows(int end)
{
    QStringList emptyRow;
    for (int column = 0; column < kStoredColumnCount; ++column)
        emptyRow << QString();
    QList<QStringList> empty;
    for (; rowsHandedToKeeper < end; ++rowsHandedToKeeper)
        empty << emptyRow;
    if (!empty.isEmpty())
        importKeeper()->add(std::move(empty));
}

ImportKeeper* MainWindow::importKeeper()
{
    if (!keeperOfImports) {
        keeperOfImports = new ImportKeeper(this);
        connect(keeperOfImports, &ImportKeeper::written, this, [this] {
            if (resultStore)
                reportStoreFailure();
            if (!keeperOfImports->isWriting() && !isImporting)
                returnFreedMemory();
        });
    }
    return keeperOfImports;
}

// The records on their way through the threads during an import, and the
// rows waiting for the store, took many small blocks that are free again;
// the C library keeps them for later unless told otherwise.
void MainWindow::returnFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void MainWindow::discardPendingStoredRows()
{
    qDeleteAll(pendingStoredItems);
    pendingStoredItems.clear();
    pendingStoredRows.clear();
}

// The link has finished reading out. When the last record was lost (damaged
// or misnumbered) no record completes the import: it ends here, keeping the
// rows that arrived and naming the ones that did not.
void MainWindow::readOutEnded(int readedNum)
{
    Q_UNUSED(readedNum)
    if (++readOutsEnded != importReadOut || !isImporting || storedTotal < 1)
        return;
    showPendingStoredRows();
    QList<int> missing;
    for (int row = 0; row < storedModel->rowCount(); ++row)
        if (!storedModel->item(row, 0))
            missing << row + 1;
    ui->progressBar->setValue(kFullProgress);
    finishImport(tr("存储数据已导入，缺少第%1组").arg(numberRanges(missing)));
}

// The read-out is over: the rows shown, the instrument let go, the actions back.
void MainWindow::finishImport(const QString& message)
{
    showPendingStoredRows();
    // A completed import replaces the kept one once its last row is written.
    padKeptRows(storedModel->rowCount());
    importKeeper()->complete();
    endImport();
    restoreActionsAfterImport(true);
    if (!message.isEmpty())
        ui->statusbar->showMessage(message);
}

// After an import, complete or failed: import and Excel export as far as the
// link allows, the report and the automatic test not from this page, and the
// pages and the language open again.
void MainWindow::restoreActionsAfterImport(bool importUsable)
{
    ui->actionImport_storage->setEnabled(importUsable);
    ui->actionExportToExcel->setEnabled(importUsable);
    ui->actionExportToPDF->setEnabled(false);
    ui->actionAutomatic_measurement->setEnabled(false);
    setPageActionsEnabled(true);
    ui->actionStorage->setEnabled(true);
    setLanguageMenuEnabled(true);
}
