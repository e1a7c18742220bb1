// Connecting and disconnecting, live polling, showing the readings and the
// status reports of the two workers.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "dialogs/deviceselectiondialog.h"
#include "app/autoseries.h"
#include "app/insightcontroller.h"
#include "app/resultpage.h"
#include "app/settingseditor.h"
#include "app/storedimport.h"
#include "link/settingsframes.h"
#include "link/statuscodes.h"
#include "app/windowstyles.h"
#include "link/winusbmanager.h"

#include <QMessageBox>
#include <QThread>
#include <QTimer>

namespace {

constexpr int kTestingState = 1;

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
        startThreadIfIdle(usbThread);
        emit detectDeviceSignal();
        return;
    }
    if (storedImport->isImporting())
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
    connect(deviceDialog, &DeviceSelectionDialog::pathSelected, usbManager, &WinUSBManager::connectUsb);
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
    setDataActionsEnabled(true);
    setPageActionsEnabled(true);
    ui->actionConnect->setText(tr("断开连接"));
    ui->statusbar->showMessage(tr("已连接设备"));

    settingsEditor->leaveEditMode();
    setSettingWidgetsEnabled(false);
    ui->actionStorage->setEnabled(false);
    fillSettingComboBoxes();
    setPageButtonsEnabled(true);
}

// Update and test buttons of both pages in their idle styles; while connected
// the next reading adjusts them to a running test.
void MainWindow::setPageButtonsEnabled(bool e)
{
    for (QPushButton* button : {ui->pushButton_Change, ui->pushButton_Change_2}) {
        button->setEnabled(e);
        button->setStyleSheet(QLatin1String(windowstyle::kUpdateButton));
    }
    for (QPushButton* button : {ui->pushButton_Test, ui->pushButton_Test_2}) {
        button->setEnabled(e);
        button->setStyleSheet(QLatin1String(windowstyle::kIdleTestButton));
    }
}

void MainWindow::setDisconnectedState()
{
    stopPolling();
    isConnected = false;
    if (insight)
        insight->endTrends();
    // With the link gone an import cannot go on; a flag left set would hide
    // every reading after the next connect. The rows that arrived stay.
    storedImport->abandon();

    if (autoSeries->isRunning())
        autoSeries->stop();

    isTesting = false;
    settingsEditor->leaveEditMode();
    lastCharging = 0;

    clearDisplayedValues();
    setDataActionsEnabled(false);
    setLanguageMenuEnabled(true);
    setPageActionsEnabled(true);
    ui->actionStorage->setEnabled(true);
    ui->actionConnect->setText(tr("连接"));
    setPageButtonsEnabled(false);
}

// --- polling -----------------------------------------------------------------

void MainWindow::startThreadIfIdle(QThread* thread)
{
    if (!thread->isRunning())
        thread->start();
}

void MainWindow::startPolling()
{
    startThreadIfIdle(usbThread);
    emit informUpperOpenSignal();
    emit changeReadTypeSignal(2);
    if (!realTimeTimer->isActive())
        realTimeTimer->start(sampleInterval);
    startThreadIfIdle(receiveThread);
    preparePagesForPolling();
}

// A tick while a poll still waits in the link's queue adds nothing: at most
// one poll waits there, so a poll slower than the interval runs as often as
// its own waits allow and a command sent meanwhile queues behind one poll at
// most.
void MainWindow::queuePoll()
{
    if (pollQueued.exchange(true))
        return;
    QMetaObject::invokeMethod(usbManager, [this] {
        pollQueued = false;
        usbManager->readRealTimeData();
    }, Qt::QueuedConnection);
}

void MainWindow::stopPolling()
{
    if (realTimeTimer->isActive())
        realTimeTimer->stop();
    ui->actionStorage->setEnabled(true);
}

void MainWindow::preparePagesForPolling()
{
    settingsEditor->leaveEditMode();
    setSettingWidgetsEnabled(false);
    ui->pushButton_Change->setStyleSheet(QLatin1String(windowstyle::kUpdateButton));
    ui->pushButton_Change_2->setStyleSheet(QLatin1String(windowstyle::kUpdateButton));
}

