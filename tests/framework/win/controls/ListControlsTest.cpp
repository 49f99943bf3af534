#include <windows.h>
#include <commctrl.h>

#include "ControlTestSupport.h"
#include "framework/win/TComboBox.h"
#include "framework/win/TComboBoxEx.h"
#include "framework/win/TImageList.h"
#include "framework/win/TListView.h"
#include "framework/win/TPageControl.h"
#include "framework/win/TTabSheet.h"

namespace {

using ListControls = ControlTest;

TStringList Strings(const char* commaText) {
  TStringList list;
  list.SetCommaText(commaText);
  return list;
}

TEST_F(ListControls, ComboBoxSelectionFromTheKeyboardFiresOnSelect) {
  auto* combo = Make<TComboBox>();
  combo->SetStyle(csDropDownList);
  combo->SetItems(Strings("red,green,blue"));
  combo->SetItemIndex(0);
  int selects = 0;
  combo->SetOnSelect(Counter(selects));
  combo->SetFocus();
  SendMessageA(combo->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(selects, 1);
  EXPECT_EQ(combo->Text(), "green");
  // The index survives a rebuilt window (a style change).
  combo->SetStyle(csDropDown);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_NE(combo->EditHandle(), nullptr);
  combo->DeleteItem(0);
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCOUNT, 0, 0), 2);
}

TEST_F(ListControls, KeysTypedIntoTheComboEditReachTheComboOnce) {
  auto* combo = Make<TComboBox>();
  combo->SetItems(Strings("one,two"));
  int downs = 0, presses = 0;
  combo->SetOnKeyDown(TKeyEvent::FromFunctor([&](TObject*, WORD& key, TShiftState) {
    ++downs;
    if (key == 'Q') key = 0;  // eaten: the edit never sees it
  }));
  combo->SetOnKeyPress(TKeyPressEvent::FromFunctor([&](TObject*, char&) { ++presses; }));
  int changes = 0;
  combo->SetOnChange(Counter(changes));
  HWND edit = combo->EditHandle();
  ASSERT_NE(edit, nullptr);
  SetFocus(edit);
  // Through the message loop, as typed keys arrive: the loop makes the character.
  PostMessageA(edit, WM_KEYDOWN, 'A', 1);
  Pump();
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(combo->Text(), "a");
  EXPECT_EQ(changes, 1);
  // Sent straight to the edit they still pass the combo's events.
  SendMessageA(edit, WM_KEYDOWN, 'Q', 1);
  EXPECT_EQ(downs, 2);
  SendMessageA(edit, WM_CHAR, 'b', 1);
  EXPECT_EQ(presses, 2);
  EXPECT_EQ(combo->Text(), "ab");
}

TEST_F(ListControls, OwnerDrawnComboAsksItsHandlerForEveryItemItDraws) {
  auto* combo = Make<TComboBox>();
  combo->SetStyle(csOwnerDrawFixed);
  combo->SetItems(Strings("x,y"));
  std::vector<int> drawn;
  combo->SetOnDrawItem(TDrawItemEvent::FromFunctor(
      [&](TWinControl*, int index, RECT, TOwnerDrawState) { drawn.push_back(index); }));
  combo->SetItemIndex(1);
  RedrawWindow(combo->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.back(), 1);
}

TEST_F(ListControls, ImageComboKeepsItemsWithImagesAndIndents) {
  auto* combo = Make<TComboBoxEx>();
  combo->AddItemEx(TComboExItem{"Phone", 0, 0});
  combo->AddItemEx(TComboExItem{"Flash", 1, 2});
  EXPECT_EQ(combo->ItemsExCount(), 2);
  EXPECT_EQ(combo->Items()[1], "Flash");
  EXPECT_EQ(combo->ItemsEx(1).Indent, 2);
  combo->SetItemIndex(1);
  EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCURSEL, 0, 0), 1);
  combo->ClearItemsEx();
  EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCOUNT, 0, 0), 0);
}

class ListViewTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    View = Make<TListView>();
    View->SetBounds(0, 0, 400, 300);
    View->SetViewStyle(vsReport);
    View->AddColumn("Name", 120);
    View->AddColumn("Size", 60, 1);
    View->BeginUpdate();
    for (const char* name : {"delta", "alpha", "charlie", "bravo"}) {
      TListItem* item = View->AddItem();
      item->SetCaption(name);
      item->AddSubItem(std::to_string(std::string(name).size()));
    }
    View->EndUpdate();
  }

  std::string NativeText(int index, int sub) {
    char buffer[64] = {};
    LVITEMA item{};
    item.iSubItem = sub;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(View->Handle(), LVM_GETITEMTEXTA, WPARAM(index), reinterpret_cast<LPARAM>(&item));
    return buffer;
  }

  LRESULT Notify(NMHDR& header) {
    header.hwndFrom = View->Handle();
    return SendMessageA(Form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  }

  TListView* View = nullptr;
};

TEST_F(ListViewTest, NativeListShowsTheItemsAndSubItems) {
  EXPECT_EQ(SendMessageA(View->Handle(), LVM_GETITEMCOUNT, 0, 0), 4);
  EXPECT_EQ(NativeText(1, 0), "alpha");
  EXPECT_EQ(NativeText(2, 1), "7");
  View->Items(1)->SetCaption("ALPHA");
  EXPECT_EQ(NativeText(1, 0), "ALPHA");
  View->DeleteItem(0);
  EXPECT_EQ(View->Items(0)->Index(), 0);
  EXPECT_EQ(NativeText(0, 0), "ALPHA");
  EXPECT_EQ(SendMessageA(View->Handle(), LVM_GETITEMCOUNT, 0, 0), 3);
}

TEST_F(ListViewTest, SortingKeepsTheSelectedItemsSelected) {
  View->SetMultiSelect(true);
  View->SetRowSelect(true);
  std::vector<std::pair<std::string, bool>> events;
  View->SetOnSelectItem(TLVSelectItemEvent::FromFunctor(
      [&](TObject*, TListItem* item, bool selected) { events.emplace_back(item ? item->Caption() : "", selected); }));
  TListItem* charlie = View->Items(2);
  TListItem* delta = View->Items(0);
  charlie->SetSelected(true);
  delta->SetSelected(true);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0], std::make_pair(std::string("charlie"), true));
  EXPECT_EQ(View->SelCount(), 2);
  View->AlphaSort();
  EXPECT_EQ(View->Items(0)->Caption(), "alpha");
  EXPECT_EQ(charlie->Index(), 2);
  EXPECT_EQ(delta->Index(), 3);
  EXPECT_TRUE(charlie->Selected());
  EXPECT_TRUE(delta->Selected());
  EXPECT_FALSE(View->Items(0)->Selected());
  // A custom order: by length of caption, longest first.
  View->CustomSort(
      [](TListItem* a, TListItem* b, intptr_t) { return int(b->Caption().size()) - int(a->Caption().size()); }, 0);
  EXPECT_EQ(View->Items(0)->Caption(), "charlie");
  EXPECT_EQ(View->Selected(), charlie);
}

TEST_F(ListViewTest, ColumnClickAndLabelEditingGoThroughTheirEvents) {
  int clicked = -1;
  View->SetOnColumnClick(TLVColumnClickEvent::FromFunctor([&](TObject*, int column) { clicked = column; }));
  NMLISTVIEW click{};
  click.hdr.code = LVN_COLUMNCLICK;
  click.iItem = -1;
  click.iSubItem = 1;
  Notify(click.hdr);
  EXPECT_EQ(clicked, 1);

  View->SetOnEdited(TLVEditedEvent::FromFunctor([](TObject*, TListItem*, std::string& s) { s += "!"; }));
  char text[] = "echo";
  NMLVDISPINFOA edit{};
  edit.hdr.code = LVN_BEGINLABELEDITA;
  edit.item.iItem = 1;
  EXPECT_EQ(Notify(edit.hdr), FALSE);
  edit.hdr.code = LVN_ENDLABELEDITA;
  edit.item.pszText = text;
  Notify(edit.hdr);
  EXPECT_EQ(View->Items(1)->Caption(), "echo!");
  // A cancelled edit (no text) keeps the caption.
  edit.item.pszText = nullptr;
  Notify(edit.hdr);
  EXPECT_EQ(View->Items(1)->Caption(), "echo!");
  // Read-only refuses to start editing.
  View->SetReadOnly(true);
  edit.hdr.code = LVN_BEGINLABELEDITA;
  EXPECT_EQ(Notify(edit.hdr), TRUE);
  EXPECT_FALSE(GetWindowLongPtrA(View->Handle(), GWL_STYLE) & LVS_EDITLABELS);
}

