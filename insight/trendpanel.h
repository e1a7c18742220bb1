#pragma once
// The live trend of a test page: a header line with the fold button, the
// stability bar (the stability of the live value and its two settings), and
// the chart below it. A page that places the fold button, the stability bar
// or the stable mark itself takes them out; the panel then holds the chart.

#include "analysis/stability.h"

#include <QMetaType>
#include <QWidget>

#include <optional>

Q_DECLARE_METATYPE(analysis::StabilitySettings)

class QDoubleSpinBox;
class QHBoxLayout;
class QLabel;
class QSpinBox;
class QToolButton;
class TrendChart;

class TrendPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TrendPanel(QWidget* parent = nullptr);

    TrendChart* chart() const { return chart_; }
    QToolButton* foldButton() const { return fold_; }
    QWidget* stabilityBar() const { return stabilityBar_; }
    void detachHeader();  // the fold button and the stability bar leave the panel's layout
    QLabel* stableMark() const { return mark_; }
    QLabel* detachStableMark();  // the mark leaves the stability bar, for a page that shows it elsewhere

    bool isFolded() const;
    void setFolded(bool folded);

    analysis::StabilitySettings stabilitySettings() const;
    void setStabilitySettings(const analysis::StabilitySettings& settings);  // emits nothing

    // The spread of the last readings; none before a full window.
    void showStability(std::optional<double> spreadPercent, bool stable);
    bool showsStable() const { return stable_; }
    QString stabilityText() const;

    void retranslate();

protected:
    void changeEvent(QEvent* event) override;

signals:
    void foldedChanged(bool folded);
    void stabilitySettingsChanged(analysis::StabilitySettings settings);

private:
    void showMark();

    QHBoxLayout* header_ = nullptr;
    QHBoxLayout* bar_ = nullptr;
    QToolButton* fold_ = nullptr;
    QWidget* stabilityBar_ = nullptr;
    QLabel* spread_ = nullptr;
    QLabel* mark_ = nullptr;
    QLabel* windowLabel_ = nullptr;
    QSpinBox* window_ = nullptr;
    QLabel* thresholdLabel_ = nullptr;
    QDoubleSpinBox* threshold_ = nullptr;
    TrendChart* chart_ = nullptr;
    std::optional<double> spreadPercent_;
    bool stable_ = false;
};
