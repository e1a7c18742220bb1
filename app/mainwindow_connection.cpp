// Connecting and disconnecting, live polling, showing the readings and the
// status reports of the two workers.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "dialogs/deviceselectiondialog.h"
#include "app/importkeeper.h"
#include "app/resultpage.h"
#include "app/windowstyles.h"
#include "link/winusbmanager.h"

#include <QMessageBox>
#include <QThread>
#include <QTimer>

namespace {

constexpr int kTestingState = 1;
constexpr int kStopAfterTestingReadings = 8;  // the ninth reading in a run sends the stop

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
    if (isImporting)
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

    isEditing = false;
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
    endTrends();
    // With the link gone an import cannot go on; a flag left set would hide
    // every reading after the next connect. The rows that arrived stay.
    showPendingStoredRows();
    if (isImporting)
        importKeeper()->abandon();
    isImporting = false;

    if (countdownTimer->isActive())
        countdownTimer->stop();
    if (isAutoTesting)
        stopAutoTest();

    isTesting = false;
    isEditing = false;
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
    isEditing = false;
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
    if (!usbManager || !isImporting)
        return;
    showPendingStoredRows();  // the rows that arrived stay
    importKeeper()->abandon();  // on screen only; a completed import is kept already
    usbManager->stopCirculation(true);
    QMetaObject::invokeMethod(usbManager, &WinUSBManager::informUpperClose, Qt::QueuedConnection);
    QMetaObject::invokeMethod(usbManager, &WinUSBManager::keyUnlock, Qt::QueuedConnection);
    isImporting = false;
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
    if (isImporting)
        return;

    ui->actionStorage->setEnabled(false);
    setLanguageMenuEnabled(true);
    if (rd.testType == 0)
        showDcReading(rd);
    else
        showLengthReading(rd);
    followTrend(rd);  // before the test state: a finished test's row takes its trace
    followTestState(rd);

    lastCharging = rd.charging ? 1 : 0;
    lastTestedResistance = rd.testedResistance;
}

void MainWindow::showDcReading(const ReceiveData& rd)
{
    ui->stackedWidget->setCurrentIndex(kDcPage);
    dcPage->showReading(rd, lastCharging != 0, isEnglish);
}

void MainWindow::showLengthReading(const ReceiveData& rd)
{
    ui->stackedWidget->setCurrentIndex(kLengthPage);
    lengthPage->showReading(rd, lastCharging != 0, isEnglish);
    if (ui->comboBox_StandardSettingValue_4->currentIndex() == 0) {
        savedStandardValue = ui->doubleSpinBox_StandardValue_4->value();
        savedStandardUnitIndex = ui->comboBox_StandardUnitValue_4->currentIndex();
    }
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
        if (isAutoTesting) {
            lockActionsForAutoTest();
            if (isCountingDown) {
                countdownSeconds = 0;
                isCountingDown = false;
            }
            if (rd.testState == kTestingState && ++testingFrameCount > kStopAfterTestingReadings) {
                emit stopTestingSignal(lengthPage);
                testingFrameCount = 0;
            }
        }
        return;
    }

    isTesting = false;
    testingFrameCount = 0;
    if (isAutoTesting) {
        lockActionsForAutoTest();
    } else {
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
        if (isAutoTesting)
            countFinishedAutoTest();
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
    switch (errorType) {
    case 1:  // a real-time reading failed or was invalid
        clearDisplayedValues();
        break;
    case 2:  // stored data could not be read, or the keys could not be locked
        endImport();
        showWarningBox(logMessage);
        restoreActionsAfterImport(isConnected);
        break;
    case 3:  // a request was refused: reading resumes
        if (isConnected)
            startPolling();
        break;
    case 4:  // the link failed or is not open
        setDisconnectedState();
        ui->statusbar->showMessage(tr("未连接"));
        break;
    case 5:  // a stored record could not be read
        showWarningBox(logMessage);
        break;
    default:
        break;
    }
}

void MainWindow::showWarningBox(const QString& message)
{
    QMessageBox::warning(this, tr(""), message, QMessageBox::Ok);
}
