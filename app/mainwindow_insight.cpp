// Measurement insight: the live trend of each test page with the stability of
// the reading, the trace of every finished test kept with its result row, and
// on the DC page the three-phase balance summary with the temperature
// cross-check and its workbook.
//
// Nothing the pages had moves: the fold button joins the row of the result
// buttons, the stable mark floats at the free right end of the status line
// above the live value, the stability bar takes the free room below the settings, and the
// chart (on the DC page in a tab beside the balance summary) stands beside the
// result table, which keeps its height; so the window opens at its usual size
// whether the trend is folded or not.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "insight/balancepanel.h"
#include "app/fileexports.h"
#include "app/keptrows.h"
#include "reports/texttable.h"
#include "insight/trendchart.h"
#include "insight/trendpanel.h"

#include <QBoxLayout>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QSettings>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

#include <array>
#include <optional>

namespace {

constexpr int kTestingState = 1;
constexpr int kConvertedColumn = 12;  // of the DC result table
constexpr int kTableStretch = 3;      // the result table and the side area share the width 3 : 2
constexpr int kSideStretch = 2;
const QColor kCrossCheckColour(255, 215, 215);

// The operator's choices, kept between runs.
const char* const kSettingsFile = "/settingsInsight.ini";
const char* const kTrendFoldedKey = "trendFolded";
const char* const kStabilityWindowKey = "stabilityWindow";
const char* const kStabilityThresholdKey = "stabilityThreshold";
const char* const kPhaseLimitKey = "phaseLimit";
const char* const kLineLimitKey = "lineLimit";

// In the application's data folder; in the temporary folder when that cannot be made.
QString settingsPath()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1String(kSettingsFile);
    if (QDir().mkpath(QFileInfo(path).absolutePath()))
        return path;
    return QDir::tempPath() + QLatin1String(kSettingsFile);
}

// The box layout that holds `widget` directly, searched from `layout` down.
QBoxLayout* boxHolding(QLayout* layout, QWidget* widget, int* index)
{
    for (int i = 0; layout && i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == widget) {
            *index = i;
            return qobject_cast<QBoxLayout*>(layout);
        }
        if (QBoxLayout* inner = boxHolding(item->layout(), widget, index))
            return inner;
    }
    return nullptr;
}

// Puts `added` into the box that holds `anchor`, right after it.
void placeAfter(QWidget* page, QWidget* anchor, QWidget* added)
{
    int at = -1;
    if (QBoxLayout* box = boxHolding(page->layout(), anchor, &at))
        box->insertWidget(at + 1, added);
}

// The table and `side` share the table's place, the table on the left.
void placeBeside(QWidget* page, QTableView* table, QWidget* side)
{
    int at = -1;
    QBoxLayout* holder = boxHolding(page->layout(), table, &at);
    if (!holder)
        return;
    const int stretch = holder->stretch(at);
    holder->removeWidget(table);
    auto* beside = new QHBoxLayout;
    beside->addWidget(table, kTableStretch);
    beside->addWidget(side, kSideStretch);
    // The table alone sets the height of the row: the side never pushes the page's top part.
    side->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    holder->insertLayout(at, beside, stretch);
}

// Keeps a widget that no layout holds at the right end of a sibling (the
// status line above the live value), as its text and the sibling's place change.
class CornerPin : public QObject
{
public:
    CornerPin(QWidget* pinned, QWidget* anchor) : QObject(pinned), pinned_(pinned), anchor_(anchor)
    {
        anchor->installEventFilter(this);
        pinned->parentWidget()->installEventFilter(this);
        pinned->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Move:
        case QEvent::LayoutRequest:
        case QEvent::Show:
        case QEvent::StyleChange:
            place();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void place()
    {
        static constexpr int kMargin = 4;
        pinned_->adjustSize();
        const QRect anchor = anchor_->geometry();
        pinned_->move(anchor.right() - pinned_->width() - kMargin, anchor.center().y() - pinned_->height() / 2);
        pinned_->raise();
    }

    QWidget* pinned_;
    QWidget* anchor_;
};

std::optional<double> liveResistance(const ReceiveData& rd)
{
    if (rd.resistanceOverRange)
        return std::nullopt;
    const std::optional<analysis::Resistance> r = analysis::parseResistance(rd.testedResistance + rd.testedResistanceUnit);
    return r ? std::optional<double>(r->ohms) : std::nullopt;
}

}  // namespace

