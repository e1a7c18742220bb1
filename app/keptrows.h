#pragma once
// The rows of the window's tables: column 0 also holds the row's id in the
// results store, so that a delete can tell the store which rows went, and for
// a result row the trace of its test and whether its reading had settled. They
// travel with the items wherever the row goes (a language change moves the
// items to the new model).

#include "app/settledmark.h"
#include "insight/lockedrow.h"

#include <QAbstractItemModel>
#include <QByteArray>

constexpr int kKeptRowIdRole = Qt::UserRole + 1;
constexpr int kTraceRole = Qt::UserRole + 2;  // analysis::traceBytes of the row's test

inline QList<QStandardItem*> lockedRow(const QStringList& texts, qint64 keptId, const QByteArray& trace = QByteArray(),
                                       std::optional<bool> settled = std::nullopt)
{
    QList<QStandardItem*> items = lockedRow(texts);
    if (items.isEmpty())
        return items;
    if (keptId > 0)
        items.first()->setData(keptId, kKeptRowIdRole);
    if (!trace.isEmpty())
        items.first()->setData(trace, kTraceRole);
    markSettled(items.first(), settled);
    return items;
}

inline QStringList rowTexts(const QAbstractItemModel& model, int row)
{
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column)
        texts << model.index(row, column).data().toString();
    return texts;
}
