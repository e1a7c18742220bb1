#pragma once
// The summary pages of a test page's report, from its result table: a line
// per result row with whether its reading had settled, on the DC page the
// deviation from the reference value and its verdict (when judged) and the
// three-phase balance verdicts, then the lines to sign. Texts are in the
// language in force, the recorded material and winding included.

#include "analysis/balance.h"
#include "analysis/judgement.h"
#include "reports/reportcontent.h"

class QAbstractItemModel;

// judgements: one per row of the table; with none judged, no deviation columns.
reports::ReportSummary dcReportSummary(const QAbstractItemModel& results, const analysis::Judgements& judgements,
                                       const analysis::BalanceLimits& limits);
reports::ReportSummary lengthReportSummary(const QAbstractItemModel& results);
