#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <algorithm>
#include <string>
#include <vector>

#include "ControlPixels.h"
#include "framework/base/Exception.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TButton.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TComboBox.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TImageList.h"
#include "skin/controls/TsComboBox.h"
#include "skin/controls/TsComboBoxEx.h"
#include "skin/controls/TsCommonCombo.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "tests/framework/win/TGuiCensus.h"

// The combo boxes driven by real messages: keys posted to the focused window go through the
// application's message loop, as typed keys do.

namespace {

const std::vector<std::string> kItems{"Alpha", "Beta", "beam", "Gamma", "Gate"};

std::uint32_t gTick = 0;
std::uint32_t FakeTick() { return gTick; }

void Pump() { TSkinnedFormTest::Pump(); }

LPARAM KeyData(WORD vk, bool up, bool alt) {
  LPARAM l = 1 | LPARAM(MapVirtualKeyA(vk, 0) << 16);
  if (alt) l |= LPARAM(1) << 29;
  if (up) l |= LPARAM(0xC0000000u);
  return l;
}

// A key pressed and released on the focused window.
void PressKey(WORD vk, bool alt = false) {
  HWND focus = GetFocus();
  PostMessageA(focus, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, KeyData(vk, false, alt));
  Pump();
  PostMessageA(GetFocus(), alt ? WM_SYSKEYUP : WM_KEYUP, vk, KeyData(vk, true, alt));
  Pump();
}

void TypeChars(const std::string& text) {
  for (char c : text) {
    PostMessageA(GetFocus(), WM_CHAR, static_cast<unsigned char>(c), 1);
    Pump();
  }
}

// What the screen shows of the control, children included, read into our own bitmap (the caret
// hidden meanwhile: it blinks).
TPixels Printed(TWinControl* control) {
  const bool caret = HideCaret(nullptr);
  TPixels pixels = Captured(control);
  if (caret) ShowCaret(nullptr);
  return pixels;
}

TPixels Part(const TPixels& all, int width, const RECT& r) {
  TPixels part;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) part.push_back(all[std::size_t(y * width + x)]);
  return part;
}

void SetClipboardText(const std::string& text) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(mem), text.c_str(), text.size() + 1);
  GlobalUnlock(mem);
  SetClipboardData(CF_TEXT, mem);
  CloseClipboard();
}

struct TCounts {
  int Change = 0, Select = 0, DblClick = 0;
  bool operator==(const TCounts&) const = default;
};

template <typename T>
void Count(T* c, TCounts& counts) {
  c->SetOnChange(TNotifyEvent::FromFunctor([&counts](TObject*) { ++counts.Change; }));
  c->SetOnSelect(TNotifyEvent::FromFunctor([&counts](TObject*) { ++counts.Select; }));
  c->SetOnDblClick(TNotifyEvent::FromFunctor([&counts](TObject*) { ++counts.DblClick; }));
}

class Combos : public TSkinnedFormTest {
protected:
  void SetUp() override {
    TSkinnedFormTest::SetUp();
    Other = NewControl<TButton>(Form, Form, RECT{20, 200, 100, 225});
    gTick = 100'000;
  }
  template <typename T>
  T* Put(TComboBoxStyle style, int top = 20, bool pump = true) {
    auto* c = NewComponent<T>(Form);
    c->SetBounds(20, top, 165, 22);
    c->SetStyle(style);
    c->SetDropDownCount(14);
    c->SetItemHeight(16);
    for (const std::string& s : kItems) c->AddItem(s);
    c->SetParent(Form);
    if (pump) Pump();
    return c;
  }

  // What the combo shows and reports while the same keys reach it.
  template <typename T>
  std::vector<TPixels> Script(T* c, TCounts& counts) {
    Count(c, counts);
    std::vector<TPixels> shots;
    auto shot = [&] {
      Pump();
      shots.push_back(Printed(c));
    };
    shot();
    c->SetFocus();
    shot();
    PressKey(VK_DOWN);
    shot();
    PressKey(VK_DOWN);
    shot();
    Other->SetFocus();
    shot();
    c->SetItemIndex(3);
    shot();
    c->SetEnabled(false);
    shot();
    return shots;
  }

