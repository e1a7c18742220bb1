#include "app/keptdcsessions.h"

#include "app/resultkeeper.h"
#include "data/formattables.h"

analysis::DcResult dcResultOnScreen(QStringList cells)
{
    for (QString& cell : cells)
        cell = formattables::fixedTextOnScreen(cell);
    return analysis::dcResultFromCells(cells);
}

QList<store::SessionSummary> KeptDcSessions::earlierDcSessions() const
{
    QList<store::SessionSummary> dc;
    if (const store::ResultStore* results = keeper_->store()) {
        for (const store::SessionSummary& s : results->earlierSessions())
            if (s.kind == store::TableKind::DcResults)
                dc << s;
    }
    return dc;
}

std::vector<analysis::DcResult> KeptDcSessions::sessionResults(qint64 session) const
{
    std::vector<analysis::DcResult> rows;
    if (const store::ResultStore* results = keeper_->store()) {
        for (const store::Row& row : results->sessionRows(session))
            rows.push_back(dcResultOnScreen(row.cells));
    }
    return rows;
}
