// Keeping the tables' rows in the local results store: opening it, showing
// what an earlier run left in the tables, keeping each completed import, and
// telling the operator once when results cannot be kept.

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "resultstore.h"

#include <QDebug>
#include <QStandardItem>
#include <QStandardItemModel>

using store::TableKind;

namespace {

QList<QStandardItem*> lockedItems(const QStringList& texts)
{
    QList<QStandardItem*> items;
    for (const QString& text : texts) {
        auto* item = new QStandardItem(text);
        item->setTextAlignment(Qt::AlignCenter);
        item->setEditable(false);
        items << item;
    }
    return items;
}

QStringList rowTexts(const QStandardItemModel& model, int row)
{
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column)
        texts << model.index(row, column).data().toString();
    return texts;
}

}  // namespace

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
        QList<QStandardItem*> items = lockedItems(row.cells);
        if (items.isEmpty())
            continue;
        items.first()->setData(row.id, kKeptRowIdRole);
        if (kind != TableKind::StoredRecords)
            items.first()->setText(QString::number(model->rowCount() + 1));
        model->appendRow(items);
    }
    return model->rowCount();
}

// A completed import replaces the kept one; the empty rows of damaged records
// are kept empty, so that row r still holds record r + 1.
void MainWindow::keepImportedRecords()
{
    QList<QStringList> rows;
    for (int row = 0; row < storedModel->rowCount(); ++row)
        rows << rowTexts(*storedModel, row);
    resultStore->replaceCurrentSession(TableKind::StoredRecords, rows);
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
