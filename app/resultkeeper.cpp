#include "app/resultkeeper.h"

#include "app/importkeeper.h"
#include "app/keptrows.h"
#include "app/storedimport.h"
#include "data/storedrecordsmodel.h"
#include "dialogs/historydialog.h"

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QLabel>
#include <QMenu>
#include <QStandardItemModel>
#include <QStatusBar>

#include <algorithm>
#include <iterator>

using store::TableKind;

static_assert(StoredRecordsModel::KeptIdRole == kKeptRowIdRole, "one role holds a row's id in every table");

namespace {

QString translated(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
}

// Why results are not kept, by store::Problem.
const char* const kProblemTexts[] = {
    "",
    QT_TRANSLATE_NOOP("MainWindow", "数据库正被另一个程序使用"),
    QT_TRANSLATE_NOOP("MainWindow", "数据库已损坏，文件保持原样"),
    QT_TRANSLATE_NOOP("MainWindow", "数据库由更新版本的程序写入"),
    QT_TRANSLATE_NOOP("MainWindow", "数据库无法写入（磁盘已满或只读）"),
};
static_assert(std::size(kProblemTexts) == int(store::Problem::Unwritable) + 1, "a text for every problem");

const char* const kStatusMarkName = "storeNotKeepingMark";
const char* const kStatusMarkStyle = "color: white; background: #c62828; padding: 0 6px; border-radius: 3px;";

// A lock can be let go and a disk can get space; a damaged or newer database stays as it is.
bool worthRetrying(store::Problem problem)
{
    return problem == store::Problem::Locked || problem == store::Problem::Unwritable;
}

}  // namespace

ResultKeeper::ResultKeeper(const Tables& tables, StoredImport* import, QWidget* window, int retryMs)
    : QObject(window), tables(tables), import(import), window(window)
{
    if (import)
        connect(import->keeper(), &ImportKeeper::written, this, &ResultKeeper::reportFailure);
    retryTimer.setInterval(retryMs);
    connect(&retryTimer, &QTimer::timeout, this, &ResultKeeper::retry);
}

ResultKeeper::~ResultKeeper() = default;

void ResultKeeper::open(const QString& path, const store::StoreOptions& options)
{
    resultStore = std::make_unique<store::ResultStore>(path, options);
    if (!resultStore->isKeeping()) {
        reportFailure();
        return;
    }
    tablesFromStore = true;
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
    const qint64 id = resultStore->appendRow(kind, texts, trace, settled, currentObject());
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
    if (!resultStore->isKeeping())
        missedDeletes << ids;
    reportFailure();
}

void ResultKeeper::forgetTable(TableKind kind)
{
    resultStore->clearTable(kind);
    if (!resultStore->isKeeping())
        missedClears.insert(int(kind));
    reportFailure();
}

void ResultKeeper::keepWhatIsLeft()
{
    if (resultStore && !resultStore->isKeeping())
        retry();
}

// After each call of the store: measuring goes on, the tables keep their rows
// in memory only. Said once in the status bar; the mark stays.
void ResultKeeper::reportFailure()
{
    if (!resultStore || resultStore->isKeeping())
        return;
    showStatusMark();
    if (worthRetrying(resultStore->problem()) && !retryTimer.isActive())
        retryTimer.start();
    if (failureReported)
        return;
    failureReported = true;
    emit message(translated("测试结果无法保存到本地数据库，仅保留在内存中"));
    qWarning().noquote() << "results are not being kept:" << resultStore->failure();
}

void ResultKeeper::retry()
{
    if (worthRetrying(resultStore->problem()) && resultStore->retry())
        catchUp();
    showStatusMark();
    if (!resultStore->isKeeping())
        return;  // tried again at the next turn of the timer
    retryTimer.stop();
    failureReported = false;
    emit message(translated("测试结果已重新保存到本地数据库"));
}

// What the store missed meanwhile, so that it holds what the tables show: the
// deletes, then the clears (a table that did not come from the store closes
// the session it replaced), then the rows not kept yet.
void ResultKeeper::catchUp()
{
    resultStore->deleteRows(missedDeletes);
    for (TableKind kind : {TableKind::DcResults, TableKind::LengthResults, TableKind::StoredRecords}) {
        const bool shownElsewhere = !tablesFromStore && kind != TableKind::StoredRecords;
        if (missedClears.contains(int(kind)) || shownElsewhere)
            resultStore->clearTable(kind);
    }
    keepMissedRows(TableKind::DcResults);
    keepMissedRows(TableKind::LengthResults);
    if (!resultStore->isKeeping())
        return;
    missedDeletes.clear();
    missedClears.clear();
    tablesFromStore = true;
}

