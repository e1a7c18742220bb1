#pragma once
// The rows of the window's tables as the operator sees them: centred,
// read-only cells; column 0 also holds the row's id in the results store, so
// that a delete can tell the store which rows went.

#include <QList>
#include <QStandardItem>
#include <QStringList>

constexpr int kKeptRowIdRole = Qt::UserRole + 1;

inline QList<QStandardItem*> lockedRow(const QStringList& texts, qint64 keptId)
{
    QList<QStandardItem*> items;
    for (const QString& text : texts) {
        auto* item = new QStandardItem(text);
        item->setTextAlignment(Qt::AlignCenter);
        item->setEditable(false);
        items << item;
    }
    if (!items.isEmpty() && keptId > 0)
        items.first()->setData(keptId, kKeptRowIdRole);
    return items;
}
