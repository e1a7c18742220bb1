#pragma once
// The three-phase balance summary of the DC result table: one line per
// winding, tapping and kind of resistance, with the operator's two limits, a
// pass or fail mark, the rows that fail the temperature cross-check, and an
// export of the summary to a workbook.

#include "analysis/balance.h"

#include <QWidget>

#include <vector>

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QStandardItem;
class QStandardItemModel;
class QTableView;

class BalancePanel : public QWidget
{
    Q_OBJECT

public:
    enum Column { Winding, Tapping, Phases, Values, Basis, Imbalance, Limit, Verdict, ColumnCount };

    explicit BalancePanel(QWidget* parent = nullptr);

    // `rowNumbers` are the numbers the result table shows for `rows`.
    void showResults(const std::vector<analysis::DcResult>& rows, const QStringList& rowNumbers);

    analysis::BalanceLimits limits() const;
    void setLimits(const analysis::BalanceLimits& limits);  // emits nothing

    QStandardItemModel* model() const { return model_; }
    QStringList headerTexts() const;
    // In the language in force: a column's header, a group's verdict.
    static QString headerText(Column column);
    static QString statusText(analysis::BalanceGroup::Status status);
    // The summary as shown, row by row, for the workbook.
    QList<QStringList> rowTexts() const;
    QString crossCheckText() const;

    void retranslate();
    void setTitleVisible(bool visible);  // hidden where a tab already names the summary

protected:
    void changeEvent(QEvent* event) override;

signals:
    void limitsChanged(analysis::BalanceLimits limits);
    void exportRequested();

private:
    void refresh();
    QList<QStandardItem*> groupRow(const analysis::BalanceGroup& g) const;
    QString valuesText(const analysis::BalanceGroup& g) const;
    void showCrossCheck(const QString& text);
    void showVerdictFirst();
    void keepResistancesInSight();

    QLabel* title_ = nullptr;
    QLabel* phaseLabel_ = nullptr;
    QDoubleSpinBox* phaseLimit_ = nullptr;
    QLabel* lineLabel_ = nullptr;
    QDoubleSpinBox* lineLimit_ = nullptr;
    QPushButton* export_ = nullptr;
    QTableView* view_ = nullptr;
    QStandardItemModel* model_ = nullptr;
    QLabel* crossCheck_ = nullptr;
    std::vector<analysis::DcResult> rows_;
    QStringList rowNumbers_;
};

Q_DECLARE_METATYPE(analysis::BalanceLimits)
