#pragma once

#include "framework/win/StdControlTypes.h"
#include "framework/win/TGraphicControl.h"

class TWinControl;

// A caption without a window. Alt plus its accelerator focuses FocusControl.
class TLabel : public TGraphicControl {
public:
  explicit TLabel(TComponent* owner);

  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* control);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);

  void Dispatch(TMessage& message) override;
  // Sizes the label to the caption it was given while loading.
  void Loaded() override;

protected:
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  UINT DrawFlags() const;
  void AdjustBounds();

  TWinControl* FFocusControl = nullptr;
  bool FShowAccelChar = true;
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FAutoSize = true;
  bool FWordWrap = false;
  bool FTransparent = false;
};
