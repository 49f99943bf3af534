#pragma once

#include <windows.h>

#include "framework/win/TCustomForm.h"

// A borderless form that sizes by its edges: its window gets the sizing frame.
class TThickFramedForm : public TForm {
public:
  using TForm::TForm;

protected:
  void CreateParams(TCreateParams& params) override {
    TForm::CreateParams(params);
    params.Style |= WS_THICKFRAME;
  }
};
