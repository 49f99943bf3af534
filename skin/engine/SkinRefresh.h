#pragma once

#include <windows.h>

class TWinControl;

// The repaints of a skin switch: the application refreshed, the windows in sight painted at once
// and those that the program's other forms hide left until they show.

// Refresh to every control of the application, handed down with what the refresh asks of them: a
// control told only invalidates itself, or nothing where its form is invalidated whole afterwards.
// Once every control has heard, each window in sight paints what is invalid, each parent before its
// children (painted in the walk's order, a child would paint before its parent's new cache is there,
// for nothing, and again once it is).
void RefreshApplication(LPARAM manager);
// The refresh leaves a form or a control that the program's other forms hide wholly unpainted:
// called whenever a form moves, changes size, shows, hides or changes its place in the Z order, it
// has such a window that shows now repainted whole. leaving: a form going away, which hides nothing
// any more.
void ShowFormsWaitingForView(const TWinControl* leaving = nullptr);
