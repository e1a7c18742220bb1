#pragma once
// The earlier DC sessions of the results store, for the tap profile, their
// rows read as the window's DC table reads its own.

#include "insight/tapprofilepanel.h"

class ResultKeeper;

// A row's cells as the DC table on screen reads them: rows recorded in
// either language name their winding and material in the language in force.
analysis::DcResult dcResultOnScreen(QStringList cells);

class KeptDcSessions : public DcSessionSource
{
public:
    explicit KeptDcSessions(const ResultKeeper* keeper) : keeper_(keeper) {}

    QList<store::SessionSummary> earlierDcSessions() const override;
    std::vector<analysis::DcResult> sessionResults(qint64 session) const override;

private:
    const ResultKeeper* keeper_;  // its store is opened after the window is built
};
