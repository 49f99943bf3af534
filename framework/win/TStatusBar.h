#pragma once

#include <vector>

#include "framework/win/StdControlTypes.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TWinControl.h"

class TStatusBar;

// One part of a status bar.
struct TStatusPanel {
  std::string Text;
  int Width = 50;
  TAlignment Alignment = taLeftJustify;
  TStatusPanelStyle Style = psText;
};

using TDrawPanelEvent = TDelegate<void(TStatusBar* StatusBar, int Panel, const RECT& Rect)>;

// The native status bar: panels, or one simple text over the whole bar, and a size grip.
class TStatusBar : public TWinControl {
public:
  explicit TStatusBar(TComponent* owner);

  int PanelCount() const { return int(FPanels.size()); }
  const TStatusPanel& Panels(int index) const { return FPanels.at(size_t(index)); }
  void AddPanel(const TStatusPanel& panel);
  void SetPanel(int index, const TStatusPanel& panel);
  void SetPanelText(int index, const std::string& text);
  void ClearPanels();
  bool SimplePanel() const { return FSimplePanel; }
  void SetSimplePanel(bool value);
  const std::string& SimpleText() const { return FSimpleText; }
  void SetSimpleText(const std::string& value);
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool value);
  TCanvas* Canvas() { return &FCanvas; }
  // The text the native bar now shows in part (-1: the simple text), for checks.
  std::string NativeText(int part);

  const TDrawPanelEvent& OnDrawPanel() const { return FOnDrawPanel; }
  void SetOnDrawPanel(const TDrawPanelEvent& e) { FOnDrawPanel = e; }

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

private:
  void UpdatePanels();
  void UpdatePanelText(int index);

  std::vector<TStatusPanel> FPanels;
  bool FSimplePanel = false;
  std::string FSimpleText;
  bool FSizeGrip = true;
  TCanvas FCanvas;
  TDrawPanelEvent FOnDrawPanel;
};
