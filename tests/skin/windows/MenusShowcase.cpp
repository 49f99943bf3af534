// A skinned form with a menu bar and a popup shown open over it (checked, glyph, disabled,
// separator and caption items), for a look by eye. The popup stays open until the process ends.
// "bare" takes the menu sections out of the loaded skin, as a skin without them has it; "sysmenu"
// switches to the look while the form is shown (from no skin, or to none from Nocturne) and opens
// the form's system menu with its skins submenu instead:
//   wine menus_showcase.exe SKINS-FOLDER SKIN|none [bare|sysmenu]
#include <windows.h>

#include <string>

#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TPopupMenu.h"
#include "framework/win/TTimer.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/windows/TsSkinProvider.h"
#include "skin/windows/TsSkinableMenus.h"
#include "tests/skin/controls/ShowcaseForm.h"

namespace {

TMenuItem* Add(TComponent* owner, TMenuItem* parent, const std::string& caption) {
  auto* item = NewComponent<TMenuItem>(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

// A 16 x 16 floppy-like glyph drawn in code.
void DrawGlyph(TBitmap* bmp) {
  bmp->SetPixelFormat(TPixelFormat::Bit24);
  bmp->SetSize(16, 16);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetColor(TColor(RGB(40, 90, 170)));
  c->FillRect(RECT{1, 1, 15, 15});
  c->Brush()->SetColor(TColor(RGB(235, 235, 235)));
  c->FillRect(RECT{4, 2, 12, 7});
  c->Brush()->SetColor(TColor(RGB(20, 40, 90)));
  c->FillRect(RECT{5, 10, 11, 15});
}

struct TShow {
  TForm* Form = nullptr;
  TPopupMenu* Popup = nullptr;
  TTimer* Timer = nullptr;
  TsSkinProvider* Provider = nullptr;
  void Open(TObject*) {
    Timer->SetEnabled(false);
    if (Provider == nullptr) {
      const POINT at = Form->ClientToScreen(POINT{40, 30});
      Popup->Popup(at.x, at.y);
    } else if (!SkinData().Active) {
      PostMessageA(Form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
    } else {
      // The first item is the skins submenu: opened by keys once the menu runs.
      SetTimer(Form->Handle(), 1, 200, [](HWND h, UINT, UINT_PTR id, DWORD) {
        KillTimer(h, id);
        PostMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(h, WM_KEYDOWN, VK_RIGHT, 0);
      });
      RECT w;
      GetWindowRect(Form->Handle(), &w);
      Provider->ShowSystemMenu(w.left + 8, w.top + 30);
    }
  }
};

void DropMenuSections() {
  const int menu = FindSectionIndex("MAINMENU"), item = FindSectionIndex("MENUITEM"), line = FindSectionIndex("MENULINE");
  TsSkinTables tables;
  for (int i = 0; i < int(ActiveSkin().SkinSectionData.size()); ++i)
    if (i != menu && i != item && i != line)
      tables.Sections.push_back(ActiveSkin().SkinSectionData[std::size_t(i)]);
  tables.Masks = ActiveSkin().SkinMaskData;
  tables.Patterns = ActiveSkin().SkinPatternData;
  tables.MasterBitmap = ActiveSkin().SkinMasterBitmap;
  InstallSkinTables(std::move(tables));
  ClearMenuList(true);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string folder = argv[1], skin = argv[2];
  InstallSkinableMenus();
  Application->Initialize();
  TForm* form = NewComponent<TForm>(Application);
  form->SetCaption("Tarvex menus");
  form->SetBounds(40, 40, 520, 360);
  auto* provider = NewComponent<TsSkinProvider>(form);
  auto* manager = NewComponent<TsSkinManager>(form);
  manager->SetSkinDirectory(folder);

  auto* bar = NewComponent<TMainMenu>(form);
  Add(form, Add(form, bar->Items(), "&File"), "&Open");
  Add(form, Add(form, bar->Items(), "&Edit"), "&Copy");
  Add(form, Add(form, bar->Items(), "&Help"), "&About");
  form->SetMenu(bar);

  auto* popup = NewComponent<TPopupMenu>(form);
  Add(form, popup->Items(), "-Project-");
  TMenuItem* save = Add(form, popup->Items(), "&Save");
  save->SetShortCut(ShortCut('S', ssCtrl));
  DrawGlyph(save->Bitmap());
  TMenuItem* checked = Add(form, popup->Items(), "Show &grid");
  checked->SetChecked(true);
  TMenuItem* disabled = Add(form, popup->Items(), "&Flash phone");
  disabled->SetEnabled(false);
  Add(form, popup->Items(), "-");
  TMenuItem* def = Add(form, popup->Items(), "&Properties");
  def->SetDefault(true);
  Add(form, popup->Items(), "E&xit")->SetShortCut(ShortCut(VK_F4, ssAlt));

  const std::string mode = argc > 3 ? argv[3] : "";
  if (mode == "sysmenu") {
    // The look before the switch.
    manager->SetActive(skin == "none");
    manager->SetSkinName(skin == "none" ? "Nocturne" : "Desert");
    form->Show();
    ShowcasePump(300);
    if (skin == "none") {
      manager->SetActive(false);
    } else {
      manager->SetSkinName(skin);
      manager->SetActive(true);
    }
  } else {
    if (skin != "none") {
      manager->SetSkinName(skin);
      manager->SetActive(true);
      if (mode == "bare") DropMenuSections();
    }
    form->Show();
  }
  TShow show{form, popup, NewComponent<TTimer>(form), mode == "sysmenu" ? provider : nullptr};
  show.Timer->SetInterval(400);
  show.Timer->SetOnTimer(TNotifyEvent(&show, &TShow::Open));
  show.Timer->SetEnabled(true);
  Application->Run();
  return 0;
}
