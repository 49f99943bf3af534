#include <gtest/gtest.h>

#include "TestSupport.h"
#include "framework/win/TCustomEdit.h"
#include "framework/win/TGraphicControl.h"
#include "framework/win/TNativeItems.h"
#include "framework/win/TWinControl.h"

namespace {

class TPanelLike : public TWinControl {
public:
  explicit TPanelLike(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(ControlStyle() | csAcceptsControls);
  }
};

TWinControl* AddPanel(TWinControl* parent, TAlign align, int l, int t, int w, int h) {
  auto* panel = new TPanelLike(parent);
  panel->SetBounds(l, t, w, h);
  panel->SetAlign(align);
  panel->SetParent(parent);
  return panel;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

#define EXPECT_BOUNDS(control, l, t, r, b) \
  EXPECT_TRUE(SameRect((control)->BoundsRect(), RECT{l, t, r, b})) \
      << (control)->Left() << "," << (control)->Top() << "," << (control)->Left() + (control)->Width() << "," \
      << (control)->Top() + (control)->Height()

TEST(Layout, AlignedChildrenShareTheClientAreaInAlignOrder) {
  auto host = Make<TPanelLike>(nullptr);
  host->SetBounds(0, 0, 300, 200);
  host->SetBorderWidth(5);
  TWinControl* top2 = AddPanel(host.get(), alTop, 0, 50, 10, 20);
  TWinControl* top1 = AddPanel(host.get(), alTop, 0, 0, 10, 30);
  TWinControl* bottom = AddPanel(host.get(), alBottom, 0, 0, 10, 25);
  TWinControl* left = AddPanel(host.get(), alLeft, 0, 0, 40, 10);
  TWinControl* right = AddPanel(host.get(), alRight, 0, 0, 60, 10);
  TWinControl* client = AddPanel(host.get(), alClient, 0, 0, 1, 1);
  // Inside the 5-pixel border: the two top panels keep their order by Top.
  EXPECT_BOUNDS(top1, 5, 5, 295, 35);
  EXPECT_BOUNDS(top2, 5, 35, 295, 55);
  EXPECT_BOUNDS(bottom, 5, 170, 295, 195);
  EXPECT_BOUNDS(left, 5, 55, 45, 170);
  EXPECT_BOUNDS(right, 235, 55, 295, 170);
  EXPECT_BOUNDS(client, 45, 55, 235, 170);

  host->SetBounds(0, 0, 400, 300);
  EXPECT_BOUNDS(client, 45, 55, 335, 270);
  right->SetVisible(false);
  EXPECT_BOUNDS(client, 45, 55, 395, 270);
}

TEST(Layout, AnchorsFollowTheParentsSize) {
  auto host = Make<TPanelLike>(nullptr);
  host->SetBounds(0, 0, 200, 100);
  TWinControl* stretched = AddPanel(host.get(), alNone, 10, 10, 100, 20);
  stretched->SetAnchors(akLeft | akTop | akRight);
  TWinControl* corner = AddPanel(host.get(), alNone, 150, 70, 40, 20);
  corner->SetAnchors(akRight | akBottom);
  TWinControl* fixed = AddPanel(host.get(), alNone, 5, 5, 10, 10);
  host->SetBounds(0, 0, 260, 150);
  EXPECT_BOUNDS(stretched, 10, 10, 170, 30);
  EXPECT_BOUNDS(corner, 210, 120, 250, 140);
  EXPECT_BOUNDS(fixed, 5, 5, 15, 15);
  host->SetBounds(0, 0, 200, 100);
  EXPECT_BOUNDS(corner, 150, 70, 190, 90);
}

TEST(Layout, ConstraintsLimitTheSize) {
  auto host = Make<TPanelLike>(nullptr);
  host->SetConstraints(TSizeConstraints{50, 40, 120, 0});
  host->SetBounds(0, 0, 10, 10);
  EXPECT_EQ(host->Width(), 50);
  EXPECT_EQ(host->Height(), 40);
  host->SetBounds(0, 0, 500, 500);
  EXPECT_EQ(host->Width(), 120);
  EXPECT_EQ(host->Height(), 500);
}

TEST(Layout, WindowBoundsFollowTheControlAndTheOtherWayRound) {
  auto form = Make<TTestForm>();
  TWinControl* panel = AddPanel(form.get(), alNone, 10, 20, 100, 50);
  HWND window = panel->Handle();
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ(r.right - r.left, 100);
  EXPECT_EQ(r.bottom - r.top, 50);
  // A move by the platform is taken back into the control.
  SetWindowPos(window, nullptr, 30, 40, 70, 60, SWP_NOZORDER);
  EXPECT_BOUNDS(panel, 30, 40, 100, 100);
}

// A windowed control with a native vertical scroll bar, to see its state survive a new window.
class TScrolled : public TWinControl {
public:
  explicit TScrolled(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 100, 100); }

protected:
  void CreateParams(TCreateParams& params) override {
    TWinControl::CreateParams(params);
    params.Style |= WS_VSCROLL;
  }
};

TEST(Layout, RecreateWndKeepsTextAndScrollPosition) {
  auto form = Make<TTestForm>();
  auto* control = new TScrolled(form.get());
  control->SetParent(form.get());
  HWND before = control->Handle();
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 37, 0};
  SetScrollInfo(before, SB_VERT, &si, TRUE);
  SetWindowTextA(before, "set natively");
  control->RecreateWnd();
  HWND after = control->Handle();
  EXPECT_FALSE(IsWindow(before));
  EXPECT_TRUE(IsWindow(after));
  EXPECT_EQ(control->Text(), "set natively");
  EXPECT_EQ(GetScrollPos(after, SB_VERT), 37);
  EXPECT_EQ(FindControl(after), control);
}

