#include "app/windowactions.h"
#include "ui_mainwindow.h"

#include "app/windowstyles.h"

namespace windowactions {

namespace {

const char* const kToolBarSpacerName = "toolBarPageSpacer";

}  // namespace

void setDataActionsEnabled(Ui::MainWindow& ui, bool enabled)
{
    ui.actionImport_storage->setEnabled(enabled);
    ui.actionExportToExcel->setEnabled(enabled);
    ui.actionExportToPDF->setEnabled(enabled);
    ui.actionAutomatic_measurement->setEnabled(enabled);
}

void setPageActionsEnabled(Ui::MainWindow& ui, bool enabled)
{
    ui.actionDc_resistance_test->setEnabled(enabled);
    ui.actionConductor_length_test->setEnabled(enabled);
}

void setLanguageMenuEnabled(Ui::MainWindow& ui, bool enabled)
{
    ui.menuLanguage->setEnabled(enabled);
}

void setPageButtonsEnabled(Ui::MainWindow& ui, bool enabled)
{
    for (QPushButton* button : {ui.pushButton_Change, ui.pushButton_Change_2}) {
        button->setEnabled(enabled);
        button->setStyleSheet(QLatin1String(windowstyle::kUpdateButton));
    }
    for (QPushButton* button : {ui.pushButton_Test, ui.pushButton_Test_2}) {
        button->setEnabled(enabled);
        button->setStyleSheet(QLatin1String(windowstyle::kIdleTestButton));
    }
}

void restoreAfterImport(Ui::MainWindow& ui, bool importUsable)
{
    ui.actionImport_storage->setEnabled(importUsable);
    ui.actionExportToExcel->setEnabled(importUsable);
    ui.actionExportToPDF->setEnabled(false);
    ui.actionAutomatic_measurement->setEnabled(false);
    setPageActionsEnabled(ui, true);
    ui.actionStorage->setEnabled(true);
    setLanguageMenuEnabled(ui, true);
}

// Adding an action the bar already holds moves it to the end; the spacer is
// made only once.
void addPageButtonsToToolBar(Ui::MainWindow& ui)
{
    if (!ui.toolBar->findChild<QWidget*>(QLatin1String(kToolBarSpacerName))) {
        auto* spacer = new QWidget(ui.toolBar);
        spacer->setObjectName(QLatin1String(kToolBarSpacerName));
        spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        ui.toolBar->addWidget(spacer);
    }
    ui.toolBar->addAction(ui.actionDc_resistance_test);
    ui.toolBar->addAction(ui.actionConductor_length_test);
    ui.toolBar->addAction(ui.actionStorage);
}

}  // namespace windowactions
