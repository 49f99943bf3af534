#pragma once

#include "framework/win/TBitmap.h"

#include <string>

#include "framework/win/TCustomForm.h"
#include "framework/win/TGraphicControl.h"
#include "skin/controls/core/GaugeModel.h"
#include "skin/engine/TsHeldShowing.h"
#include "skin/engine/TsSkinned.h"

enum class TsGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };

// Progress as a bar, a pie, a needle or text, with the percentage printed over it. Skinned, the
// gauge paints its section ("GAUGE") and the bar from ProgressSkin ("PROGRESSH" or "PROGRESSV"
// when empty); unskinned, the standard look with the digits inverted over the bar.
class TsGauge : public TsSkinned<TGraphicControl> {
public:
  explicit TsGauge(TComponent* owner);

  std::int32_t MinValue() const { return FModel.MinValue(); }
  void SetMinValue(std::int32_t value);
  std::int32_t MaxValue() const { return FModel.MaxValue(); }
  void SetMaxValue(std::int32_t value);
  std::int32_t Progress() const { return FModel.Progress(); }
  void SetProgress(std::int32_t value);
  // Adds to Progress (clamped).
  void AddProgress(std::int32_t value);
  int PercentDone() const { return FModel.PercentDone(); }
  // Held, a new percentage is kept (the values follow every change) but the gauge is invalidated,
  // and so painted, only at ShowHeldProgress or the release.
  bool ProgressHeld() const { return FProgressShowing.Held(); }
  void SetProgressHeld(bool value) { FProgressShowing.SetHeld(value); }
  void ShowHeldProgress() { FProgressShowing.ShowWaiting(); }

  TsGaugeKind Kind() const { return FKind; }
  void SetKind(TsGaugeKind value);
  bool ShowText() const { return FShowText; }
  void SetShowText(bool value);
  const std::string& Suffix() const { return FSuffix; }
  void SetSuffix(const std::string& value);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle value);
  TColor ForeColor() const { return FForeColor; }
  void SetForeColor(TColor value);
  TColor BackColor() const { return FBackColor; }
  void SetBackColor(TColor value);
  const std::string& ProgressSkin() const { return FProgressSkin; }
  void SetProgressSkin(const std::string& value);
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }

protected:
  void Paint() override;
  void PaintSkin() override;

private:
  void ValuesChanged(int oldPercent);
  void PaintSkinnedBar(TBitmap* cache, int percent);
  void DrawShape(TCanvas* canvas, const RECT& r, const TColor* inside);

  TGaugeModel FModel;
  TsGaugeKind FKind = TsGaugeKind::gkHorizontalBar;
  bool FShowText = true;
  std::string FSuffix = "%";
  TFormBorderStyle FBorderStyle = bsSingle;
  TColor FForeColor = clBlack;
  TColor FBackColor = clWhite;
  std::string FProgressSkin;
  TNotifyEvent FOnChange;
  TsHeldShowing FProgressShowing{[this] { Invalidate(); }};
  // The standard look's work images, kept from one painting to the next.
  TBitmap FWork, FOverlay, FTextImage;
};