// Thin wrappers of native classes whose items live in the window, to see them survive a new one.
template <const char* NativeClass, DWORD ExtraStyle, TNativeItems::TKind Kind>
class TNative : public TWinControl {
public:
  explicit TNative(TComponent* owner) : TWinControl(owner), FItems(Kind) { SetBounds(0, 0, 120, 100); }

protected:
  void CreateParams(TCreateParams& params) override {
    TWinControl::CreateParams(params);
    CreateSubClass(params, NativeClass);
    params.Style |= ExtraStyle;
  }
  void SaveNativeState() override { FItems.Save(Handle()); }
  void RestoreNativeState() override { FItems.Restore(Handle()); }

private:
  TNativeItems FItems;
};
constexpr char kListBox[] = "LISTBOX";
constexpr char kComboBox[] = "COMBOBOX";

TEST(Layout, RecreateWndKeepsItemsAndSelectionOfNativeControls) {
  auto form = Make<TTestForm>();
  auto* list = new TNative<kListBox, WS_VSCROLL | LBS_HASSTRINGS, TNativeItems::TKind::ListBox>(form.get());
  auto* edit = new TEdit(form.get());
  auto* combo = new TNative<kComboBox, CBS_DROPDOWNLIST, TNativeItems::TKind::ComboBox>(form.get());
  for (TWinControl* c : std::initializer_list<TWinControl*>{list, edit, combo}) c->SetParent(form.get());
  form->HandleNeeded();
  for (const char* item : {"RAM Downloader", "Boot Loader", "Flex", "LangPack"}) {
    list->Perform(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    combo->Perform(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  list->Perform(LB_SETCURSEL, 2);
  combo->Perform(CB_SETCURSEL, 3);
  edit->SetText("superfile.shx");
  edit->Perform(EM_SETSEL, 2, 7);
  HWND before = list->Handle();
  form->RecreateWnd();
  // A hidden form makes its windows again when they are next needed.
  form->HandleNeeded();
  EXPECT_NE(list->Handle(), before);
  EXPECT_EQ(list->Perform(LB_GETCOUNT), 4);
  EXPECT_EQ(list->Perform(LB_GETCURSEL), 2);
  char text[64] = {};
  list->Perform(LB_GETTEXT, 3, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "LangPack");
  EXPECT_EQ(combo->Perform(CB_GETCOUNT), 4);
  EXPECT_EQ(combo->Perform(CB_GETCURSEL), 3);
  EXPECT_EQ(edit->Text(), "superfile.shx");
  DWORD start = 0, end = 0;
  edit->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(end, 7u);
}

TEST(Layout, ParentFontAndColourReachChildrenUntilTheyChooseTheirOwn) {
  auto form = Make<TTestForm>();
  TWinControl* panel = AddPanel(form.get(), alNone, 0, 0, 50, 50);
  auto* label = new TGraphicControl(form.get());
  label->SetParent(panel);
  label->SetParentColor(true);
  panel->SetParentColor(true);
  form->Font()->SetSize(14);
  form->SetColor(clYellow);
  EXPECT_EQ(panel->Font()->Size(), 14);
  EXPECT_EQ(label->Font()->Size(), 14);
  EXPECT_TRUE(label->ParentFont());
  EXPECT_EQ(label->Color(), clYellow);
  label->Font()->SetSize(9);
  EXPECT_FALSE(label->ParentFont());
  form->Font()->SetSize(20);
  EXPECT_EQ(panel->Font()->Size(), 20);
  EXPECT_EQ(label->Font()->Size(), 9);
}

TEST(Layout, BiDiModeAndShowHintFollowTheParentUntilSetOnTheChild) {
  auto form = Make<TTestForm>();
  TWinControl* panel = AddPanel(form.get(), alNone, 0, 0, 50, 50);
  auto* label = new TGraphicControl(form.get());
  label->SetParent(panel);
  form->SetBiDiMode(bdRightToLeft);
  form->SetShowHint(true);
  EXPECT_EQ(panel->BiDiMode(), bdRightToLeft);
  EXPECT_EQ(label->BiDiMode(), bdRightToLeft);
  EXPECT_TRUE(label->ShowHint());
  label->SetShowHint(false);
  form->SetShowHint(true);
  EXPECT_FALSE(label->ShowHint());
  EXPECT_FALSE(label->ParentShowHint());
}

// Counts the framework's change messages it receives.
class TChangeCounter : public TWinControl {
public:
  using TWinControl::TWinControl;
  int VisibleChanges = 0, EnabledChanges = 0, TextChanges = 0, FontChanges = 0, ColorChanges = 0, ListChanges = 0;
  void Dispatch(TMessage& m) override {
    switch (m.Msg) {
      case CM_VISIBLECHANGED: ++VisibleChanges; break;
      case CM_ENABLEDCHANGED: ++EnabledChanges; break;
      case CM_TEXTCHANGED: ++TextChanges; break;
      case CM_FONTCHANGED: ++FontChanges; break;
      case CM_COLORCHANGED: ++ColorChanges; break;
      case CM_CONTROLLISTCHANGE: ++ListChanges; break;
      default: break;
    }
    TWinControl::Dispatch(m);
  }
};

TEST(Layout, PropertyChangesAreAnnouncedOnceAndOnlyWhenTheyChange) {
  auto form = Make<TTestForm>();
  auto* c = new TChangeCounter(form.get());
  c->SetParent(form.get());
  EXPECT_EQ(c->FontChanges, 1);  // the parent's font arrived
  c->FontChanges = 0;
  c->SetVisible(false);
  c->SetVisible(false);
  c->SetEnabled(false);
  c->SetText("a");
  c->SetText("a");
  c->Font()->SetStyle(fsBold);
  c->SetColor(clRed);
  c->SetColor(clRed);
  EXPECT_EQ(c->VisibleChanges, 1);
  EXPECT_EQ(c->EnabledChanges, 1);
  EXPECT_EQ(c->TextChanges, 1);
  EXPECT_EQ(c->FontChanges, 1);
  EXPECT_EQ(c->ColorChanges, 1);
  EXPECT_FALSE(IsWindowEnabled(c->Handle()));
  auto* child = new TGraphicControl(form.get());
  child->SetParent(c);
  child->SetParent(nullptr);
  EXPECT_EQ(c->ListChanges, 2);
  child->Free();
}

}  // namespace
