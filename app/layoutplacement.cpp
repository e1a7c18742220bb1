#include "app/layoutplacement.h"

#include <QBoxLayout>
#include <QEvent>
#include <QTableView>

namespace {

constexpr int kTableStretch = 3;  // the result table and the side area share the width 3 : 2
constexpr int kSideStretch = 2;
constexpr int kPinMargin = 4;

}  // namespace

QBoxLayout* boxHolding(QLayout* layout, QWidget* widget, int* index)
{
    for (int i = 0; layout && i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == widget) {
            *index = i;
            return qobject_cast<QBoxLayout*>(layout);
        }
        if (QBoxLayout* inner = boxHolding(item->layout(), widget, index))
            return inner;
    }
    return nullptr;
}

void placeAfter(QWidget* page, QWidget* anchor, QWidget* added)
{
    int at = -1;
    if (QBoxLayout* box = boxHolding(page->layout(), anchor, &at))
        box->insertWidget(at + 1, added);
}

void placeBeside(QWidget* page, QTableView* table, QWidget* side)
{
    int at = -1;
    QBoxLayout* holder = boxHolding(page->layout(), table, &at);
    if (!holder)
        return;
    const int stretch = holder->stretch(at);
    holder->removeWidget(table);
    auto* beside = new QHBoxLayout;
    beside->addWidget(table, kTableStretch);
    beside->addWidget(side, kSideStretch);
    side->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    holder->insertLayout(at, beside, stretch);
}

CornerPin::CornerPin(QWidget* pinned, QWidget* anchor) : QObject(pinned), pinned_(pinned), anchor_(anchor)
{
    anchor->installEventFilter(this);
    pinned->parentWidget()->installEventFilter(this);
    pinned->installEventFilter(this);
}

bool CornerPin::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::LayoutRequest:
    case QEvent::Show:
    case QEvent::StyleChange:
        place();
        break;
    default:
        break;
    }
    return false;
}

void CornerPin::place()
{
    pinned_->adjustSize();
    const QRect anchor = anchor_->geometry();
    pinned_->move(anchor.right() - pinned_->width() - kPinMargin, anchor.center().y() - pinned_->height() / 2);
    pinned_->raise();
}
