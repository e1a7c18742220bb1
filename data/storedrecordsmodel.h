#pragma once
// The stored-data table: the instrument's stored records, one row each, in
// the order of their numbers. Every row has the same shape whatever its
// source (imported, restored at start, loaded from the history): its texts
// packed into UTF-8, in large blocks that the rows share, a fraction of the
// memory of a string per cell with nothing scattered over the heap; each
// cell's text is made when it is asked for. A row also holds its id in the
// results store. A record that never arrived is an empty row.
// Cells are centred and read-only; an empty cell holds nothing.

#include "data/receivedata.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QStringList>
#include <QVector>

#include <utility>
#include <vector>

class StoredRecordsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Column 0's id of the row in the results store (0: not kept); the same
    // role as the result tables' kKeptRowIdRole.
    static constexpr int KeptIdRole = Qt::UserRole + 1;

    // The texts of a record's cells, each followed by its unit where it has one.
    static QStringList recordTexts(const ReceiveData& rd);
    // The column headers in the language now in force.
    static QStringList columnHeaders();

    explicit StoredRecordsModel(QObject* parent = nullptr);

    // The headers in the language now in force; the rows stay.
    void retranslate();
    void clear();
    // As many rows as given: empty ones added at the end for records still to
    // come, or the last ones dropped.
    void setRowCount(int count);
    // Fills the given rows (in rising order), telling the views once for all.
    void setRecords(const QVector<std::pair<int, QStringList>>& records);
    void appendRow(const QStringList& texts, qint64 keptId = 0);
    QList<int> emptyRows() const;

    struct Row;
    // The rows as they are now: a copy that shares the packed texts, cheap to
    // take and safe to read on another thread while the model goes on changing.
    class Snapshot
    {
    public:
        int rowCount() const { return rows.size(); }
        QString cell(int row, int column) const;

    private:
        friend class StoredRecordsModel;
        QVector<Row> rows;
        std::vector<QByteArray> blocks;
    };
    Snapshot snapshot() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Where a row's packed texts lie in the blocks; size 0: an empty row.
    struct Row {
        int block = 0;
        int offset = 0;
        int size = 0;
        qint64 keptId = 0;
    };
private:
    // Packs the texts at the end of the last block, or of a new one.
    Row storedRow(const QStringList& texts, qint64 keptId);
    static QByteArray packedTexts(const std::vector<QByteArray>& blocks, const Row& row);

    QVector<Row> rows;
    std::vector<QByteArray> blocks;
    QStringList headers;
};
