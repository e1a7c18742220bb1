// The window's side of the stored data: the stored-data table on its page,
// the import (StoredImport) wired to the link, and the results store
// (ResultKeeper) behind every table.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/fileexports.h"
#include "app/pageswitcher.h"
#include "app/resultkeeper.h"
#include "app/storedimport.h"
#include "data/storedrecordsmodel.h"

#include <QHeaderView>

#include <algorithm>
#include <iterator>

using store::TableKind;

namespace {

constexpr int kStoredWideColumns[] = {1, 7};
constexpr int kStoredWideColumnWidth = 150;

}  // namespace

void MainWindow::setUpStoredData(const WindowTiming& timing)
{
    storedModel = new StoredRecordsModel(this);
    storedImport = new StoredImport(storedModel, ui->tableView, ui->progressBar,
                                    {timing.keyLockPauseMs, timing.importRefreshMs}, this);
    connect(storedImport, &StoredImport::countRequested, this, &MainWindow::startReadStoreTotalNum);
    connect(storedImport, &StoredImport::stopCirculation, this, &MainWindow::stopCirculationSignal);
    connect(storedImport, &StoredImport::keyLock, this, &MainWindow::keyLockSignal);
    connect(storedImport, &StoredImport::readOutRequested, this, &MainWindow::startReadReadBackData);
    connect(storedImport, &StoredImport::rowsShown, this, &MainWindow::keepActionsWhileImporting);
    connect(storedImport, &StoredImport::finished, this, &MainWindow::importFinished);

    ResultKeeper::Tables tables;
    tables.results = [this](TableKind kind) { return kind == TableKind::DcResults ? resTestModel : lengthTestModel; };
    tables.storedRecords = storedModel;
    tables.name = [this](TableKind kind) {
        switch (kind) {
        case TableKind::DcResults:
            return ui->actionDc_resistance_test->text();
        case TableKind::LengthResults:
            return ui->actionConductor_length_test->text();
        case TableKind::StoredRecords:
            break;
        }
        return ui->actionStorage->text();
    };
    resultKeeper = new ResultKeeper(tables, storedImport, this);
    connect(resultKeeper, &ResultKeeper::message, this, [this](const QString& text) { ui->statusbar->showMessage(text); });
    connect(resultKeeper, &ResultKeeper::exportWanted, this,
            [this](const QAbstractItemModel* table) { fileExports->exportTable(*table); });
}

// The one stored-data table, its headers in the language in force.
void MainWindow::createStoredModel()
{
    storedModel->retranslate();
    if (ui->tableView->model() != storedModel)
        ui->tableView->setModel(storedModel);
    QHeaderView* header = ui->tableView->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    // Longer header texts (English) widen their column instead of being cut.
    for (int column = 0; column < storedModel->columnCount(); ++column) {
        const bool wide = std::find(std::begin(kStoredWideColumns), std::end(kStoredWideColumns), column)
                          != std::end(kStoredWideColumns);
        const int width = wide ? kStoredWideColumnWidth : header->defaultSectionSize();
        ui->tableView->setColumnWidth(column, std::max(width, header->sectionSizeHint(column)));
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

    ui->statusbar->clearMessage();
    setDataActionsEnabled(false);
    // A language change retranslates the window and restarts polling, whose
    // reads would take stored records off the pipe: not until the import ends.
    setLanguageMenuEnabled(false);
    preparePagesForPolling();  // leaves the settings edit mode

    ui->stackedWidget->setCurrentIndex(kStoredPage);
    storedImport->start(resultKeeper->store());
    startThreadIfIdle(receiveThread);
}

void MainWindow::showReadBackStorageNum(int totalNum)
{
    if (storedImport->takeCount(totalNum))
        ui->stackedWidget->setCurrentIndex(kStoredPage);
}

void MainWindow::showReadBackData(const ReceiveData& rd, int readedNum)
{
    storedImport->takeRecord(rd, readedNum);
}

void MainWindow::readOutEnded(int readedNum)
{
    Q_UNUSED(readedNum)
    storedImport->takeReadOutEnd();
}

void MainWindow::keepActionsWhileImporting()
{
    setDataActionsEnabled(false);
    setLanguageMenuEnabled(false);
    setPageActionsEnabled(true);
    ui->actionStorage->setEnabled(true);
}

// The read-out is over: the instrument let go, the actions back.
void MainWindow::importFinished(const QString& message)
{
    releaseInstrumentAfterImport();
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

qint64 MainWindow::keepResultRow(TableKind kind, const QStringList& texts, const QByteArray& trace)
{
    return resultKeeper->keepResultRow(kind, texts, trace);
}

void MainWindow::forgetKeptRows(const QAbstractItemModel& model, const std::vector<int>& rows)
{
    resultKeeper->forgetRows(model, rows);
}

void MainWindow::forgetKeptTable(TableKind kind)
{
    resultKeeper->forgetTable(kind);
}
