// Build step: draws the glyphs of the bit-button kinds (frame 0 normal, frame 1 disabled) and the
// resource script that puts them into the program as bitmaps BBOK, BBCANCEL, ...
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "GlyphFiles.h"

using namespace skingen;

namespace {

constexpr int Size = 18;
// The key colour the button draws transparent: every glyph keeps it in its bottom-left pixel.
constexpr std::uint32_t Key = 0x008080;

const Rgb Green = FromColor(0x1E9A2E);
const Rgb Red = FromColor(0x2A2AC8);
const Rgb Blue = FromColor(0xC0601E);
const Rgb Amber = FromColor(0x1888D8);
const Rgb Slate = FromColor(0x907050);  // reads on light and dark buttons
const Rgb White = FromColor(0xFFFFFF);

void Check(Layer& l, float dx, float dy, float scale, const Rgb& c) {
  l.Line(dx + 3 * scale, dy + 9 * scale, dx + 7 * scale, dy + 13 * scale, 2.6f * scale, c);
  l.Line(dx + 7 * scale, dy + 13 * scale, dx + 15 * scale, dy + 4 * scale, 2.6f * scale, c);
}

void Cross(Layer& l, const Rgb& c) {
  l.Line(4, 4, 14, 14, 2.8f, c);
  l.Line(14, 4, 4, 14, 2.8f, c);
}

void Arrow(Layer& l, float x0, float y0, float x1, float y1, const Rgb& c) {
  l.Line(x0, y0, x1, y1, 2.2f, c);
  const float a = std::atan2(y1 - y0, x1 - x0);
  for (float side : {-0.6f, 0.6f})
    l.Line(x1, y1, x1 - 5 * std::cos(a + side), y1 - 5 * std::sin(a + side), 2.2f, c);
}

struct Kind {
  const char* Name;
  std::function<void(Layer&)> Draw;
};

const Kind Kinds[] = {
    {"BBOK", [](Layer& l) { Check(l, 0, 0, 1, Green); }},
    {"BBCANCEL", [](Layer& l) { Cross(l, Red); }},
    {"BBHELP",
     [](Layer& l) {
       const float hook[][2] = {{5, 6}, {6, 3}, {9, 2}, {12, 3}, {13, 6}, {9, 9}, {9, 12}};
       for (int i = 0; i + 1 < 7; ++i) l.Line(hook[i][0], hook[i][1], hook[i + 1][0], hook[i + 1][1], 2.2f, Blue);
       l.FillCircle(9, 15.5f, 1.4f, Blue);
     }},
    {"BBYES",
     [](Layer& l) {
       l.StrokeCircle(9, 9, 8, 1.6f, Green);
       Check(l, 1.5f, 2, 0.85f, Green);
     }},
    {"BBNO",
     [](Layer& l) {
       l.StrokeCircle(9, 9, 7, 2.2f, Red);
       l.Line(4, 14, 14, 4, 2.2f, Red);
     }},
    {"BBCLOSE",
     [](Layer& l) {
       l.StrokeRoundRect(2, 2, 11, 16, 0, 1.6f, Slate);
       Arrow(l, 7, 9, 16, 9, Amber);
     }},
    {"BBABORT",
     [](Layer& l) {
       l.FillCircle(9, 9, 7.5f, Red);
       l.Line(5, 9, 13, 9, 2.6f, White);
     }},
    {"BBRETRY",
     [](Layer& l) {
       l.StrokeCircle(9, 9, 6, 2.2f, Green);
       Arrow(l, 15, 5, 15, 10, Green);
     }},
    {"BBIGNORE",
     [](Layer& l) {
       l.Line(3, 13, 9, 5, 2.2f, Slate);
       Arrow(l, 9, 5, 15, 13, Blue);
     }},
    {"BBALL",
     [](Layer& l) {
       Check(l, -1, -2, 0.8f, Green);
       Check(l, 3, 3, 0.8f, Green);
     }},
};

}  // namespace

int main(int argc, char** argv) {
  TGlyphOutput out;
  if (!out.Open(argc, argv, "BitBtnGlyphs.rc")) return 2;
  for (const Kind& kind : Kinds) {
    Layer layer(Size, Size);
    kind.Draw(layer);
    Picture p(2 * Size, Size, Key);
    PutKeyedFrame(p, layer, Size, 0, false);
    PutKeyedFrame(p, layer, Size, Size, true);
    p.Set(0, Size - 1, Key);
    if (!out.Add(p, kind.Name)) return 1;
  }
  return out.Good() ? 0 : 1;
}
