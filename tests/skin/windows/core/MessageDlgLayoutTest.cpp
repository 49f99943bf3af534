#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "skin/windows/core/MessageDlgLayout.h"

namespace {

// A font of 6 x 13 average characters: margins 24 and 20 (19.5 rounds up), spacings 15 and 16,
// buttons at least 75 x 23, 6 apart.
constexpr int AW = 6, AH = 13;

TMsgDlgButtonWidths NarrowCaptions(TMsgDlgButtons buttons) {
  TMsgDlgButtonWidths widths;
  widths.Fill(buttons, [](const std::string&) { return 20; });
  return widths;
}

TMsgDlgLayout Layout(TMsgDlgButtons buttons, int textWidth, int textHeight, bool icon = true,
                     const TMsgDlgButtonWidths* widths = nullptr) {
  static TMsgDlgButtonWidths narrow = NarrowCaptions(0x7FF);
  TMsgDlgLayoutInput in;
  in.AveWidth = AW;
  in.AveHeight = AH;
  in.ScreenWidth = 1024;
  in.ScreenHeight = 768;
  in.HasIcon = icon;
  in.Buttons = buttons;
  in.TextWidth = textWidth;
  in.TextHeight = textHeight;
  in.Widths = widths ? widths : &narrow;
  return LayoutMessageDialog(in);
}

std::vector<std::string> Names(const TMsgDlgLayout& layout) {
  std::vector<std::string> names;
  for (const auto& b : layout.Buttons) names.push_back(MsgDlgButtonInfo(b.Kind).Name);
  return names;
}

// The widest run of characters that wrapping cannot break.
int WidestWord(const std::string& text, int perChar) {
  std::istringstream words(text);
  int widest = 0;
  for (std::string word; words >> word;) widest = std::max(widest, int(word.size()) * perChar);
  return widest;
}

TEST(MessageDlgLayout, WithoutButtonsTheTextAndIconAloneSetTheWidth) {
  const TMsgDlgLayout l = Layout(0, 100, 13);
  EXPECT_TRUE(l.Buttons.empty());
  // Icon block 100 + 32 + 15 wide, raised to the icon's 32 high; the button row's height stays.
  EXPECT_EQ(l.ClientWidth, 147 + 2 * 24);
  EXPECT_EQ(l.ClientHeight, 32 + 23 + 16 + 2 * 20);
  EXPECT_EQ(l.IconBounds, (TRect{24, 20, 56, 52}));
  EXPECT_EQ(l.TextBounds, (TRect{24 + 47, 20, 24 + 147, 33}));
  // Without an icon the text starts at the margin and the block is the text's height.
  const TMsgDlgLayout plain = Layout(0, 100, 13, false);
  EXPECT_EQ(plain.IconBounds, TRect{});
  EXPECT_EQ(plain.TextBounds, (TRect{24, 20, 124, 33}));
  EXPECT_EQ(plain.ClientHeight, 13 + 23 + 16 + 40);
}

TEST(MessageDlgLayout, YesNoInTableOrderWithYesDefaultAndNoCancel) {
  const TMsgDlgLayout l = Layout(mbNo | mbYes, 40, 13);
  ASSERT_EQ(Names(l), (std::vector<std::string>{"Yes", "No"}));
  EXPECT_TRUE(l.Buttons[0].Default);
  EXPECT_FALSE(l.Buttons[0].Cancel);
  EXPECT_FALSE(l.Buttons[1].Default);
  EXPECT_TRUE(l.Buttons[1].Cancel);
  // A short message: the box is as wide as the button row (2 x 75 + 6) plus margins, the row
  // centred under the icon block.
  EXPECT_EQ(l.ClientWidth, 156 + 48);
  const int top = 32 + 20 + 16;
  EXPECT_EQ(l.Buttons[0].Bounds, (TRect{24, top, 99, top + 23}));
  EXPECT_EQ(l.Buttons[1].Bounds, (TRect{105, top, 180, top + 23}));
  EXPECT_EQ(MsgDlgButtonInfo(l.Buttons[1].Kind).ModalResult, 7);
}

TEST(MessageDlgLayout, DefaultAndCancelChoices) {
  const TMsgDlgLayout ari = Layout(mbAbortRetryIgnore, 40, 13);
  ASSERT_EQ(Names(ari), (std::vector<std::string>{"Abort", "Retry", "Ignore"}));
  EXPECT_TRUE(ari.Buttons[1].Default);
  for (const auto& b : ari.Buttons) EXPECT_FALSE(b.Cancel) << "the cancel choice falls to the absent OK";
  EXPECT_EQ(CancelButtonKind(mbAbortRetryIgnore), -1);

  EXPECT_EQ(CancelButtonKind(mbYesNoCancel), 3);
  EXPECT_EQ(CancelButtonKind(mbOK), 2);  // OK alone closes on Escape too
  EXPECT_EQ(DefaultButtonKind(mbAll | mbHelp), -1);

  const TMsgDlgLayout help = Layout(mbYesNoCancel | mbHelp, 40, 13);
  EXPECT_EQ(Names(help), (std::vector<std::string>{"Yes", "No", "Cancel", "Help"}));
  EXPECT_EQ(MsgDlgButtonInfo(help.Buttons[3].Kind).ModalResult, 0);
}

TEST(MessageDlgLayout, BitsAboveTheElevenKindsAreNoButtons) {
  EXPECT_EQ(ButtonCount(0xF800), 0);
  EXPECT_EQ(Layout(0xF800 | mbOK, 10, 10).Buttons.size(), 1u);
  EXPECT_FALSE(HasButton(0xFFFF, kMsgDlgButtonKinds));
}

TEST(MessageDlgLayout, ButtonWidthCacheMeasuresEachKindOnce) {
  TMsgDlgButtonWidths widths;
  std::vector<std::string> measured;
  auto measure = [&](const std::string& caption) {
    measured.push_back(caption);
    return caption == "Yes to &All" ? 90 : 30;
  };
  widths.Fill(mbYes | mbNo, measure);
  widths.Fill(mbYes | mbYesToAll, measure);
  EXPECT_EQ(measured, (std::vector<std::string>{"&Yes", "&No", "Yes to &All"}));
  EXPECT_EQ(widths.Width(0), 38);
  EXPECT_EQ(widths.Width(9), 98);
  // A later measurement (another font) does not change the kept widths.
  widths.Fill(mbYes, [](const std::string&) { return 500; });
  EXPECT_EQ(widths.Width(0), 38);
  // The widest present caption widens every button; absent kinds do not count.
  const TMsgDlgLayout wide = Layout(mbYes | mbYesToAll, 10, 13, true, &widths);
  EXPECT_EQ(wide.Buttons[0].Bounds.Width(), 98);
  EXPECT_EQ(Layout(mbYes | mbNo, 10, 13, true, &widths).Buttons[0].Bounds.Width(), 75);
  // A caption of a box's own widens its kind, never narrows it; kinds outside the table are ignored.
  TMsgDlgButtonWidths own = widths;
  own.FitCaption(1, 100);
  own.FitCaption(0, 5);
  own.FitCaption(kMsgDlgButtonKinds, 1000);
  own.FitCaption(-1, 1000);
  EXPECT_EQ(own.Width(1), 108);
  EXPECT_EQ(own.Width(0), 38);
  EXPECT_EQ(Layout(mbYes | mbNo, 10, 13, true, &own).Buttons[0].Bounds.Width(), 108);
  EXPECT_EQ(widths.Width(1), 38);
}

TEST(MessageDlgLayout, WrapWidthAndPlacement) {
  EXPECT_EQ(MessageTextWrapWidth(1024), 512);
  EXPECT_EQ(MessageTextWrapWidth(1023), 511);
  // A message measured at the wrap width sets the box: text + icon block + margins.
  EXPECT_EQ(Layout(mbOK, 512, 65).ClientWidth, 512 + 47 + 48);

  EXPECT_EQ(PlaceMessageDialog(1024, 768, 301, 201, -1, -1), (TMsgDlgPlacement{362, 284, true}));
  EXPECT_EQ(PlaceMessageDialog(1024, 768, 301, 201, 100, -1), (TMsgDlgPlacement{100, 284, false}));
  EXPECT_EQ(PlaceMessageDialog(1024, 768, 301, 201, -1, 0), (TMsgDlgPlacement{362, 0, false}));
}

TEST(MessageDlgLayout, ZeroAndHugeSizes) {
  // No measurable font: every metric is 0, the buttons take their caption widths.
  TMsgDlgLayoutInput in;
  in.Buttons = mbOK;
  TMsgDlgButtonWidths widths = NarrowCaptions(mbOK);
  in.Widths = &widths;
  const TMsgDlgLayout zero = LayoutMessageDialog(in);
  EXPECT_EQ(zero.ClientWidth, 28);
  EXPECT_EQ(zero.ClientHeight, 0);
  EXPECT_EQ(zero.Buttons[0].Bounds, (TRect{0, 0, 28, 0}));
  // Negative extents count as none; huge ones saturate instead of wrapping round.
  in.TextWidth = -50;
  in.TextHeight = -5;
  EXPECT_EQ(LayoutMessageDialog(in).TextBounds, TRect{});
  in.TextWidth = INT_MAX;
  in.TextHeight = INT_MAX;
  in.HasIcon = true;
  in.AveWidth = AW;
  in.AveHeight = AH;
  const TMsgDlgLayout huge = LayoutMessageDialog(in);
  EXPECT_EQ(huge.ClientWidth, INT_MAX);
  EXPECT_EQ(huge.ClientHeight, INT_MAX);
  EXPECT_GT(huge.Buttons[0].Bounds.Top, 0);
  EXPECT_EQ(MulDivRound(-12, 13, 8), -20);  // halves away from zero, as the platform rounds
  EXPECT_EQ(MulDivRound(5, 5, 0), 0);
}

TEST(MessageDlgLayout, OverlongWordsAreBrokenAtTheWrapWidth) {
  auto measure = [](std::string_view line) { return int(line.size()) * 7; };
  // A path of 100 characters at a wrap width of 10 characters: broken into lines of 10.
  const std::string path = "C:\\" + std::string(97, 'x');
  const std::string broken = BreakOverlongWords("File " + path + " not found", 70, measure);
  EXPECT_EQ(WidestWord(broken, 7), 70);
  EXPECT_EQ(broken.substr(0, 16), "File C:\\xxxxxxx\n");
  std::string joined;
  for (char c : broken)
    if (c != '\n') joined += c;
  EXPECT_EQ(joined, "File " + path + " not found") << "nothing lost but the inserted breaks";
  // Words that fit, tabs and line ends stay as written.
  const std::string fitting = "Split\tdone.\r\nSaved  to disk";
  EXPECT_EQ(BreakOverlongWords(fitting, 70, measure), fitting);
  // A wrap width narrower than one character still ends: one character per line.
  EXPECT_EQ(BreakOverlongWords("abc", 3, measure), "a\nb\nc");
  EXPECT_EQ(BreakOverlongWords("abc", 0, measure), "abc");
  EXPECT_EQ(BreakOverlongWords("", 70, measure), "");
}

TEST(MessageDlgLayout, AMessageTooHighIsCutWithAnEllipsis) {
  // Lines of 10 characters, 13 pixels each; a line feed starts a new line.
  auto heightOf = [](std::string_view text) {
    int lines = 1, column = 0;
    for (char c : text) {
      if (c == '\n' || ++column > 10) {
        ++lines;
        column = c == '\n' ? 0 : 1;
      }
    }
    return lines * 13;
  };
  const std::string text(1000, 'x');
  const std::string cut = CutToHeight(text, 3 * 13, heightOf);
  EXPECT_EQ(cut, std::string(27, 'x') + "...") << "three lines, the last ending in the ellipsis";
  EXPECT_LE(heightOf(cut), 3 * 13);
  // Blanks before the ellipsis go; a text that fits stays whole, also an empty one.
  EXPECT_EQ(CutToHeight("abcdefgh  \n\nmore", 2 * 13, heightOf), "abcdefgh...");
  EXPECT_EQ(CutToHeight("two\nlines", 2 * 13, heightOf), "two\nlines");
  EXPECT_EQ(CutToHeight("", 0, heightOf), "");
  // No room at all still shows where the text starts.
  EXPECT_EQ(CutToHeight(text, 0, heightOf), "x...");
}

}  // namespace
