#pragma once
// Keeping the tables' rows in the local results store: opening it and showing
// what an earlier run left in the tables, keeping each result row before it
// is shown, forgetting deleted rows and cleared tables, the history of
// earlier sessions, and telling the operator when results cannot be kept: once
// in the status bar and, for as long as it lasts, by a red mark beside it.
// Meanwhile the store is tried again now and then; when it keeps again, the
// deletes and clears it missed are recorded and the rows it missed are kept.

#include "reports/texttable.h"
#include "store/resultstore.h"

#include <QObject>
#include <QSet>
#include <QTimer>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class HistoryDialog;
class QAbstractItemModel;
class QAction;
class QLabel;
class QMenu;
class QStandardItemModel;
class QStatusBar;
class QWidget;
class StoredImport;
class StoredRecordsModel;

class ResultKeeper : public QObject
{
    Q_OBJECT

public:
    struct Tables {
        // Asked for each time: a language change replaces the result tables.
        std::function<QStandardItemModel*(store::TableKind)> results;
        StoredRecordsModel* storedRecords = nullptr;
        // A table's name in the history, in the language in force.
        std::function<QString(store::TableKind)> name;
    };

    // The import (may be null) fills the stored records meanwhile; the window
    // is the parent of the history dialog and action. A store that stopped
    // keeping is tried again every retryMs.
    ResultKeeper(const Tables& tables, StoredImport* import, QWidget* window, int retryMs = 5000);
    ~ResultKeeper() override;

    // Opens the store at path and shows its current sessions in the tables.
    void open(const QString& path, const store::StoreOptions& options = store::StoreOptions());
    // At the end of the run: one last try to record what the store missed.
    void keepWhatIsLeft();
    store::ResultStore* store() const { return resultStore.get(); }
    // The kept id of the object under test that each result row is kept with from now on.
    void setObjectSource(std::function<qint64()> source) { objectSource = std::move(source); }

    // Before the row is shown: a row on screen is a row on disk. Its id in the store, 0: not kept.
    qint64 keepResultRow(store::TableKind kind, const QStringList& texts, const QByteArray& trace,
                         std::optional<bool> settled = std::nullopt);
    void forgetRows(const QAbstractItemModel& model, const std::vector<int>& rows);
    void forgetTable(store::TableKind kind);
    // Rows from elsewhere (the team's server) become the table's current session;
    // the rows they replace go to the history. Not while an import fills the stored table.
    void adoptSession(store::TableKind kind, const QList<store::Row>& rows);
    // The column headers of the table, as shown.
    QStringList headers(store::TableKind kind) const;

    // The history entry at the end of the menu, named in the language in force.
    void placeHistoryAction(QMenu* menu);
    // The red mark in the status bar while results are not kept, in the language in force.
    void placeStatusMark(QStatusBar* bar);

signals:
    void message(const QString& text);
    // An earlier session to be written to a workbook.
    void sessionExportWanted(const QStringList& headers, const QString& storePath, qint64 sessionId,
                             store::TableKind kind);
    // The history dialog was opened, with this computer's sessions in it.
    void historyOpened(HistoryDialog* dialog);
    // A session of this computer was loaded; its rows were measured on this object (never 0).
    void sessionObjectLoaded(qint64 objectId);

private:
    int showRows(store::TableKind kind, const QList<store::Row>& rows);
    const QAbstractItemModel* shownTable(store::TableKind kind) const;
    void reportFailure();
    void showStatusMark();
    void retry();
    void catchUp();
    void keepMissedRows(store::TableKind kind);
    void flushImport();
    void showHistory();
    void loadSession(qint64 id);
    void exportSession(qint64 id);

    qint64 currentObject() const { return objectSource ? objectSource() : 0; }

    const Tables tables;
    StoredImport* const import;
    QWidget* const window;
    std::unique_ptr<store::ResultStore> resultStore;
    bool failureReported = false;
    bool tablesFromStore = false;  // the result tables show what the store held at open
    QList<qint64> missedDeletes;
    QSet<int> missedClears;  // TableKind
    QTimer retryTimer;
    std::function<qint64()> objectSource;
    QAction* historyAction = nullptr;
    QStatusBar* statusBar = nullptr;
    QLabel* statusMark = nullptr;
};
