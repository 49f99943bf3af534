// Skinned forms for a look by eye (not a test): caption, borders, buttons, menu band, grip and the
// system menu. It stays a few seconds for a screen grab:
//   wine forms_showcase.exe SKINS-FOLDER SKIN|none frames|maximized|sysmenu|renamed|thickframe
#include <windows.h>

#include <string>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TPanel.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/windows/TsSkinProvider.h"
#include "skin/windows/TsTitleButtons.h"
#include "tests/skin/controls/ShowcaseForm.h"
#include "tests/skin/windows/ThickFramedForm.h"

namespace {

TForm* MakeForm(const char* caption, TFormBorderStyle style, RECT r, bool menu) {
  TForm* form = NewComponent<TForm>(Application);
  form->SetBorderStyle(style);
  form->SetCaption(caption);
  form->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  if (menu) {
    auto* m = NewComponent<TMainMenu>(form);
    for (const char* text : {"&File", "&Edit", "&View", "&Tools", "&Window", "&Help"}) {
      auto* item = NewComponent<TMenuItem>(m);
      item->SetCaption(text);
      m->Items()->Add(item);
    }
    form->SetMenu(m);
  }
  auto* provider = NewComponent<TsSkinProvider>(form);
  provider->SetResizeMode(TsResizeMode::rmBorder);
  if (style == bsSizeToolWin) provider->SetGripMode(TsGripMode::gmRightBottom);
  NewControl<TPanel>(form, form, RECT{12, 12, 150, 60})->SetCaption("Panel");
  return form;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const std::string folder = argv[1], skin = argv[2], scene = argv[3];
  Application->Initialize();
  ShowcaseSkinManager(folder, skin);
  if (scene == "maximized") {
    TForm* form = MakeForm("Tarvex - maximized", bsSizeable, RECT{40, 40, 500, 400}, true);
    form->Show();
    form->SetWindowState(wsMaximized);
  } else if (scene == "thickframe") {
    auto* form = NewComponent<TThickFramedForm>(Application);
    form->SetBorderStyle(bsNone);
    form->SetBounds(60, 60, 360, 220);
    NewComponent<TsSkinProvider>(form)->SetResizeMode(TsResizeMode::rmBorder);
    NewControl<TPanel>(form, form, RECT{12, 12, 150, 60})->SetCaption("Panel");
    form->Show();
  } else if (scene == "renamed") {
    // The caption changed once the window is on the screen.
    TForm* form = MakeForm("Tarvex - first caption", bsSizeable, RECT{40, 40, 500, 300}, true);
    form->Show();
    ShowcasePump(300);
    form->SetCaption("Tarvex - caption set after showing");
  } else if (scene == "sysmenu") {
    TForm* form = MakeForm("Tarvex - system menu", bsSizeable, RECT{40, 40, 560, 400}, true);
    form->Show();
    ShowcasePump(300);
    TsSkinProvider* provider = nullptr;
    for (int i = 0; i < form->ComponentCount(); ++i)
      if (auto* p = dynamic_cast<TsSkinProvider*>(form->Components(i))) provider = p;
    SetTimer(form->Handle(), 1, 200, [](HWND h, UINT, UINT_PTR id, DWORD) {
      KillTimer(h, id);
      PostMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
      PostMessageA(h, WM_KEYDOWN, VK_RIGHT, 0);
    });
    SetTimer(form->Handle(), 2, 7000, [](HWND h, UINT, UINT_PTR id, DWORD) {
      KillTimer(h, id);
      EndMenu();
    });
    RECT w;
    GetWindowRect(form->Handle(), &w);
    if (provider) provider->ShowSystemMenu(w.left + 8, w.top + 30);
    return 0;
  } else {
    TForm* dialog = MakeForm("Dialog", bsDialog, RECT{560, 40, 860, 240}, false);
    TForm* tool = MakeForm("Tool window", bsSizeToolWin, RECT{560, 280, 860, 500}, false);
    TForm* inactive = MakeForm("Tarvex - inactive", bsSizeable, RECT{20, 330, 540, 600}, true);
    TForm* active = MakeForm("Tarvex - active form with a long caption", bsSizeable, RECT{20, 20, 540, 310}, true);
    for (TForm* f : {dialog, tool, inactive, active}) f->Show();
    ShowcasePump(200);
    SetForegroundWindow(active->Handle());
  }
  ShowcasePump(8000);
  return 0;
}
