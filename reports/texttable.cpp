#include "reports/texttable.h"

#include <QAbstractItemModel>

namespace reports {

TextTable modelTable(const QAbstractItemModel& model)
{
    TextTable table;
    for (int column = 0; column < model.columnCount(); ++column)
        table.headers << model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    table.rowCount = model.rowCount();
    const QAbstractItemModel* source = &model;
    table.cell = [source](int row, int column) {
        return source->data(source->index(row, column), Qt::DisplayRole).toString();
    };
    return table;
}

TextTable listTable(const QStringList& headers, const QVector<QStringList>& rows)
{
    TextTable table;
    table.headers = headers;
    table.rowCount = rows.size();
    table.cell = [rows](int row, int column) { return rows[row].value(column); };
    return table;
}

TextTable heldTable(const TextTable& table)
{
    QVector<QStringList> rows(table.rowCount);
    for (int row = 0; row < table.rowCount; ++row) {
        QStringList& cells = rows[row];
        cells.reserve(table.columnCount());
        for (int column = 0; column < table.columnCount(); ++column)
            cells << table.cell(row, column);
    }
    TextTable held = listTable(table.headers, rows);
    held.values = table.values;
    held.settled = table.settled;
    held.judgements = table.judgements;
    return held;
}

}  // namespace reports