  TWinControl* Other = nullptr;
};

// ---- no skin: the standard control ----

TEST_F(Combos, WithoutASkinEachIsTheStandardComboBoxInPixelsAndEvents) {
  for (TComboBoxStyle style : {csDropDown, csDropDownList, csSimple}) {
    TCounts standardCounts;
    auto* standard = Put<TComboBox>(style);
    const std::vector<TPixels> expected = Script(standard, standardCounts);
    standard->Free();
    EXPECT_EQ(standardCounts.Select, 2) << int(style);
    EXPECT_NE(expected[0], expected[2]) << int(style);  // the screen was read: the selection shows

    TCounts counts;
    auto* skinned = Put<TsComboBox>(style);
    EXPECT_EQ(Script(skinned, counts), expected) << "TsComboBox, style " << int(style);
    EXPECT_EQ(counts, standardCounts) << int(style);
    EXPECT_EQ(skinned->CacheBuilds(), 0);
    skinned->Free();

    TCounts commonCounts;
    auto* common = Put<TsCommonComboBox>(style);
    EXPECT_EQ(Script(common, commonCounts), expected) << "TsCommonComboBox, style " << int(style);
    EXPECT_EQ(commonCounts, standardCounts) << int(style);
    common->Free();
  }
}

TEST_F(Combos, WithoutASectionTheButtonIs16By16TwoPixelsFromTheRight) {
  auto* c = Put<TsComboBox>(csDropDownList);
  const RECT b = c->ButtonRect();
  EXPECT_EQ(b.right, c->Width() - 2);
  EXPECT_EQ(b.right - b.left, 16);
  EXPECT_EQ(b.bottom - b.top, 16);
  EXPECT_EQ(b.top, (c->Height() - 16) / 2);
}

// ---- read-only ----

TEST_F(Combos, AReadOnlyComboCannotChangeByKeysPasteWheelOrListWhileTabLeaves) {
  for (bool skinned : {false, true}) {
    if (skinned) LoadSkin("Desert");
    for (TComboBoxStyle style : {csDropDown, csDropDownList}) {
      auto* c = Put<TsComboBox>(style);
      c->SetItemIndex(1);
      c->SetReadOnly(true);
      TCounts counts;
      Count(c, counts);
      c->SetFocus();
      Pump();
      const std::string text = c->Text();
      PressKey(VK_DOWN);
      PressKey(VK_NEXT);
      PressKey(VK_END);
      PressKey(VK_DOWN, true);  // Alt+Down opens the list
      PressKey(VK_F4);
      PressKey(VK_BACK);
      PressKey(VK_DELETE);
      TypeChars("gx");
      SetClipboardText("pasted");
      TypeChars("\x16");  // Ctrl+V
      SendMessageA(GetFocus(), WM_PASTE, 0, 0);
      SendMessageA(c->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), MAKELPARAM(30, 30));
      const RECT b = c->ButtonRect();
      SendMessageA(c->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(b.left + 4, b.top + 4));
      SendMessageA(c->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(b.left + 4, b.top + 4));
      Pump();
      const std::string what = std::string(skinned ? "skinned" : "unskinned") + " style " + std::to_string(int(style));
      EXPECT_FALSE(c->DroppedDown()) << what;
      EXPECT_EQ(c->ItemIndex(), 1) << what;
      EXPECT_EQ(c->Text(), text) << what;
      EXPECT_EQ(counts, TCounts()) << what;
      EXPECT_TRUE(c->ComboFocused()) << what;
      // A double click still reports.
      SendMessageA(c->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(b.left + 4, b.top + 4));
      EXPECT_EQ(counts.DblClick, 1) << what;
      // Tab leaves for the next control.
      PressKey(VK_TAB);
      EXPECT_FALSE(c->ComboFocused()) << what;
      c->Free();
      Pump();
    }
  }
}

// ---- skinned ----

class SkinnedCombos : public Combos, public ::testing::WithParamInterface<const char*> {};

