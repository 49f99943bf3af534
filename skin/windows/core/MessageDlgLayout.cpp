#include "skin/windows/core/MessageDlgLayout.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

constexpr TMsgDlgButtonInfo ButtonTable[kMsgDlgButtonKinds] = {
    {"Yes", "&Yes", 6},          {"No", "&No", 7},         {"OK", "OK", 1},
    {"Cancel", "Cancel", 2},     {"Abort", "&Abort", 3},   {"Retry", "&Retry", 4},
    {"Ignore", "&Ignore", 5},    {"All", "&All", 8},       {"NoToAll", "N&o to All", 9},
    {"YesToAll", "Yes to &All", 10}, {"Help", "&Help", 0},
};

constexpr int KindYes = 0, KindNo = 1, KindOK = 2, KindCancel = 3, KindRetry = 5;

// Sizes grow from measured text: kept within int instead of wrapping.
int Saturated(std::int64_t v) {
  return int(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The longest prefix of word (at least one character) that measures within width.
std::size_t FittingPrefix(std::string_view word, int width, const std::function<int(std::string_view)>& measure) {
  std::size_t low = 1, high = word.size();
  while (low < high) {
    const std::size_t mid = low + (high - low + 1) / 2;
    if (measure(word.substr(0, mid)) <= width) low = mid;
    else high = mid - 1;
  }
  return low;
}

}  // namespace

const TMsgDlgButtonInfo& MsgDlgButtonInfo(int kind) {
  return ButtonTable[std::clamp(kind, 0, kMsgDlgButtonKinds - 1)];
}

bool HasButton(TMsgDlgButtons buttons, int kind) {
  return kind >= 0 && kind < kMsgDlgButtonKinds && (buttons >> kind) & 1;
}

int ButtonCount(TMsgDlgButtons buttons) {
  int n = 0;
  for (int kind = 0; kind < kMsgDlgButtonKinds; ++kind) n += HasButton(buttons, kind);
  return n;
}

const char* MsgDlgTypeCaption(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return "Warning";
    case mtError: return "Error";
    case mtInformation: return "Information";
    case mtConfirmation: return "Confirm";
    default: return "";
  }
}

bool MsgDlgTypeHasIcon(TMsgDlgType type) { return type != mtCustom; }

int DefaultButtonKind(TMsgDlgButtons buttons) {
  const int kind = HasButton(buttons, KindOK) ? KindOK : HasButton(buttons, KindYes) ? KindYes : KindRetry;
  return HasButton(buttons, kind) ? kind : -1;
}

int CancelButtonKind(TMsgDlgButtons buttons) {
  const int kind = HasButton(buttons, KindCancel) ? KindCancel : HasButton(buttons, KindNo) ? KindNo : KindOK;
  return HasButton(buttons, kind) ? kind : -1;
}

int MulDivRound(int number, int numerator, int denominator) {
  if (denominator == 0) return 0;
  std::int64_t p = std::int64_t(number) * numerator;
  std::int64_t d = denominator;
  if (d < 0) {
    p = -p;
    d = -d;
  }
  return Saturated(p >= 0 ? (p + d / 2) / d : -((-p + d / 2) / d));
}

void TMsgDlgButtonWidths::Fill(TMsgDlgButtons buttons, const std::function<int(const std::string&)>& measure) {
  for (int kind = 0; kind < kMsgDlgButtonKinds; ++kind)
    if (HasButton(buttons, kind) && FWidths[std::size_t(kind)] == 0)
      FitCaption(kind, measure(ButtonTable[kind].Caption));
}

void TMsgDlgButtonWidths::FitCaption(int kind, int captionWidth) {
  if (kind < 0 || kind >= kMsgDlgButtonKinds) return;
  int& width = FWidths[std::size_t(kind)];
  width = std::max(width, Saturated(std::int64_t(std::max(0, captionWidth)) + 8));
}

int TMsgDlgButtonWidths::Width(int kind) const {
  return kind >= 0 && kind < kMsgDlgButtonKinds ? FWidths[std::size_t(kind)] : 0;
}

TMsgDlgButtonWidths& MessageButtonWidthCache() {
  static TMsgDlgButtonWidths cache;
  return cache;
}

int MessageTextWrapWidth(int screenWidth) { return screenWidth / 2; }

std::string BreakOverlongWords(const std::string& text, int wrapWidth,
                               const std::function<int(std::string_view)>& measure) {
  if (wrapWidth < 1) return text;
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsBlank(text[i])) {
      out += text[i++];
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    std::string_view word(text.data() + i, end - i);
    // Each round takes at least one character, so the loop ends.
    while (measure(word) > wrapWidth) {
      const std::size_t n = FittingPrefix(word, wrapWidth, measure);
      if (n >= word.size()) break;
      out.append(word.substr(0, n));
      out += '\n';
      word.remove_prefix(n);
    }
    out.append(word);
    i = end;
  }
  return out;
}

