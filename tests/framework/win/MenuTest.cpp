#include <gtest/gtest.h>

#include "TestSupport.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TPopupMenu.h"

namespace {

TEST(ShortCut, TextNamesModifiersAndKeys) {
  EXPECT_EQ(ShortCutToText(ShortCut('S', ssCtrl)), "Ctrl+S");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_F4, ssShift | ssCtrl)), "Shift+Ctrl+F4");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, ssAlt)), "Alt+Del");
  EXPECT_EQ(ShortCutToText(16499), "Ctrl+F4");
  EXPECT_EQ(ShortCutToText(scNone), "");
  WORD key;
  TShiftState shift;
  ShortCutToKey(16499, key, shift);
  EXPECT_EQ(key, VK_F4);
  EXPECT_EQ(shift, ssCtrl);
}

class TMenuForm : public TTestForm {
public:
  TMenuForm() {
    Menu = new TMainMenu(this);
    File = new TMenuItem(this);
    File->SetCaption("&File");
    Menu->Items()->Add(File);
    Save = new TMenuItem(this);
    Save->SetCaption("&Save");
    Save->SetShortCut(ShortCut('S', ssCtrl));
    File->Add(Save);
    SetMenu(Menu);
  }
  int MenuChanges = 0;
  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_MENUCHANGED) ++MenuChanges;
    TTestForm::Dispatch(m);
  }
  TMainMenu* Menu;
  TMenuItem* File;
  TMenuItem* Save;
};

std::string MenuText(HMENU menu, int index) {
  char text[128] = {};
  GetMenuStringA(menu, UINT(index), text, sizeof text, MF_BYPOSITION);
  return text;
}

TEST(Menu, TheFormShowsTheMenuAndFollowsEveryChange) {
  auto form = Make<TMenuForm>();
  HMENU bar = GetMenu(form->Handle());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(MenuText(bar, 0), "&File");
  EXPECT_EQ(MenuText(GetSubMenu(bar, 0), 0), "&Save\tCtrl+S");
  int before = form->MenuChanges;
  form->File->SetCaption("&Project");
  EXPECT_EQ(form->MenuChanges, before + 1);
  EXPECT_EQ(MenuText(GetMenu(form->Handle()), 0), "&Project");
  form->Save->SetEnabled(false);
  EXPECT_EQ(form->MenuChanges, before + 1);  // changed in place
  HMENU sub = GetSubMenu(GetMenu(form->Handle()), 0);
  EXPECT_TRUE(GetMenuState(sub, 0, MF_BYPOSITION) & MF_GRAYED);
  form->Save->SetVisible(false);
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(GetMenu(form->Handle()), 0)), 0);
}

// An item turned off and on changes in the menu shown: the menu is not built again, a drop-down's
// item tells the window nothing, a menu bar's item has the window show it; a menu built later
// starts with the item's state.
TEST(Menu, TurningItemsOffAndOnChangesTheMenuShownInPlace) {
  auto form = Make<TMenuForm>();
  auto* edit = new TMenuItem(form.get());
  edit->SetCaption("&Edit");
  form->Menu->Items()->Add(edit);
  const HMENU bar = GetMenu(form->Handle());
  ASSERT_EQ(bar, form->Menu->Handle());
  const auto grayed = [](HMENU menu, TMenuItem* item) {
    return (GetMenuState(menu, item->Command(), MF_BYCOMMAND) & MF_GRAYED) != 0;
  };
  const int before = form->MenuChanges;
  form->Save->SetEnabled(false);
  EXPECT_EQ(GetMenu(form->Handle()), bar);
  EXPECT_EQ(form->Menu->Handle(), bar);
  EXPECT_TRUE(grayed(bar, form->Save));
  EXPECT_EQ(form->MenuChanges, before);
  form->Save->SetEnabled(true);
  EXPECT_FALSE(grayed(bar, form->Save));
  EXPECT_EQ(form->MenuChanges, before);

  edit->SetEnabled(false);
  EXPECT_EQ(form->Menu->Handle(), bar);
  EXPECT_TRUE(grayed(bar, edit));
  EXPECT_EQ(form->MenuChanges, before + 1);

  // Built anew for another change, the menu keeps the states.
  form->Save->SetEnabled(false);
  form->File->SetCaption("&Project");
  const HMENU rebuilt = GetMenu(form->Handle());
  EXPECT_NE(rebuilt, bar);
  EXPECT_TRUE(grayed(rebuilt, form->Save));
  EXPECT_TRUE(grayed(rebuilt, edit));
}

