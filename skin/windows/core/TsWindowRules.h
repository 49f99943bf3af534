#pragma once

#include <cstdint>

// Which window commands a skinned form offers, from its border style, the caption buttons its
// provider keeps and its window state. The system menu's items and the caption buttons both follow
// these rules, so a button is drawn and answers exactly when its menu item is visible and enabled.

enum class TsBorderKind { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };
enum class TsShowState { Normal, Minimized, Maximized };

// Caption button bits, as the form's border icons.
using TsIconSet = std::uint8_t;
constexpr TsIconSet kIconSystemMenu = 1, kIconMinimize = 2, kIconMaximize = 4, kIconHelp = 8;

struct TsWindowFacts {
  TsBorderKind Border = TsBorderKind::Sizeable;
  TsIconSet Icons = kIconSystemMenu | kIconMinimize | kIconMaximize;
  TsShowState State = TsShowState::Normal;
  // The window itself is minimized (can differ from State while a state change is under way).
  bool Iconic = false;
  // The window has the sizing frame (a borderless form may add it).
  bool ThickFrame = false;
};

bool CloseVisible(const TsWindowFacts& f);
bool MaximizeVisible(const TsWindowFacts& f);
bool MinimizeVisible(const TsWindowFacts& f);
bool RestoreVisible(const TsWindowFacts& f);
bool SizeVisible(const TsWindowFacts& f);
bool RestoreEnabled(const TsWindowFacts& f);
bool MoveEnabled(const TsWindowFacts& f);
bool SizeEnabled(const TsWindowFacts& f);
bool MinimizeEnabled(const TsWindowFacts& f);
bool MaximizeEnabled(const TsWindowFacts& f);

// The caption's system buttons: close, then maximize and minimize when visible, then help.
int SystemButtonCount(const TsWindowFacts& f);
