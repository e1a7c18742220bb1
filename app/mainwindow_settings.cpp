// Settings edit mode, sending the settings of the two test pages, the rules of
// the length page's standard value, and starting and stopping a test.
//
// The instrument is the authority on its settings: every reading writes them
// back into the widgets. Only in edit mode (polling paused) are the widgets
// open, and every edit by the operator sends the page's complete settings.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/resultpage.h"
#include "link/settingsframes.h"
#include "app/windowstyles.h"

namespace {

constexpr int kSetStandard = 0;       // standard setting "设定值"
constexpr int kMeasuredStandard = 1;  // standard setting "测试值": the instrument measures it
constexpr int kMicroOhm = 0;
const char* const kDegreeSign = "℃";

}  // namespace

// --- edit mode ---------------------------------------------------------------

void MainWindow::on_pushButton_Change_clicked()
{
    pressChangeButton(ui->pushButton_Change);
}

void MainWindow::on_pushButton_Change_2_clicked()
{
    pressChangeButton(ui->pushButton_Change_2);
}

// A page switch ends with a restart of polling, which ends the edit mode: a
// press during the switch waits for its end; a second press takes it back.
void MainWindow::pressChangeButton(QPushButton* button)
{
    if (isConnected && pageSwitchTarget >= 0) {
        changePressedDuringSwitch = changePressedDuringSwitch ? nullptr : button;
        return;
    }
    if (!isConnected) {
        toggleSettingEdit();  // only says so
        return;
    }
    toggleSettingEdit();
    button->setStyleSheet(QLatin1String(isEditing ? windowstyle::kEditingUpdateButton : windowstyle::kUpdateButton));
}

void MainWindow::toggleSettingEdit()
{
    if (!isConnected) {
        ui->statusbar->showMessage(tr("设备未连接"));
        return;
    }
    ui->statusbar->clearMessage();
    isEditing = !isEditing;
    if (isEditing) {
        stopPolling();
        startThreadIfIdle(usbThread);
        startThreadIfIdle(receiveThread);
        setSettingWidgetsEnabled(true);
        setPageActionsEnabled(true);
    } else {
        startPolling();
        setSettingWidgetsEnabled(false);
    }
}

// --- test buttons -------------------------------------------------------------

void MainWindow::on_pushButton_Test_clicked()
{
    pressTestButton(false);
}

void MainWindow::on_pushButton_Test_2_clicked()
{
    pressTestButton(true);
}

void MainWindow::pressTestButton(bool isLengthTest)
{
    if (!isConnected) {
        ui->statusbar->showMessage(tr("设备未连接"));
        return;
    }
    if (isTesting)
        emit stopTestingSignal(isLengthTest);
    else
        startTest(isLengthTest);
}

// --- the operator's edits -------------------------------------------------------
// Spin boxes send when editing is finished, lists when the operator picks an
// entry (activated): values the program sets send nothing. A spin box also
// finishes editing when it loses focus because the edit mode ended; that is
// no edit, so outside the edit mode nothing is sent.

void MainWindow::on_spinBox_ConductorNoValue_3_editingFinished() { sendDcTestSettings(); }
void MainWindow::on_doubleSpinBox_ConductorTempValue_3_editingFinished() { sendDcTestSettings(); }
void MainWindow::on_spinBox_TappingValue_3_editingFinished() { sendDcTestSettings(); }
void MainWindow::on_comboBox_WindingValue_3_activated(int) { sendDcTestSettings(); }
void MainWindow::on_comboBox_ConductorMaterialValue_3_activated(int) { sendDcTestSettings(); }
void MainWindow::on_comboBox_CurrentSettingValue_3_activated(int) { sendDcTestSettings(); }
void MainWindow::on_comboBox_ConvertedTempValue_3_activated(int) { sendDcTestSettings(); }
void MainWindow::on_comboBox_PhaseTypeValue_3_activated(int) { sendDcTestSettings(); }
void MainWindow::on_spinBox_ConductorNoValue_4_editingFinished() { sendLengthTestSettings(); }
void MainWindow::on_spinBox_SampleNoValue_4_editingFinished() { sendLengthTestSettings(); }
void MainWindow::on_comboBox_WireSquareValue_4_activated(int) { sendLengthTestSettings(); }
void MainWindow::on_comboBox_CurrentSettingValue_4_activated(int) { sendLengthTestSettings(); }

// Choosing "测试值" hands the standard to the instrument (shown as 0 μΩ until it
// reports one); choosing "设定值" brings back the operator's last set value.
void MainWindow::on_comboBox_StandardSettingValue_4_activated(int index)
{
    auto* value = ui->doubleSpinBox_StandardValue_4;
    auto* unit = ui->comboBox_StandardUnitValue_4;
    if (index == kMeasuredStandard) {
        value->setMinimum(-1.0);
        value->setValue(0.0);
        unit->setCurrentIndex(kMicroOhm);
    } else {
        // The unit first: its minimum must be in force before the value is set.
        unit->setCurrentIndex(savedStandardUnitIndex);
        updateStandardMinimum();
        value->setValue(savedStandardValue);
    }
    sendLengthTestSettings();
}

