#pragma once
// What every program showing the window needs once, before the window is
// built: the pictures and translation catalogues compiled in (a static build
// keeps them only when something calls their initialisers), and the types the
// link's threads pass by queued signals.

void registerProgramResources();