TEST(Menu, CommandsAndShortCutsClickTheirItem) {
  auto form = Make<TMenuForm>();
  struct TClicks {
    int N = 0;
    void Click(TObject*) { ++N; }
  } clicks;
  form->Save->SetOnClick(TNotifyEvent(&clicks, &TClicks::Click));
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(form->Save->Command(), 0), 0);
  EXPECT_EQ(clicks.N, 1);
  EXPECT_TRUE(form->Menu->IsShortCut('S', ssCtrl));
  EXPECT_EQ(clicks.N, 2);
  EXPECT_FALSE(form->Menu->IsShortCut('S', ssAlt));
  form->Save->SetEnabled(false);
  EXPECT_FALSE(form->Menu->IsShortCut('S', ssCtrl));
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(form->Save->Command(), 0), 0);
  EXPECT_EQ(clicks.N, 2);
  // A freed item's command goes nowhere.
  UINT command = form->Save->Command();
  form->Save->Free();
  EXPECT_FALSE(TMenuItem::DispatchCommand(command));
}

TEST(Menu, RadioItemsOfAGroupExcludeEachOther) {
  auto menu = Make<TPopupMenu>(nullptr);
  TMenuItem* items[3];
  for (int i = 0; i < 3; ++i) {
    items[i] = new TMenuItem(menu.get());
    items[i]->SetRadioItem(true);
    items[i]->SetGroupIndex(i < 2 ? 1 : 2);
    menu->Items()->Add(items[i]);
  }
  items[0]->SetChecked(true);
  items[2]->SetChecked(true);
  items[1]->SetChecked(true);
  EXPECT_FALSE(items[0]->Checked());
  EXPECT_TRUE(items[1]->Checked());
  EXPECT_TRUE(items[2]->Checked());
  EXPECT_EQ(items[1]->MenuIndex(), 1);
  EXPECT_EQ(items[1]->GetParentMenu(), menu.get());
  EXPECT_THROW(items[0]->Add(menu->Items()), EComponentError);
}

TEST(Menu, OwnerDrawnItemsAreMeasuredAndDrawnThroughTheirEvents) {
  auto form = Make<TMenuForm>();
  struct TDraw {
    int Measured = 0, Drawn = 0;
    TOwnerDrawState LastState = 0;
    void Measure(TObject*, TCanvas* canvas, int& w, int& h) {
      ++Measured;
      EXPECT_NE(canvas->Handle(), nullptr);
      w = 123;
      h = 45;
    }
    void Draw(TObject*, TCanvas*, const RECT&, TOwnerDrawState state) {
      ++Drawn;
      LastState = state;
    }
  } draw;
  form->Save->SetOnMeasureItem(TMenuMeasureItemEvent(&draw, &TDraw::Measure));
  form->Save->SetOnAdvancedDrawItem(TAdvancedMenuDrawItemEvent(&draw, &TDraw::Draw));
  MEASUREITEMSTRUCT mis{ODT_MENU, 0, form->Save->Command(), 0, 0, reinterpret_cast<ULONG_PTR>(form->Save)};
  SendMessageA(form->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
  EXPECT_EQ(draw.Measured, 1);
  EXPECT_EQ(mis.itemWidth, 123u);
  EXPECT_EQ(mis.itemHeight, 45u);
  HDC dc = GetDC(form->Handle());
  DRAWITEMSTRUCT dis{ODT_MENU, 0, form->Save->Command(), ODA_DRAWENTIRE, ODS_SELECTED | ODS_CHECKED,
                     nullptr, dc, RECT{0, 0, 100, 20}, reinterpret_cast<ULONG_PTR>(form->Save)};
  SendMessageA(form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  ReleaseDC(form->Handle(), dc);
  EXPECT_EQ(draw.Drawn, 1);
  EXPECT_EQ(draw.LastState, odSelected | odChecked);
  HMENU sub = GetSubMenu(GetMenu(form->Handle()), 0);
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_FTYPE;
  GetMenuItemInfoA(sub, 0, TRUE, &mii);
  EXPECT_TRUE(mii.fType & MFT_OWNERDRAW);
}

}  // namespace
