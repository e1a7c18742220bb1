// Automatic test series (a number of tests with a counted-down pause between
// them) and the sampling interval of the live polling.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "dialogs/autotestdialog.h"
#include "dialogs/sampleintervaldialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>
#include <utility>

namespace {

constexpr int kPanelWidth = 400;
constexpr int kPanelHeight = 200;

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

// The dialogs opened from the menus are windows of their own, not modal, and
// free themselves when closed.
void showAsWindow(QDialog* dialog, const QString& title)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(title);
    dialog->setWindowFlags(Qt::Window);
    dialog->show();
}

QString progressText(int done, int count)
{
    return QStringLiteral("%1/%2").arg(done).arg(count);
}

}  // namespace

// --- automatic test series -----------------------------------------------------

void MainWindow::on_actionAutomatic_measurement_triggered()
{
    autoTestDialog = new AutoTestDialog(this);
    showAsWindow(autoTestDialog, tr("自动测试"));
    connect(autoTestDialog, &AutoTestDialog::startAutoTestSignal, this, &MainWindow::startAutoTestSlot);
}

// A dialog confirmed after the link went away, or a second dialog confirmed
// while a series runs, starts nothing.
void MainWindow::startAutoTestSlot(int count, int intervalMs)
{
    if (!isConnected || isAutoTesting)
        return;
    lockActionsForAutoTest();
    autoTestInterval = intervalMs;
    autoTestCount = count;
    autoTestDone = 0;

    auto* panel = new AutoTestPanel(this, [this] { stopAutoTest(); });
    panel->setWindowTitle(tr("自动测试"));
    panel->heading->setText(tr("正在进行自动测试···"));
    panel->progress->setText(progressText(0, count));
    panel->exitButton->setText(tr("退出自动测试"));
    panel->move(geometry().center() - panel->rect().center());
    panel->show();
    autoTestPanel = panel;
    isAutoTesting = true;

    connect(countdownTimer, &QTimer::timeout, panel,
            [this, panel] { countdownTick(panel->progress, panel->countdown); });
    connect(panel->exitButton, &QPushButton::clicked, this, &MainWindow::stopAutoTest);
    startNextAutoTest();
}

// Called with the result row of every test that ends during a series.
void MainWindow::countFinishedAutoTest()
{
    ++autoTestDone;
    if (autoTestDone >= autoTestCount) {
        stopAutoTest();
        return;
    }
    if (!countdownTimer->isActive()) {
        countdownSeconds = autoTestInterval / 1000;
        countdownTimer->start(countdownTickMs);
        isCountingDown = true;
    }
}

// One tick of the pause: the countdown shows pause - 1 s down to "0 s"; the
// tick after that starts the next test, unless a test started meanwhile.
void MainWindow::countdownTick(QLabel* progress, QLabel* countdown)
{
    --countdownSeconds;
    countdown->setText(QStringLiteral("%1 s").arg(countdownSeconds));
    progress->setText(progressText(autoTestDone, autoTestCount));
    if (countdownSeconds >= 0)
        return;
    countdownTimer->stop();
    countdown->clear();
    if (isCountingDown)
        QTimer::singleShot(0, this, [this] { startNextAutoTest(); });
    isCountingDown = false;
}

void MainWindow::startNextAutoTest()
{
    const int page = ui->stackedWidget->currentIndex();
    if (isTesting || (page != kDcPage && page != kLengthPage))
        return;
    startTest(page == kLengthPage);
}

// Ends the series. No stop request: a test still running on the instrument
// goes on, and its row is appended when it ends.
void MainWindow::stopAutoTest()
{
    if (countdownTimer->isActive())
        countdownTimer->stop();
    isAutoTesting = false;
    isCountingDown = false;
    autoTestCount = 0;
    autoTestDone = 0;
    if (autoTestPanel) {
        countdownTimer->disconnect(autoTestPanel);
        autoTestPanel->close();  // deletes it
        autoTestPanel = nullptr;
    }
    setDataActionsEnabled(true);
    setLanguageMenuEnabled(true);
}

void MainWindow::autoMeasurement(bool isLengthTest)
{
    if (!isTesting)
        startTest(isLengthTest);
}

// --- sampling interval -------------------------------------------------------------

void MainWindow::on_actionSample_interval_triggered()
{
    sampleIntervalDialog = new SampleIntervalDialog(this);
    showAsWindow(sampleIntervalDialog, tr("采样频率设置"));
    connect(sampleIntervalDialog, &SampleIntervalDialog::sampleIntervalSignal, this, &MainWindow::sampleIntervalSlot);
}

// A running timer goes on with the new period at once; a stopped one takes it
// at its next start.
void MainWindow::sampleIntervalSlot(int ms)
{
    sampleInterval = ms;
    realTimeTimer->setInterval(ms);
}