struct MainWindow::Insight {
    struct Page {
        TrendPanel* panel = nullptr;
        QWidget* side = nullptr;  // what folding hides: the panel, or on the DC page the tabs holding it
        QTableView* view = nullptr;
        analysis::LiveTrend live;
        QByteArray finished;  // the trace of the test that has just ended, until its row takes it
    };
    std::array<Page, 2> pages;  // kDcPage, kLengthPage
    QTabWidget* dcTabs = nullptr;
    BalancePanel* balance = nullptr;
    QElapsedTimer clock;
    QSettings settings{settingsPath(), QSettings::IniFormat};
    bool balanceQueued = false;
};

void MainWindow::InsightDeleter::operator()(Insight* insight) const
{
    delete insight;
}

void MainWindow::setUpInsight()
{
    insight.reset(new Insight);
    insight->settings.setIniCodec("UTF-8");
    insight->clock.start();
    const QSettings& s = insight->settings;
    const analysis::StabilitySettings stability{
        s.value(QLatin1String(kStabilityWindowKey), analysis::StabilitySettings().window).toInt(),
        s.value(QLatin1String(kStabilityThresholdKey), analysis::StabilitySettings().thresholdPercent).toDouble()};
    const bool folded = s.value(QLatin1String(kTrendFoldedKey), false).toBool();

    const std::array<QWidget*, 2> pageWidgets{ui->page_0, ui->page_1};
    const std::array<QWidget*, 2> recordButtons{ui->toolButton_record, ui->toolButton_record2};
    const std::array<QWidget*, 2> settingGroups{ui->groupBox_MeasurementSetting_3, ui->groupBox_MeasurementSetting_4};
    const std::array<QWidget*, 2> liveBoxes{ui->Page1, ui->Page1_2};
    const std::array<QWidget*, 2> statusLines{ui->label_testStatus, ui->label_testStatus_2};
    const std::array<QTableView*, 2> views{ui->tableView_resTest, ui->tableView_lengthTest};
    insight->balance = new BalancePanel;
    insight->balance->setTitleVisible(false);
    insight->dcTabs = new QTabWidget;
    insight->dcTabs->setObjectName(QStringLiteral("tabWidget_insight"));
    for (int p : {kDcPage, kLengthPage}) {
        Insight::Page& page = insight->pages[std::size_t(p)];
        QWidget* pageWidget = pageWidgets[std::size_t(p)];
        page.view = views[std::size_t(p)];
        page.panel = new TrendPanel;
        page.panel->setObjectName(p == kDcPage ? QStringLiteral("trendPanel_dc") : QStringLiteral("trendPanel_length"));
        page.panel->setStabilitySettings(stability);
        page.panel->setFolded(folded);
        page.live.setStabilitySettings(stability);
        page.panel->detachHeader();
        placeAfter(pageWidget, recordButtons[std::size_t(p)], page.panel->foldButton());
        // Its texts change with every reading; they never widen the settings' column.
        page.panel->stabilityBar()->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        placeAfter(pageWidget, settingGroups[std::size_t(p)], page.panel->stabilityBar());
        QLabel* mark = page.panel->detachStableMark();
        mark->setParent(liveBoxes[std::size_t(p)]);
        new CornerPin(mark, statusLines[std::size_t(p)]);
        if (p == kDcPage) {
            insight->dcTabs->addTab(page.panel, QString());
            insight->dcTabs->addTab(insight->balance, QString());
            page.side = insight->dcTabs;
        } else {
            page.side = page.panel;
        }
        placeBeside(pageWidget, page.view, page.side);
        page.side->setVisible(!folded);

        connect(page.panel, &TrendPanel::foldedChanged, this, &MainWindow::foldTrends);
        connect(page.panel, &TrendPanel::stabilitySettingsChanged, this, &MainWindow::chooseStability);
        connect(page.view, &QTableView::clicked, this, [this, p](const QModelIndex& index) { showRowTrace(p, index.row()); });
    }

    insight->balance->setLimits({s.value(QLatin1String(kPhaseLimitKey), analysis::BalanceLimits().phasePercent).toDouble(),
                                 s.value(QLatin1String(kLineLimitKey), analysis::BalanceLimits().linePercent).toDouble()});
    connect(insight->balance, &BalancePanel::limitsChanged, this, [this](analysis::BalanceLimits limits) {
        insight->settings.setValue(QLatin1String(kPhaseLimitKey), limits.phasePercent);
        insight->settings.setValue(QLatin1String(kLineLimitKey), limits.linePercent);
    });
    connect(insight->balance, &BalancePanel::exportRequested, this, &MainWindow::exportBalance);
    followResultModels();
    // After a restart each chart shows the last test its table kept.
    for (int p : {kDcPage, kLengthPage})
        showRowTrace(p, insight->pages[std::size_t(p)].view->model()->rowCount() - 1);
}