std::string CutToHeight(const std::string& text, int maxHeight,
                        const std::function<int(std::string_view)>& heightOf) {
  constexpr std::string_view kEllipsis = "...";
  if (text.empty() || heightOf(text) <= maxHeight) return text;
  std::string shown;
  const auto withEllipsis = [&](std::string_view start) {
    shown.assign(start);
    shown.append(kEllipsis);
    return heightOf(shown);
  };
  std::string cut = text.substr(0, FittingPrefix(text, maxHeight, withEllipsis));
  while (cut.size() > 1 && IsBlank(cut.back())) cut.pop_back();
  return cut.append(kEllipsis);
}

TMsgDlgLayout LayoutMessageDialog(const TMsgDlgLayoutInput& in) {
  const int aw = in.AveWidth, ah = in.AveHeight;
  const int horzMargin = MulDivRound(16, aw, 4), vertMargin = MulDivRound(12, ah, 8);
  const int horzSpacing = MulDivRound(10, aw, 4), vertSpacing = MulDivRound(10, ah, 8);
  const int buttonHeight = MulDivRound(14, ah, 8), buttonSpacing = MulDivRound(4, aw, 4);
  const TMsgDlgButtons buttons = in.Buttons & ((1 << kMsgDlgButtonKinds) - 1);

  int buttonWidth = MulDivRound(50, aw, 4);
  for (int kind = 0; kind < kMsgDlgButtonKinds; ++kind)
    if (HasButton(buttons, kind) && in.Widths != nullptr) buttonWidth = std::max(buttonWidth, in.Widths->Width(kind));

  const int textWidth = std::max(0, in.TextWidth), textHeight = std::max(0, in.TextHeight);
  std::int64_t blockWidth = textWidth, blockHeight = textHeight;
  if (in.HasIcon) {
    blockWidth += 32 + horzSpacing;
    blockHeight = std::max<std::int64_t>(blockHeight, 32);
  }
  const int count = ButtonCount(buttons);
  const std::int64_t groupWidth =
      count == 0 ? 0 : std::int64_t(count) * buttonWidth + std::int64_t(count - 1) * buttonSpacing;

  TMsgDlgLayout out;
  out.ClientWidth = Saturated(std::max(blockWidth, groupWidth) + 2 * std::int64_t(horzMargin));
  out.ClientHeight = Saturated(blockHeight + buttonHeight + vertSpacing + 2 * std::int64_t(vertMargin));
  if (in.HasIcon) out.IconBounds = {horzMargin, vertMargin, horzMargin + 32, vertMargin + 32};

  int textLeft = Saturated(blockWidth - textWidth + horzMargin);
  if (in.RightToLeft) textLeft = Saturated(std::int64_t(out.ClientWidth) - textLeft - textWidth);
  out.TextBounds = {textLeft, vertMargin, Saturated(std::int64_t(textLeft) + textWidth),
                    Saturated(std::int64_t(vertMargin) + textHeight)};

  const int defaultKind = DefaultButtonKind(buttons), cancelKind = CancelButtonKind(buttons);
  std::int64_t x = (out.ClientWidth - groupWidth) / 2;
  const int top = Saturated(blockHeight + vertMargin + vertSpacing);
  for (int kind = 0; kind < kMsgDlgButtonKinds; ++kind) {
    if (!HasButton(buttons, kind)) continue;
    TMsgDlgButtonPlace place;
    place.Kind = kind;
    place.Bounds = {Saturated(x), top, Saturated(x + buttonWidth), Saturated(std::int64_t(top) + buttonHeight)};
    place.Default = kind == defaultKind;
    place.Cancel = kind == cancelKind;
    out.Buttons.push_back(place);
    x += std::int64_t(buttonWidth) + buttonSpacing;
  }
  return out;
}

TMsgDlgPlacement PlaceMessageDialog(int screenWidth, int screenHeight, int formWidth, int formHeight, int x, int y) {
  TMsgDlgPlacement p;
  p.Left = screenWidth / 2 - formWidth / 2;
  p.Top = screenHeight / 2 - formHeight / 2;
  if (x >= 0) p.Left = x;
  if (y >= 0) p.Top = y;
  p.ScreenCentre = x < 0 && y < 0;
  return p;
}

TInputQueryLayout LayoutInputQuery(int aveWidth, int aveHeight) {
  TInputQueryLayout l;
  l.ClientWidth = MulDivRound(180, aveWidth, 4);
  l.ClientHeight = MulDivRound(63, aveHeight, 8);
  l.PromptLeft = MulDivRound(8, aveWidth, 4);
  l.PromptTop = MulDivRound(8, aveHeight, 8);
  l.EditLeft = l.PromptLeft;
  l.EditTop = MulDivRound(19, aveHeight, 8);
  l.EditWidth = MulDivRound(164, aveWidth, 4);
  const int top = MulDivRound(41, aveHeight, 8), width = MulDivRound(50, aveWidth, 4),
            height = MulDivRound(14, aveHeight, 8);
  const int okLeft = MulDivRound(38, aveWidth, 4), cancelLeft = MulDivRound(92, aveWidth, 4);
  l.OK = {okLeft, top, okLeft + width, top + height};
  l.Cancel = {cancelLeft, top, cancelLeft + width, top + height};
  return l;
}
