#pragma once

#include "framework/win/TMenu.h"

// The menu bar of a form (the form's Menu).
class TMainMenu : public TMenu {
public:
  using TMenu::TMenu;

protected:
  HMENU CreateMenuHandle() override { return CreateMenu(); }
};
