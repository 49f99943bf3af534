#include "skin/windows/core/TsHtmlLayout.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "skin/engine/core/PixelGeometry.h"

namespace {

constexpr std::string_view FontTagDelims = " \r\n\"<=>";
// Point sizes a FONT tag may give; far beyond any hint, small enough for every font engine.
constexpr std::int64_t MinFontSize = 1, MaxFontSize = 1000;

struct TNamedColor {
  std::string_view Name;
  std::uint8_t R, G, B;
};
constexpr std::array<TNamedColor, 16> NamedColors{{{"AQUA", 0, 255, 255},
                                                   {"BLACK", 0, 0, 0},
                                                   {"BLUE", 0, 0, 255},
                                                   {"FUCHSIA", 255, 0, 255},
                                                   {"GRAY", 128, 128, 128},
                                                   {"GREEN", 0, 128, 0},
                                                   {"LIME", 0, 255, 0},
                                                   {"MAROON", 128, 0, 0},
                                                   {"NAVY", 0, 0, 128},
                                                   {"OLIVE", 128, 128, 0},
                                                   {"PURPLE", 128, 0, 128},
                                                   {"RED", 255, 0, 0},
                                                   {"SILVER", 192, 192, 192},
                                                   {"TEAL", 0, 128, 128},
                                                   {"WHITE", 255, 255, 255},
                                                   {"YELLOW", 255, 255, 0}}};

constexpr TColor RgbColor(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return TColor(r | g << 8 | b << 16);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// Words of s between delimiters, in order.
std::vector<std::string_view> SplitWords(std::string_view s, std::string_view delims) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && delims.find(s[i]) != std::string_view::npos) ++i;
    const std::size_t start = i;
    while (i < s.size() && delims.find(s[i]) == std::string_view::npos) ++i;
    if (i > start) words.push_back(s.substr(start, i - start));
  }
  return words;
}

// A decimal number of at most a few digits' worth, saturated; nothing for a word that is not one.
bool ParseCount(std::string_view s, std::int64_t& value) {
  if (s.empty()) return false;
  value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    value = std::min<std::int64_t>(value * 10 + (c - '0'), MaxFontSize * 10);
  }
  return true;
}

}  // namespace

TColor ParseHtmlColor(std::string_view word) {
  if (word.empty()) return -1;
  for (const TNamedColor& named : NamedColors)
    if (word == named.Name) return RgbColor(named.R, named.G, named.B);
  std::string_view digits = word[0] == '#' ? word.substr(1) : word;
  if (digits.empty()) return -1;
  std::uint32_t v = 0;
  for (char c : digits) {
    const int d = HexDigit(c);
    if (d < 0) return -1;
    v = (v << 4 | std::uint32_t(d)) & 0xFFFFFF;
  }
  return RgbColor(v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF);
}

void TsHtmlLayout::Init(TsHtmlCanvas& canvas, std::string_view text, const TsRect& origin) {
  FCanvas = &canvas;
  FText.assign(text);
  FUpper = FText;
  std::transform(FUpper.begin(), FUpper.end(), FUpper.begin(),
                 [](char c) { return char(std::toupper(static_cast<unsigned char>(c))); });
  FOrigin = origin;
  FX = origin.Left;
  FY = origin.Top;
  FWidest = 0;
  FLineWidth = 0;
  FLineHeight = 0;
  FFontStack.clear();
}

TsRect TsHtmlLayout::Execute() {
  if (FCanvas == nullptr) return {};
  const std::size_t n = FUpper.size();
  std::size_t run = 0;
  std::size_t i = 0;
  while (i < n) {
    if (FUpper[i] != '<') {
      ++i;
      continue;
    }
    DrawRun(run, i);
    if (i + 1 < n && FUpper[i + 1] == '<') {
      run = i + 1;
      i += 2;
      continue;
    }
    const std::size_t close = FUpper.find('>', i + 1);
    if (close == std::string::npos) {
      run = n;  // an unclosed tag ends the text
      break;
    }
    ApplyTag(i, close + 1);
    i = close + 1;
    run = i;
  }
  DrawRun(run, n);
  FWidest = std::max(FWidest, FLineWidth);
  const std::int64_t bottom = FY + FLineHeight;
  return {0, 0, ClampToInt32(std::max<std::int64_t>(FWidest, 0)), ClampToInt32(std::max<std::int64_t>(bottom, 0))};
}

void TsHtmlLayout::DrawRun(std::size_t from, std::size_t to) {
  if (from >= to) return;
  std::string run;
  run.reserve(to - from);
  for (std::size_t i = from; i < to; ++i)
    if (FText[i] != '\r' && FText[i] != '\n') run.push_back(FText[i]);
  if (run.empty()) return;
  FCanvas->TextOut(ClampToInt32(FX), ClampToInt32(FY), run);
  FX += std::max(FCanvas->TextWidth(run), 0);
  FLineWidth = FX;
  FLineHeight = std::max<std::int64_t>(FLineHeight, FCanvas->TextHeight("X"));
}

void TsHtmlLayout::NewLine() {
  FX = FOrigin.Left;
  FY += FLineHeight + 2;
  FWidest = std::max(FWidest, FLineWidth);
  FLineWidth = 0;
  FLineHeight = 0;
}

void TsHtmlLayout::ApplyTag(std::size_t from, std::size_t to) {
  const std::string_view tag(FUpper.data() + from, to - from);
  const bool closing = tag.size() > 1 && tag[1] == '/';
  const std::string_view name = tag.substr(closing ? 2 : 1);
  if (StartsWith(name, "BR") || StartsWith(name, "P")) {
    NewLine();
  } else if (StartsWith(name, "B") || StartsWith(name, "I")) {
    TsHtmlFont font = FCanvas->Font();
    (name[0] == 'B' ? font.Bold : font.Italic) = !closing;
    FCanvas->SetFont(font);
  } else if (StartsWith(name, "FONT")) {
    if (!closing) {
      FFontStack.push_back(FCanvas->Font());
      ApplyFontTag(tag);
    } else if (!FFontStack.empty()) {
      FCanvas->SetFont(FFontStack.back());
      FFontStack.pop_back();
    }
  }
}

void TsHtmlLayout::ApplyFontTag(std::string_view tag) {
  TsHtmlFont font = FCanvas->Font();
  const std::vector<std::string_view> words = SplitWords(tag, FontTagDelims);
  for (std::size_t w = 0; w + 1 < words.size(); ++w) {
    const std::string_view value = words[w + 1];
    if (words[w] == "SIZE") {
      std::int64_t amount = 0;
      const bool relative = value[0] == '+' || value[0] == '-';
      // A size that is not a number is ignored.
      if (!ParseCount(relative ? value.substr(1) : value, amount)) continue;
      const std::int64_t size = value[0] == '+' ? font.Size + amount : value[0] == '-' ? font.Size - amount : amount;
      font.Size = std::int32_t(std::clamp(size, MinFontSize, MaxFontSize));
      ++w;
    } else if (words[w] == "COLOR") {
      const TColor color = ParseHtmlColor(value);
      if (color != -1) font.Color = color;
      ++w;
    }
  }
  const std::size_t face = tag.find("FACE");
  if (face != std::string_view::npos) {
    const std::size_t open = tag.find('"', face + 4);
    const std::size_t close = open == std::string_view::npos ? open : tag.find('"', open + 1);
    if (close != std::string_view::npos && close > open + 1) font.Name.assign(tag.substr(open + 1, close - open - 1));
  }
  FCanvas->SetFont(font);
}
