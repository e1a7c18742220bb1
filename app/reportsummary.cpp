#include "app/reportsummary.h"

#include "app/settledmark.h"
#include "data/formattables.h"
#include "insight/balancepanel.h"

#include <QAbstractItemModel>
#include <QCoreApplication>

#include <algorithm>

namespace {

// Columns of the result tables that the summary lists, in its order.
const int kDcColumns[] = {analysis::kNumberColumn,   analysis::kWindingColumn,  analysis::kTappingColumn,
                          analysis::kPhaseColumn,    analysis::kCurrentColumn,  analysis::kMeasuredColumn,
                          analysis::kConvertedColumn};

enum LengthColumn {
    kLengthNumber = 0,
    kConductorNo = 2,
    kSampleNo = 3,
    kLengthCurrent = 9,
    kLengthMeasured = 10,
    kLength = 11,
};
const int kLengthColumns[] = {kLengthNumber, kConductorNo, kSampleNo, kLengthCurrent, kLengthMeasured, kLength};

const BalancePanel::Column kBalanceColumns[] = {BalancePanel::Winding,   BalancePanel::Tapping,
                                                BalancePanel::Phases,    BalancePanel::Imbalance,
                                                BalancePanel::Limit,     BalancePanel::Verdict};

QString cellText(const QAbstractItemModel& model, int row, int column)
{
    return formattables::fixedTextOnScreen(model.index(row, column).data().toString());
}

// "●" settled, "○" still changing, nothing where the row did not keep it.
QString settledText(const QAbstractItemModel& model, int row)
{
    const QVariant settled = model.index(row, 0).data(kSettledRole);
    if (!settled.isValid())
        return QString();
    return settled.toBool() ? QStringLiteral("●") : QStringLiteral("○");
}

QString signedPercent(double percent, int decimals)
{
    const QString number = QString::number(percent, 'f', decimals);
    return percent > 0 && number.toDouble() != 0 ? QLatin1Char('+') + number : number;
}

QString percentText(double percent, int decimals)
{
    return QString::number(percent, 'f', decimals) + QStringLiteral(" %");
}

// The listed columns of every row, then the settled mark.
template <std::size_t N>
reports::SummaryTable resultTable(const QAbstractItemModel& model, const int (&columns)[N])
{
    reports::SummaryTable table;
    for (int column : columns)
        table.headers << model.headerData(column, Qt::Horizontal).toString();
    table.headers << QCoreApplication::translate("ReportSummary", "稳定");
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column : columns)
            cells << cellText(model, row, column);
        table.rows << (cells << settledText(model, row));
    }
    return table;
}

void addJudgements(reports::SummaryTable& table, const analysis::Judgements& judgements)
{
    const auto judged = [](const std::optional<analysis::Judgement>& judgement) { return judgement.has_value(); };
    if (std::none_of(judgements.cbegin(), judgements.cend(), judged))
        return;
    table.headers << QCoreApplication::translate("ReportSummary", "偏差 (%)")
                  << QCoreApplication::translate("ReportSummary", "判定");
    for (int row = 0; row < table.rows.size(); ++row) {
        const std::optional<analysis::Judgement> judgement =
            std::size_t(row) < judgements.size() ? judgements[std::size_t(row)] : std::nullopt;
        if (judgement)
            table.rows[row] << signedPercent(judgement->deviationPercent, 3) << analysis::verdictText(judgement->verdict);
        else
            table.rows[row] << QString() << QString();
    }
}

reports::SummaryTable balanceTable(const QAbstractItemModel& model, const analysis::BalanceLimits& limits)
{
    std::vector<analysis::DcResult> rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column)
            cells << cellText(model, row, column);
        rows.push_back(analysis::dcResultFromCells(cells));
    }
    reports::SummaryTable table;
    for (BalancePanel::Column column : kBalanceColumns)
        table.headers << BalancePanel::headerText(column);
    for (const analysis::BalanceGroup& g : analysis::balanceGroups(rows, limits)) {
        const bool computed = g.status != analysis::BalanceGroup::Incomplete;
        table.rows << QStringList{g.winding,
                                  g.tapping,
                                  analysis::phaseNames(g.kind).join(QLatin1Char('/')),
                                  computed ? percentText(g.imbalancePercent, 3) : QString(),
                                  percentText(g.limitPercent, 2),
                                  BalancePanel::statusText(g.status)};
    }
    return table;
}

reports::ReportSummary summaryFrame()
{
    reports::ReportSummary summary;
    summary.heading = QCoreApplication::translate("ReportSummary", "结果汇总");
    summary.legend =
        QCoreApplication::translate("ReportSummary", "稳定：● 测试结束时读数已稳定，○ 读数仍在变化，空白为未记录");
    summary.signatures = QStringList{QCoreApplication::translate("ReportSummary", "测试人员："),
                                     QCoreApplication::translate("ReportSummary", "审核人员："),
                                     QCoreApplication::translate("ReportSummary", "日期：")};
    return summary;
}

}  // namespace

reports::ReportSummary dcReportSummary(const QAbstractItemModel& results, const analysis::Judgements& judgements,
                                       const analysis::BalanceLimits& limits)
{
    reports::ReportSummary summary = summaryFrame();
    summary.results = resultTable(results, kDcColumns);
    addJudgements(summary.results, judgements);
    summary.balanceHeading = BalancePanel::tr("三相平衡");
    summary.balance = balanceTable(results, limits);
    return summary;
}

reports::ReportSummary lengthReportSummary(const QAbstractItemModel& results)
{
    reports::ReportSummary summary = summaryFrame();
    summary.results = resultTable(results, kLengthColumns);
    return summary;
}
