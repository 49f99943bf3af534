#pragma once

#include <windows.h>

class TCustomForm;
class TsSkinManager;
class TsSkinProvider;

// A skin manager of the application with the bundled skin `name` active.
TsSkinManager* NewBundledSkinManager(const char* name);
// The primary monitor's work area, where a window maximizes.
RECT WorkArea();
bool RectInside(const RECT& inner, const RECT& outer);
bool SameRect(const RECT& a, const RECT& b);
// The screen point in the middle of the form's maximize (or restore) button: the skin's slot
// while the provider skins the form, else where the platform's caption answers as that button.
// A point outside any window when there is no such button.
POINT MaximizeButtonPoint(TCustomForm* form, TsSkinProvider* provider);
// Every caption button of a skinned form lies inside area (screen coordinates).
bool CaptionButtonsInside(TCustomForm* form, TsSkinProvider* provider, const RECT& area);
