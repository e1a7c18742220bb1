#pragma once
// Menu entries as a screen reader meets them: Qt 5's own menu entries give a
// name and an accelerator only, so these also give the action's status tip as
// the entry's description.

namespace accessiblemenuitem {

// Once per process, before the first menu is read.
void install();

}  // namespace accessiblemenuitem
