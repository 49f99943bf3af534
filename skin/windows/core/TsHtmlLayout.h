#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "skin/engine/core/SkinTypes.h"

// The font attributes hint markup can change.
struct TsHtmlFont {
  std::string Name;
  std::int32_t Size = 8;  // points
  bool Bold = false;
  bool Italic = false;
  TColor Color = 0;
  friend bool operator==(const TsHtmlFont&, const TsHtmlFont&) = default;
};

// What the layout needs of a drawing surface: its current font, text extents in that font, and
// drawing a run of text with the top-left corner at (x, y).
class TsHtmlCanvas {
public:
  virtual ~TsHtmlCanvas() = default;
  virtual TsHtmlFont Font() = 0;
  virtual void SetFont(const TsHtmlFont& font) = 0;
  virtual std::int32_t TextWidth(std::string_view text) = 0;
  virtual std::int32_t TextHeight(std::string_view text) = 0;
  virtual void TextOut(std::int32_t x, std::int32_t y, std::string_view text) = 0;
};

// Lays out and draws hint text in a small markup: <B>, <I>, <BR>, <P> and <FONT SIZE= COLOR= FACE=>,
// tags matched by the start of their name without regard to case; "<<" is a literal "<". Drawing
// and measuring are the same walk, so both give the same rectangle.
class TsHtmlLayout {
public:
  // Starts the pen at origin's top-left corner.
  void Init(TsHtmlCanvas& canvas, std::string_view text, const TsRect& origin);
  // Draws the text and returns the rectangle used: (0, 0, widest line, bottom of the last line).
  // Widths are pen positions, so they include the origin's left offset. Never negative.
  TsRect Execute();

private:
  void DrawRun(std::size_t from, std::size_t to);
  void NewLine();
  void ApplyTag(std::size_t from, std::size_t to);
  void ApplyFontTag(std::string_view tag);

  TsHtmlCanvas* FCanvas = nullptr;
  std::string FText;
  std::string FUpper;
  TsRect FOrigin{};
  std::int64_t FX = 0;
  std::int64_t FY = 0;
  std::int64_t FWidest = 0;
  std::int64_t FLineWidth = 0;
  std::int64_t FLineHeight = 0;
  std::vector<TsHtmlFont> FFontStack;
};

// A FONT COLOR value: "#RRGGBB" or bare hexadecimal digits in the web's order (red highest), or
// one of the 16 colour names; -1 for a word that is neither. Only the last six digits count.
TColor ParseHtmlColor(std::string_view word);
