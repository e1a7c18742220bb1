#include "app/insightcontroller.h"

#include "analysis/balance.h"
#include "analysis/quantities.h"
#include "analysis/stability.h"
#include "app/baselinecomparison.h"
#include "app/keptdcsessions.h"
#include "app/keptrows.h"
#include "app/layoutplacement.h"
#include "insight/balancepanel.h"
#include "insight/baselinepanel.h"
#include "insight/tapprofilepanel.h"
#include "insight/trendchart.h"
#include "insight/trendpanel.h"
#include "store/settingsfiles.h"

#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QSettings>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

#include <optional>
#include <utility>

namespace kept = settingsfiles::insight;

namespace {

constexpr int kWaitingState = 0;
constexpr int kTestingState = 1;
const QColor kCrossCheckColour(255, 215, 215);

std::optional<double> liveResistance(const ReceiveData& rd)
{
    if (rd.resistanceOverRange)
        return std::nullopt;
    const std::optional<analysis::Resistance> r = analysis::parseResistance(rd.testedResistance + rd.testedResistanceUnit);
    return r ? std::optional<double>(r->ohms) : std::nullopt;
}

}  // namespace

InsightController::InsightController(const std::array<InsightPageWidgets, 2>& pages, QStandardItemModel* dcResults,
                                     QObject* parent)
    : QObject(parent), settings_(settingsfiles::open(QLatin1String(kept::kFile)))
{
    clock_.start();
    const analysis::StabilitySettings stability{settingsfiles::read(*settings_, kept::kStabilityWindow),
                                                settingsfiles::read(*settings_, kept::kStabilityThreshold)};
    const bool folded = settingsfiles::read(*settings_, kept::kTrendFolded);

    balance_ = new BalancePanel;
    balance_->setTitleVisible(false);
    baseline_ = new BaselineComparison(*settings_, this);
    connect(baseline_, &BaselineComparison::warningRequested, this, &InsightController::warningRequested);
    tapProfile_ = new TapProfilePanel;
    connect(baseline_, &BaselineComparison::referencesChanged, tapProfile_, &TapProfilePanel::setBaseline);
    dcTabs_ = new QTabWidget;
    dcTabs_->setObjectName(QStringLiteral("tabWidget_insight"));
    for (int p : {kDcPage, kLengthPage})
        setUpPage(p, pages[std::size_t(p)], stability, folded);

    balance_->setLimits({settingsfiles::read(*settings_, kept::kPhaseLimit),
                         settingsfiles::read(*settings_, kept::kLineLimit)});
    connect(balance_, &BalancePanel::limitsChanged, this, [this](analysis::BalanceLimits limits) {
        settingsfiles::write(*settings_, kept::kPhaseLimit, limits.phasePercent);
        settingsfiles::write(*settings_, kept::kLineLimit, limits.linePercent);
    });
    connect(balance_, &BalancePanel::exportRequested, this, &InsightController::exportBalance);
    followResultModels(dcResults);
    // After a restart each chart shows the last test its table kept.
    for (int p : {kDcPage, kLengthPage})
        showRowTrace(p, pages_[std::size_t(p)].view->model()->rowCount() - 1);
}

InsightController::~InsightController() = default;

void InsightController::setUpPage(int p, const InsightPageWidgets& widgets,
                                  const analysis::StabilitySettings& stability, bool folded)
{
    Page& page = pages_[std::size_t(p)];
    page.view = widgets.view;
    page.panel = new TrendPanel;
    page.panel->setObjectName(p == kDcPage ? QStringLiteral("trendPanel_dc") : QStringLiteral("trendPanel_length"));
    page.panel->setStabilitySettings(stability);
    page.panel->setFolded(folded);
    page.live.setStabilitySettings(stability);
    page.panel->detachHeader();
    placeAfter(widgets.page, widgets.recordButton, page.panel->foldButton());
    // Its texts change with every reading; they never widen the settings' column.
    page.panel->stabilityBar()->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    placeAfter(widgets.page, widgets.settings, page.panel->stabilityBar());
    QLabel* mark = page.panel->detachStableMark();
    mark->setParent(widgets.liveBox);
    new CornerPin(mark, widgets.statusLine);
    if (p == kDcPage) {
        dcTabs_->addTab(page.panel, QString());
        dcTabs_->addTab(balance_, QString());
        dcTabs_->addTab(baseline_->panel(), QString());
        dcTabs_->addTab(tapProfile_, QString());
        page.side = dcTabs_;
    } else {
        page.side = page.panel;
    }
    placeBeside(widgets.page, page.view, page.side);
    page.side->setVisible(!folded);

    connect(page.panel, &TrendPanel::foldedChanged, this, &InsightController::foldTrends);
    connect(page.panel, &TrendPanel::stabilitySettingsChanged, this, &InsightController::chooseStability);
    connect(page.view, &QTableView::clicked, this, [this, p](const QModelIndex& index) { showRowTrace(p, index.row()); });
}

