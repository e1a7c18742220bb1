#include "insight/trendpanel.h"

#include "insight/trendchart.h"

#include <QDoubleSpinBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char* const kStableStyle =
    "QLabel{background-color: rgb(6, 186, 39); color: white; border-radius: 3px; padding: 1px 6px;}";
const char* const kSettlingStyle =
    "QLabel{background-color: rgb(254, 202, 84); color: black; border-radius: 3px; padding: 1px 6px;}";
const char* const kFoldStyle = "QToolButton{background-color: rgb(142, 189, 243); border: none;}";

}  // namespace

TrendPanel::TrendPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("trendPanel"));
    fold_ = new QToolButton(this);
    fold_->setObjectName(QStringLiteral("toolButton_trend"));
    fold_->setCheckable(true);
    fold_->setChecked(true);
    fold_->setArrowType(Qt::DownArrow);
    fold_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    fold_->setStyleSheet(QLatin1String(kFoldStyle));
    stabilityBar_ = new QWidget(this);
    stabilityBar_->setObjectName(QStringLiteral("stabilityBar"));
    spread_ = new QLabel(stabilityBar_);
    spread_->setObjectName(QStringLiteral("label_stabilitySpread"));
    mark_ = new QLabel(stabilityBar_);
    mark_->setObjectName(QStringLiteral("label_stableMark"));
    windowLabel_ = new QLabel(stabilityBar_);
    window_ = new QSpinBox(stabilityBar_);
    window_->setObjectName(QStringLiteral("spinBox_stabilityWindow"));
    window_->setRange(analysis::StabilitySettings::kMinWindow, analysis::StabilitySettings::kMaxWindow);
    thresholdLabel_ = new QLabel(stabilityBar_);
    threshold_ = new QDoubleSpinBox(stabilityBar_);
    threshold_->setObjectName(QStringLiteral("doubleSpinBox_stabilityThreshold"));
    threshold_->setDecimals(analysis::StabilitySettings::kThresholdDecimals);
    threshold_->setRange(analysis::StabilitySettings::kMinThresholdPercent,
                        analysis::StabilitySettings::kMaxThresholdPercent);
    threshold_->setSingleStep(0.01);
    threshold_->setSuffix(QStringLiteral(" %"));
    chart_ = new TrendChart(this);
    chart_->setObjectName(QStringLiteral("trendChart"));

    bar_ = new QHBoxLayout(stabilityBar_);
    bar_->setContentsMargins(0, 0, 0, 0);
    bar_->addWidget(spread_);
    bar_->addWidget(mark_);
    bar_->addStretch(1);
    bar_->addWidget(windowLabel_);
    bar_->addWidget(window_);
    bar_->addSpacing(8);
    bar_->addWidget(thresholdLabel_);
    bar_->addWidget(threshold_);
    header_ = new QHBoxLayout;
    header_->addWidget(fold_);
    header_->addSpacing(12);
    header_->addWidget(stabilityBar_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(header_);
    layout->addWidget(chart_, 1);

    setStabilitySettings({});
    connect(fold_, &QToolButton::toggled, this, [this](bool open) {
        setFolded(!open);
        emit foldedChanged(!open);
    });
    auto changed = [this] { emit stabilitySettingsChanged(stabilitySettings()); };
    connect(window_, QOverload<int>::of(&QSpinBox::valueChanged), this, changed);
    connect(threshold_, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, changed);
    retranslate();
}

bool TrendPanel::isFolded() const
{
    return !fold_->isChecked();
}

void TrendPanel::setFolded(bool folded)
{
    {
        const QSignalBlocker block(fold_);
        fold_->setChecked(!folded);
    }
    fold_->setArrowType(folded ? Qt::RightArrow : Qt::DownArrow);
    chart_->setVisible(!folded);
}

analysis::StabilitySettings TrendPanel::stabilitySettings() const
{
    return {window_->value(), threshold_->value()};
}

void TrendPanel::setStabilitySettings(const analysis::StabilitySettings& settings)
{
    const QSignalBlocker blockWindow(window_);
    const QSignalBlocker blockThreshold(threshold_);
    window_->setValue(settings.window);
    threshold_->setValue(settings.thresholdPercent);
}

void TrendPanel::showStability(std::optional<double> spreadPercent, bool stable)
{
    if (spreadPercent == spreadPercent_ && stable == stable_)
        return;  // most readings change nothing: the style sheet is not set again
    spreadPercent_ = spreadPercent;
    stable_ = stable;
    showMark();
}

QString TrendPanel::stabilityText() const
{
    return spread_->text() + QLatin1Char(' ') + mark_->text();
}

void TrendPanel::showMark()
{
    const QString spread = spreadPercent_ ? QString::number(*spreadPercent_, 'f', 3) + QStringLiteral(" %")
                                          : QStringLiteral("—");
    spread_->setText(tr("波动：%1").arg(spread));
    mark_->setVisible(spreadPercent_.has_value());
    mark_->setText(stable_ ? tr("稳定") : tr("未稳定"));
    mark_->setToolTip(spread_->text());
    mark_->setStyleSheet(QLatin1String(stable_ ? kStableStyle : kSettlingStyle));
}

void TrendPanel::detachHeader()
{
    header_->removeWidget(fold_);
    header_->removeWidget(stabilityBar_);
}

QLabel* TrendPanel::detachStableMark()
{
    bar_->removeWidget(mark_);
    return mark_;
}

void TrendPanel::retranslate()
{
    fold_->setText(tr("趋势"));
    fold_->setToolTip(tr("显示或隐藏测试电阻的趋势图"));
    windowLabel_->setText(tr("窗口（次）"));
    window_->setToolTip(tr("计算波动所用的最近读数个数"));
    thresholdLabel_->setText(tr("稳定阈值"));
    threshold_->setToolTip(tr("波动（最大值 − 最小值）/ 平均值低于此值时为稳定"));
    chart_->retranslate();
    showMark();
}

void TrendPanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