// One fold for both pages, remembered for the next start.
void MainWindow::foldTrends(bool folded)
{
    for (Insight::Page& page : insight->pages) {
        page.panel->setFolded(folded);
        page.side->setVisible(!folded);
    }
    insight->settings.setValue(QLatin1String(kTrendFoldedKey), folded);
}

void MainWindow::chooseStability(const analysis::StabilitySettings& chosen)
{
    for (Insight::Page& page : insight->pages) {
        page.panel->setStabilitySettings(chosen);
        page.live.setStabilitySettings(chosen);
        page.panel->showStability(page.live.stability().spreadPercent(), page.live.stability().isStable());
    }
    insight->settings.setValue(QLatin1String(kStabilityWindowKey), chosen.window);
    insight->settings.setValue(QLatin1String(kStabilityThresholdKey), chosen.thresholdPercent);
}

// The result models are made anew at every language change (their rows, with
// the traces on them, move over): the balance and the row selection follow
// the new ones, and the tabs take the new language.
void MainWindow::followResultModels()
{
    if (!insight)
        return;
    insight->dcTabs->setTabText(0, tr("趋势"));
    insight->dcTabs->setTabText(1, tr("三相平衡"));
    auto queueBalance = [this] {
        if (!insight || insight->balanceQueued)
            return;
        insight->balanceQueued = true;
        QTimer::singleShot(0, this, &MainWindow::refreshBalance);
    };
    connect(resTestModel, &QAbstractItemModel::rowsInserted, this, queueBalance);
    connect(resTestModel, &QAbstractItemModel::rowsRemoved, this, queueBalance);
    connect(resTestModel, &QAbstractItemModel::modelReset, this, queueBalance);
    connect(resTestModel, &QAbstractItemModel::dataChanged, this, queueBalance);
    for (int p : {kDcPage, kLengthPage}) {
        connect(insight->pages[std::size_t(p)].view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                [this, p](const QModelIndex& current) { showRowTrace(p, current.row()); });
    }
    refreshBalance();
}

