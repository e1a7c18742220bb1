// Connecting and disconnecting, live polling, showing the readings and the
// status reports of the two workers.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "dialogs/deviceselectiondialog.h"
#include "app/fittedpicture.h"
#include "app/importkeeper.h"
#include "app/insightcontroller.h"
#include "link/settingsframes.h"
#include "app/windowstyles.h"
#include "link/winusbmanager.h"

#include <QMessageBox>
#include <QPalette>
#include <QPixmap>
#include <QThread>
#include <QTimer>

namespace {

constexpr int kLivePage = 0;    // inner stacked widgets: the live values ...
constexpr int kDangerPage = 1;  // ... or the danger picture
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
    if (insight)
        insight->endTrends();
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
    insight->followTrend(rd);  // before the test state: a finished test's row takes its trace
    followTestState(rd);

    lastCharging = rd.charging ? 1 : 0;
    lastTestedResistance = rd.testedResistance;
}

void MainWindow::showDcReading(const ReceiveData& rd)
{
    ui->stackedWidget->setCurrentIndex(kDcPage);
    ui->spinBox_ConductorNoValue_3->setValue(rd.conductorNo.toInt());
    ui->doubleSpinBox_ConductorTempValue_3->setValue(rd.conductorTempValue.toDouble());
    ui->label_TestedCurrentValue->setText(rd.testedCurrent + rd.testedCurrentUnit);
    ui->label_ConvertedResistanceValue->setText(rd.convertedResistance + rd.convertedResistanceUnit);
    showTestStatus(ui->label_testStatus, rd);
    // A running test over range keeps the last measured value on screen; with
    // none to keep (only the charging placeholder so far) the over-range text shows.
    if (!(rd.resistanceOverRange && lastCharging != 0 && dcResistanceShowsReading)) {
        ui->label_TestedResistanceValue->setText(rd.testedResistance + rd.testedResistanceUnit);
        dcResistanceShowsReading = !rd.resistanceOverRange && !rd.testedResistanceUnit.isEmpty();
    }
    ui->label_EnvironmentTempValue->setText(rd.environmentTemp);

    ui->comboBox_ConductorMaterialValue_3->setCurrentIndex(rd.conductorMaterialIndex);
    ui->comboBox_CurrentSettingValue_3->setCurrentIndex(rd.currentSettingIndex);
    ui->comboBox_ConvertedTempValue_3->setCurrentText(rd.convertedTemp);
    const int tapping = rd.tapping.toInt();
    ui->spinBox_TappingValue_3->setValue(tapping);
    if (tapping == 0)
        ui->spinBox_TappingValue_3->setPrefix(QStringLiteral("0"));
    ui->comboBox_PhaseTypeValue_3->setCurrentIndex(rd.phaseTypeIndex);
    ui->comboBox_WindingValue_3->setCurrentIndex(rd.windingIndex);

    showDanger(rd.danger, ui->stackedWidget_Res, ui->label_Danger);
}

void MainWindow::showLengthReading(const ReceiveData& rd)
{
    ui->stackedWidget->setCurrentIndex(kLengthPage);
    ui->spinBox_ConductorNoValue_4->setValue(rd.conductorNo.toInt());
    ui->label_TestedCurrentValue_2->setText(rd.testedCurrent + rd.testedCurrentUnit);
    showTestStatus(ui->label_testStatus_2, rd);
    ui->label_TestedResistanceValue_2->setText(rd.testedResistance + rd.testedResistanceUnit);
    ui->label_ConductorLengthValue_2->setText(rd.conductorLength + rd.conductorLengthUnit);
    ui->label_EnvironmentTempValue_2->setText(rd.environmentTemp);

    ui->comboBox_CurrentSettingValue_4->setCurrentIndex(
        rd.currentSettingIndex == protocol::kAutoCode ? protocol::kLengthAutoIndex : rd.currentSettingIndex);
    ui->spinBox_SampleNoValue_4->setValue(rd.sampleNo.toInt());

    const int wireIndex = ui->comboBox_WireSquareValue_4->findText(rd.wireSquare + tr("平方"),
                                                                   Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (wireIndex >= 0)
        ui->comboBox_WireSquareValue_4->setCurrentIndex(wireIndex);

    ui->comboBox_StandardSettingValue_4->setCurrentIndex(rd.standardSettingIndex);
    ui->comboBox_StandardUnitValue_4->setCurrentIndex(rd.standardUnitIndex);
    ui->doubleSpinBox_StandardValue_4->setValue(rd.standardValue.toDouble());
    if (ui->comboBox_StandardSettingValue_4->currentIndex() == 0) {
        savedStandardValue = ui->doubleSpinBox_StandardValue_4->value();
        savedStandardUnitIndex = ui->comboBox_StandardUnitValue_4->currentIndex();
    }

    showDanger(rd.danger, ui->stackedWidget_Len, ui->label_Danger_2);
}

void MainWindow::showTestStatus(QLabel* label, const ReceiveData& rd)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, windowstyle::testStatusColour(rd.testState));
    label->setPalette(palette);
    label->setText(rd.testStatus);
}

void MainWindow::showDanger(bool danger, QStackedWidget* live, QLabel* picture)
{
    if (!danger) {
        live->setCurrentIndex(kLivePage);
        return;
    }
    ui->statusbar->showMessage(QString());
    live->setCurrentIndex(kDangerPage);
    showFittedPicture(picture, QPixmap(QLatin1String(isEnglish ? windowstyle::kDangerPictureEnglish
                                                               : windowstyle::kDangerPictureChinese)));
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