void MainWindow::on_doubleSpinBox_StandardValue_4_editingFinished()
{
    if (ui->comboBox_StandardSettingValue_4->currentIndex() == kMeasuredStandard)
        return;
    sendLengthTestSettings();
    savedStandardValue = ui->doubleSpinBox_StandardValue_4->value();  // as sent, blank replaced
}

void MainWindow::on_comboBox_StandardUnitValue_4_activated(int)
{
    if (ui->comboBox_StandardSettingValue_4->currentIndex() == kMeasuredStandard)
        return;
    savedStandardUnitIndex = ui->comboBox_StandardUnitValue_4->currentIndex();
    sendLengthTestSettings();
    savedStandardValue = ui->doubleSpinBox_StandardValue_4->value();
}

// The enabling and the minimum follow every index change, the program's too.
void MainWindow::on_comboBox_StandardSettingValue_4_currentIndexChanged(int index)
{
    if (index != kSetStandard && index != kMeasuredStandard)
        return;  // -1: the lists were just refilled
    const bool editable = index == kSetStandard && isEditing;
    ui->doubleSpinBox_StandardValue_4->setEnabled(editable);
    ui->comboBox_StandardUnitValue_4->setEnabled(editable);
}

void MainWindow::on_comboBox_StandardUnitValue_4_currentIndexChanged(int)
{
    updateStandardMinimum();
}

// In μΩ a set value starts at 100 (blank 99), in mΩ and Ω at 0 (blank -1).
void MainWindow::updateStandardMinimum()
{
    if (ui->comboBox_StandardSettingValue_4->currentIndex() != kSetStandard)
        return;
    const bool microOhm = ui->comboBox_StandardUnitValue_4->currentIndex() == kMicroOhm;
    ui->doubleSpinBox_StandardValue_4->setMinimum(microOhm ? 99.0 : -1.0);
}

// --- settings frames -----------------------------------------------------------

void MainWindow::sendDcTestSettings()
{
    if (!isConnected) {
        ui->statusbar->showMessage(tr("设备未连接"));
        return;
    }
    if (!isEditing)
        return;
    dcPage->fillBlankValues();
    if (reportUnselectedList(*dcPage))
        return;

    protocol::DcSettings s;
    s.materialIndex = ui->comboBox_ConductorMaterialValue_3->currentIndex();
    s.currentIndex = ui->comboBox_CurrentSettingValue_3->currentIndex();
    s.convertedTemp = ui->comboBox_ConvertedTempValue_3->currentText().remove(QString::fromUtf8(kDegreeSign)).toInt();
    s.tapping = ui->spinBox_TappingValue_3->value();
    s.phaseIndex = ui->comboBox_PhaseTypeValue_3->currentIndex();
    s.windingIndex = ui->comboBox_WindingValue_3->currentIndex();
    s.conductorNo = ui->spinBox_ConductorNoValue_3->value();
    s.conductorTemp = static_cast<float>(ui->doubleSpinBox_ConductorTempValue_3->value());
    emitSettingsFrame(protocol::buildDcSettingsFrame(s));
}

void MainWindow::sendLengthTestSettings()
{
    if (!isConnected) {
        ui->statusbar->showMessage(tr("设备未连接"));
        return;
    }
    if (!isEditing)
        return;
    lengthPage->fillBlankValues();
    if (reportUnselectedList(*lengthPage))
        return;

    bool squareRead = false;
    const float wireSquare = ui->comboBox_WireSquareValue_4->currentText().remove(tr("平方")).toFloat(&squareRead);
    protocol::LengthSettings s;
    s.sampleNo = ui->spinBox_SampleNoValue_4->value();
    s.currentIndex = ui->comboBox_CurrentSettingValue_4->currentIndex();
    s.conductorNo = ui->spinBox_ConductorNoValue_4->value();
    s.wireSquare = wireSquare;
    s.standardModeIndex = ui->comboBox_StandardSettingValue_4->currentIndex();
    s.standardValue = static_cast<float>(ui->doubleSpinBox_StandardValue_4->value());
    s.standardUnitIndex = ui->comboBox_StandardUnitValue_4->currentIndex();
    emitSettingsFrame(squareRead ? protocol::buildLengthSettingsFrame(s) : protocol::Bytes());
}

// A list without a selection (after a language change, before the first
// reading) has no value to send: the operator is told which one.
bool MainWindow::reportUnselectedList(const ResultPage& page)
{
    const QLabel* caption = page.unselectedListCaption();
    if (caption)
        ui->statusbar->showMessage(tr("设置未发送：%1没有选择。").arg(caption->text()));
    return caption != nullptr;
}

void MainWindow::emitSettingsFrame(const std::vector<unsigned char>& frame)
{
    if (frame.empty()) {  // a value no field can carry, such as a unit typed by hand
        ui->statusbar->showMessage(tr("设置未发送：有设置值无效。"));
        return;
    }
    emit updateTestSettingSignal(QByteArray(reinterpret_cast<const char*>(frame.data()), int(frame.size())));
}
