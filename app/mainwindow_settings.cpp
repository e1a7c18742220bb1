// The slots of the setting widgets and of the change and test buttons: the
// settings editor does the work, the window starts and stops the tests.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/windowparts.h"


void MainWindow::on_pushButton_Change_clicked()
{
    pressChangeButton(ui->pushButton_Change);
}

void MainWindow::on_pushButton_Change_2_clicked()
{
    pressChangeButton(ui->pushButton_Change_2);
}

// A press during a page switch waits for its end (PageSwitcher).
void MainWindow::pressChangeButton(QPushButton* button)
{
    if (isConnected && parts->pageSwitcher->holdChangePress(button))
        return;
    parts->settingsEditor->toggleEditMode(button);
}

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
    if (isTesting) {
        emit stopTestingSignal(isLengthTest);
        return;
    }
    startPolling();
    emit startTestingSignal(isLengthTest);
}

void MainWindow::on_spinBox_ConductorNoValue_3_editingFinished() { parts->settingsEditor->sendDcSettings(); }
void MainWindow::on_doubleSpinBox_ConductorTempValue_3_editingFinished() { parts->settingsEditor->sendDcSettings(); }
void MainWindow::on_spinBox_TappingValue_3_editingFinished() { parts->settingsEditor->sendDcSettings(); }
void MainWindow::on_comboBox_WindingValue_3_activated(int) { parts->settingsEditor->sendDcSettings(); }
void MainWindow::on_comboBox_ConductorMaterialValue_3_activated(int) { parts->settingsEditor->sendDcSettings(); }
void MainWindow::on_comboBox_CurrentSettingValue_3_activated(int) { parts->settingsEditor->sendDcSettings(); }
void MainWindow::on_comboBox_ConvertedTempValue_3_activated(int) { parts->settingsEditor->sendDcSettings(); }
void MainWindow::on_comboBox_PhaseTypeValue_3_activated(int) { parts->settingsEditor->sendDcSettings(); }
void MainWindow::on_spinBox_ConductorNoValue_4_editingFinished() { parts->settingsEditor->sendLengthSettings(); }
void MainWindow::on_spinBox_SampleNoValue_4_editingFinished() { parts->settingsEditor->sendLengthSettings(); }
void MainWindow::on_comboBox_WireSquareValue_4_activated(int) { parts->settingsEditor->sendLengthSettings(); }
void MainWindow::on_comboBox_CurrentSettingValue_4_activated(int) { parts->settingsEditor->sendLengthSettings(); }
void MainWindow::on_comboBox_StandardSettingValue_4_activated(int index) { parts->settingsEditor->chooseStandardSetting(index); }
void MainWindow::on_doubleSpinBox_StandardValue_4_editingFinished() { parts->settingsEditor->finishStandardValue(); }
void MainWindow::on_comboBox_StandardUnitValue_4_activated(int) { parts->settingsEditor->chooseStandardUnit(); }
void MainWindow::on_comboBox_StandardSettingValue_4_currentIndexChanged(int index) { parts->settingsEditor->followStandardSetting(index); }
void MainWindow::on_comboBox_StandardUnitValue_4_currentIndexChanged(int) { parts->settingsEditor->followStandardUnit(); }