TEST_P(SkinnedCombos, AListComboShowsTheCacheAndItsItemOnlyWhenItHasOne) {
  LoadSkin(GetParam());
  auto* c = Put<TsComboBox>(csDropDownList);
  ASSERT_TRUE(c->IsSkinned());
  // No item (the usual start): no text, the whole face is the cache.
  EXPECT_EQ(Captured(c), CacheOf(c));
  c->SetItemIndex(3);
  Pump();
  const TPixels shown = Captured(c), cache = CacheOf(c);
  const RECT b = c->ButtonRect();
  const int w = c->Width(), h = c->Height();
  EXPECT_NE(shown, cache);  // the item's text
  EXPECT_EQ(Part(shown, w, RECT{0, 0, w, 3}), Part(cache, w, RECT{0, 0, w, 3}));
  EXPECT_EQ(Part(shown, w, RECT{0, h - 3, w, h}), Part(cache, w, RECT{0, h - 3, w, h}));
  EXPECT_EQ(Part(shown, w, RECT{b.left - 3, 0, w, h}), Part(cache, w, RECT{b.left - 3, 0, w, h}));
}

TEST_P(SkinnedCombos, AFocusedFaceWithoutTheFocusBarWritesItsTextInTheFontColour) {
  LoadSkin(GetParam());
  auto* c = Put<TsCommonComboBox>(csDropDownList);
  const int section = c->SkinData().SkinIndex();
  ASSERT_TRUE(SectionIndexValid(section));
  TsSectionData& s = ActiveSkin().SkinSectionData[std::size_t(section)];
  const bool showFocus = s.ShowFocus;
  s.ShowFocus = false;
  c->Font()->SetColor(static_cast<TColor>(RGB(0, 0, 255)));
  c->SetItemIndex(3);
  auto blue = [&] {
    const TPixels p = Captured(c);
    return std::count(p.begin(), p.end(), 0x0000FFu);  // read as R << 16 | G << 8 | B
  };
  Pump();
  const auto unfocused = blue();
  c->SetFocus();
  Pump();
  const auto focused = blue();
  s.ShowFocus = showFocus;
  EXPECT_EQ(unfocused, 0);  // the section's colours
  EXPECT_GT(focused, 0);    // the font's
}

