#include "app/settingseditor.h"
#include "ui_mainwindow.h"

#include "app/pagefields.h"
#include "app/windowstyles.h"
#include "link/settingsframes.h"

#include <QCoreApplication>

namespace {

constexpr int kSetStandard = 0;       // standard setting "设定值"
constexpr int kMeasuredStandard = 1;  // standard setting "测试值": the instrument measures it
constexpr int kMicroOhm = 0;
const char* const kDegreeSign = "℃";

// A spin box at its minimum shows blank: the value is not set. Before a send it
// takes the lowest real value, one step up, so that the page shows what is sent.
template <class SpinBox>
void fillBlank(SpinBox* box)
{
    if (box->value() <= box->minimum())
        box->setValue(box->minimum() + box->singleStep());
}

}  // namespace

SettingsEditor::SettingsEditor(Ui::MainWindow* ui, std::function<bool()> isConnected, QObject* parent)
    : QObject(parent), ui(ui), isConnected(std::move(isConnected))
{
}

bool SettingsEditor::reportNotConnected()
{
    if (isConnected())
        return false;
    emit statusMessage(QCoreApplication::translate("MainWindow", "设备未连接"));
    return true;
}

// --- edit mode ---------------------------------------------------------------

void SettingsEditor::toggleEditMode(QPushButton* button)
{
    if (reportNotConnected())
        return;
    emit statusMessage(QString());
    editing = !editing;
    emit editModeChanged(editing);
    button->setStyleSheet(QLatin1String(editing ? windowstyle::kEditingUpdateButton : windowstyle::kUpdateButton));
}

// --- the operator's edits -------------------------------------------------------
// Spin boxes send when editing is finished, lists when the operator picks an
// entry (activated): values the program sets send nothing. A spin box also
// finishes editing when it loses focus because the edit mode ended; that is
// no edit, so outside the edit mode nothing is sent.

void SettingsEditor::sendDcSettings()
{
    if (reportNotConnected() || !editing)
        return;
    fillBlank(ui->spinBox_ConductorNoValue_3);
    fillBlank(ui->spinBox_TappingValue_3);
    fillBlank(ui->doubleSpinBox_ConductorTempValue_3);
    if (reportUnselectedList(ui->page_0, dcPageTable()))
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

void SettingsEditor::sendLengthSettings()
{
    if (reportNotConnected() || !editing)
        return;
    fillBlank(ui->spinBox_SampleNoValue_4);
    fillBlank(ui->spinBox_ConductorNoValue_4);
    fillBlank(ui->doubleSpinBox_StandardValue_4);
    if (reportUnselectedList(ui->page_1, lengthPageTable()))
        return;

    bool squareRead = false;
    const float wireSquare = ui->comboBox_WireSquareValue_4->currentText()
                                 .remove(QCoreApplication::translate("MainWindow", "平方"))
                                 .toFloat(&squareRead);
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
// The page's setting lists are checked in their table's order.
bool SettingsEditor::reportUnselectedList(const QWidget* page, const PageTable& table)
{
    for (const SettingList& list : table.lists) {
        if (page->findChild<QComboBox*>(QLatin1String(list.list))->currentIndex() >= 0)
            continue;
        const QString caption = page->findChild<QLabel*>(QLatin1String(list.caption))->text();
        emit statusMessage(QCoreApplication::translate("MainWindow", "设置未发送：%1没有选择。").arg(caption));
        return true;
    }
    return false;
}

void SettingsEditor::emitSettingsFrame(const std::vector<unsigned char>& frame)
{
    if (frame.empty()) {  // a value no field can carry, such as a unit typed by hand
        emit statusMessage(QCoreApplication::translate("MainWindow", "设置未发送：有设置值无效。"));
        return;
    }
    emit settingsFrame(QByteArray(reinterpret_cast<const char*>(frame.data()), int(frame.size())));
}

// --- the standard value of the length page ---------------------------------------

// Choosing "测试值" hands the standard to the instrument (shown as 0 μΩ until it
// reports one); choosing "设定值" brings back the operator's last set value.
void SettingsEditor::chooseStandardSetting(int index)
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
    sendLengthSettings();
}

void SettingsEditor::finishStandardValue()
{
    if (ui->comboBox_StandardSettingValue_4->currentIndex() == kMeasuredStandard)
        return;
    sendLengthSettings();
    savedStandardValue = ui->doubleSpinBox_StandardValue_4->value();  // as sent, blank replaced
}

void SettingsEditor::chooseStandardUnit()
{
    if (ui->comboBox_StandardSettingValue_4->currentIndex() == kMeasuredStandard)
        return;
    savedStandardUnitIndex = ui->comboBox_StandardUnitValue_4->currentIndex();
    sendLengthSettings();
    savedStandardValue = ui->doubleSpinBox_StandardValue_4->value();
}

// The enabling and the minimum follow every index change, the program's too.
void SettingsEditor::followStandardSetting(int index)
{
    if (index != kSetStandard && index != kMeasuredStandard)
        return;  // -1: the lists were just refilled
    const bool editable = index == kSetStandard && editing;
    ui->doubleSpinBox_StandardValue_4->setEnabled(editable);
    ui->comboBox_StandardUnitValue_4->setEnabled(editable);
}

void SettingsEditor::followStandardUnit()
{
    updateStandardMinimum();
}

void SettingsEditor::rememberReportedStandard()
{
    if (ui->comboBox_StandardSettingValue_4->currentIndex() != kSetStandard)
        return;
    savedStandardValue = ui->doubleSpinBox_StandardValue_4->value();
    savedStandardUnitIndex = ui->comboBox_StandardUnitValue_4->currentIndex();
}

// In μΩ a set value starts at 100 (blank 99), in mΩ and Ω at 0 (blank -1).
void SettingsEditor::updateStandardMinimum()
{
    if (ui->comboBox_StandardSettingValue_4->currentIndex() != kSetStandard)
        return;
    const bool microOhm = ui->comboBox_StandardUnitValue_4->currentIndex() == kMicroOhm;
    ui->doubleSpinBox_StandardValue_4->setMinimum(microOhm ? 99.0 : -1.0);
}