void MainWindow::followTrend(const ReceiveData& rd)
{
    if (!insight)
        return;
    const int p = rd.testType == 0 ? kDcPage : kLengthPage;
    Insight::Page& page = insight->pages[std::size_t(p)];
    analysis::LiveReading reading;
    reading.cycleUnderWay = rd.charging;
    reading.testing = rd.testState == kTestingState;
    reading.ohms = liveResistance(rd);
    reading.amps = analysis::parseAmps(rd.testedCurrent + rd.testedCurrentUnit);
    switch (page.live.take(insight->clock.elapsed() / 1000.0, reading)) {
    case analysis::LiveTrend::Step::Started:
        page.finished.clear();
        page.panel->chart()->showTrace(page.live.trace());
        if (p == kDcPage)
            insight->dcTabs->setCurrentWidget(page.panel);
        break;
    case analysis::LiveTrend::Step::Running:
        page.panel->chart()->appendPoint(page.live.trace().points.last());
        break;
    case analysis::LiveTrend::Step::Finished:
        page.finished = analysis::traceBytes(page.live.trace());
        break;
    case analysis::LiveTrend::Step::Idle:
        return;
    }
    page.panel->showStability(page.live.stability().spreadPercent(), page.live.stability().isStable());
}

// The trace of the test that has just ended, for its result row; taken once.
QByteArray MainWindow::takeFinishedTrace(int page)
{
    if (!insight)
        return QByteArray();
    QByteArray trace;
    std::swap(trace, insight->pages[std::size_t(page)].finished);
    return trace;
}

// A connection that ends in the middle of a test ends its trend there; no row
// comes for that test, so its trace is not kept.
void MainWindow::endTrends()
{
    if (!insight)
        return;
    for (Insight::Page& page : insight->pages) {
        page.live.take(insight->clock.elapsed() / 1000.0, analysis::LiveReading());
        page.finished.clear();
    }
}

void MainWindow::showRowTrace(int p, int row)
{
    if (!insight)
        return;  // the window is being taken down
    Insight::Page& page = insight->pages[std::size_t(p)];
    if (page.live.running() || row < 0)
        return;  // the test under way keeps the chart
    const QAbstractItemModel* model = page.view->model();
    page.panel->chart()->showTrace(analysis::traceFromBytes(model->index(row, 0).data(kTraceRole).toByteArray()));
}

void MainWindow::refreshBalance()
{
    if (!insight)
        return;
    insight->balanceQueued = false;
    std::vector<analysis::DcResult> rows;
    QStringList numbers;
    for (int r = 0; r < resTestModel->rowCount(); ++r) {
        const analysis::DcResult result = analysis::dcResultFromCells(rowTexts(*resTestModel, r));
        rows.push_back(result);
        numbers << resTestModel->index(r, 0).data().toString();
        markCrossCheck(r, analysis::crossCheck(result));
    }
    insight->balance->showResults(rows, numbers);
}

// The converted resistance of a row that disagrees with the temperature
// conversion is tinted and says why. Only changes are written, so that the
// model's change signal does not call for another round.
void MainWindow::markCrossCheck(int row, const analysis::CrossCheck& check)
{
    QStandardItem* cell = resTestModel->item(row, kConvertedColumn);
    if (!cell)
        return;
    const bool differs = check.verdict == analysis::CrossCheck::Differs;
    const QVariant background = differs ? QVariant(QBrush(kCrossCheckColour)) : QVariant();
    QString tip;
    if (differs) {
        const analysis::ResistanceUnit unit = analysis::unitFor(check.expectedOhms);
        tip = tr("按温度换算应为 %1，仪器的值相差 %2 %")
                  .arg(QString::number(check.expectedOhms / unit.ohms, 'f', 3) + unit.name,
                       QString::number(check.deviationPercent, 'f', 2));
    }
    if (cell->data(Qt::BackgroundRole) != background)
        cell->setData(background, Qt::BackgroundRole);
    if (cell->toolTip() != tip)
        cell->setToolTip(tip);
}

void MainWindow::exportBalance()
{
    QVector<QStringList> rows;
    for (const QStringList& row : insight->balance->rowTexts())
        rows << row;
    fileExports->exportWorkbook(tr("保存三相平衡汇总"), reports::listTable(insight->balance->headerTexts(), rows), this);
}
