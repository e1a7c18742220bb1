// The forms are header-only; this unit gives their library something to build.