TEST_F(ListViewTest, ViewStylesAndImageListsReachTheNativeControl) {
  auto* images = new TImageList(Form);
  View->SetSmallImages(images);
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(View->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
            images->Handle());
  View->SetViewStyle(vsList);
  EXPECT_EQ(GetWindowLongPtrA(View->Handle(), GWL_STYLE) & LVS_TYPEMASK, LVS_LIST);
  images->Free();
  EXPECT_EQ(View->SmallImages(), nullptr);
  EXPECT_EQ(SendMessageA(View->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
}

class PageControlTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    Pages = Make<TPageControl>();
    Pages->SetBounds(0, 0, 400, 300);
    for (int i = 0; i < 3; ++i) {
      Sheet[i] = new TTabSheet(Form);
      Sheet[i]->SetCaption("Page " + std::to_string(i));
      Sheet[i]->SetPageControl(Pages);
    }
  }

  // Clicks the tab at tabIndex as the user would.
  void ClickTab(int tabIndex) {
    RECT r{};
    SendMessageA(Pages->Handle(), TCM_GETITEMRECT, WPARAM(tabIndex), reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(Pages->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(Pages->Handle(), WM_LBUTTONUP, 0, at);
    Pump();
  }

  TPageControl* Pages = nullptr;
  TTabSheet* Sheet[3] = {};
};

TEST_F(PageControlTest, ClickingATabSwitchesPagesUnlessOnChangingRefuses) {
  EXPECT_EQ(Pages->ActivePage(), Sheet[0]);
  EXPECT_TRUE(Sheet[0]->Visible());
  int changes = 0;
  Pages->SetOnChange(Counter(changes));
  ClickTab(2);
  EXPECT_EQ(Pages->ActivePage(), Sheet[2]);
  EXPECT_TRUE(Sheet[2]->Visible());
  EXPECT_FALSE(Sheet[0]->Visible());
  EXPECT_EQ(changes, 1);
  bool allow = false;
  Pages->SetOnChanging(TTabChangingEvent::FromFunctor([&](TObject*, bool& a) { a = allow; }));
  ClickTab(1);
  EXPECT_EQ(Pages->ActivePage(), Sheet[2]);
  EXPECT_EQ(SendMessageA(Pages->Handle(), TCM_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(changes, 1);
  // A page fills the display area of the tab control.
  RECT display = Pages->DisplayRect();
  EXPECT_EQ(Sheet[2]->Left(), display.left);
  EXPECT_EQ(Sheet[2]->Width(), display.right - display.left);
}

TEST_F(PageControlTest, HiddenTabsShiftTheTabToPageMapping) {
  Sheet[1]->SetTabVisible(false);
  EXPECT_EQ(SendMessageA(Pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(Sheet[1]->TabIndex(), -1);
  EXPECT_EQ(Sheet[2]->TabIndex(), 1);
  EXPECT_EQ(Pages->PageForTab(1), Sheet[2]);
  EXPECT_EQ(Sheet[2]->PageIndex(), 2);
  ClickTab(1);
  EXPECT_EQ(Pages->ActivePage(), Sheet[2]);
  EXPECT_EQ(Pages->FindNextPage(Sheet[0], true, true), Sheet[2]);
  EXPECT_EQ(Pages->FindNextPage(Sheet[2], true, true), Sheet[0]);
  // Renaming a page renames its tab.
  Sheet[2]->SetCaption("Flash");
  char text[32] = {};
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(Pages->Handle(), TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "Flash");
  // Freeing the active page activates another.
  Sheet[2]->Free();
  Sheet[2] = nullptr;
  EXPECT_EQ(Pages->PageCount(), 2);
  EXPECT_EQ(Pages->ActivePage(), Sheet[0]);
}

TEST_F(PageControlTest, TabPositionAndMultiLineRebuildTheTabs) {
  Pages->SetTabPosition(tpBottom);
  Pages->SetMultiLine(true);
  LONG_PTR style = GetWindowLongPtrA(Pages->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & TCS_BOTTOM);
  EXPECT_TRUE(style & TCS_MULTILINE);
  EXPECT_EQ(SendMessageA(Pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(Pages->Handle(), TCM_GETCURSEL, 0, 0), 0);
}

}  // namespace