// One fold for both pages, remembered for the next start.
void InsightController::foldTrends(bool folded)
{
    for (Page& page : pages_) {
        page.panel->setFolded(folded);
        page.side->setVisible(!folded);
    }
    settingsfiles::write(*settings_, kept::kTrendFolded, folded);
}

void InsightController::chooseStability(const analysis::StabilitySettings& chosen)
{
    for (Page& page : pages_) {
        page.panel->setStabilitySettings(chosen);
        page.live.setStabilitySettings(chosen);
        page.panel->showStability(page.live.stability().spreadPercent(), page.live.stability().isStable());
    }
    settingsfiles::write(*settings_, kept::kStabilityWindow, chosen.window);
    settingsfiles::write(*settings_, kept::kStabilityThreshold, chosen.thresholdPercent);
}

// Each tab's tooltip, which a screen reader also gives as its description,
// says what the tab shows.
void InsightController::nameTabs()
{
    const struct {
        QWidget* page;
        const char* text;
        const char* tip;
    } tabs[] = {
        {dcTabs_->widget(0), QT_TRANSLATE_NOOP("MainWindow", "趋势"),
         QT_TRANSLATE_NOOP("MainWindow", "当前测试的电阻和电流随时间的变化")},
        {balance_, QT_TRANSLATE_NOOP("MainWindow", "三相平衡"),
         QT_TRANSLATE_NOOP("MainWindow", "按绕组和分接比较三相电阻的不平衡率")},
        {baseline_->panel(), QT_TRANSLATE_NOOP("MainWindow", "基准对比"),
         QT_TRANSLATE_NOOP("MainWindow", "每个结果与测试对象的基准值或上次测试的偏差")},
        {tapProfile_, QT_TRANSLATE_NOOP("MainWindow", "分接曲线"),
         QT_TRANSLATE_NOOP("MainWindow", "折算电阻随分接位置的变化，标出异常的阶跃")},
    };
    for (const auto& tab : tabs) {
        const int index = dcTabs_->indexOf(tab.page);
        dcTabs_->setTabText(index, QCoreApplication::translate("MainWindow", tab.text));
        dcTabs_->setTabToolTip(index, QCoreApplication::translate("MainWindow", tab.tip));
    }
}

// The result models are made anew at every language change (their rows, with
// the traces on them, move over): the balance and the row selection follow
// the new ones, and the tabs take the new language.
void InsightController::followResultModels(QStandardItemModel* dcResults)
{
    dcResults_ = dcResults;
    nameTabs();
    connect(dcResults_, &QAbstractItemModel::rowsInserted, this, &InsightController::queueBalance);
    connect(dcResults_, &QAbstractItemModel::rowsRemoved, this, &InsightController::queueBalance);
    connect(dcResults_, &QAbstractItemModel::modelReset, this, &InsightController::queueBalance);
    connect(dcResults_, &QAbstractItemModel::dataChanged, this, &InsightController::queueBalance);
    for (int p : {kDcPage, kLengthPage}) {
        connect(pages_[std::size_t(p)].view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this, p](const QModelIndex& current) { showRowTrace(p, current.row()); });
    }
    refreshBalance();
}

// Rows often come and change several at a time: the balance is worked out once after them.
void InsightController::queueBalance()
{
    if (balanceQueued_)
        return;
    balanceQueued_ = true;
    QTimer::singleShot(0, this, &InsightController::refreshBalance);
}

void InsightController::followTrend(const ReceiveData& rd)
{
    const int p = rd.testType == 0 ? kDcPage : kLengthPage;
    Page& page = pages_[std::size_t(p)];
    analysis::LiveReading reading;
    reading.cycleUnderWay = rd.charging;
    reading.testing = rd.testState == kTestingState;
    reading.ohms = liveResistance(rd);
    reading.amps = analysis::parseAmps(rd.testedCurrent + rd.testedCurrentUnit);
    switch (page.live.take(clock_.elapsed() / 1000.0, reading)) {
    case analysis::LiveTrend::Step::Started:
        page.finished.clear();
        page.panel->chart()->showTrace(page.live.trace());
        if (p == kDcPage)
            dcTabs_->setCurrentWidget(page.panel);
        break;
    case analysis::LiveTrend::Step::Running:
        page.panel->chart()->appendPoint(page.live.trace().points.last());
        break;
    case analysis::LiveTrend::Step::Finished:
        page.finished = analysis::traceBytes(page.live.trace());
        page.finishedSettled = page.live.stability().isStable();
        break;
    case analysis::LiveTrend::Step::Idle:
        // The mark tells of the test just finished until the instrument waits for the next.
        if (rd.testState == kWaitingState)
            page.panel->showStability(std::nullopt, false);
        return;
    }
    page.panel->showStability(page.live.stability().spreadPercent(), page.live.stability().isStable());
}

