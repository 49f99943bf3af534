#include "skin/controls/core/ButtonCaptionLayout.h"

#include <algorithm>

namespace {

bool Horizontal(TsGlyphPlace place) { return place == TsGlyphPlace::Left || place == TsGlyphPlace::Right; }

// The glyph's extent in the direction of the layout.
int32_t GlyphExtent(const TsButtonLayoutInput& in) {
  return Horizontal(in.Place) ? in.GlyphWidth : in.GlyphHeight;
}

bool HasGlyph(const TsButtonLayoutInput& in) { return in.GlyphWidth > 0 && in.GlyphHeight > 0; }

// The gap between glyph and caption: only when both show.
int32_t Gap(const TsButtonLayoutInput& in) {
  return GlyphExtent(in) > 0 && in.HasCaption ? std::max(in.Spacing, 0) : 0;
}

int32_t MarginOffset(const TsButtonLayoutInput& in) { return in.Margin < 0 ? 0 : in.Margin + 3; }

// The caption's rectangle before the pixel of room on each side and the press.
TsRect TextBox(const TsButtonLayoutInput& in) {
  const int32_t gw = in.GlyphWidth, gh = in.GlyphHeight, a = in.ArrowWidth, m = MarginOffset(in), s = Gap(in);
  const int32_t tw = in.TextWidth, th = in.TextHeight;
  TsRect r;
  if (Horizontal(in.Place)) {
    const int32_t d = (in.Width - a - gw - s - tw) / 2 - m;
    r.Top = (in.Height - th) / 2;
    r.Bottom = in.Height - r.Top;
    if (in.Place == TsGlyphPlace::Left) {
      switch (in.Align) {
        case TsCaptionAlign::Left:
          r.Left = gw + in.Margin + s;
          r.Right = in.Width - a - m - 2 * d;
          break;
        case TsCaptionAlign::Right:
          r.Left = m + 2 * d + gw + s;
          r.Right = in.Width - a - m;
          break;
        case TsCaptionAlign::Center:
          r.Left = gw + m + d + s;
          r.Right = in.Width - a - m - d;
          break;
      }
    } else {
      r.Left = in.Align == TsCaptionAlign::Left ? m : in.Align == TsCaptionAlign::Right ? m + 2 * d : m + d;
      r.Right = r.Left + tw;
    }
  } else {
    const int32_t d = (in.Height - gh - s - th) / 2 - m;
    r.Left = (in.Width - tw - a) / 2;
    r.Right = in.Width - r.Left - a;
    if (in.Place == TsGlyphPlace::Top) {
      r.Top = gh + m + d + s;
      r.Bottom = in.Height - d - m;
    } else {
      r.Top = m + d;
      r.Bottom = in.Height - d - m - gh - s;
    }
  }
  return r;
}

}  // namespace

int32_t CaptionMeasureWidth(const TsButtonLayoutInput& in) {
  int32_t w = in.Width - in.ArrowWidth - 2 * std::max(in.Margin, 0);
  if (HasGlyph(in) && in.HasCaption) w -= in.GlyphWidth + std::max(in.Spacing, 0);
  return std::max(w, 0);
}

TsRect CaptionRect(const TsButtonLayoutInput& in) {
  const TsRect box = TextBox(in);
  const TsRect r{box.Left - 1 + in.TextOffset, box.Top, box.Right + 2 + in.TextOffset, box.Bottom};
  return in.Pressed ? OffsetRect(r, 1, 1) : r;
}

TsRect CalcGlyphRect(const TsButtonLayoutInput& in) {
  if (!HasGlyph(in)) return {};
  const TsRect box = TextBox(in);
  const int32_t gw = in.GlyphWidth, gh = in.GlyphHeight, s = Gap(in);
  // Without a caption the text box is empty at the centre, so the glyph is centred.
  const int32_t tw = in.HasCaption ? in.TextWidth : 0, th = in.HasCaption ? in.TextHeight : 0;
  int32_t x = 0, y = 0;
  switch (in.Place) {
    case TsGlyphPlace::Left:
      x = box.Left - s - gw;
      break;
    case TsGlyphPlace::Right:
      x = box.Left + tw + s;
      break;
    case TsGlyphPlace::Top:
      y = box.Top - s - gh;
      break;
    case TsGlyphPlace::Bottom:
      y = box.Top + th + s;
      break;
  }
  if (Horizontal(in.Place))
    y = (in.Height - gh) / 2;
  else
    x = (in.Width - in.ArrowWidth - gw) / 2;
  const TsRect r = RectOfSize(x, y, gw, gh);
  return in.Pressed ? OffsetRect(r, 1, 1) : r;
}
