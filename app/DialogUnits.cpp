#include "app/DialogUnits.h"

#include <windows.h>

#include <algorithm>

#include "framework/win/GdiScopes.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TControl.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsButton.h"
#include "skin/windows/TsMessageDlg.h"

namespace {

// A canvas on the screen with a control's font.
class TFontCanvas {
public:
  explicit TFontCanvas(TControl* control) {
    FCanvas.SetHandle(FScreen.Handle());
    FCanvas.SetFont(control->Font());
  }
  ~TFontCanvas() { FCanvas.SetHandle(nullptr); }
  TFontCanvas(const TFontCanvas&) = delete;
  TFontCanvas& operator=(const TFontCanvas&) = delete;
  TCanvas* Canvas() { return &FCanvas; }

private:
  TScreenDC FScreen;
  TCanvas FCanvas;
};

}  // namespace

TDialogUnits::TDialogUnits(TControl* control) : FControl(control) {
  TFontCanvas measure(control);
  const POINT ave = GetAveCharSize(measure.Canvas());
  FAveWidth = std::max<int>(ave.x, 1);
  FAveHeight = std::max<int>(ave.y, 1);
}

int TDialogUnits::X(int units) const { return MulDiv(units, FAveWidth, 4); }

int TDialogUnits::Y(int units) const { return MulDiv(units, FAveHeight, 8); }

int TDialogUnits::TextWidth(const std::string& text) const {
  TFontCanvas measure(FControl);
  return measure.Canvas()->TextWidth(text);
}

int TDialogUnits::WidestText(std::initializer_list<std::string> texts) const {
  TFontCanvas measure(FControl);
  int widest = 0;
  for (const std::string& text : texts) widest = std::max(widest, measure.Canvas()->TextWidth(text));
  return widest;
}

int TDialogUnits::ButtonWidth(std::initializer_list<std::string> captions) const {
  // A skinned button breaks its caption well before its own edges: room for that too.
  return std::max(X(50), WidestText(captions) + X(20));
}

TsButton* NewDialogButton(TForm* form, const TDialogUnits& du, const char* name, const char* caption, int left, int top,
                          int width) {
  auto* button = NewControl<TsButton>(form, form, RECT{left, top, left + width, top + du.ButtonHeight()});
  button->SetName(name);
  button->SetCaption(caption);
  return button;
}

TsButton* NewOkOnlyButton(TForm* form, const TDialogUnits& du, int clientWidth, int top) {
  const int width = du.ButtonWidth({"Ok"});
  TsButton* ok = NewDialogButton(form, du, "sButton1", "Ok", (clientWidth - width) / 2, top, width);
  ok->SetDefault(true);
  ok->SetCancel(true);
  ok->SetModalResult(mrOk);
  return ok;
}
