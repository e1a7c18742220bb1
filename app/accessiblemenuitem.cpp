#include "app/accessiblemenuitem.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStyle>
#include <QWindow>

namespace {

// "&Quit" -> "Quit"; "&&" stays one "&".
QString withoutMnemonic(QString text)
{
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&'))
            text.remove(i, 1);
    }
    return text;
}

// The menu or menu bar that shows the action; looked up on every call, as
// the same action may move between menus while its interface is kept.
QWidget* ownerOf(QAction* action)
{
    if (!action)
        return nullptr;
    for (QWidget* widget : action->associatedWidgets()) {
        if (qobject_cast<QMenu*>(widget) || qobject_cast<QMenuBar*>(widget))
            return widget;
    }
    return nullptr;
}

class AccessibleMenuItem : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    explicit AccessibleMenuItem(QAction* action) : action(action) {}

    bool isValid() const override { return action && ownerOf(action); }
    QObject* object() const override { return action; }

    QWindow* window() const override
    {
        QWidget* owner = ownerOf(action);
        if (!owner)
            return nullptr;
        QWidget* top = owner->window();
        return top ? top->windowHandle() : nullptr;
    }

    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(ownerOf(action)); }
    int childCount() const override { return action && action->menu() ? 1 : 0; }

    QAccessibleInterface* child(int index) const override
    {
        return index == 0 && childCount() == 1 ? QAccessible::queryAccessibleInterface(action->menu()) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && childCount() == 1 && child->object() == action->menu() ? 0 : -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        QAccessibleInterface* menu = child(0);
        return menu && menu->rect().contains(x, y) ? menu : nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        if (!action)
            return {};
        switch (t) {
        case QAccessible::Name:
            return withoutMnemonic(action->text());
        case QAccessible::Description:
            return action->statusTip();
        case QAccessible::Accelerator:
            return (action->shortcut().isEmpty() ? QKeySequence::mnemonic(action->text()) : action->shortcut())
                .toString(QKeySequence::NativeText);
        default:
            return {};
        }
    }

    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override
    {
        QWidget* owner = ownerOf(action);
        QRect area;
        if (auto* menu = qobject_cast<QMenu*>(owner))
            area = menu->actionGeometry(action);
        else if (auto* bar = qobject_cast<QMenuBar*>(owner))
            area = bar->actionGeometry(action);
        return owner ? area.translated(owner->mapToGlobal(QPoint(0, 0))) : area;
    }

    QAccessible::Role role() const override
    {
        return action && action->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        QWidget* owner = ownerOf(action);
        if (!action || !owner)
            return state;
        state.invisible = !owner->isVisible() || !action->isVisible();
        if (auto* menu = qobject_cast<QMenu*>(owner))
            state.focused = menu->activeAction() == action;
        else if (auto* bar = qobject_cast<QMenuBar*>(owner))
            state.focused = bar->activeAction() == action;
        state.hotTracked = owner->style()->styleHint(QStyle::SH_Menu_MouseTracking, nullptr, owner);
        state.disabled = action->isSeparator() || !action->isEnabled();
        state.checkable = action->isCheckable();
        state.checked = action->isChecked();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override
    {
        if (!action || action->isSeparator())
            return {};
        return {action->menu() ? showMenuAction() : pressAction()};
    }

    void doAction(const QString& name) override
    {
        if (!action || !action->isEnabled())
            return;
        if (name == pressAction()) {
            action->trigger();
        } else if (name == showMenuAction() && action->menu()) {
            QWidget* owner = ownerOf(action);
            if (action->menu()->isVisible())
                action->menu()->hide();
            else if (auto* menu = qobject_cast<QMenu*>(owner))
                menu->setActiveAction(action);
            else if (auto* bar = qobject_cast<QMenuBar*>(owner))
                bar->setActiveAction(action);
        }
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QAction> action;
};

QAccessibleInterface* menuItemFactory(const QString&, QObject* object)
{
    auto* action = qobject_cast<QAction*>(object);
    return ownerOf(action) ? new AccessibleMenuItem(action) : nullptr;
}

}  // namespace

namespace accessiblemenuitem {

void install()
{
    static const bool installed = [] {
        QAccessible::installFactory(menuItemFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace accessiblemenuitem
