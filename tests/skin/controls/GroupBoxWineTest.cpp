#include <gtest/gtest.h>

#include <windows.h>

#include "ControlPixels.h"

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsGroupBox.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "tests/framework/win/TestSupport.h"

namespace {

class Groups : public TSkinnedFormTest {
protected:
  template <typename T = TsRadioGroup>
  T* Group(std::initializer_list<const char*> items) {
    auto* group = NewControl<T>(Form, Form, RECT{10, 10, 220, 115});
    group->SetCaption("Show ordered by");
    for (const char* item : items) group->Items().Add(item);
    group->SetOnClick(TNotifyEvent::FromFunctor([this](TObject*) { ++Clicks; }));
    return group;
  }
  void ClickOn(TWinControl* c) {
    SendMessageA(c->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(c->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
  }
  int Clicks = 0;
};

TEST_F(Groups, AClickOnAButtonSelectsItsItemAndClicksTheGroup) {
  auto* group = Group({"Code Group", "Start address"});
  group->SetItemIndex(0);
  ASSERT_EQ(group->ButtonCount(), 2);
  EXPECT_TRUE(group->Buttons(0)->Checked());
  EXPECT_EQ(group->Buttons(1)->Caption(), "Start address");
  EXPECT_EQ(Clicks, 0);  // set by the program: no click
  ClickOn(group->Buttons(1));
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_EQ(Clicks, 1);
  EXPECT_FALSE(group->Buttons(0)->Checked());
  ClickOn(group->Buttons(1));  // already checked: no change, no click
  EXPECT_EQ(Clicks, 1);
}

TEST_F(Groups, AnItemIndexStoredWhileLoadingIsKeptInRangeOnceLoaded) {
  Form->BeginLoading();
  auto* group = Group({"one", "two"});
  group->SetItemIndex(5);  // stored as it is while loading
  Form->EndLoading();
  EXPECT_EQ(group->ItemIndex(), 1);
  ASSERT_EQ(group->ButtonCount(), 2);
  EXPECT_TRUE(group->Buttons(1)->Checked());
  group->SetItemIndex(0);
  EXPECT_TRUE(group->Buttons(0)->Checked());
  EXPECT_FALSE(group->Buttons(1)->Checked());
}

TEST_F(Groups, ItemIndexAndColumnsAreKeptInRange) {
  auto* group = Group({"one", "two"});
  group->SetItemIndex(5);
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_TRUE(group->Buttons(1)->Checked());
  group->SetItemIndex(-3);
  EXPECT_EQ(group->ItemIndex(), -1);
  EXPECT_FALSE(group->Buttons(1)->Checked());
  group->SetColumns(0);
  EXPECT_EQ(group->Columns(), 1);
  group->SetColumns(20);
  EXPECT_EQ(group->Columns(), 16);
  group->SetItemIndex(1);
  group->Items().Delete(1);  // the index follows the shorter list
  EXPECT_EQ(group->ItemIndex(), 0);
  group->Items().Clear();
  EXPECT_EQ(group->ButtonCount(), 0);
  EXPECT_EQ(group->ItemIndex(), -1);
}

TEST_F(Groups, ThreeItemsInTwoColumnsPutTwoInTheFirst) {
  auto* group = Group({"a", "b", "c"});
  group->SetColumns(2);
  Pump();
  EXPECT_EQ(group->Buttons(0)->Left(), group->Buttons(1)->Left());
  EXPECT_LT(group->Buttons(0)->Top(), group->Buttons(1)->Top());
  EXPECT_GT(group->Buttons(2)->Left(), group->Buttons(0)->Left());
  EXPECT_EQ(group->Buttons(2)->Top(), group->Buttons(0)->Top());
  EXPECT_TRUE(group->Buttons(2)->Visible());
  group->SetEnabled(false);
  EXPECT_FALSE(group->Buttons(2)->Enabled());
}

TEST_F(Groups, ASkinnedGroupShowsItsCacheAndItsButtonsTheirs) {
  LoadSkin();
  auto* group = Group({"Code Group", "Start address"});
  group->SetItemIndex(0);
  Pump();
  ASSERT_TRUE(group->IsSkinned());
  ASSERT_TRUE(group->Buttons(0)->IsSkinned());
  // Each button fills its cell, whatever its caption.
  EXPECT_EQ(group->Buttons(0)->Width(), group->Buttons(1)->Width());
  TBitmap* cache = group->SkinData().CacheBitmap();
  ASSERT_NE(cache, nullptr);
  // The caption band's corner and a point of the frame below it come from the cache.
  const TWindowDC dc(group->Handle(), TWindowDC::Client);
  for (POINT p : {POINT{2, 2}, POINT{3, 60}, POINT{200, 100}})
    EXPECT_EQ(GetPixel(dc.Handle(), p.x, p.y), cache->Canvas()->Pixel(p.x, p.y)) << p.x << "," << p.y;
  const int builds = group->CacheBuilds();
  group->SetCaptionLayout(TsGroupCaptionLayout::clTopRight);
  Pump();
  EXPECT_GT(group->CacheBuilds(), builds);
}

// A group box that shows where its caption plate goes.
class TPlateGroup : public TsGroupBox {
public:
  using TsGroupBox::TsGroupBox;
  using TsGroupBox::CaptionRect;
};

TEST_F(Groups, TheCaptionIsCentredOnItsPlateInEveryLayout) {
  LoadSkin();
  auto* box = NewControl<TPlateGroup>(Form, Form, RECT{10, 10, 300, 100});
  // Two captions of the same letters: the columns where their pictures differ are the text's.
  auto picture = [box](const char* caption) {
    box->SetCaption(caption);
    box->SkinData().RequestRepaint();
    box->Repaint();
    Pump();
    return CacheOf(box);
  };
  for (TsGroupCaptionLayout layout :
       {TsGroupCaptionLayout::clTopLeft, TsGroupCaptionLayout::clTopCenter, TsGroupCaptionLayout::clTopRight}) {
    box->SetCaptionLayout(layout);
    const TPixels a = picture("WMWM"), b = picture("MWMW");
    const TGroupRect plate = box->CaptionRect();
    int first = box->Width(), last = -1;
    for (int x = 0; x < box->Width(); ++x) {
      for (int y = plate.Top; y < plate.Bottom; ++y) {
        const std::size_t i = std::size_t(y) * std::size_t(box->Width()) + std::size_t(x);
        if (a[i] != b[i]) {
          first = std::min(first, x);
          last = std::max(last, x);
        }
      }
    }
    ASSERT_GE(last, first);
    EXPECT_GE(first, plate.Left);
    EXPECT_LT(last, plate.Right);
    EXPECT_NEAR((first + last + 1) / 2.0, (plate.Left + plate.Right) / 2.0, 1.5) << int(layout);
  }
}

// Tab, Shift+Tab and the arrows posted to the focused window, as the keyboard sends them.
void TypeKey(WORD key, bool shift = false) {
  HWND target = GetFocus();
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
  TSkinnedFormTest::Pump();
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
}

TEST_F(Groups, TheGroupIsOneTabStopEnteredAtItsCheckedButtonAndTheArrowsCheck) {
  for (const bool skinned : {false, true}) {
    SCOPED_TRACE(skinned ? "Desert" : "no skin");
    if (skinned) LoadSkin();
    auto* before = NewControl<TsEdit>(Form, Form, RECT{230, 10, 380, 34});
    auto* group = Group({"one", "two", "three"});
    auto* after = NewControl<TsButton>(Form, Form, RECT{230, 60, 310, 85});
    group->SetItemIndex(1);
    Clicks = 0;
    before->SetFocus();
    Pump();
    TypeKey(VK_TAB);
    EXPECT_EQ(GetFocus(), group->Buttons(1)->Handle()) << "entered at the checked button";
    TypeKey(VK_TAB);
    EXPECT_EQ(GetFocus(), after->Handle()) << "the other buttons are no Tab stops";
    TypeKey(VK_TAB, true);
    EXPECT_EQ(GetFocus(), group->Buttons(1)->Handle());
    TypeKey(VK_DOWN);
    EXPECT_EQ(GetFocus(), group->Buttons(2)->Handle());
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_TRUE(group->Buttons(2)->Checked());
    EXPECT_FALSE(group->Buttons(1)->Checked());
    EXPECT_EQ(Clicks, 1);
    TypeKey(VK_UP);
    TypeKey(VK_UP);
    EXPECT_EQ(GetFocus(), group->Buttons(0)->Handle());
    EXPECT_EQ(group->ItemIndex(), 0);
    // Leaving and coming back enters at the newly checked button.
    TypeKey(VK_TAB);
    TypeKey(VK_TAB, true);
    EXPECT_EQ(GetFocus(), group->Buttons(0)->Handle());
    // With nothing checked the first button is the group's Tab stop.
    group->SetItemIndex(-1);
    before->SetFocus();
    Pump();
    TypeKey(VK_TAB);
    EXPECT_EQ(GetFocus(), group->Buttons(0)->Handle());
    for (TControl* c : {static_cast<TControl*>(before), static_cast<TControl*>(group), static_cast<TControl*>(after)})
      c->Free();
  }
}

// A radio group whose checked button the user may not change while Locked.
class TLockedGroup : public TsRadioGroup {
public:
  using TsRadioGroup::TsRadioGroup;
  bool Locked = true;

protected:
  bool CanModify() const override { return !Locked; }
};

TEST_F(Groups, AGroupThatCannotBeModifiedKeepsItsCheckedButtonAndSeesTheKeysTypedOnItsButtons) {
  for (const bool skinned : {false, true}) {
    SCOPED_TRACE(skinned ? "Desert" : "no skin");
    if (skinned) LoadSkin();
    auto* group = Group<TLockedGroup>({"one", "&two", "three"});
    group->SetItemIndex(0);
    Clicks = 0;
    std::vector<WORD> downs;
    std::string presses, reached;  // typed on a button: seen by the group, come to the button's window
    int ups = 0;
    group->SetOnKeyDown(TKeyEvent::FromFunctor([&](TObject* sender, WORD& key, TShiftState) {
      EXPECT_EQ(sender, group);
      downs.push_back(key);
    }));
    group->SetOnKeyPress(TKeyPressEvent::FromFunctor([&](TObject* sender, char& key) {
      EXPECT_EQ(sender, group);
      presses += key;
    }));
    for (int i = 0; i < group->ButtonCount(); ++i) {
      TsGroupButton* button = group->Buttons(i);
      button->SetOnKeyUp(TKeyEvent::FromFunctor([&](TObject*, WORD&, TShiftState) { ++ups; }));
      button->SetWindowProc(TWndMethod::FromFunctor([&reached, own = button->WindowProc()](TMessage& m) {
        if (m.Msg == WM_CHAR) reached += char(m.WParam);
        own(m);
      }));
    }
    SetForegroundWindow(Form->Handle());
    group->Buttons(0)->SetFocus();
    Pump();
    const auto click = [&](int i) {
      ClickControl(group->Buttons(i));
      return PumpUntil([&] { return GetFocus() == group->Buttons(i)->Handle() && GetCapture() == nullptr; });
    };
    const auto type = [&](WORD vk) {
      const int was = ups;
      PressKey(vk);
      return PumpUntil([&] { return ups > was; });
    };
    const auto checked = [group] {
      std::string marks;
      for (int i = 0; i < group->ButtonCount(); ++i) marks += group->Buttons(i)->Checked() ? 'x' : '-';
      return marks;
    };

    ASSERT_TRUE(click(1));
    ASSERT_TRUE(type(VK_SPACE));
    ASSERT_TRUE(type(VK_DOWN));  // the focus moves on, the check stays
    EXPECT_EQ(GetFocus(), group->Buttons(2)->Handle());
    ASSERT_TRUE(type('A'));
    ASSERT_TRUE(type(VK_BACK));
    EXPECT_EQ(checked(), "x--");
    EXPECT_EQ(group->ItemIndex(), 0);
    EXPECT_EQ(Clicks, 0);
    EXPECT_EQ(downs, (std::vector<WORD>{VK_SPACE, VK_DOWN, 'A', VK_BACK}));
    EXPECT_EQ(presses, " a\b");
    EXPECT_EQ(reached, "a") << "Space and Backspace are dropped";
    PressKey('T', false, true);  // the accelerator of "&two" focuses it only
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == group->Buttons(1)->Handle(); }));
    Pump();
    EXPECT_EQ(checked(), "x--");

    group->Locked = false;
    ASSERT_TRUE(type(VK_SPACE));
    EXPECT_EQ(checked(), "-x-");
    EXPECT_EQ(reached, "a ");
    ASSERT_TRUE(click(0));
    EXPECT_EQ(checked(), "x--");
    ASSERT_TRUE(type(VK_DOWN));
    EXPECT_EQ(checked(), "-x-");
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_EQ(Clicks, 3);
    group->Free();
  }
}

// A click that the group's own OnClick sends to the button being clicked is not taken.
TEST_F(Groups, AButtonsClickDoesNotReenterFromTheGroupsHandler) {
  auto* group = Group({"one", "two"});
  group->SetItemIndex(0);
  group->SetOnClick(TNotifyEvent::FromFunctor([&](TObject*) {
    if (++Clicks > 1) return;
    group->SetItemIndex(0);
    SendMessageA(group->Buttons(1)->Handle(), BM_CLICK, 0, 0);
  }));
  Pump();
  ClickControl(group->Buttons(1));
  ASSERT_TRUE(PumpUntil([&] { return Clicks > 0 && GetCapture() == nullptr; }));
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(group->ItemIndex(), 0);
}

}  // namespace
