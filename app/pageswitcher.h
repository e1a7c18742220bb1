#pragma once
// Switching between the pages of the window. While connected the instrument
// is told about a new test page: the read type of that page, one on-demand
// reading with it, then polling again. The steps are spaced by a pause and
// run as a chain of timed steps so that the GUI keeps painting; the window
// carries each step out when told.

#include <QObject>
#include <QVector>

#include <cstdint>
#include <functional>

class QAction;
class QPushButton;
class QStackedWidget;

class PageSwitcher : public QObject
{
    Q_OBJECT

public:
    // pageActions[i] is the checkable action of page i of `pages`; linkUp
    // tells whether the instrument is connected.
    PageSwitcher(QStackedWidget* pages, QVector<QAction*> pageActions, int pauseMs,
                 std::function<bool()> linkUp, QObject* parent = nullptr);

    // A switch in progress ignores further page choices, as a blocking switch
    // would have made them wait.
    void switchToTestPage(int index);
    // A page the instrument need not hear of shows at once; false when it is
    // on screen already or a switch is in progress.
    bool showAtOnce(int index);
    // An import chosen while a switch is under way wins: the remaining steps
    // would restart polling and leave the stored page.
    void cancel();
    // A switch ends with a restart of polling, which ends the edit mode: a
    // change button pressed during the switch acts when it ends; a second
    // press takes it back. False when no switch is in progress.
    bool holdChangePress(QPushButton* button);
    // The page actions are checkable without forming a group: this keeps
    // exactly the action of the page on screen checked.
    void checkPageAction(int index);

signals:
    void switchStarting();
    void readTypeDue(int page);
    void uiUpdateCancelDue();
    void pollingDue();
    void changePressDue(QPushButton* button);

private:
    void continueSwitch(int index, int step, std::uint64_t generation);
    void finishSwitch(int index);

    QStackedWidget* pages;
    QVector<QAction*> pageActions;
    int pauseMs;
    std::function<bool()> linkUp;
    int target = -1;  // the page of the switch in progress
    std::uint64_t switchGeneration = 0;  // a step of an earlier generation does nothing
    QPushButton* heldChangePress = nullptr;
};