void MainWindow::startTest(bool isLengthTest)
{
    startPolling();
    emit startTestingSignal(isLengthTest);
}

// The stop flag is set directly: the read-out loop in the link thread sees it
// between two records, and setting it never waits. The upper close and the
// key unlock are queued behind whatever the link is doing, so this thread is
// never held by a transfer; they reach the instrument once the read-out has
// stopped. Afterwards no import runs.
void MainWindow::endImport()
{
    if (!usbManager || !storedImport->isImporting())
        return;
    storedImport->abandon();  // the rows that arrived stay on screen only
    releaseInstrumentAfterImport();
}

void MainWindow::releaseInstrumentAfterImport()
{
    if (!usbManager)
        return;
    usbManager->stopCirculation(true);
    QMetaObject::invokeMethod(usbManager, &WinUSBManager::informUpperClose, Qt::QueuedConnection);
    QMetaObject::invokeMethod(usbManager, &WinUSBManager::keyUnlock, Qt::QueuedConnection);
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
    if (storedImport->isImporting())
        return;

    ui->actionStorage->setEnabled(false);
    setLanguageMenuEnabled(true);
    if (rd.testType == 0)
        showDcReading(rd);
    else
        showLengthReading(rd);
    insight->followTrend(rd);  // before the test state: a finished test's row takes its trace
    followTestState(rd);

    lastCharging = rd.charging ? 1 : 0;
    lastTestedResistance = rd.testedResistance;
}

void MainWindow::showDcReading(const ReceiveData& rd)
{
    ui->stackedWidget->setCurrentIndex(kDcPage);
    dcPage->showReading(rd, lastCharging != 0, languages.isEnglish());
}

void MainWindow::showLengthReading(const ReceiveData& rd)
{
    ui->stackedWidget->setCurrentIndex(kLengthPage);
    lengthPage->showReading(rd, lastCharging != 0, languages.isEnglish());
    settingsEditor->rememberReportedStandard();
}

// Idle, testing and just finished follow the reading's charging flag.
void MainWindow::followTestState(const ReceiveData& rd)
{
    const bool lengthPage = rd.testType != 0;
    QPushButton* change = lengthPage ? ui->pushButton_Change_2 : ui->pushButton_Change;
    QPushButton* test = lengthPage ? ui->pushButton_Test_2 : ui->pushButton_Test;

    if (rd.charging) {
        isTesting = true;
        setPageActionsEnabled(false);
        setDataActionsEnabled(false);
        change->setEnabled(false);
        test->setStyleSheet(QLatin1String(windowstyle::kRunningTestButton));
        autoSeries->followRunningTest(rd.testState == kTestingState, lengthPage);
        return;
    }

    isTesting = false;
    autoSeries->followIdle();
    if (!autoSeries->isRunning()) {
        setDataActionsEnabled(true);
        setPageActionsEnabled(true);
    }
    change->setEnabled(true);
    test->setStyleSheet(QLatin1String(windowstyle::kIdleTestButton));
    if (lastCharging == 1) {
        if (lengthPage)
            appendLengthResultRow();
        else
            appendDcResultRow();
        autoSeries->countFinishedTest();
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
        clearDisplayedValues();
        break;
    case linkstatus::StoredDataFailed:
        endImport();
        showWarningBox(logMessage);
        restoreActionsAfterImport(isConnected);
        break;
    case linkstatus::RequestRefused:
        if (isConnected)
            startPolling();
        break;
    case linkstatus::LinkFailed:
        setDisconnectedState();
        ui->statusbar->showMessage(tr("未连接"));
        break;
    case linkstatus::RecordFailed:
        showWarningBox(logMessage);
        break;
    }
}

void MainWindow::showWarningBox(const QString& message)
{
    QMessageBox::warning(this, tr(""), message, QMessageBox::Ok);
}
