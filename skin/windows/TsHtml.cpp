#include "skin/windows/TsHtml.h"

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"

namespace {

// The layout's view of a framework canvas.
class TCanvasBinding : public TsHtmlCanvas {
public:
  explicit TCanvasBinding(TCanvas* canvas) : FCanvas(canvas) {}

  TsHtmlFont Font() override {
    TFont* f = FCanvas->Font();
    return {f->Name(), f->Size(), (f->Style() & fsBold) != 0, (f->Style() & fsItalic) != 0, f->Color()};
  }
  void SetFont(const TsHtmlFont& font) override {
    TFont* f = FCanvas->Font();
    if (!font.Name.empty()) f->SetName(font.Name);
    if (font.Size != f->Size()) f->SetSize(font.Size);
    TFontStyles style = f->Style() & ~(fsBold | fsItalic);
    if (font.Bold) style |= fsBold;
    if (font.Italic) style |= fsItalic;
    f->SetStyle(style);
    f->SetColor(font.Color);
  }
  int32_t TextWidth(std::string_view text) override { return FCanvas->TextWidth(std::string(text)); }
  int32_t TextHeight(std::string_view text) override { return FCanvas->TextHeight(std::string(text)); }
  void TextOut(int32_t x, int32_t y, std::string_view text) override {
    FCanvas->Brush()->SetStyle(TBrushStyle::Clear);
    FCanvas->TextOut(x, y, std::string(text));
  }

private:
  TCanvas* FCanvas;
};

}  // namespace

void TsHtml::Init(TBitmap* bitmap, const std::string& text, const RECT& r) {
  FBitmap = bitmap;
  FText = text;
  FOrigin = r;
}

RECT TsHtml::Execute() {
  if (FBitmap == nullptr) return RECT{0, 0, 0, 0};
  if (FBitmap->Empty()) FBitmap->SetSize(1, 1);  // a canvas to measure on
  TCanvasBinding canvas(FBitmap->Canvas());
  TsHtmlLayout layout;
  layout.Init(canvas, FText, TsRect{FOrigin.left, FOrigin.top, FOrigin.right, FOrigin.bottom});
  const TsRect r = layout.Execute();
  return RECT{r.Left, r.Top, r.Right, r.Bottom};
}
