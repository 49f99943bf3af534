#pragma once

#include "framework/win/TStatusBar.h"
#include "skin/engine/TsHeldShowing.h"
#include "skin/engine/TsSkinned.h"

// The status bar painted from its section ("STATUSBAR"): panel frames ("STATUSPANELMASK") or
// dividers ("DIVIDER"), the panel texts shortened to fit, and the size grip ("GRIPIMAGE").
class TsStatusBar : public TsSkinned<TStatusBar> {
public:
  explicit TsStatusBar(TComponent* owner);
  void WndProc(TMessage& message) override;

  // Held, a new simple text is kept (SimpleText follows it) but reaches the bar, and is painted,
  // only at ShowHeldText or the release.
  bool TextHeld() const { return FTextShowing.Held(); }
  void SetTextHeld(bool value) { FTextShowing.SetHeld(value); }
  void ShowHeldText() { FTextShowing.ShowWaiting(); }

protected:
  bool SkinnedMessage(TMessage& message) override;
  bool PaintsWholeClient() const override { return true; }
  bool NativePaintsAfter(const TMessage& message) const override;
  void PaintSkin() override;
  TsSkinState SkinState() const override { return TsSkinState::Normal; }
  void StandingCommand(::SkinCommand command) override;

private:
  void PaintPanel(RECT r, const std::string& text, TAlignment alignment, bool last);
  void ResolveMasks();
  // SimpleText to the bar, when it shows it.
  void SendSimpleText();

  // The panel frame and divider masks of the skin at hand; looked up once per skin.
  bool FMasksResolved = false;
  int FResolvedSection = -1;
  int FPanelMask = -1;
  int FDividerMask = -1;
  int FGripMask = -1;
  TsHeldShowing FTextShowing{[this] { SendSimpleText(); }};
};
