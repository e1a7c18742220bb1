#pragma once
// Whether the reading of a result row had settled when its test ended: kept in
// the row's first item and shown there as a mark with a tooltip, never as a
// cell text (the tables' texts, reports and workbooks stay as they are).

#include <QtCore/qnamespace.h>

#include <optional>

class QStandardItem;

constexpr int kSettledRole = Qt::UserRole + 3;  // bool; absent: not known (rows kept before it was)

// Notes the flag in the item and shows its mark; nothing for a flag not known.
void markSettled(QStandardItem* first, std::optional<bool> settled);
// Shows the mark of the noted flag again, in the language now in force.
void retranslateSettledMark(QStandardItem* first);
