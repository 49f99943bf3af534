#pragma once

#include "framework/win/TStatusBar.h"
#include "skin/engine/TsSkinned.h"

// The status bar painted from its section ("STATUSBAR"): panel frames ("STATUSPANELMASK") or
// dividers ("DIVIDER"), the panel texts shortened to fit, and the size grip ("GRIPIMAGE").
class TsStatusBar : public TsSkinned<TStatusBar> {
public:
  explicit TsStatusBar(TComponent* owner);

protected:
  bool SkinnedMessage(TMessage& message) override;
  bool NativePaintsAfter(const TMessage& message) const override;
  void PaintSkin() override;
  TsSkinState SkinState() const override { return TsSkinState::Normal; }

private:
  void PaintPanel(RECT r, const std::string& text, TAlignment alignment, bool last);
};
