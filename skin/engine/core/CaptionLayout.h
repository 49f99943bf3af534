#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skin/engine/core/PixelColor.h"
#include "skin/engine/core/PixelGeometry.h"

// Geometry and colour passes of skinned captions and small frame drawings, apart from the platform
// calls that draw them, so that a fake text measurer can drive them.

// The platform's text format flags used here.
constexpr uint32_t CaptionCenter = 0x1;      // DT_CENTER
constexpr uint32_t CaptionRight = 0x2;       // DT_RIGHT
constexpr uint32_t CaptionWordBreak = 0x10;  // DT_WORDBREAK
constexpr uint32_t CaptionNoClip = 0x100;    // DT_NOCLIP

// A contour colour of "none".
constexpr TColor CaptionNoContour = -1;

struct TsTextExtent {
  int32_t Width = 0;
  int32_t Height = 0;
};

// Fits r to the measured text by the flags (unless they ask for word breaks) and returns the
// rectangle the text is drawn in; r itself comes back grown by one pixel on every side.
TsRect LayoutCaptionRect(TsRect& r, uint32_t flags, TsTextExtent text);

// One drawing of the text: moved by (DX, DY), in Color, with extra format flags.
struct TsTextPass {
  int32_t DX = 0;
  int32_t DY = 0;
  TColor Color = 0;
  uint32_t ExtraFlags = 0;
  bool operator==(const TsTextPass&) const = default;
};

// The colours a skinned caption is drawn in.
struct TsCaptionColors {
  bool HasSection = false;      // a valid skin section
  TColor Font = 0;         // the section's text colour for the state
  std::array<TColor, 4> Contours{CaptionNoContour, CaptionNoContour, CaptionNoContour, CaptionNoContour};  // left, top, right, bottom
  TColor CanvasFont = 0;   // the canvas' own font colour
  bool CustomFont = false;       // the control keeps its font: no contours, its own colour
  bool NoClipMainPass = false;   // the control painter adds DT_NOCLIP to the main pass
  TColor Highlight = 0xFFFFFF;
  TColor Shadow = 0x808080;
};

// The passes of a caption in drawing order: contours then the text when enabled, highlight then
// shadow one pixel apart when disabled; none for an empty text.
std::vector<TsTextPass> CaptionPasses(const std::string& text, bool enabled, const TsCaptionColors& colors);

// The text cut with "..." until it fits the width; empty for a width below 1.
std::string EllipsizeText(const std::string& text, int32_t width, const std::function<int32_t(const std::string&)>& measure);

// A bevel frame: `count` nested frames, top-left lines in the first colour and bottom-right lines in
// the second. r and count come back as after the drawing: r shrunk by count, count 0.
struct TsBevelLines {
  std::vector<std::array<TsPoint, 3>> TopLeft;
  std::vector<std::array<TsPoint, 3>> BottomRight;
};
TsBevelLines BevelFrameLines(TsRect& r, int32_t& count);

// The six corners of a check mark in r.
std::array<TsPoint, 6> CheckMarkPolygon(const TsRect& r);
