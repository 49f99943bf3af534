#include "skin/controls/TsGauge.h"

#include <algorithm>
#include <utility>

#include "framework/base/AnsiStrings.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/SkinUtilsWin.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

TBitmap* NewWorkBitmap(TBitmap& bmp, int width, int height) {
  bmp.SetPixelFormat(TPixelFormat::Bit24);
  bmp.SetSize(width, height);
  return &bmp;
}

bool IsBar(TsGaugeKind kind) { return kind == TsGaugeKind::gkHorizontalBar || kind == TsGaugeKind::gkVerticalBar; }

}  // namespace

TsGauge::TsGauge(TComponent* owner) : TsSkinned(TsControlKind::Gauge, TsCacheBitmap::None, owner) {
  SetControlStyle(ControlStyle() | csOpaque);
  SetBounds(Left(), Top(), 120, 30);
}

void TsGauge::ValuesChanged(int oldPercent) {
  if (PercentDone() != oldPercent) {
    if (!SkinChanging) SkinData().SetRepaintNeeded(true);
    if (!FProgressShowing.Hold()) Invalidate();
  }
}

void TsGauge::SetMinValue(std::int32_t value) {
  const int percent = PercentDone();
  if (FModel.SetMinValue(value, IsLoading())) {
    ValuesChanged(percent);
    Invalidate();
  }
}

void TsGauge::SetMaxValue(std::int32_t value) {
  const int percent = PercentDone();
  if (FModel.SetMaxValue(value, IsLoading())) {
    ValuesChanged(percent);
    Invalidate();
  }
}

void TsGauge::SetProgress(std::int32_t value) {
  const int percent = PercentDone();
  if (!FModel.SetProgress(value)) return;
  ValuesChanged(percent);
  if (FOnChange) FOnChange(this);
}

void TsGauge::AddProgress(std::int32_t value) {
  SetProgress(static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t(Progress()) + value, MinValue(), MaxValue())));
}

void TsGauge::SetKind(TsGaugeKind value) {
  if (value == FKind) return;
  FKind = value;
  SkinData().SetRepaintNeeded(true);
  Invalidate();
}

void TsGauge::SetShowText(bool value) {
  if (value == FShowText) return;
  FShowText = value;
  SkinData().SetRepaintNeeded(true);
  Invalidate();
}

void TsGauge::SetBorderStyle(TFormBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  Invalidate();
}

void TsGauge::SetBackColor(TColor value) {
  if (value == FBackColor) return;
  FBackColor = value;
  Invalidate();
}

void TsGauge::SetForeColor(TColor value) {
  if (value == FForeColor) return;
  FForeColor = value;
  SkinData().SetRepaintNeeded(true);
  Repaint();
}

void TsGauge::SetSuffix(const std::string& value) {
  if (value == FSuffix) return;
  FSuffix = value;
  SkinData().RequestRepaint();
}

void TsGauge::SetProgressSkin(const std::string& value) {
  if (value == FProgressSkin) return;
  FProgressSkin = value;
  SkinData().RequestRepaint();
}

// The pie or the needle over r, outlined in ForeColor; inside is the fill of the shape's free part,
// nullptr to leave what lies below (the skin) showing there.
void TsGauge::DrawShape(TCanvas* canvas, const RECT& r, const TColor* inside) {
  const int w = r.right - r.left, h = r.bottom - r.top, percent = PercentDone();
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetStyle(TPenStyle::Solid);
  canvas->Pen()->SetColor(FForeColor);
  const auto insideBrush = [&] {
    canvas->Brush()->SetStyle(inside ? TBrushStyle::Solid : TBrushStyle::Clear);
    if (inside) canvas->Brush()->SetColor(*inside);
  };
  insideBrush();
  if (FKind == TsGaugeKind::gkPie) {
    canvas->Ellipse(r.left, r.top, r.right, r.bottom);
    if (percent >= 1) {
      canvas->Brush()->SetStyle(TBrushStyle::Solid);
      canvas->Brush()->SetColor(FForeColor);
      const TGaugePoint p = GaugePieStart(w, h, percent);
      canvas->Pie(r.left, r.top, r.right, r.bottom, r.left + p.X, r.top + p.Y, r.left + w / 2, r.top);
    }
  } else if (FKind == TsGaugeKind::gkNeedle) {
    const int bottom = r.top + h - 1;
    const auto halfEllipse = [&] { canvas->Pie(r.left, r.top, r.right, r.top + 2 * h - 1, r.right, bottom, r.left, bottom); };
    halfEllipse();
    canvas->MoveTo(r.left, bottom);
    canvas->LineTo(r.right, bottom);
    // The outline again over the base line.
    canvas->Brush()->SetStyle(TBrushStyle::Clear);
    halfEllipse();
    if (percent >= 1) {
      const TGaugePoint tip = GaugeNeedleTip(w, h - 1, percent);
      canvas->MoveTo(r.left + w / 2, bottom);
      canvas->LineTo(r.left + tip.X, r.top + tip.Y);
    }
  }
}