QByteArray InsightController::takeFinishedTrace(int page)
{
    return std::exchange(pages_[std::size_t(page)].finished, QByteArray());
}

// A connection that ends in the middle of a test ends its trend there; no row
// comes for that test, so its trace is not kept.
void InsightController::endTrends()
{
    for (Page& page : pages_) {
        page.live.take(clock_.elapsed() / 1000.0, analysis::LiveReading());
        page.finished.clear();
        page.panel->showStability(std::nullopt, false);
    }
}

// The rows are gone, and with them the trace the chart showed; a test under
// way keeps its chart.
void InsightController::clearTrend(int p)
{
    Page& page = pages_[std::size_t(p)];
    if (page.live.running())
        return;
    page.panel->chart()->clear();
    page.panel->showStability(std::nullopt, false);
}

void InsightController::setSessionSource(std::unique_ptr<DcSessionSource> source)
{
    sessions_ = std::move(source);
    tapProfile_->setSessionSource(sessions_.get());
}

void InsightController::showRowTrace(int p, int row)
{
    Page& page = pages_[std::size_t(p)];
    if (page.live.running() || row < 0)
        return;  // the test under way keeps the chart
    const QAbstractItemModel* model = page.view->model();
    page.panel->chart()->showTrace(analysis::traceFromBytes(model->index(row, 0).data(kTraceRole).toByteArray()));
}

analysis::BalanceLimits InsightController::balanceLimits() const
{
    return balance_->limits();
}

void InsightController::refreshBalance()
{
    balanceQueued_ = false;
    std::vector<analysis::DcResult> rows;
    QStringList numbers;
    for (int r = 0; r < dcResults_->rowCount(); ++r) {
        // Rows recorded in either language group together, named in the language on screen.
        const analysis::DcResult result = dcResultOnScreen(rowTexts(*dcResults_, r));
        rows.push_back(result);
        numbers << dcResults_->index(r, 0).data().toString();
        markCrossCheck(r, analysis::crossCheck(result));
    }
    balance_->showResults(rows, numbers);
    baseline_->showRows(rows);
    tapProfile_->showTable(rows);
}

void InsightController::setResultStore(store::ResultStore* store)
{
    baseline_->setResultStore(store);
}

analysis::Judgements InsightController::currentJudgements() const
{
    return baseline_->judgements();
}

// The converted resistance of a row that disagrees with the temperature
// conversion is tinted and says why. Only changes are written, so that the
// model's change signal does not call for another round.
void InsightController::markCrossCheck(int row, const analysis::CrossCheck& check)
{
    QStandardItem* cell = dcResults_->item(row, analysis::kConvertedColumn);
    if (!cell)
        return;
    const bool differs = check.verdict == analysis::CrossCheck::Differs;
    const QVariant background = differs ? QVariant(QBrush(kCrossCheckColour)) : QVariant();
    QString tip;
    if (differs) {
        const analysis::ResistanceUnit unit = analysis::unitFor(check.expectedOhms);
        tip = QCoreApplication::translate("MainWindow", "按温度换算应为 %1，仪器的值相差 %2 %")
                  .arg(QString::number(check.expectedOhms / unit.ohms, 'f', 3) + unit.name,
                       QString::number(check.deviationPercent, 'f', 2));
    }
    if (cell->data(Qt::BackgroundRole) != background)
        cell->setData(background, Qt::BackgroundRole);
    if (cell->toolTip() != tip)
        cell->setToolTip(tip);
}

void InsightController::exportBalance()
{
    if (balance_->model()->rowCount() == 0) {
        emit warningRequested(QCoreApplication::translate("MainWindow", "无数据"));
        return;
    }
    QVector<QStringList> rows;
    for (const QStringList& row : balance_->rowTexts())
        rows << row;
    reports::TextTable table = reports::listTable(balance_->headerTexts(), rows);
    table.values = reports::ValueLayout::Balance;
    emit balanceExportRequested(QCoreApplication::translate("MainWindow", "保存三相平衡汇总"), table);
}
