#pragma once
// The tap profile of the DC results: the corrected resistance of one winding
// against tap position, a line per phase, the reference values dashed where
// the object has them, and the steps between taps that stand out, marked on
// the chart and named in a list below it. It draws the current result table
// or an earlier session of the results store.

#include "analysis/tapprofile.h"
#include "store/resultstore.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
namespace QtCharts {
class QChart;
class QChartView;
class QValueAxis;
}

// The earlier DC sessions the panel may draw instead of the current table.
class DcSessionSource
{
public:
    virtual ~DcSessionSource() = default;
    virtual QList<store::SessionSummary> earlierDcSessions() const = 0;
    virtual std::vector<analysis::DcResult> sessionResults(qint64 session) const = 0;
};

class TapProfilePanel : public QWidget
{
    Q_OBJECT

public:
    explicit TapProfilePanel(QWidget* parent = nullptr);

    // Null: only the current table can be drawn.
    void setSessionSource(const DcSessionSource* source);
    // The rows of the current result table, as read from its cells.
    void showTable(const std::vector<analysis::DcResult>& rows);

    // What is drawn, for checks.
    QtCharts::QChart* chart() const;
    QStringList stepTexts() const;  // the list below the chart
    QStringList windings() const;   // those the winding box offers

    void retranslate();

public slots:
    // The reference values of the object under test, drawn dashed at the
    // temperature the values of their phase refer to.
    void setBaseline(const QList<store::BaselineEntry>& entries);

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void listSessions();
    void chooseSource();
    void redraw();
    void drawSeries(const analysis::TapSeries& series, const QColor& colour);
    void drawBaseline(const analysis::TapSeries& series, const QColor& colour);
    void drawMarkedSteps(const analysis::TapSeries& series);
    void fitAxes();
    void listSteps();
    void fitStepList();
    double mostValueIntervals() const;
    void fitValueTitle();

    const DcSessionSource* sessions_ = nullptr;
    QLabel* sourceLabel_ = nullptr;
    QComboBox* source_ = nullptr;
    QLabel* windingLabel_ = nullptr;
    QComboBox* winding_ = nullptr;
    QtCharts::QChartView* view_ = nullptr;
    QtCharts::QValueAxis* tapAxis_ = nullptr;
    QtCharts::QValueAxis* ohmsAxis_ = nullptr;
    QString valueTitle_;           // the value axis's whole title
    double valueIntervals_ = 0.0;  // the value axis was last cut into at most this many parts
    QLabel* basisNote_ = nullptr;
    QListWidget* steps_ = nullptr;
    std::vector<analysis::DcResult> tableRows_;
    std::vector<analysis::TapSeries> profile_;  // of the chosen source, every winding
    QList<store::BaselineEntry> baseline_;
    analysis::ResistanceUnit unit_{QStringLiteral("Ω"), 1.0};
};