void ResultKeeper::keepMissedRows(TableKind kind)
{
    QStandardItemModel* model = tables.results(kind);
    for (int row = 0; row < model->rowCount(); ++row) {
        QStandardItem* first = model->item(row, 0);
        if (!first || first->data(kKeptRowIdRole).toLongLong() > 0)
            continue;
        const qint64 id = resultStore->appendRow(kind, rowTexts(*model, row), first->data(kTraceRole).toByteArray(),
                                                 std::nullopt, currentObject());
        if (id == 0)
            return;
        first->setData(id, kKeptRowIdRole);
    }
}

void ResultKeeper::placeStatusMark(QStatusBar* bar)
{
    statusBar = bar;
    showStatusMark();
}

// Made when first needed: a status bar is as high as its highest widget, hidden or not.
void ResultKeeper::showStatusMark()
{
    const bool notKeeping = resultStore && !resultStore->isKeeping();
    if (!statusBar || (!statusMark && !notKeeping))
        return;
    if (!statusMark) {
        statusMark = new QLabel(statusBar);
        statusMark->setObjectName(QLatin1String(kStatusMarkName));
        statusMark->setStyleSheet(QLatin1String(kStatusMarkStyle));
        statusBar->addPermanentWidget(statusMark);
    }
    statusMark->setText(translated("结果未保存"));
    statusMark->setVisible(notKeeping);
    if (notKeeping)
        statusMark->setToolTip(translated("测试结果仅保留在内存中：%1（%2）")
                                   .arg(translated(kProblemTexts[int(resultStore->problem())]), resultStore->path()));
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
    {
        HistoryEntry entry;
        entry.id = session.id;
        entry.started = session.started;
        entry.table = tables.name(session.kind);
        entry.rowCount = session.rowCount;
        entry.objectId = session.object.id;
        entry.object = session.object.label();
        entry.canBeBaseline = session.kind == TableKind::DcResults;
        entries << entry;
    }
    auto* dialog = new HistoryDialog(window);
    dialog->setEntries(entries);
    connect(dialog, &HistoryDialog::loadSessionSignal, this, &ResultKeeper::loadSession);
    connect(dialog, &HistoryDialog::exportSessionSignal, this, &ResultKeeper::exportSession);
    emit historyOpened(dialog);
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
    // The next rows belong to the loaded session, so they go to its object.
    if (rows.first().object != 0)
        emit sessionObjectLoaded(rows.first().object);
}

// Straight to a workbook, whatever the tables show and whether connected or not.
void ResultKeeper::exportSession(qint64 id)
{
    const QList<store::SessionSummary> sessions = resultStore->earlierSessions();
    const auto found = std::find_if(sessions.begin(), sessions.end(),
                                    [id](const store::SessionSummary& session) { return session.id == id; });
    if (found != sessions.end())
        emit sessionExportWanted(headers(found->kind), resultStore->path(), id, found->kind);
}

QStringList ResultKeeper::headers(TableKind kind) const
{
    const QAbstractItemModel* shown = shownTable(kind);
    QStringList texts;
    for (int column = 0; column < shown->columnCount(); ++column)
        texts << shown->headerData(column, Qt::Horizontal).toString();
    return texts;
}

void ResultKeeper::adoptSession(TableKind kind, const QList<store::Row>& rows)
{
    if (import && import->isImporting())
        return;
    flushImport();
    QList<QStringList> cells;
    for (const store::Row& row : rows)
        cells << row.cells;
    const QList<qint64> ids = resultStore->replaceCurrentSession(kind, cells);
    reportFailure();
    QList<store::Row> shown = rows;
    for (int index = 0; index < shown.size(); ++index)
        shown[index].id = ids.value(index);  // 0: kept when the store keeps again
    showRows(kind, shown);
    emit message(translated("已载入历史记录 %1 条").arg(rows.size()));
}
