#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

#include "ControlPixels.h"

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TImageList.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/engine/SkinTextPainter.h"

namespace {

class CheckBoxes : public TSkinnedFormTest {
protected:
  template <typename T>
  T* Put(const char* caption, int top) {
    auto* control = NewControl<T>(Form, Form, RECT{10, top, 210, top + 24});
    control->SetCaption(caption);
    return control;
  }
  // A press and release of the left button posted through the message loop.
  static void ClickOn(TWinControl* control) {
    PostMessageA(control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(control->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
  }
  static void SpaceOn(TWinControl* control) {
    control->SetFocus();
    Pump();
    PostMessageA(control->Handle(), WM_KEYDOWN, VK_SPACE, 0x00390001);
    PostMessageA(control->Handle(), WM_KEYUP, VK_SPACE, LPARAM(0xC0390001u));
    Pump();
  }
  static TPixels Cache(TsSkinnedControl* control, TWinControl* window) {
    control->SkinData().RequestRepaint();
    window->Repaint();
    Pump();
    return CacheOf(control);
  }
  // The columns of a width-wide picture in which a and b differ.
  static std::vector<int> ChangedColumns(const TPixels& a, const TPixels& b, int width) {
    std::vector<int> columns;
    if (a.size() != b.size() || width <= 0) return columns;
    for (int x = 0; x < width; ++x) {
      for (std::size_t i = std::size_t(x); i < a.size(); i += std::size_t(width)) {
        if (a[i] != b[i]) {
          columns.push_back(x);
          break;
        }
      }
    }
    return columns;
  }
  // Columns where the mark shows: the pictures of the box unchecked and checked differ there.
  static std::vector<int> MarkColumns(TsCheckBox* box) {
    box->SetChecked(false);
    const TPixels off = Cache(box, box);
    box->SetChecked(true);
    return ChangedColumns(off, Cache(box, box), box->Width());
  }
};

TEST_F(CheckBoxes, AReadOnlyCheckBoxOrRadioButtonKeepsItsStateAgainstClicksAndSpace) {
  for (const bool skinned : {false, true}) {
    SCOPED_TRACE(skinned ? "Desert" : "no skin");
    if (skinned) LoadSkin();
    auto* free = Put<TsCheckBox>("Free", 10);
    auto* locked = Put<TsCheckBox>("Locked", 40);
    auto* radio = Put<TsRadioButton>("Radio", 70);
    locked->SetReadOnly(true);
    radio->SetReadOnly(true);
    for (TWinControl* c : std::initializer_list<TWinControl*>{free, locked, radio}) ClickOn(c);
    EXPECT_TRUE(free->Checked());
    EXPECT_FALSE(locked->Checked());
    EXPECT_FALSE(radio->Checked());
    for (TWinControl* c : std::initializer_list<TWinControl*>{free, locked, radio}) SpaceOn(c);
    EXPECT_FALSE(free->Checked());
    EXPECT_FALSE(locked->Checked());
    EXPECT_FALSE(radio->Checked());
    EXPECT_EQ(GetFocus(), radio->Handle());  // the focus still moves by the keyboard
    // The program still sets the state, and the native box shows it.
    locked->SetChecked(true);
    EXPECT_EQ(SendMessageA(locked->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    free->Free();
    locked->Free();
    radio->Free();
  }
}

class SkinnedCheckBoxes : public CheckBoxes, public ::testing::WithParamInterface<const char*> {};

TEST_P(SkinnedCheckBoxes, TheMarkSitsOnTheSideItsAlignmentNamesKeptFromTheEdgeByTheMargin) {
  LoadSkin(GetParam());
  auto* box = Put<TsCheckBox>("", 10);
  box->SetAutoSize(false);
  box->SetBounds(10, 10, 200, 24);
  const int width = box->Width();
  std::vector<int> mark = MarkColumns(box);  // the caption right of the mark: the mark at the left
  ASSERT_FALSE(mark.empty());
  EXPECT_GE(mark.front(), box->Margin());
  EXPECT_LT(mark.back(), width / 2);
  box->SetAlignment(taLeftJustify);
  mark = MarkColumns(box);
  ASSERT_FALSE(mark.empty());
  EXPECT_GE(mark.front(), width / 2);
  EXPECT_LT(mark.back(), width - box->Margin());
  const int last = mark.back();
  box->SetMargin(8);
  mark = MarkColumns(box);
  ASSERT_FALSE(mark.empty());
  EXPECT_EQ(mark.back(), last - 6);
}

TEST_P(SkinnedCheckBoxes, TheCaptionMovesByTheTextIndentAndTheFocusFrameShowsOnlyWithShowFocus) {
  LoadSkin(GetParam());
  auto* box = Put<TsCheckBox>("", 10);
  box->SetAutoSize(false);
  box->SetBounds(10, 10, 200, 24);
  const TPixels empty = Cache(box, box);
  box->SetCaption("Wrap");
  const std::vector<int> text = ChangedColumns(empty, Cache(box, box), box->Width());
  ASSERT_FALSE(text.empty());
  box->SetTextIndent(10);
  const std::vector<int> moved = ChangedColumns(empty, Cache(box, box), box->Width());
  ASSERT_FALSE(moved.empty());
  EXPECT_EQ(moved.front(), text.front() + 10);
  EXPECT_EQ(moved.back(), text.back() + 10);

  box->SetFocus();
  Pump();
  const TPixels framed = Cache(box, box);
  box->SetShowFocus(false);
  const TPixels plain = Cache(box, box);
  EXPECT_FALSE(ChangedColumns(framed, plain, box->Width()).empty());
  box->SetShowFocus(true);
  EXPECT_EQ(Cache(box, box), framed);
}

TEST_P(SkinnedCheckBoxes, AutoSizeFollowsCaptionAndMarginUntilMultiLineTurnsItOff) {
  LoadSkin(GetParam());
  auto* box = Put<TsCheckBox>("Show", 10);
  const int width = box->Width(), height = box->Height();
  EXPECT_NE(width, 200);  // sized to its content, not to the bounds asked
  SIZE shortText{}, longText{};
  TextSizeInFont("Show", box->Font(), shortText);
  TextSizeInFont("Show hints", box->Font(), longText);
  box->SetCaption("Show hints");
  EXPECT_EQ(box->Width() - width, longText.cx - shortText.cx);
  EXPECT_EQ(box->Height(), height);
  box->SetMargin(5);
  EXPECT_EQ(box->Width() - width, longText.cx - shortText.cx + 6);
  EXPECT_EQ(box->Height(), height + 6);
  const int sized = box->Width();
  box->SetMultiLine(true);
  EXPECT_FALSE(box->AutoSize());
  box->SetCaption("Show hints while the mouse rests on a control");
  EXPECT_EQ(box->Width(), sized);
  // Turning AutoSize on again ends MultiLine.
  box->SetAutoSize(true);
  EXPECT_FALSE(box->MultiLine());
  EXPECT_GT(box->Width(), sized);
}

// A mark of 3 frames of size x size in colour over an all-opaque mask.
void MakeMark(TBitmap& glyph, int size, TColor colour) {
  glyph.SetSize(3 * size, 2 * size);
  glyph.Canvas()->Brush()->SetColor(colour);
  glyph.Canvas()->FillRect(RECT{0, 0, 3 * size, size});
  glyph.Canvas()->Brush()->SetColor(clBlack);
  glyph.Canvas()->FillRect(RECT{0, size, 3 * size, 2 * size});
}

int CountNear(const TPixels& pixels, std::uint32_t rgb) {
  return int(std::count_if(pixels.begin(), pixels.end(), [rgb](std::uint32_t p) {
    for (int shift : {0, 8, 16})
      if (std::abs(int((p >> shift) & 0xFF) - int((rgb >> shift) & 0xFF)) > 2) return false;
    return true;
  }));
}

TEST_P(SkinnedCheckBoxes, OwnGlyphsAndImageListGlyphsGiveTheMarkItsPixels) {
  LoadSkin(GetParam());
  auto* box = Put<TsCheckBox>("", 10);
  TBitmap checked, unchecked;
  MakeMark(checked, 10, clRed);
  MakeMark(unchecked, 10, clBlue);
  box->SetGlyphChecked(&checked);
  box->SetGlyphUnChecked(&unchecked);
  EXPECT_EQ(box->Width(), 10 + 2 * box->Margin());  // the mark's own size
  box->SetChecked(true);
  TPixels pixels = Cache(box, box);
  EXPECT_EQ(CountNear(pixels, 0xFF0000), 100);  // PixelsOf reads R in the high byte
  box->SetChecked(false);
  pixels = Cache(box, box);
  EXPECT_EQ(CountNear(pixels, 0x0000FF), 100);
  EXPECT_EQ(CountNear(pixels, 0xFF0000), 0);

  auto* images = NewComponent<TImageList>(Form);
  images->SetSize(3 * 12, 2 * 12);
  TBitmap green, yellow;
  MakeMark(green, 12, clLime);
  MakeMark(yellow, 12, clYellow);
  images->Add(&green, nullptr);
  images->Add(&yellow, nullptr);
  box->SetImages(images);
  box->SetImgChecked(1);
  box->SetImgUnchecked(0);
  EXPECT_EQ(box->Width(), 12 + 2 * box->Margin());
  EXPECT_EQ(CountNear(Cache(box, box), 0x00FF00), 144);
  box->SetChecked(true);
  EXPECT_EQ(CountNear(Cache(box, box), 0xFFFF00), 144);
  images->Free();  // back to the own glyphs
  EXPECT_EQ(box->Width(), 10 + 2 * box->Margin());
}

INSTANTIATE_TEST_SUITE_P(BundledSkins, SkinnedCheckBoxes, ::testing::Values("Desert", "Nocturne"));

}  // namespace
