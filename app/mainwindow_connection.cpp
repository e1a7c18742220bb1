// Connecting and disconnecting, live polling, showing the readings and the
// status reports of the two workers.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/windowparts.h"

#include "app/windowstyles.h"
#include "dialogs/deviceselectiondialog.h"
#include "link/statuscodes.h"
#include "link/winusbmanager.h"

#include <QMessageBox>


namespace {

constexpr int kTestingState = 1;

// Not waited for: the window goes on while the box is open.
void openWarning(QWidget* parent, const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Warning, QString(), text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace

// --- connect and disconnect ------------------------------------------------

void MainWindow::on_actionConnect_triggered()
{
    if (deviceDialog) {  // still waiting for the operator's choice
        deviceDialog->raise();
        deviceDialog->activateWindow();
        return;
    }
    if (!isConnected) {
        link->startLinkThread();
        emit detectDeviceSignal();
        return;
    }
    if (parts->storedImport->isImporting())
        endImport();
    // Polls queued behind the disconnect would find the link closed and report
    // a link failure over the disconnect's own message.
    stopPolling();
    emit disConnectSignal();
}

void MainWindow::detectedDeviceSlot(QStringList paths)
{
    if (paths.isEmpty())
        return;
    if (paths.size() == 1) {
        emit connectUsbSignal(paths.first());
        return;
    }
    if (deviceDialog) {  // a detection queued behind the one that opened it
        deviceDialog->raise();
        return;
    }
    deviceDialog = new DeviceSelectionDialog(this);
    deviceDialog->addDevicePaths(paths);
    connect(deviceDialog, &DeviceSelectionDialog::pathSelected, link->manager(), &WinUSBManager::connectUsb);
    deviceDialog->show();
}

void MainWindow::usbStatus(bool isConnected)
{
    if (isConnected) {
        startPolling();
        return;
    }
    setDisconnectedState();
    ui->actionConnect->setText(tr("连接"));
    ui->statusbar->showMessage(tr("设备未连接"));
}

void MainWindow::upperSwitchOnSlot()
{
    if (isConnected)
        return;
    ui->statusbar->clearMessage();
    isConnected = true;
    windowactions::setDataActionsEnabled(*ui, true);
    windowactions::setPageActionsEnabled(*ui, true);
    ui->actionConnect->setText(tr("断开连接"));
    ui->statusbar->showMessage(tr("已连接设备"));

    parts->settingsEditor->leaveEditMode();
    for (ResultPage* page : parts->pages())
        page->setSettingWidgetsEnabled(false);
    ui->actionStorage->setEnabled(false);
    for (ResultPage* page : parts->pages())
        page->fillSettingLists();
    windowactions::setPageButtonsEnabled(*ui, true);
}

void MainWindow::setDisconnectedState()
{
    stopPolling();
    isConnected = false;
    if (parts->insight)
        parts->insight->endTrends();
    // With the link gone an import cannot go on; a flag left set would hide
    // every reading after the next connect. The rows that arrived stay.
    const QString importCut = parts->storedImport->abandon();

    if (parts->autoSeries->isRunning())
        parts->autoSeries->stop();

    isTesting = false;
    parts->settingsEditor->leaveEditMode();
    lastCharging = 0;

    for (ResultPage* page : parts->pages())
        page->clearValues();
    windowactions::setDataActionsEnabled(*ui, false);
    windowactions::setLanguageMenuEnabled(*ui, true);
    windowactions::setPageActionsEnabled(*ui, true);
    ui->actionStorage->setEnabled(true);
    ui->actionConnect->setText(tr("连接"));
    windowactions::setPageButtonsEnabled(*ui, false);
    if (!importCut.isEmpty())
        openWarning(this, importCut);
}

// --- polling -----------------------------------------------------------------

void MainWindow::startPolling()
{
    link->startLinkThread();
    emit informUpperOpenSignal();
    emit changeReadTypeSignal(2);
    link->startPolling();
    preparePagesForPolling();
}

void MainWindow::stopPolling()
{
    link->stopPolling();
    ui->actionStorage->setEnabled(true);
}

void MainWindow::preparePagesForPolling()
{
    parts->settingsEditor->leaveEditMode();
    for (ResultPage* page : parts->pages())
        page->setSettingWidgetsEnabled(false);
    ui->pushButton_Change->setStyleSheet(QLatin1String(windowstyle::kUpdateButton));
    ui->pushButton_Change_2->setStyleSheet(QLatin1String(windowstyle::kUpdateButton));
}

// The stop flag is set directly: the read-out loop in the link thread sees it
// between two records, and setting it never waits. The upper close and the
// key unlock are queued behind whatever the link is doing, so this thread is
// never held by a transfer; they reach the instrument once the read-out has
// stopped. Afterwards no import runs.
void MainWindow::endImport()
{
    if (!parts->storedImport->isImporting())
        return;
    parts->storedImport->abandon();  // the rows that arrived stay on screen only
    link->releaseInstrument();
}

// --- live readings -------------------------------------------------------------

void MainWindow::showRealTimeData(const ReceiveData& rd)
{
    if (!isConnected) {
        setDisconnectedState();
        ui->actionConnect->setText(tr("连接"));
        ui->statusbar->showMessage(tr("设备未连接"));
        return;
    }
    if (parts->storedImport->isImporting())
        return;

    ui->actionStorage->setEnabled(false);
    windowactions::setLanguageMenuEnabled(*ui, true);
    const bool lengthTest = rd.testType != 0;
    ui->stackedWidget->setCurrentIndex(lengthTest ? kLengthPage : kDcPage);
    (lengthTest ? parts->lengthPage : parts->dcPage)->showReading(rd, lastCharging != 0, parts->languages.isEnglish());
    if (lengthTest)
        parts->settingsEditor->rememberReportedStandard();
    parts->insight->followTrend(rd);  // before the test state: a finished test's row takes its trace
    followTestState(rd);

    lastCharging = rd.charging ? 1 : 0;
}

// Idle, testing and just finished follow the reading's charging flag.
void MainWindow::followTestState(const ReceiveData& rd)
{
    const bool lengthTest = rd.testType != 0;
    QPushButton* change = lengthTest ? ui->pushButton_Change_2 : ui->pushButton_Change;
    QPushButton* test = lengthTest ? ui->pushButton_Test_2 : ui->pushButton_Test;

    if (rd.charging) {
        isTesting = true;
        windowactions::setPageActionsEnabled(*ui, false);
        windowactions::setDataActionsEnabled(*ui, false);
        change->setEnabled(false);
        test->setStyleSheet(QLatin1String(windowstyle::kRunningTestButton));
        parts->autoSeries->followRunningTest(rd.testState == kTestingState, lengthTest,
                                             parts->insight->settledNow(lengthTest ? kLengthPage : kDcPage));
        return;
    }

    isTesting = false;
    parts->autoSeries->followIdle();
    if (!parts->autoSeries->isRunning()) {
        windowactions::setDataActionsEnabled(*ui, true);
        windowactions::setPageActionsEnabled(*ui, true);
    }
    change->setEnabled(true);
    test->setStyleSheet(QLatin1String(windowstyle::kIdleTestButton));
    if (lastCharging == 1) {
        ResultPage* page = lengthTest ? parts->lengthPage : parts->dcPage;
        const int p = lengthTest ? kLengthPage : kDcPage;
        page->appendRow(parts->insight->takeFinishedTrace(p), parts->insight->finishedSettled(p));
        parts->autoSeries->countFinishedTest();
    }
}

// --- status reports --------------------------------------------------------------

void MainWindow::updateLogMessage(QString logMessage)
{
    ui->statusbar->showMessage(logMessage);
}

void MainWindow::stateProcessingSlot(QString logMessage, int errorType)
{
    ui->statusbar->showMessage(logMessage);
    // Every code is listed, so that the compiler names one added without a case here.
    switch (static_cast<linkstatus::Code>(errorType)) {
    case linkstatus::Information:
        break;
    case linkstatus::ReadingFailed:
        for (ResultPage* page : parts->pages())
            page->clearValues();
        break;
    case linkstatus::StoredDataFailed:
        endImport();
        showWarningBox(logMessage);
        windowactions::restoreAfterImport(*ui, isConnected);
        break;
    case linkstatus::RequestRefused:
        if (isConnected)
            startPolling();
        break;
    case linkstatus::LinkFailed: {
        // The window is disconnected before the box shows: the box waits for the operator.
        const bool testInterrupted = isTesting;
        setDisconnectedState();
        ui->statusbar->showMessage(tr("未连接"));
        if (testInterrupted)
            showWarningBox(tr("测试中断：与仪器的连接已断开。绕组可能仍储有能量，请等待仪器放电完成后再拆除测试线。"));
        break;
    }
    case linkstatus::RecordFailed:
        showWarningBox(logMessage);
        break;
    }
}

void MainWindow::showWarningBox(const QString& message)
{
    parts->messages->warn(this, tr(""), message);
}
