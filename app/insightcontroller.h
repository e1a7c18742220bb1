#pragma once
// Measurement insight on the two test pages: the live trend of each page with
// the stability of the reading, the trace of every finished test kept with its
// result row, and on the DC page the three-phase balance summary with the
// temperature cross-check of the converted resistance, the deviation of
// each result from its reference, and the tap profile.
//
// Nothing the pages had moves: the fold button joins the row of the result
// buttons, the stable mark floats at the free right end of the status line
// above the live value, the stability bar takes the free room below the
// settings, and the chart (on the DC page in a tab beside the balance summary)
// stands beside the result table, which keeps its height; so the window opens
// at its usual size whether the trend is folded or not.

#include "analysis/judgement.h"
#include "analysis/balance.h"
#include "analysis/trace.h"
#include "data/receivedata.h"
#include "reports/texttable.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>

#include <array>
#include <memory>

class BalancePanel;
class BaselineComparison;
class DcSessionSource;
class QSettings;
class QStandardItemModel;
class QTabWidget;
class QTableView;
class TapProfilePanel;
class TrendPanel;
namespace store {
class ResultStore;
}
namespace analysis {
struct CrossCheck;
struct StabilitySettings;
}

// The widgets of one test page that the insight settles among.
struct InsightPageWidgets {
    QWidget* page = nullptr;
    QWidget* recordButton = nullptr;  // the fold button comes after it
    QWidget* settings = nullptr;      // the stability bar comes after it
    QWidget* liveBox = nullptr;       // holds the stable mark
    QWidget* statusLine = nullptr;    // the stable mark keeps to its right end
    QTableView* view = nullptr;       // the result table; the chart stands beside it
};

class InsightController : public QObject
{
    Q_OBJECT

public:
    static constexpr int kDcPage = 0;  // the order of the pages given
    static constexpr int kLengthPage = 1;

    // Each chart starts with the trace of the last row its table holds.
    InsightController(const std::array<InsightPageWidgets, 2>& pages, QStandardItemModel* dcResults,
                      QObject* parent = nullptr);
    ~InsightController() override;

    // The DC result model was made anew (with the rows of the old one).
    void followResultModels(QStandardItemModel* dcResults);
    void followTrend(const ReceiveData& rd);
    // The trace of the test that has just ended, for its result row; taken once.
    QByteArray takeFinishedTrace(int page);
    // Whether the reading of the test that has just ended had settled at its end.
    bool finishedSettled(int page) const { return pages_[std::size_t(page)].finishedSettled; }
    // Whether the reading of the test under way is stable now.
    bool settledNow(int page) const { return pages_[std::size_t(page)].live.stability().isStable(); }
    void endTrends();
    // The limits the balance summary applies now.
    analysis::BalanceLimits balanceLimits() const;
    // The page's table was cleared.
    void clearTrend(int page);
    // Where the tap profile finds the earlier DC sessions it may draw.
    void setSessionSource(std::unique_ptr<DcSessionSource> source);
    TapProfilePanel* tapProfile() const { return tapProfile_; }

    // The store that holds the test objects and their baselines.
    void setResultStore(store::ResultStore* store);
    // The "Baseline" tab; its setObject() follows the object under test.
    BaselineComparison* baselineComparison() const { return baseline_; }
    // The verdict of each row of the DC table against its reference, as the tab shows it.
    analysis::Judgements currentJudgements() const;

signals:
    void warningRequested(const QString& message);
    void balanceExportRequested(const QString& caption, const reports::TextTable& table);

private:
    void nameTabs();

    struct Page {
        TrendPanel* panel = nullptr;
        QWidget* side = nullptr;  // what folding hides: the panel, or on the DC page the tabs holding it
        QTableView* view = nullptr;
        analysis::LiveTrend live;
        QByteArray finished;  // the trace of the test that has just ended, until its row takes it
        bool finishedSettled = false;
    };

    void setUpPage(int p, const InsightPageWidgets& widgets, const analysis::StabilitySettings& stability, bool folded);
    void foldTrends(bool folded);
    void chooseStability(const analysis::StabilitySettings& chosen);
    void queueBalance();
    void showRowTrace(int p, int row);
    void refreshBalance();
    void markCrossCheck(int row, const analysis::CrossCheck& check);
    void exportBalance();

    std::array<Page, 2> pages_;
    QTabWidget* dcTabs_ = nullptr;
    BalancePanel* balance_ = nullptr;
    BaselineComparison* baseline_ = nullptr;
    TapProfilePanel* tapProfile_ = nullptr;
    std::unique_ptr<DcSessionSource> sessions_;
    QStandardItemModel* dcResults_ = nullptr;
    QElapsedTimer clock_;
    std::unique_ptr<QSettings> settings_;
    bool balanceQueued_ = false;
};
