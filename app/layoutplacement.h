#pragma once
// Putting widgets made after the form into the form's layouts, so that nothing
// the page had moves.

#include <QObject>

class QBoxLayout;
class QLayout;
class QTableView;
class QWidget;

// The box layout that holds `widget` directly, searched from `layout` down.
QBoxLayout* boxHolding(QLayout* layout, QWidget* widget, int* index);

// Puts `added` into the box that holds `anchor`, right after it.
void placeAfter(QWidget* page, QWidget* anchor, QWidget* added);

// The table and `side` share the table's place, the table on the left (3 : 2).
// The table alone sets the height of the row: the side never pushes the page's top part.
void placeBeside(QWidget* page, QTableView* table, QWidget* side);

// Keeps a widget that no layout holds at the right end of a sibling (the
// status line above the live value), as its text and the sibling's place change.
// Belongs to the pinned widget.
class CornerPin : public QObject
{
public:
    CornerPin(QWidget* pinned, QWidget* anchor);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    QWidget* pinned_;
    QWidget* anchor_;
};
