// An MDI main form with two children for a look by eye (not a test): the MDI area, and with
// "maximized" the active child maximized, its icon, buttons and menu in the main form's menu band;
// "unmaximized" maximized and restored again; "closed" maximized and closed. It stays a few seconds
// for a screen grab:
//   wine mdi_showcase.exe SKINS-FOLDER SKIN|none restored|maximized|unmaximized|closed
#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TPanel.h"
#include "skin/windows/TsSkinProvider.h"
#include "tests/skin/controls/ShowcaseForm.h"

namespace {

void AddItems(TMainMenu* menu, std::initializer_list<std::pair<const char*, uint8_t>> items) {
  for (const auto& [text, group] : items) {
    auto* item = NewComponent<TMenuItem>(menu);
    item->SetCaption(text);
    item->SetGroupIndex(group);
    menu->Items()->Add(item);
    auto* sub = NewComponent<TMenuItem>(menu);
    sub->SetCaption(std::string(text + 1) + " item");
    item->Add(sub);
  }
}

class TMainForm : public TForm {
public:
  explicit TMainForm(TComponent* owner) : TForm(owner) {
    SetFormStyle(fsMDIForm);
    SetCaption("Tarvex - MDI frame");
    SetBounds(30, 30, 640, 460);
    auto* menu = NewComponent<TMainMenu>(this);
    AddItems(menu, {{"&File", 0}, {"&Edit", 1}, {"&Window", 5}, {"&Help", 9}});
    SetMenu(menu);
    NewComponent<TsSkinProvider>(this)->SetResizeMode(TsResizeMode::rmBorder);
  }
};

class TSheet : public TForm {
public:
  explicit TSheet(TComponent* owner) : TForm(owner) {
    SetFormStyle(fsMDIChild);
    SetBounds(Count * 40 + 10, Count * 30 + 10, 300, 200);
    SetCaption("Sheet " + std::to_string(++Count));
    SetOnClose(TCloseEvent::FromFunctor([](TObject*, TCloseAction& action) { action = caFree; }));
    NewComponent<TsSkinProvider>(this)->SetResizeMode(TsResizeMode::rmBorder);
    NewControl<TPanel>(this, this, RECT{12, 12, 150, 60})->SetCaption("Panel");
    // Shown in the main form's menu while this sheet is active: its Edit replaces the main form's.
    auto* menu = NewComponent<TMainMenu>(this);
    AddItems(menu, {{"&Edit", 1}, {"&Sheet", 2}});
    SetMenu(menu);
  }
  static inline int Count = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const std::string folder = argv[1], skin = argv[2], scene = argv[3];
  Application->Initialize();
  ShowcaseSkinManager(folder, skin);
  TMainForm* frame = nullptr;
  Application->CreateForm(frame);
  frame->Show();
  TSheet* sheet = nullptr;
  Application->CreateForm(sheet);
  Application->CreateForm(sheet);
  ShowcasePump(300);
  if (scene != "restored") SendMessageA(sheet->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ShowcasePump(300);
  // After the round trip the frame and the band must look as before it; after the close the other
  // sheet takes the place maximized.
  if (scene == "unmaximized") SendMessageA(sheet->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  if (scene == "closed") SendMessageA(sheet->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  ShowcasePump(8000);
  return 0;
}
