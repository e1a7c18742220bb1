#pragma once
// A table of texts as the exports read it: a header row and cells asked for
// one by one, so that a large table is written without being copied first.

#include "analysis/judgement.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>
#include <vector>

class QAbstractItemModel;

namespace reports {

// Which of the program's tables a text table holds: its workbook then gains a
// second sheet of the same rows as numbers (see valuesheet.h).
enum class ValueLayout { None, DcResults, LengthResults, StoredRecords, Balance };

struct TextTable {
    QStringList headers;  // one per column
    int rowCount = 0;
    std::function<QString(int row, int column)> cell;

    ValueLayout values = ValueLayout::None;
    // What the rows know beyond their texts, one entry per row from the first
    // (missing entries: not known): whether the reading had settled, and for
    // DC rows the deviation from their reference value.
    std::vector<std::optional<bool>> settled;
    analysis::Judgements judgements;

    int columnCount() const { return headers.size(); }
};

// The model's horizontal header texts and its cells' display texts. The table
// reads the model when asked and is valid only while the model lives unchanged.
TextTable modelTable(const QAbstractItemModel& model);

// A table that holds its rows; a row shorter than the header has empty cells.
TextTable listTable(const QStringList& headers, const QVector<QStringList>& rows);

// Every text of the table copied into a table that holds them: it stays valid
// when its source changes and may be read on another thread.
TextTable heldTable(const TextTable& table);

}  // namespace reports
