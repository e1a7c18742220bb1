#pragma once
// What a screen reader says of the window's controls that no caption of their
// own names: the result tables, the insight settings, the buttons, the
// toolbar's overflow button, the menu entries. Settings are named by their caption labels
// (buddies, set by the pages). Applied again after every language change.

class QWidget;

namespace accessiblenames {

void apply(QWidget* window);

}  // namespace accessiblenames
