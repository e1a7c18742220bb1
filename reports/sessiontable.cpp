#include "reports/sessiontable.h"

namespace reports {

ValueLayout valueLayout(store::TableKind kind)
{
    switch (kind) {
    case store::TableKind::DcResults:
        return ValueLayout::DcResults;
    case store::TableKind::LengthResults:
        return ValueLayout::LengthResults;
    case store::TableKind::StoredRecords:
        break;
    }
    return ValueLayout::StoredRecords;
}

TextTable sessionTable(const QStringList& headers, const QList<store::Row>& rows, store::TableKind kind)
{
    QVector<QStringList> texts;
    std::vector<std::optional<bool>> settled;
    for (const store::Row& row : rows) {
        texts << row.cells;
        settled.push_back(row.settled);
    }
    TextTable table = listTable(headers, texts);
    table.values = valueLayout(kind);
    table.settled = std::move(settled);
    return table;
}

}  // namespace reports
