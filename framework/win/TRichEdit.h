#pragma once

#include "framework/win/TMemo.h"

// A memo on the platform's rich edit control (RichEdit20A), used for its plain text.
class TRichEdit : public TMemo {
public:
  explicit TRichEdit(TComponent* owner);

  bool PlainText() const { return FPlainText; }
  void SetPlainText(bool value) { FPlainText = value; }
  // A scroll bar the text fits without is hidden (else it stays, disabled).
  bool HideScrollBars() const { return FHideScrollBars; }
  void SetHideScrollBars(bool value);

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

private:
  bool FPlainText = true;
  bool FHideScrollBars = true;
};
