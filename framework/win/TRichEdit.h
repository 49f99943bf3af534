#pragma once

#include "framework/win/TMemo.h"

// A memo on the platform's rich edit control (RichEdit20A), used for its plain text.
class TRichEdit : public TMemo {
public:
  explicit TRichEdit(TComponent* owner);

  bool PlainText() const { return FPlainText; }
  void SetPlainText(bool value) { FPlainText = value; }

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

private:
  bool FPlainText = true;
};
