#include "app/autoseries.h"

#include "store/settingsfiles.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>
#include <utility>

namespace {

constexpr int kPanelWidth = 400;
constexpr int kPanelHeight = 200;
constexpr int kStopAfterTestingReadings = 8;  // the ninth reading in a run sends the stop

QString progressText(int done, int count)
{
    return QStringLiteral("%1/%2").arg(done).arg(count);
}

}  // namespace

// The small window shown while a series runs. It lives for one run: the
// countdown handler is connected with the panel as its context, so deleting
// the panel at the end of the run also removes the handler.
class AutoTestPanel : public QWidget
{
public:
    AutoTestPanel(QWidget* window, std::function<void()> onWindowClose)
        : QWidget(window, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
          onWindowClose(std::move(onWindowClose))
    {
        setObjectName(QStringLiteral("autoTestPanel"));
        setAttribute(Qt::WA_DeleteOnClose);
        setFixedSize(kPanelWidth, kPanelHeight);
        setFont(QFont(QStringLiteral("Microsoft YaHei UI"), 11));

        auto* layout = new QVBoxLayout(this);
        for (QLabel* label : {heading, progress, countdown}) {
            label->setAlignment(Qt::AlignCenter);
            layout->addWidget(label);
        }
        layout->addWidget(exitButton);
        progress->setObjectName(QStringLiteral("label_autoTestProgress"));
        countdown->setObjectName(QStringLiteral("label_autoTestCountdown"));
        exitButton->setObjectName(QStringLiteral("pushButton_exitAutoTest"));

        setWindowTitle(QCoreApplication::translate("MainWindow", "自动测试"));
        heading->setText(QCoreApplication::translate("MainWindow", "正在进行自动测试···"));
        exitButton->setText(QCoreApplication::translate("MainWindow", "退出自动测试"));
    }

    QLabel* heading = new QLabel(this);
    QLabel* progress = new QLabel(this);
    QLabel* countdown = new QLabel(this);
    QPushButton* exitButton = new QPushButton(this);

protected:
    // The panel has no close button, but a window manager may close it anyway:
    // that ends the run like the exit button, which then closes the panel.
    void closeEvent(QCloseEvent* e) override
    {
        if (!e->spontaneous()) {
            QWidget::closeEvent(e);
            return;
        }
        e->ignore();
        QTimer::singleShot(0, parentWidget(), onWindowClose);
    }

private:
    std::function<void()> onWindowClose;
};

SettledStop AutoSeries::keptSettledStop()
{
    namespace kept = settingsfiles::autotest;
    const std::unique_ptr<QSettings> settings = settingsfiles::open(QLatin1String(kept::kFile));
    return {settingsfiles::read(*settings, kept::kStopWhenSettled),
            settingsfiles::read(*settings, kept::kLongestWaitSeconds)};
}

AutoSeries::AutoSeries(QWidget* window, int countdownTickMs)
    : QObject(window), window(window), countdownTimer(new QTimer(window)), countdownTickMs(countdownTickMs)
{
    countdownTimer->setObjectName(QStringLiteral("countdownTimer"));
}

void AutoSeries::start(int tests, int pauseMs, SettledStop testEnd)
{
    if (running)
        return;
    emit lockActions();
    settledStop = testEnd;
    stopSent = false;
    testingClock.invalidate();
    intervalMs = pauseMs;
    count = tests;
    done = 0;

    auto* shown = new AutoTestPanel(window, [this] { stop(); });
    shown->progress->setText(progressText(0, tests));
    shown->move(window->geometry().center() - shown->rect().center());
    shown->show();
    panel = shown;
    running = true;

    connect(countdownTimer, &QTimer::timeout, shown, [this] { countdownTick(); });
    connect(shown->exitButton, &QPushButton::clicked, this, &AutoSeries::stop);
    emit nextTestDue();
}

void AutoSeries::stop()
{
    countdownTimer->stop();
    running = false;
    countingDown = false;
    count = 0;
    done = 0;
    if (panel) {
        countdownTimer->disconnect(panel);
        panel->close();  // deletes it
        panel = nullptr;
    }
    emit ended();
}

// A test that started during the pause (by the operator or the instrument's
// keys) ends the countdown without a start of its own.
void AutoSeries::followRunningTest(bool testingState, bool lengthTest, bool settled)
{
    if (!running)
        return;
    emit lockActions();
    if (countingDown) {
        countdownSeconds = 0;
        countingDown = false;
    }
    if (!testingState)
        return;
    ++testingReadings;
    if (!testingClock.isValid())
        testingClock.start();
    if (stopIsDue(settled)) {
        emit stopDue(lengthTest);
        stopSent = true;
        testingReadings = 0;
    }
}

// The longest wait counts seconds of the series, the countdown's ticks. A
// stop that the test outlives is sent again after the fixed number of readings.
bool AutoSeries::stopIsDue(bool settled) const
{
    if (stopSent || !settledStop.enabled)
        return testingReadings > kStopAfterTestingReadings;
    return settled || testingClock.elapsed() >= qint64(settledStop.longestWaitSeconds) * countdownTickMs;
}

void AutoSeries::followIdle()
{
    testingReadings = 0;
    stopSent = false;
    testingClock.invalidate();
    if (running)
        emit lockActions();
}

void AutoSeries::countFinishedTest()
{
    if (!running)
        return;
    ++done;
    if (done >= count) {
        stop();
        return;
    }
    if (!countdownTimer->isActive()) {
        countdownSeconds = intervalMs / 1000;
        countdownTimer->start(countdownTickMs);
        countingDown = true;
    }
}

// One tick of the pause: the countdown shows pause - 1 s down to "0 s"; the
// tick after that asks for the next test, unless a test started meanwhile.
void AutoSeries::countdownTick()
{
    --countdownSeconds;
    panel->countdown->setText(QStringLiteral("%1 s").arg(countdownSeconds));
    panel->progress->setText(progressText(done, count));
    if (countdownSeconds >= 0)
        return;
    countdownTimer->stop();
    panel->countdown->clear();
    if (countingDown)
        QTimer::singleShot(0, this, [this] { emit nextTestDue(); });
    countingDown = false;
}
