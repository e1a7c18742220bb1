#include "app/pageswitcher.h"

#include <QAction>
#include <QStackedWidget>
#include <QTimer>

#include <utility>

PageSwitcher::PageSwitcher(QStackedWidget* pages, QVector<QAction*> pageActions, int pauseMs,
                           std::function<bool()> linkUp, QObject* parent)
    : QObject(parent), pages(pages), pageActions(std::move(pageActions)), pauseMs(pauseMs),
      linkUp(std::move(linkUp))
{
}

void PageSwitcher::switchToTestPage(int index)
{
    if (target >= 0 || pages->currentIndex() == index) {
        checkPageAction(pages->currentIndex());
        return;
    }
    if (!linkUp()) {
        finishSwitch(index);
        return;
    }
    target = index;
    checkPageAction(pages->currentIndex());
    emit switchStarting();
    continueSwitch(index, 1, ++switchGeneration);
}

bool PageSwitcher::showAtOnce(int index)
{
    if (target >= 0 || pages->currentIndex() == index) {
        checkPageAction(pages->currentIndex());
        return false;
    }
    pages->setCurrentIndex(index);
    return true;
}

void PageSwitcher::cancel()
{
    if (target < 0)
        return;
    target = -1;
    ++switchGeneration;
}

bool PageSwitcher::holdChangePress(QPushButton* button)
{
    if (target < 0)
        return false;
    heldChangePress = heldChangePress ? nullptr : button;
    return true;
}

void PageSwitcher::continueSwitch(int index, int step, std::uint64_t generation)
{
    QTimer::singleShot(pauseMs, this, [this, index, step, generation] {
        if (generation != switchGeneration)
            return;
        if (!linkUp()) {  // the link went away meanwhile: only the page changes
            finishSwitch(index);
            return;
        }
        switch (step) {
        case 1:
            emit readTypeDue(index);
            continueSwitch(index, 2, generation);
            break;
        case 2:
            emit uiUpdateCancelDue();
            continueSwitch(index, 3, generation);
            break;
        default:
            emit pollingDue();
            finishSwitch(index);
            break;
        }
    });
}

void PageSwitcher::finishSwitch(int index)
{
    target = -1;
    pages->setCurrentIndex(index);
    checkPageAction(pages->currentIndex());
    if (QPushButton* pressed = std::exchange(heldChangePress, nullptr); pressed && linkUp())
        emit changePressDue(pressed);
}

void PageSwitcher::checkPageAction(int index)
{
    if (index < 0 || index >= pageActions.size())
        return;
    for (int page = 0; page < pageActions.size(); ++page)
        pageActions[page]->setChecked(page == index);
}
