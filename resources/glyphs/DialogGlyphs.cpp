// Build step: draws the glyphs of the file dialog window's tool buttons (SDLG_BACK, SDLG_UP,
// SDLG_NEWDIR, SDLG_VIEW) and of its picture preview button (PREVIEWGLYPH): two frames (normal,
// disabled) on a key colour that every glyph keeps in its bottom-left pixel.
#include <functional>

#include "GlyphFiles.h"

using namespace skingen;

namespace {

constexpr int Size = 16;
constexpr std::uint32_t Key = 0x008080;

const Rgb Slate = FromColor(0x705840);
const Rgb Paper = FromColor(0xF8F8F8);
const Rgb Amber = FromColor(0x30A8E8);
const Rgb AmberDark = FromColor(0x1870B0);
const Rgb Green = FromColor(0x2E9A2E);
const Rgb Blue = FromColor(0xC0601E);

void Folder(Layer& l) {
  l.FillRoundRect(1, 3, 7, 6, 1, AmberDark);
  l.FillRoundRect(1, 5, 14, 14, 1, Amber);
  l.StrokeRoundRect(1, 5, 14, 14, 1, 1.f, AmberDark);
}

struct Glyph {
  const char* Name;
  std::function<void(Layer&)> Draw;
};

const Glyph Glyphs[] = {
    {"SDLG_BACK",
     [](Layer& l) {
       l.Line(3, 8, 13, 8, 2.4f, Green);
       l.Line(3, 8, 7.5f, 3.5f, 2.4f, Green);
       l.Line(3, 8, 7.5f, 12.5f, 2.4f, Green);
     }},
    {"SDLG_UP",
     [](Layer& l) {
       Folder(l);
       l.Line(9, 12, 9, 4, 2.f, Green);
       l.Line(9, 3.5f, 5.5f, 7, 2.f, Green);
       l.Line(9, 3.5f, 12.5f, 7, 2.f, Green);
     }},
    {"SDLG_NEWDIR",
     [](Layer& l) {
       Folder(l);
       l.Line(11.5f, 1, 11.5f, 8, 1.6f, Blue);
       l.Line(8, 4.5f, 15, 4.5f, 1.6f, Blue);
     }},
    {"SDLG_VIEW",
     [](Layer& l) {
       for (float y : {3.5f, 8.f, 12.5f}) {
         l.FillRoundRect(1.5f, y - 1.5f, 4.5f, y + 1.5f, 0.3f, Blue);
         l.Line(6.5f, y, 14.5f, y, 1.4f, Slate);
       }
     }},
    {"PREVIEWGLYPH",
     [](Layer& l) {
       l.FillCircle(6.5f, 6.5f, 4.5f, Paper);
       l.StrokeCircle(6.5f, 6.5f, 4.5f, 1.6f, Slate);
       l.Line(10, 10, 14.5f, 14.5f, 2.6f, Slate);
     }},
};

}  // namespace

int main(int argc, char** argv) {
  TGlyphOutput out;
  if (!out.Open(argc, argv, "DialogGlyphs.rc")) return 2;
  for (const Glyph& g : Glyphs) {
    Layer layer(Size, Size);
    g.Draw(layer);
    Picture p(2 * Size, Size, Key);
    PutKeyedFrame(p, layer, Size, 0, false);
    PutKeyedFrame(p, layer, Size, Size, true);
    p.Set(0, Size - 1, Key);
    if (!out.Add(p, g.Name)) return 1;
  }
  return out.Good() ? 0 : 1;
}
