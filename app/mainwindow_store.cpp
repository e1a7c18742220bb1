// Keeping the tables' rows in the local results store: opening it, showing
// what an earlier run left in the tables, keeping each completed import, and
// telling the operator once when results cannot be kept.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "dialogs/historydialog.h"
#include "app/fileexports.h"
#include "app/importkeeper.h"
#include "app/keptrows.h"
#include "store/resultstore.h"

#include <QAction>
#include <QDebug>
#include <QStandardItem>
#include <QStandardItemModel>

using store::TableKind;

void MainWindow::openResultStore()
{
    resultStore = std::make_unique<store::ResultStore>(store::ResultStore::defaultPath());
    if (!resultStore->isKeeping()) {
        reportStoreFailure();
        return;
    }
    const int results = showKeptRows(TableKind::DcResults) + showKeptRows(TableKind::LengthResults);
    const int records = showKeptRows(TableKind::StoredRecords);
    if (results + records > 0)
        ui->statusbar->showMessage(tr("已恢复上次的记录：测试结果 %1 条，存储数据 %2 条").arg(results).arg(records));
}

QStandardItemModel* MainWindow::modelOf(TableKind kind) const
{
    switch (kind) {
    case TableKind::DcResults:
        return resTestModel;
    case TableKind::LengthResults:
        return lengthTestModel;
    case TableKind::StoredRecords:
        break;
    }
    return storedModel;
}

// The table gets the rows of its current session in place of its own. The
// result tables number their rows afresh, as after a delete; the stored
// records keep the instrument's numbers.
int MainWindow::showKeptRows(TableKind kind)
{
    return showRows(kind, resultStore->currentRows(kind));
}

int MainWindow::showRows(TableKind kind, const QList<store::Row>& rows)
{
    QStandardItemModel* model = modelOf(kind);
    model->removeRows(0, model->rowCount());
    for (const store::Row& row : rows) {
        QList<QStandardItem*> items = lockedRow(row.cells, row.id, row.trace);
        if (items.isEmpty())
            continue;
        if (kind != TableKind::StoredRecords)
            items.first()->setText(QString::number(model->rowCount() + 1));
        model->appendRow(items);
    }
    return model->rowCount();
}

// Before the row is shown: a row on screen is a row on disk.
qint64 MainWindow::keepResultRow(TableKind kind, const QStringList& texts, const QByteArray& trace)
{
    const qint64 id = resultStore->appendRow(kind, texts, trace);
    reportStoreFailure();
    return id;
}

void MainWindow::forgetKeptRows(const QAbstractItemModel& model, const std::vector<int>& rows)
{
    QList<qint64> ids;
    for (int row : rows) {
        const qint64 id = model.index(row, 0).data(kKeptRowIdRole).toLongLong();
        if (id > 0)
            ids << id;
    }
    resultStore->deleteRows(ids);
    reportStoreFailure();
}

void MainWindow::forgetKeptTable(TableKind kind)
{
    resultStore->clearTable(kind);
    reportStoreFailure();
}

// Once per run, after the failing call: measuring goes on, the tables keep
// their rows in memory only.
void MainWindow::reportStoreFailure()
{
    if (resultStore->isKeeping() || storeFailureReported)
        return;
    storeFailureReported = true;
    ui->statusbar->showMessage(tr("测试结果无法保存到本地数据库，仅保留在内存中"));
    qWarning().noquote() << "results are not being kept:" << resultStore->failure();
}

// --- history -------------------------------------------------------------------

void MainWindow::createHistoryAction()
{
    if (!historyAction) {
        historyAction = new QAction(this);
        historyAction->setObjectName(QStringLiteral("actionHistory"));
        ui->menuView->addSeparator();
        ui->menuView->addAction(historyAction);
        connect(historyAction, &QAction::triggered, this, &MainWindow::showHistory);
    }
    historyAction->setText(tr("历史记录"));
}

QString MainWindow::tableName(TableKind kind) const
{
    switch (kind) {
    case TableKind::DcResults:
        return ui->actionDc_resistance_test->text();
    case TableKind::LengthResults:
        return ui->actionConductor_length_test->text();
    case TableKind::StoredRecords:
        break;
    }
    return ui->actionStorage->text();
}

void MainWindow::showHistory()
{
    importKeeper()->flush();  // the import it may replace is in the history
    QList<HistoryEntry> entries;
    for (const store::SessionSummary& session : resultStore->earlierSessions())
        entries << HistoryEntry{session.id, session.started, tableName(session.kind), session.rowCount};
    auto* dialog = new HistoryDialog(this);
    dialog->setEntries(entries);
    connect(dialog, &HistoryDialog::loadSessionSignal, this, &MainWindow::loadSession);
    connect(dialog, &HistoryDialog::exportSessionSignal, this, &MainWindow::exportSession);
    dialog->show();
}

// The session becomes its table's current one; the rows it replaces go to the
// history, so nothing is lost. Not while an import fills the stored table.
void MainWindow::loadSession(qint64 id)
{
    if (isImporting)
        return;
    importKeeper()->flush();
    TableKind kind = TableKind::DcResults;
    const QList<store::Row> rows = resultStore->reopenSession(id, &kind);
    reportStoreFailure();
    if (rows.isEmpty())
        return;
    showRows(kind, rows);
    ui->statusbar->showMessage(tr("已载入历史记录 %1 条").arg(rows.size()));
}

// Straight to a workbook, whatever the tables show and whether connected or not.
void MainWindow::exportSession(qint64 id)
{
    const store::SessionSummary* found = nullptr;
    const QList<store::SessionSummary> sessions = resultStore->earlierSessions();
    for (const store::SessionSummary& session : sessions)
        if (session.id == id)
            found = &session;
    if (!found)
        return;
    const QStandardItemModel* shown = modelOf(found->kind);
    QStandardItemModel rows;
    QStringList headers;
    for (int column = 0; column < shown->columnCount(); ++column)
        headers << shown->headerData(column, Qt::Horizontal).toString();
    rows.setHorizontalHeaderLabels(headers);
    for (const store::Row& row : resultStore->sessionRows(id))
        rows.appendRow(lockedRow(row.cells, row.id));
    fileExports->exportTable(rows);
}
