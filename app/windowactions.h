#pragma once
// Which of the window's actions and buttons the operator may use, set as
// groups: the data actions, the page actions, the language menu, the buttons
// of the test pages. No state of their own: the form's widgets hold it.

namespace Ui {
class MainWindow;
}

namespace windowactions {

// Import, Excel and PDF export, automatic series.
void setDataActionsEnabled(Ui::MainWindow& ui, bool enabled);
// The DC and length page actions.
void setPageActionsEnabled(Ui::MainWindow& ui, bool enabled);
void setLanguageMenuEnabled(Ui::MainWindow& ui, bool enabled);
// Update and test buttons of both pages in their idle styles; while connected
// the next reading adjusts them to a running test.
void setPageButtonsEnabled(Ui::MainWindow& ui, bool enabled);
// After an import, complete or failed: import and Excel export as far as the
// link allows, the report and the automatic series not from this page, and
// the pages and the language open again.
void restoreAfterImport(Ui::MainWindow& ui, bool importUsable);
// The three page buttons sit at the right end of the tool bar, behind one
// expanding spacer; repeated calls keep the arrangement.
void addPageButtonsToToolBar(Ui::MainWindow& ui);

}  // namespace windowactions
