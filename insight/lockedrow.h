#pragma once
// A row of one of the program's tables as the operator sees it: centred,
// read-only cells holding plain texts.

#include <QList>
#include <QStandardItem>
#include <QStringList>

inline QList<QStandardItem*> lockedRow(const QStringList& texts)
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
