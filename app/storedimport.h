#pragma once
// Reading the instrument's stored records into the stored-data table: the
// count first, then the key lock, then after a pause the read-out, the
// records entering the table together every refresh with a progress bar. Each
// record goes to the results store as it arrives; the import is shown complete
// only once the store holds it, and the bar follows the keeping as well. It
// talks to the link only by its signals.

#include "link/linktiming.h"
#include "reports/texttable.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVector>

#include <cstdint>
#include <utility>

class ImportKeeper;
class QProgressBar;
class QTableView;
class StoredRecordsModel;
struct ReceiveData;
namespace store {
class ResultStore;
}

class StoredImport : public QObject
{
    Q_OBJECT

public:
    struct Timing {
        int keyLockPauseMs = int(kKeyLockPauseMs);  // after the key lock, before the records are asked for
        int refreshMs = 30;        // records arriving meanwhile enter the table together
    };

    StoredImport(StoredRecordsModel* table, QTableView* view, QProgressBar* progressBar, const Timing& timing,
                 QObject* parent = nullptr);

    // Reading records; the keeping of a completed import may still go on after it.
    bool isImporting() const { return importing; }
    ImportKeeper* keeper() const { return keeperOfImport; }

    // A new import, kept in the given store (none: not kept). The table is
    // emptied when the count arrives.
    void start(store::ResultStore* resultStore);
    // The instrument's count; true when the read-out follows.
    bool takeCount(int count);
    void takeRecord(const ReceiveData& rd, int number);
    // The link has finished a read-out: this import's own ends here, naming
    // the records that did not arrive.
    void takeReadOutEnd();
    // Ends the import early: the rows that arrived stay, the store keeps none
    // of them. Returns what to tell the operator once the read-out had begun.
    QString abandon();
    // The table's headers in the language now in force; the rows stay.
    void retranslateTable();
    // The table as it is now, for writing on another thread.
    reports::TextTable heldTable() const;

signals:
    void countRequested();
    void stopCirculation(bool stop);
    void keyLock();
    void readOutRequested();
    // The read-out is over: the instrument may be let go.
    void instrumentFree();
    // Rows entered the table while the import goes on.
    void rowsShown();
    // The import is over with every record arrived or the read-out ended, and
    // kept; the message (may be empty) is for the status bar.
    void finished(const QString& message);

private:
    void requestReadOut();
    void showArrivedRows();
    void showProgress();
    void showKept();
    void keepRow(int row, QStringList texts);
    void keepEmptyRowsUntil(int end);
    void finish(const QString& message);

    StoredRecordsModel* const table;
    QTableView* const view;
    QProgressBar* const progressBar;
    const Timing timing;
    ImportKeeper* const keeperOfImport;
    QTimer refreshTimer;

    bool importing = false;
    bool keeping = false;  // read-out over, the store not yet holding the import
    QString endMessage;    // for the status bar once kept
    int total = 0;
    int recordsArrived = 0;
    int shownUpTo = 0;  // the table's rows up to the newest record shown
    // The key-lock pause's read-out is asked for only by the import that started it.
    std::uint64_t generation = 0;
    // Decoded records waiting for the next refresh of the table.
    QVector<std::pair<int, QStringList>> arrived;
    int rowsKept = 0;  // rows handed to the keeper, empty ones included
    // Read-outs requested and ended, in the link's order, and this import's own.
    std::uint64_t readOutsRequested = 0;
    std::uint64_t readOutsEnded = 0;
    std::uint64_t ownReadOut = 0;
};
