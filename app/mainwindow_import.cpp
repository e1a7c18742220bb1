// The window's side of the stored data: the stored-data table on its page,
// the import (StoredImport) wired to the link, and the results store
// (ResultKeeper) behind every table, pushed to the team's server (TeamLink)
// whose sessions the history lists too (HistoryActions).

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/windowparts.h"

#include "data/storedrecordsmodel.h"
#include "reports/texttable.h"


using store::TableKind;

void MainWindow::setUpStoredData(const WindowTiming& timing)
{
    auto* storedModel = new StoredRecordsModel(this);
    parts->storedImport = new StoredImport(storedModel, ui->tableView, ui->progressBar,
                                    {timing.keyLockPauseMs, timing.importRefreshMs}, this);
    connect(parts->storedImport, &StoredImport::countRequested, this, &MainWindow::startReadStoreTotalNum);
    connect(parts->storedImport, &StoredImport::stopCirculation, this, &MainWindow::stopCirculationSignal);
    connect(parts->storedImport, &StoredImport::keyLock, this, &MainWindow::keyLockSignal);
    connect(parts->storedImport, &StoredImport::readOutRequested, this, &MainWindow::startReadReadBackData);
    connect(parts->storedImport, &StoredImport::rowsShown, this, [this] {
        windowactions::setDataActionsEnabled(*ui, false);
        windowactions::setLanguageMenuEnabled(*ui, false);
        windowactions::setPageActionsEnabled(*ui, true);
        ui->actionStorage->setEnabled(true);
    });
    connect(parts->storedImport, &StoredImport::instrumentFree, this, [this] { link->releaseInstrument(); });
    // The import is kept: the actions back, unless the operator went to another page meanwhile.
    connect(parts->storedImport, &StoredImport::finished, this, [this](const QString& message) {
        if (ui->stackedWidget->currentIndex() != kStoredPage)
            return;
        windowactions::restoreAfterImport(*ui, isConnected);
        if (!message.isEmpty())
            ui->statusbar->showMessage(message);
    });

    ResultKeeper::Tables tables;
    tables.results = [this](TableKind kind) {
        return (kind == TableKind::DcResults ? parts->dcPage : parts->lengthPage)->resultModel();
    };
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
    parts->resultKeeper = new ResultKeeper(tables, parts->storedImport, this);
    connect(parts->resultKeeper, &ResultKeeper::message, this, [this](const QString& text) { ui->statusbar->showMessage(text); });
    connect(parts->resultKeeper, &ResultKeeper::sessionExportWanted, this,
            [this](const QStringList& headers, const QString& storePath, qint64 sessionId, store::TableKind kind) {
                parts->fileExports->exportSession(headers, storePath, sessionId, kind);
            });

    parts->teamLink = new TeamLink(this);
    HistoryActions::Hooks hooks;
    hooks.store = [this] { return parts->resultKeeper->store(); };
    hooks.service = [this] { return parts->teamLink->service(); };
    hooks.tableName = tables.name;
    hooks.load = [this](TableKind kind, const QList<store::Row>& rows) { parts->resultKeeper->adoptSession(kind, rows); };
    hooks.exportRows = [this](TableKind kind, const QList<store::Row>& rows) {
        QVector<QStringList> cells;
        for (const store::Row& row : rows)
            cells << row.cells;
        parts->fileExports->exportHeldTable(reports::listTable(parts->resultKeeper->headers(kind), cells));
    };
    parts->historyActions = new HistoryActions(hooks, this);
    connect(parts->resultKeeper, &ResultKeeper::historyOpened, parts->historyActions, &HistoryActions::attach);
    connect(parts->historyActions, &HistoryActions::message, this, [this](const QString& text) { ui->statusbar->showMessage(text); });
}

void MainWindow::on_actionImport_storage_triggered()
{
    if (!isConnected) {
        ui->statusbar->showMessage(tr("设备未连接"));
        return;
    }
    parts->pageSwitcher->cancel();
    stopPolling();
    link->startLinkThread();

    ui->statusbar->clearMessage();
    windowactions::setDataActionsEnabled(*ui, false);
    // A language change retranslates the window and restarts polling, whose
    // reads would take stored records off the pipe: not until the import ends.
    windowactions::setLanguageMenuEnabled(*ui, false);
    preparePagesForPolling();  // leaves the settings edit mode

    ui->stackedWidget->setCurrentIndex(kStoredPage);
    parts->storedImport->start(parts->resultKeeper->store());
    link->startDecoderThread();
}

void MainWindow::showReadBackStorageNum(int totalNum)
{
    if (parts->storedImport->takeCount(totalNum))
        ui->stackedWidget->setCurrentIndex(kStoredPage);
}

void MainWindow::showReadBackData(const ReceiveData& rd, int readedNum)
{
    parts->storedImport->takeRecord(rd, readedNum);
}

void MainWindow::readOutEnded(int readedNum)
{
    Q_UNUSED(readedNum)
    parts->storedImport->takeReadOutEnd();
}