void TsGauge::PaintSkinnedBar(TBitmap* cache, int percent) {
  const bool horizontal = FKind == TsGaugeKind::gkHorizontalBar;
  const std::string section = !FProgressSkin.empty() ? FProgressSkin : (horizontal ? "PROGRESSH" : "PROGRESSV");
  const int index = FindSectionIndex(section);
  const int length = horizontal ? std::min(GaugeFilledLength(Width(), percent), Width())
                                : std::min(GaugeFilledLength(Height(), percent), Height());
  if (length <= 0 || index < 0) return;
  TBitmap work;
  const int w = horizontal ? length : Width(), h = horizontal ? Height() : length;
  const POINT at{0, horizontal ? 0 : Height() - length};
  const TsCacheInfo own{cache, 0, 0, true};
  PaintSectionByIndex(ActiveSkin(), index, section, own, NewWorkBitmap(work, w, h), at, RECT{0, 0, w, h},
                      TsSkinState::Normal, true);
  BitBlt(cache->Canvas()->Handle(), at.x, at.y, w, h, work.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsGauge::PaintSkin() {
  TBitmap* cache = SkinData().CacheBitmap();
  TsCacheInfo ci;
  QueryParentCache(&SkinData(), ci);
  const RECT all{0, 0, Width(), Height()};
  PaintSectionByData(ActiveSkin(), &SkinData(), ci, true, cache, POINT{Left(), Top()}, all,
                     TsSkinState::Normal);
  const int percent = PercentDone();
  TCanvas* canvas = cache->Canvas();
  if (IsBar(FKind))
    PaintSkinnedBar(cache, percent);
  else if (FKind != TsGaugeKind::gkText)
    DrawShape(canvas, all, nullptr);
  if (FShowText) {
    canvas->SetFont(Font());
    canvas->Pen()->SetStyle(TPenStyle::InsideFrame);
    canvas->Brush()->SetStyle(TBrushStyle::Clear);
    RECT r = all;
    DrawSkinTextByData(ActiveSkin(), canvas, IntToStr(percent) + FSuffix, Enabled(), r,
                       CaptionTextFlags(this, taCenter) | DT_NOPREFIX, &SkinData(), false);
  }
}

// The standard look: the shape XORed over black, then the digits XORed over it, so they show
// inverted over the bar.
void TsGauge::Paint() {
  const int width = Width(), height = Height();
  if (width < 1 || height < 1) return;
  RECT paint{0, 0, width, height};
  if (FBorderStyle == bsSingle) InflateRect(&paint, -1, -1);
  const int percent = PercentDone();

  TBitmap& work = *NewWorkBitmap(FWork, width, height);
  PatBlt(work.Canvas()->Handle(), 0, 0, width, height, BLACKNESS);
  TCanvas* o = NewWorkBitmap(FOverlay, width, height)->Canvas();
  o->Brush()->SetColor(clWindowFrame);
  o->FillRect(RECT{0, 0, width, height});
  o->Brush()->SetColor(clBlack);
  o->FillRect(paint);

  const int w = paint.right - paint.left + 1, h = paint.bottom - paint.top + 1;
  switch (FKind) {
    case TsGaugeKind::gkText:
    case TsGaugeKind::gkHorizontalBar:
    case TsGaugeKind::gkVerticalBar: {
      o->Brush()->SetColor(FBackColor);
      o->FillRect(paint);
      o->Brush()->SetColor(FForeColor);
      if (FKind == TsGaugeKind::gkHorizontalBar) {
        const int length = std::min(GaugeFilledLength(w, percent), w);
        if (length > 0) o->FillRect(RECT{paint.left, paint.top, length, h});
      } else if (FKind == TsGaugeKind::gkVerticalBar) {
        const int length = std::min(GaugeFilledLength(h, percent), h - 1);
        if (length > 0) o->FillRect(RECT{paint.left, h - length, w, h});
      }
      break;
    }
    case TsGaugeKind::gkPie:
    case TsGaugeKind::gkNeedle: {
      o->Brush()->SetColor(Color());
      o->FillRect(paint);
      DrawShape(o, RECT{paint.left, paint.top, paint.left + w - 1, paint.top + h - 1}, &FBackColor);
      break;
    }
  }
  BitBlt(work.Canvas()->Handle(), 0, 0, width, height, o->Handle(), 0, 0, SRCINVERT);

  if (FShowText) {
    TCanvas* t = NewWorkBitmap(FTextImage, width, height)->Canvas();
    // The kept canvas has the clear brush of the last text; the fill must wipe that text.
    t->Brush()->SetStyle(TBrushStyle::Solid);
    t->Brush()->SetColor(clBlack);
    t->FillRect(RECT{0, 0, width, height});
    t->SetFont(Font());
    t->Font()->SetColor(clWhite);
    t->Brush()->SetStyle(TBrushStyle::Clear);
    const std::string text = IntToStr(percent) + "%";
    const SIZE size = t->TextExtent(text);
    t->TextOut(paint.left + (paint.right - paint.left + 1 - size.cx) / 2,
               paint.top + (paint.bottom - paint.top + 1 - size.cy) / 2, text);
    BitBlt(work.Canvas()->Handle(), 0, 0, width, height, t->Handle(), 0, 0, SRCINVERT);
  }
  BitBlt(Canvas()->Handle(), 0, 0, width, height, work.Canvas()->Handle(), 0, 0, SRCCOPY);
}