TEST_P(SkinnedCombos, TheButtonLooksPressedFromDropDownUntilTheListReports) {
  LoadSkin(GetParam());
  auto* c = Put<TsComboBox>(csDropDown);
  const RECT b = c->ButtonRect();
  const int w = c->Width();
  const TPixels up = Part(CacheOf(c), w, b);
  SendMessageA(c->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
  Pump();
  EXPECT_TRUE(c->DroppedLook());
  EXPECT_NE(Part(CacheOf(c), w, b), up);
  EXPECT_EQ(Part(Captured(c), w, b), Part(CacheOf(c), w, b));
  SendMessageA(c->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
  Pump();
  EXPECT_FALSE(c->DroppedLook());
  EXPECT_EQ(Part(Captured(c), w, b), Part(CacheOf(c), w, b));
}

TEST_P(SkinnedCombos, TheSkinGoesAndComesBackWithEveryComboAlive) {
  LoadSkin(GetParam());
  auto* list = Put<TsComboBox>(csDropDownList, 20);
  auto* common = Put<TsCommonComboBox>(csDropDown, 50);
  auto* ex = Put<TsComboBoxEx>(csOwnerDrawFixed, 80);
  ex->SetItemIndex(2);
  Pump();
  Manager->SetActive(false);
  Pump();
  for (TsSkinnedControl* c : std::vector<TsSkinnedControl*>{list, common, ex}) EXPECT_FALSE(c->IsSkinned());
  const TPixels plain = Printed(list);
  auto* standard = Put<TComboBox>(csDropDownList, 110);
  EXPECT_EQ(Printed(standard), plain);
  Manager->SetActive(true);
  Pump();
  for (TsSkinnedControl* c : std::vector<TsSkinnedControl*>{list, common, ex}) EXPECT_TRUE(c->IsSkinned());
  EXPECT_EQ(Captured(list), CacheOf(list));
}

INSTANTIATE_TEST_SUITE_P(BundledSkins, SkinnedCombos, ::testing::Values("Desert", "Nocturne"));

// ---- type-ahead with real keys ----

TEST_F(Combos, ListOnlyTypeAheadSelectsByPrefixWithinTheIntervalAndCountsSelects) {
  auto* c = Put<TsCommonComboBox>(csDropDownList);
  c->SetTickSource(&FakeTick);
  TCounts counts;
  Count(c, counts);
  c->SetFocus();
  TypeChars("g");
  EXPECT_EQ(c->ItemIndex(), 3);
  gTick += 100;
  TypeChars("a");
  EXPECT_EQ(c->ItemIndex(), 3);
  gTick += 100;
  TypeChars("t");
  EXPECT_EQ(c->ItemIndex(), 4);
  EXPECT_EQ(counts.Select, 2);
  gTick += 100;
  TypeChars("z");  // no item: nothing changes
  EXPECT_EQ(c->ItemIndex(), 4);
  gTick += 500;
  TypeChars("b");
  EXPECT_EQ(c->ItemIndex(), 1);
  EXPECT_EQ(c->Filter(), "b");
  PressKey(VK_BACK);
  EXPECT_EQ(c->Filter(), "");
  EXPECT_EQ(c->ItemIndex(), 1);
  EXPECT_EQ(counts.Select, 3);
  EXPECT_EQ(counts.Change, 1);
}

TEST_F(Combos, EditableTypeAheadCompletesAndBackspaceAtTheStartKeepsTheText) {
  auto* c = Put<TsCommonComboBox>(csDropDown);
  TCounts counts;
  Count(c, counts);
  c->SetFocus();
  TypeChars("b");
  EXPECT_EQ(c->Text(), "beta");  // what was typed, then the rest of the item
  DWORD start = 0, end = 0;
  SendMessageA(c->Handle(), CB_GETEDITSEL, WPARAM(&start), LPARAM(&end));
  EXPECT_EQ(start, 1u);
  EXPECT_EQ(end, 4u);
  EXPECT_EQ(counts.Select, 1);
  // The caret at the very start: the text stays, the list selection goes, the caret stays at 0.
  SendMessageA(c->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, 0));
  PressKey(VK_BACK);
  EXPECT_EQ(c->Text(), "beta");
  EXPECT_EQ(c->ItemIndex(), -1);
  SendMessageA(c->Handle(), CB_GETEDITSEL, WPARAM(&start), LPARAM(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 0u);
  EXPECT_EQ(counts.Change, 1);
  // Further in, the character before the caret goes.
  SendMessageA(c->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(2, 2));
  PressKey(VK_BACK);
  EXPECT_EQ(c->Text(), "bta");
  EXPECT_EQ(counts.Change, 2);
}

TEST_F(Combos, EscapeClosesADroppedListAndLeavesTheText) {
  auto* c = Put<TsCommonComboBox>(csDropDown);
  c->SetFocus();
  c->SetText("be");
  SendMessageA(c->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
  Pump();
  ASSERT_TRUE(c->DroppedDown());
  const std::string text = c->Text();
  PressKey(VK_ESCAPE);
  EXPECT_FALSE(c->DroppedDown());
  EXPECT_EQ(c->Text(), text);
  PressKey(VK_ESCAPE);  // closed: nothing happens
  EXPECT_EQ(c->Text(), text);
}

// ---- children, strings and image items ----

int gForeignDestroyed = 0;
LRESULT CALLBACK ForeignProc(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
  if (msg == WM_NCDESTROY) ++gForeignDestroyed;
  return DefSubclassProc(h, msg, w, l);
}

TEST_F(Combos, ChildHooksComeOffInAnyOrderWithOtherHooksOnTheSameChild) {
  auto* simple = Put<TsCommonComboBox>(csSimple);
  ASSERT_NE(simple->ListHandle(), nullptr);
  ASSERT_NE(simple->EditHandle(), nullptr);
  HWND edit = simple->EditHandle();
  gForeignDestroyed = 0;
  // A hook set after ours stays in the chain while ours comes off first, then goes itself.
  ASSERT_TRUE(SetWindowSubclass(edit, ForeignProc, 7, 0));
  ASSERT_TRUE(SetWindowSubclass(simple->ListHandle(), ForeignProc, 7, 0));
  TCounts counts;
  Count(simple, counts);
  simple->SetFocus();
  TypeChars("x");
  EXPECT_EQ(counts.Change, 1);  // keys still reach the combo through both hooks
  RemoveWindowSubclass(edit, ForeignProc, 7);
  simple->RecreateWnd();
  Pump();
  EXPECT_EQ(gForeignDestroyed, 1);  // the list's foreign hook saw its window go
  EXPECT_NE(simple->EditHandle(), nullptr);
  simple->SetFocus();
  TypeChars("y");
  EXPECT_EQ(counts.Change, 2);
  // A list-only combo has no children to hook.
  auto* list = Put<TsCommonComboBox>(csDropDownList, 60);
  EXPECT_EQ(list->EditHandle(), nullptr);
  EXPECT_EQ(list->ListHandle(), nullptr);
  list->Free();
}

TEST_F(Combos, UnskinnedABevelIsDrawnOverTheStandardFace) {
  auto* c = Put<TsCommonComboBox>(csDropDownList);
  const int w = c->Width(), h = c->Height();
  auto rgb = [](int index) {  // a system colour as our bitmaps read it
    const COLORREF c = GetSysColor(index);
    return std::uint32_t(GetRValue(c)) << 16 | std::uint32_t(GetGValue(c)) << 8 | GetBValue(c);
  };
  auto painted = [&] {
    RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    return Captured(c);
  };
  const TPixels plain = painted();
  c->SetBevelKind(bkTile);
  TPixels shown = painted();
  EXPECT_NE(shown, plain);
  // The outer cut is lowered: the shadow on the left and top of the client, the light on the right.
  const auto at = [&](int x, int y) { return shown[std::size_t(y) * std::size_t(w) + std::size_t(x)]; };
  const RECT client = c->ClientRect();
  const int ox = (w - client.right) / 2, oy = (h - client.bottom) / 2;  // the native frame around it
  EXPECT_EQ(at(ox, oy + client.bottom / 2), rgb(COLOR_BTNSHADOW));
  EXPECT_EQ(at(ox + client.right - 1, oy + client.bottom / 2), rgb(COLOR_BTNHIGHLIGHT));
  c->SetBevelOuter(bvRaised);
  shown = painted();
  EXPECT_EQ(at(ox, oy + client.bottom / 2), rgb(COLOR_3DLIGHT));  // a raised outer cut starts light
  // Only on the sides asked for: the left column is the face's own colour.
  c->SetBevelEdges(beTop | beBottom);
  shown = painted();
  const COLORREF face = ColorToRGB(c->Color());
  EXPECT_EQ(at(ox, oy + client.bottom / 2),
            std::uint32_t(GetRValue(face)) << 16 | std::uint32_t(GetGValue(face)) << 8 | GetBValue(face));
  EXPECT_NE(at(ox + client.right / 2, oy), at(ox, oy + client.bottom / 2));  // the top edge is there
  // The current item stays readable inside the bevel.
  c->Font()->SetColor(static_cast<TColor>(RGB(0, 0, 255)));
  c->SetItemIndex(2);
  shown = painted();
  EXPECT_GT(std::count(shown.begin(), shown.end(), 0x0000FFu), 0);
}

TEST_F(Combos, ChangesInsideTheImageListReachTheImageCombo) {
  auto* images = NewComponent<TImageList>(Form);
  auto* ex = Put<TsComboBoxEx>(csOwnerDrawFixed);
  auto* other = Put<TsComboBoxEx>(csOwnerDrawFixed, 60);
  ex->SetImages(images);
  other->SetImages(images);
  EXPECT_EQ(ex->ItemHeight(), 16);
  // Larger images: both combos make their items tall enough.
  images->SetSize(24, 24);
  EXPECT_EQ(ex->ItemHeight(), 24);
  EXPECT_EQ(other->ItemHeight(), 24);
  // A freed combo or one given other images is told nothing more.
  other->Free();
  ex->SetImages(nullptr);
  images->SetSize(32, 32);
  EXPECT_EQ(ex->ItemHeight(), 24);
}

TEST_F(Combos, ItemStringsAreReadWithTheirLengthAndBadIndexesAreSafe) {
  auto* c = Put<TsCommonComboBox>(csDropDown);
  TsComboBoxStrings& items = c->ItemStrings();
  const std::string longItem(5000, 'q');
  items.Add(longItem);
  EXPECT_EQ(items.Strings(items.Count() - 1), std::string(4095, 'q'));
  EXPECT_EQ(items.Strings(-1), "");
  EXPECT_EQ(items.Strings(999), "");
  EXPECT_THROW(items.Objects(999), EStringListError);
  items.SetObjects(0, 42);
  EXPECT_EQ(items.Objects(0), 42);
  items.Insert(1, "Inserted");
  EXPECT_EQ(items.Strings(1), "Inserted");
  EXPECT_EQ(items.IndexOf("inserted"), 1);
  c->SetText("kept");
  items.Clear();
  EXPECT_EQ(items.Count(), 0);
  EXPECT_EQ(c->Text(), "kept");
}

TEST_F(Combos, ImageItemsIndentInTheListOnlyAndShorterItemsExAreSafe) {
  LoadSkin("Desert");
  auto* images = NewComponent<TImageList>(Form);
  images->SetSize(16, 16);
  TBitmap glyph;
  glyph.SetPixelFormat(TPixelFormat::Bit24);
  glyph.SetSize(16, 16);
  glyph.Canvas()->Brush()->SetColor(clRed);
  glyph.Canvas()->FillRect(RECT{0, 0, 16, 16});
  images->Add(&glyph, nullptr);
  auto* ex = NewComponent<TsComboBoxEx>(Form);
  ex->SetBounds(20, 20, 165, 22);
  ex->SetImages(images);
  ex->ItemsEx().Add(TsComboItem{"Root", 0, -1, -1, 0});
  ex->ItemsEx().Add(TsComboItem{"Child", 0, -1, -1, 2});
  ex->SetParent(Form);
  const TsComboItem* root = ex->ItemsEx().Find(0);
  const TsComboItem* child = ex->ItemsEx().Find(1);
  EXPECT_EQ(ex->ImageRect(child, true).left - ex->ImageRect(root, true).left, 32);
  EXPECT_EQ(ex->ImageRect(child, false).left, ex->ImageRect(root, false).left);
  EXPECT_EQ(ex->ImageRect(root, false).right - ex->ImageRect(root, false).left, 16);
  Pump();
  // The strings came from the items when the window was made; a third string has no item.
  ASSERT_EQ(ex->ItemStrings().Count(), 2);
  ex->AddItem("Loose");
  ex->SetItemIndex(2);
  ex->Repaint();
  ex->SetFocus();
  Pump();
  EXPECT_EQ(ex->ItemIndex(), 2);
  EXPECT_THROW(ex->ItemsEx().Items(2), EStringListError);
  // Freeing the image list leaves none behind.
  images->Free();
  EXPECT_EQ(ex->Images(), nullptr);
  ex->Repaint();
  Pump();
}

// ---- handles ----

class ComboCensus : public Combos {
protected:
  // Create-and-destroy cycles of one kind leave no handles, without and with a skin.
  template <typename T>
  void ExpectFlat(TComboBoxStyle style, int index) {
    for (bool skinned : {false, true}) {
      if (skinned) LoadSkin("Desert");
      auto cycle = [&] {
        auto* c = Put<T>(style, 20, false);
        c->SetItemIndex(index);
        c->Repaint();
        c->Free();
      };
      EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, cycle), TGuiCensus()) << (skinned ? "skinned" : "unskinned");
    }
  }
};

TEST_F(ComboCensus, TheComboBoxLeavesNoHandles) { ExpectFlat<TsComboBox>(csDropDown, 1); }
TEST_F(ComboCensus, TheCommonComboBoxLeavesNoHandles) { ExpectFlat<TsCommonComboBox>(csDropDown, 1); }
TEST_F(ComboCensus, TheImageComboBoxLeavesNoHandles) { ExpectFlat<TsComboBoxEx>(csOwnerDrawFixed, 0); }

}  // namespace
