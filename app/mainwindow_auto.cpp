// The menu entries of the automatic test series and of the sampling interval
// of the live polling.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/windowparts.h"

#include "dialogs/autotestdialog.h"
#include "dialogs/sampleintervaldialog.h"

namespace {

// The dialogs opened from the menus are windows of their own, not modal, and
// free themselves when closed.
void showAsWindow(QDialog* dialog, const QString& title)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(title);
    dialog->setWindowFlags(Qt::Window);
    dialog->show();
}

}  // namespace

// The series asks for each test of the page on screen; the window starts it
// and stops it, and keeps its actions locked meanwhile.
void MainWindow::setUpAutoSeries(int countdownTickMs)
{
    parts->autoSeries = new AutoSeries(this, countdownTickMs);
    connect(parts->autoSeries, &AutoSeries::nextTestDue, this, [this] {
        const int page = ui->stackedWidget->currentIndex();
        if (page == kDcPage || page == kLengthPage)
            autoMeasurement(page == kLengthPage);
    });
    connect(parts->autoSeries, &AutoSeries::stopDue, this, &MainWindow::stopTestingSignal);
    connect(parts->autoSeries, &AutoSeries::lockActions, this, [this] {
        windowactions::setPageActionsEnabled(*ui, false);
        windowactions::setDataActionsEnabled(*ui, false);
        windowactions::setLanguageMenuEnabled(*ui, false);
    });
    connect(parts->autoSeries, &AutoSeries::ended, this, [this] {
        windowactions::setDataActionsEnabled(*ui, true);
        windowactions::setLanguageMenuEnabled(*ui, true);
    });
}

void MainWindow::on_actionAutomatic_measurement_triggered()
{
    auto* dialog = new AutoTestDialog(this);
    showAsWindow(dialog, tr("自动测试"));
    connect(dialog, &AutoTestDialog::startAutoTestSignal, this, &MainWindow::startAutoTestSlot);
}

// A dialog confirmed after the link went away, or a second dialog confirmed
// while a series runs, starts nothing.
void MainWindow::startAutoTestSlot(int count, int intervalMs)
{
    if (isConnected)
        parts->autoSeries->start(count, intervalMs, AutoSeries::keptSettledStop());
}

void MainWindow::stopAutoTest()
{
    parts->autoSeries->stop();
}

void MainWindow::autoMeasurement(bool isLengthTest)
{
    if (!isTesting) {
        startPolling();
        emit startTestingSignal(isLengthTest);
    }
}

void MainWindow::on_actionSample_interval_triggered()
{
    auto* dialog = new SampleIntervalDialog(this);
    showAsWindow(dialog, tr("采样频率设置"));
    connect(dialog, &SampleIntervalDialog::sampleIntervalSignal, this, &MainWindow::sampleIntervalSlot);
}

// A running timer goes on with the new period at once; a stopped one takes it
// at its next start.
void MainWindow::sampleIntervalSlot(int ms)
{
    link->setPollInterval(ms);
}
