#include "app/resultkeeper.h"

#include "app/importkeeper.h"
#include "app/keptrows.h"
#include "app/storedimport.h"
#include "data/storedrecordsmodel.h"
#include "dialogs/historydialog.h"

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QMenu>
#include <QStandardItemModel>

#include <algorithm>

using store::TableKind;

static_assert(StoredRecordsModel::KeptIdRole == kKeptRowIdRole, "one role holds a row's id in every table");

namespace {

QString translated(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
}

}  // namespace

ResultKeeper::ResultKeeper(const Tables& tables, StoredImport* import, QWidget* window)
    : QObject(window), tables(tables), import(import), window(window)
{
    if (import)
        connect(import->keeper(), &ImportKeeper::written, this, &ResultKeeper::reportFailure);
}

ResultKeeper::~ResultKeeper() = default;

void ResultKeeper::open(const QString& path)
{
    resultStore = std::make_unique<store::ResultStore>(path);
    if (!resultStore->isKeeping()) {
        reportFailure();
        return;
    }
    const int results = showRows(TableKind::DcResults, resultStore->currentRows(TableKind::DcResults))
                        + showRows(TableKind::LengthResults, resultStore->currentRows(TableKind::LengthResults));
    const int records = showRows(TableKind::StoredRecords, resultStore->currentRows(TableKind::StoredRecords));
    if (results + records > 0)
        emit message(translated("已恢复上次的记录：测试结果 %1 条，存储数据 %2 条").arg(results).arg(records));
}

// The table gets the rows in place of its own. The result tables number their
// rows afresh, as after a delete; the stored records keep the instrument's numbers.
int ResultKeeper::showRows(TableKind kind, const QList<store::Row>& rows)
{
    if (kind == TableKind::StoredRecords) {
        tables.storedRecords->clear();
        for (const store::Row& row : rows)
            if (!row.cells.isEmpty())
                tables.storedRecords->appendRow(row.cells, row.id);
        return tables.storedRecords->rowCount();
    }
    QStandardItemModel* model = tables.results(kind);
    model->removeRows(0, model->rowCount());
    for (const store::Row& row : rows) {
        QList<QStandardItem*> items = lockedRow(row.cells, row.id, row.trace, row.settled);
        if (items.isEmpty())
            continue;
        items.first()->setText(QString::number(model->rowCount() + 1));
        model->appendRow(items);
    }
    return model->rowCount();
}

const QAbstractItemModel* ResultKeeper::shownTable(TableKind kind) const
{
    if (kind == TableKind::StoredRecords)
        return tables.storedRecords;
    return tables.results(kind);
}

qint64 ResultKeeper::keepResultRow(TableKind kind, const QStringList& texts, const QByteArray& trace,
                                   std::optional<bool> settled)
{
    const qint64 id = resultStore->appendRow(kind, texts, trace, settled);
    reportFailure();
    return id;
}

void ResultKeeper::forgetRows(const QAbstractItemModel& model, const std::vector<int>& rows)
{
    QList<qint64> ids;
    for (int row : rows) {
        const qint64 id = model.index(row, 0).data(kKeptRowIdRole).toLongLong();
        if (id > 0)
            ids << id;
    }
    resultStore->deleteRows(ids);
    reportFailure();
}

void ResultKeeper::forgetTable(TableKind kind)
{
    resultStore->clearTable(kind);
    reportFailure();
}

// Once per run, after the failing call: measuring goes on, the tables keep
// their rows in memory only.
void ResultKeeper::reportFailure()
{
    if (!resultStore || resultStore->isKeeping() || failureReported)
        return;
    failureReported = true;
    emit message(translated("测试结果无法保存到本地数据库，仅保留在内存中"));
    qWarning().noquote() << "results are not being kept:" << resultStore->failure();
}

// --- history -------------------------------------------------------------------

void ResultKeeper::placeHistoryAction(QMenu* menu)
{
    if (!historyAction) {
        historyAction = new QAction(window);
        historyAction->setObjectName(QStringLiteral("actionHistory"));
        menu->addSeparator();
        menu->addAction(historyAction);
        connect(historyAction, &QAction::triggered, this, &ResultKeeper::showHistory);
    }
    historyAction->setText(translated("历史记录"));
}

// A completed import still being written is in the history it may replace.
void ResultKeeper::flushImport()
{
    if (import)
        import->keeper()->flush();
}

void ResultKeeper::showHistory()
{
    flushImport();
    QList<HistoryEntry> entries;
    for (const store::SessionSummary& session : resultStore->earlierSessions())
        entries << HistoryEntry{session.id, session.started, tables.name(session.kind), session.rowCount};
    auto* dialog = new HistoryDialog(window);
    dialog->setEntries(entries);
    connect(dialog, &HistoryDialog::loadSessionSignal, this, &ResultKeeper::loadSession);
    connect(dialog, &HistoryDialog::exportSessionSignal, this, &ResultKeeper::exportSession);
    dialog->show();
}

// The session becomes its table's current one; the rows it replaces go to the
// history, so nothing is lost. Not while an import fills the stored table.
void ResultKeeper::loadSession(qint64 id)
{
    if (import && import->isImporting())
        return;
    flushImport();
    TableKind kind = TableKind::DcResults;
    const QList<store::Row> rows = resultStore->reopenSession(id, &kind);
    reportFailure();
    if (rows.isEmpty())
        return;
    showRows(kind, rows);
    emit message(translated("已载入历史记录 %1 条").arg(rows.size()));
}

// Straight to a workbook, whatever the tables show and whether connected or not.
void ResultKeeper::exportSession(qint64 id)
{
    const QList<store::SessionSummary> sessions = resultStore->earlierSessions();
    const auto found = std::find_if(sessions.begin(), sessions.end(),
                                    [id](const store::SessionSummary& session) { return session.id == id; });
    if (found == sessions.end())
        return;
    const QAbstractItemModel* shown = shownTable(found->kind);
    QStandardItemModel rows;
    QStringList headers;
    for (int column = 0; column < shown->columnCount(); ++column)
        headers << shown->headerData(column, Qt::Horizontal).toString();
    rows.setHorizontalHeaderLabels(headers);
    for (const store::Row& row : resultStore->sessionRows(id))
        rows.appendRow(lockedRow(row.cells, row.id));
    emit exportWanted(&rows);
}
