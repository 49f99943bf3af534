#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <string>
#include <typeinfo>

#include "ControlPixels.h"
#include "framework/win/TApplication.h"
#include "framework/win/TButton.h"
#include "skin/controls/TsComboBox.h"
#include "skin/controls/TsCommonCombo.h"
#include "skin/controls/TsListView.h"
#include "skin/controls/TsPanel.h"
#include "tests/framework/win/TestSupport.h"

// The combo boxes under the mouse as the user moves it (SendInput): dragged from, dropped on a list,
// and what another control's press or a focus moved by OnDropDown does to a dropped list. Without a
// skin ("") and in the bundled skins.

namespace {

class ComboDrag : public TSkinnedFormTest, public ::testing::WithParamInterface<const char*> {
protected:
  void SetUp() override {
    TSkinnedFormTest::SetUp();
    if (*GetParam() != '\0') LoadSkin(GetParam());
    List = NewControl<TsCustomListView>(Form, Form, RECT{230, 20, 400, 150});
    List->SetOnDragOver(TDragOverEvent::FromFunctor(
        [](TObject*, TObject* source, int, int, TDragState, bool& accept) { accept = dynamic_cast<TsCommonCombo*>(source); }));
    List->SetOnDragDrop(TDragDropEvent::FromFunctor([this](TObject*, TObject* source, int, int) { Dropped = source; }));
    Other = NewControl<TButton>(Form, Form, RECT{20, 200, 100, 225});
    Panel = NewControl<TsPanel>(Form, Form, RECT{120, 180, 220, 240});
    Pump();
  }
  void TearDown() override {
    MouseAt(POINT{0, 0}, MOUSEEVENTF_LEFTUP);
    TSkinnedFormTest::TearDown();
  }

  template <typename T>
  T* Put(TComboBoxStyle style, int top = 20) {
    auto* c = NewComponent<T>(Form);
    c->SetBounds(20, top, 165, 22);
    c->SetStyle(style);
    for (const char* s : {"Alpha", "Beta", "Gamma", "Delta", "Epsilon"}) c->AddItem(s);
    c->SetParent(Form);
    Pump();
    return c;
  }
  // The drop-down button's centre on the screen: the skin's button, else the native one.
  static POINT ButtonCentre(TsCommonCombo* c) {
    RECT b = c->ButtonArea();
    if (b.right <= b.left) {
      COMBOBOXINFO info{};
      info.cbSize = sizeof(info);
      GetComboBoxInfo(c->Handle(), &info);
      b = info.rcButton;
    }
    return c->ClientToScreen(POINT{(b.left + b.right) / 2, (b.top + b.bottom) / 2});
  }
  static POINT Centre(TControl* c) { return c->ClientToScreen(POINT{c->Width() / 2, c->Height() / 2}); }

  // Pressed at from, moved a little (less than the threshold), then onto the list and let go there.
  void DragToList(TsCommonCombo* c, POINT from) {
    MouseAt(from, MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([] { return GetCapture() != nullptr; }));
    MouseAt(POINT{from.x + 2, from.y});
    Pump();
    EXPECT_FALSE(c->Dragging());
    MouseAt(Centre(List));
    ASSERT_TRUE(PumpUntil([&] { return c->Dragging(); }));
    EXPECT_FALSE(c->DroppedDown());
    MouseAt(Centre(List), MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return !c->Dragging(); }));
  }

  TsCustomListView* List = nullptr;
  TButton* Other = nullptr;
  TsPanel* Panel = nullptr;
  TObject* Dropped = nullptr;
};

TEST_P(ComboDrag, APressAwayFromTheButtonDragsOnceTheMouseMovesAndOneOnTheButtonDropsTheList) {
  // A list-only combo from its face, an editable one from its edit (which had its press and release
  // first: it keeps no capture).
  auto* list = Put<TsCommonComboBox>(csDropDownList, 20);
  auto* edit = Put<TsCommonComboBox>(csDropDown, 50);
  for (TsCommonComboBox* c : {list, edit}) {
    c->SetDragMode(dmAutomatic);
    Dropped = nullptr;
    DragToList(c, c->ClientToScreen(POINT{10, c->Height() / 2}));
    EXPECT_EQ(Dropped, c);
    EXPECT_TRUE(c == edit || c->Focused());
    EXPECT_EQ(GetCapture(), nullptr);
  }
  ClickAt(ButtonCentre(list));
  EXPECT_TRUE(PumpUntil([&] { return list->DroppedDown(); }));
  EXPECT_FALSE(list->Dragging());
  list->SetDroppedDown(false);
}

TEST_P(ComboDrag, AnOnDropDownThatMovesTheFocusLeavesNoListDropped) {
  auto* common = Put<TsCommonComboBox>(csDropDownList, 20);
  auto* edit = Put<TsCommonComboBox>(csDropDown, 50);
  auto* standard = Put<TsComboBox>(csDropDownList, 80);
  for (TComboBox* c : std::initializer_list<TComboBox*>{common, edit, standard}) {
    const std::string name = typeid(*c).name() + std::to_string(int(c->Style()));
    c->SetFocus();
    Pump();
    // A handler that leaves the focus alone keeps the list.
    c->SetOnDropDown(TNotifyEvent::FromFunctor([](TObject*) {}));
    SendMessageA(c->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    Pump();
    EXPECT_TRUE(c->DroppedDown()) << name;
    c->SetDroppedDown(false);
    Pump();
    c->SetOnDropDown(TNotifyEvent::FromFunctor([this](TObject*) { Other->SetFocus(); }));
    SendMessageA(c->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    Pump();
    EXPECT_FALSE(c->DroppedDown()) << name;
    EXPECT_TRUE(Other->Focused()) << name;
    EXPECT_EQ(GetCapture(), nullptr) << name;
  }
}

TEST_P(ComboDrag, APressOnAnotherControlClosesTheFocusedCombosList) {
  auto* common = Put<TsCommonComboBox>(csDropDown, 20);
  auto* standard = Put<TsComboBox>(csDropDownList, 50);
  for (TComboBox* c : std::initializer_list<TComboBox*>{common, standard}) {
    c->SetFocus();
    c->SetDroppedDown(true);
    Pump();
    ASSERT_TRUE(c->DroppedDown());
    // A press on the combo itself leaves it.
    c->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(c));
    EXPECT_TRUE(c->DroppedDown());
    // The dropped list holds the mouse: the press reaches the panel as a message.
    SendMessageA(Panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(Panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_FALSE(c->DroppedDown());
  }
}

INSTANTIATE_TEST_SUITE_P(Looks, ComboDrag, ::testing::Values("", "Desert", "Nocturne"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return *info.param != '\0' ? std::string(info.param) : std::string("NoSkin");
                         });

}  // namespace
