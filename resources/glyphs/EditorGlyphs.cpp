// Build step: draws the glyphs of the combo-edit buttons and of the data navigator, and the
// resource script that puts them into the program as bitmaps.
//  - Combo-edit buttons (SF open file, SR open folder, SD date, SE ellipsis, SC calculator): three
//    frames side by side (normal, hot, pressed) over their masks, the image in the upper half and
//    the mask in the lower; a mask channel tells how much of the background stays (0 none, 255 all).
//  - Navigator buttons (SDBN_FIRST ... SDBN_REFRESH): two frames (normal, disabled) on a key
//    colour that every glyph keeps in its bottom-left pixel.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "GlyphFiles.h"

using namespace skingen;

namespace {

constexpr int Size = 16;
constexpr std::uint32_t NavKey = 0x008080;

const Rgb Slate = FromColor(0x705840);
// Reads on light and dark buttons alike.
const Rgb Steel = FromColor(0xC07838);
const Rgb Paper = FromColor(0xF8F8F8);
const Rgb Amber = FromColor(0x30A8E8);
const Rgb AmberDark = FromColor(0x1870B0);
const Rgb Red = FromColor(0x3030C8);
const Rgb Green = FromColor(0x2E9A2E);
const Rgb Blue = FromColor(0xC0601E);
const Rgb White = FromColor(0xFFFFFF);

// A filled triangle pointing left or right with its tip at x = tip, centred on y = 8.
void Triangle(Layer& l, float tip, float base, const Rgb& c) {
  const float dir = base > tip ? 1.f : -1.f;
  const float len = std::fabs(base - tip);
  for (float x = 0; x <= len; x += 0.5f) {
    const float h = 5.f * x / len;
    l.Line(tip + dir * x, 8 - h, tip + dir * x, 8 + h, 1.f, c);
  }
}

struct Glyph {
  const char* Name;
  std::function<void(Layer&)> Draw;
};

const Glyph EditGlyphs[] = {
    {"SF",
     [](Layer& l) {
       l.FillRoundRect(3, 1, 13, 15, 0.5f, Paper);
       l.StrokeRoundRect(3, 1, 13, 15, 0.5f, 1.2f, Slate);
       l.Line(9.5f, 1, 13, 4.5f, 1.2f, Slate);
       for (float y : {6.f, 8.5f, 11.f}) l.Line(5.5f, y, 10.5f, y, 1.f, Blue);
     }},
    {"SR",
     [](Layer& l) {
       l.FillRoundRect(1, 3, 8, 6, 1, AmberDark);
       l.FillRoundRect(1, 5, 15, 14, 1, Amber);
       l.StrokeRoundRect(1, 5, 15, 14, 1, 1.f, AmberDark);
     }},
    {"SD",
     [](Layer& l) {
       l.FillRoundRect(1, 2, 15, 15, 1, Paper);
       l.FillRoundRect(1, 2, 15, 6, 1, Red);
       l.StrokeRoundRect(1, 2, 15, 15, 1, 1.f, Slate);
       for (float x : {4.f, 8.f, 12.f})
         for (float y : {8.5f, 12.f}) l.FillCircle(x, y, 1.1f, Slate);
     }},
    {"SE",
     [](Layer& l) {
       for (float x : {3.5f, 8.f, 12.5f}) l.FillCircle(x, 10, 1.6f, Steel);
     }},
    {"SC",
     [](Layer& l) {
       l.FillRoundRect(2, 1, 14, 15, 1.5f, Slate);
       l.FillRoundRect(4, 3, 12, 6, 0.5f, FromColor(0xC8E8D0));
       for (float x : {5.f, 8.f, 11.f})
         for (float y : {8.5f, 11.5f}) l.FillRoundRect(x - 1, y - 1, x + 1, y + 1, 0.3f, White);
     }},
    // The file-name edit's own glyph: a sheet taken out of an open folder.
    {"BTN_OPENFILE",
     [](Layer& l) {
       l.FillRoundRect(1, 4, 7, 7, 1, AmberDark);
       l.FillRoundRect(6, 1, 14, 11, 0.5f, Paper);
       l.StrokeRoundRect(6, 1, 14, 11, 0.5f, 1.f, Slate);
       for (float y : {4.f, 6.5f}) l.Line(8, y, 12, y, 1.f, Blue);
       l.FillRoundRect(1, 7, 15, 15, 1, Amber);
       l.StrokeRoundRect(1, 7, 15, 15, 1, 1.f, AmberDark);
     }},
};

const Glyph NavGlyphs[] = {
    {"SDBN_FIRST",
     [](Layer& l) {
       l.FillRoundRect(3, 3, 5, 13, 0, Steel);
       Triangle(l, 6, 12, Steel);
     }},
    {"SDBN_PRIOR", [](Layer& l) { Triangle(l, 5, 11, Steel); }},
    {"SDBN_NEXT", [](Layer& l) { Triangle(l, 11, 5, Steel); }},
    {"SDBN_LAST",
     [](Layer& l) {
       Triangle(l, 10, 4, Steel);
       l.FillRoundRect(11, 3, 13, 13, 0, Steel);
     }},
    {"SDBN_INSERT",
     [](Layer& l) {
       l.Line(3, 8, 13, 8, 2.4f, Green);
       l.Line(8, 3, 8, 13, 2.4f, Green);
     }},
    {"SDBN_DELETE", [](Layer& l) { l.Line(3, 8, 13, 8, 2.4f, Red); }},
    {"SDBN_EDIT",
     [](Layer& l) {
       l.Line(4, 12, 12, 4, 3.f, Amber);
       l.Line(3, 13, 4.5f, 11.5f, 1.4f, Slate);
     }},
    {"SDBN_POST",
     [](Layer& l) {
       l.Line(3, 8, 6.5f, 12, 2.4f, Green);
       l.Line(6.5f, 12, 13, 4, 2.4f, Green);
     }},
    {"SDBN_CANCEL",
     [](Layer& l) {
       l.Line(4, 4, 12, 12, 2.4f, Red);
       l.Line(12, 4, 4, 12, 2.4f, Red);
     }},
    {"SDBN_REFRESH",
     [](Layer& l) {
       const float pi = 3.14159265f;
       for (float a = 0.3f; a < 2 * pi - 0.6f; a += 0.15f)
         l.Line(8 + 5 * std::cos(a), 8 + 5 * std::sin(a), 8 + 5 * std::cos(a + 0.15f), 8 + 5 * std::sin(a + 0.15f), 1.8f,
                Blue);
       l.Line(13, 8, 13, 4, 1.8f, Blue);
       l.Line(13, 8, 9.5f, 7, 1.8f, Blue);
     }},
};

// Frame `frame` (0 normal, 1 hot, 2 pressed) of an edit glyph into the image and mask halves.
void PutEditFrame(Picture& p, const Layer& l, int frame) {
  const int dx = frame == 2 ? 1 : 0, dy = frame == 2 ? 1 : 0;
  for (int y = 0; y < Size; ++y)
    for (int x = 0; x < Size; ++x) {
      const int sx = x - dx, sy = y - dy;
      const float a = sx >= 0 && sy >= 0 ? l.Alpha(sx, sy) : 0.f;
      if (a <= 0.02f) continue;
      Rgb c = l.Color(sx, sy);
      if (frame == 1) c = Lighter(c, 0.25f);
      p.Set(frame * Size + x, y, ToColor(c));
      const auto m = std::uint32_t(std::lround((1 - std::min(a, 1.f)) * 255));
      p.Set(frame * Size + x, Size + y, m | m << 8 | m << 16);
    }
}

}  // namespace

int main(int argc, char** argv) {
  TGlyphOutput out;
  if (!out.Open(argc, argv, "EditorGlyphs.rc")) return 2;
  for (const Glyph& g : EditGlyphs) {
    Layer layer(Size, Size);
    g.Draw(layer);
    Picture p(3 * Size, 2 * Size, KeyColor);
    for (int x = 0; x < 3 * Size; ++x)
      for (int y = Size; y < 2 * Size; ++y) p.Set(x, y, 0xFFFFFF);
    for (int frame = 0; frame < 3; ++frame) PutEditFrame(p, layer, frame);
    if (!out.Add(p, g.Name)) return 1;
  }
  for (const Glyph& g : NavGlyphs) {
    Layer layer(Size, Size);
    g.Draw(layer);
    Picture p(2 * Size, Size, NavKey);
    PutKeyedFrame(p, layer, Size, 0, false);
    PutKeyedFrame(p, layer, Size, Size, true);
    p.Set(0, Size - 1, NavKey);
    if (!out.Add(p, g.Name)) return 1;
  }
  return out.Good() ? 0 : 1;
}
