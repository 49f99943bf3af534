#include "app/TfmRAWBounds.h"

#include <algorithm>

#include "app/DialogUnits.h"
#include "skin/controls/TsLabel.h"
#include "skin/controls/TsSpinEdit.h"
#include "skin/engine/TsBoundLabel.h"
#include "skin/windows/TsSkinProvider.h"

TfmRAWBounds* fmRAWBounds = nullptr;

namespace {

constexpr const char* kPrompt = "Please choose bounds of a new RAW image";
constexpr const char* kWidth = "Width :";
constexpr const char* kHeight = "Height:";

}  // namespace

TfmRAWBounds::TfmRAWBounds(TComponent* owner) : TForm(owner) {
  SetName("fmRAWBounds");
  SetCaption("Tarvex");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  sSkinProvider1 = NewComponent<TsSkinProvider>(this);
  sSkinProvider1->SetName("sSkinProvider1");
  sSkinProvider1->SetResizeMode(TsResizeMode::rmBorder);

  // The prompt on top, the two spin edits under it with their labels to the left, Ok below.
  const TDialogUnits du(this);
  const int margin = du.X(7);
  const int prompt = du.TextWidth(kPrompt);
  const int labelWidth = du.WidestText({kWidth, kHeight}) + du.X(2);
  const int clientWidth = std::max(prompt, du.X(150)) + 2 * margin;
  const int spinLeft = margin + labelWidth + 4;
  const int spinWidth = std::min(du.X(70), clientWidth - margin - spinLeft);

  sLabel1 = NewControl<TsLabel>(this, this, RECT{margin, margin, margin + prompt, margin + du.TextHeight()});
  sLabel1->SetName("sLabel1");
  sLabel1->SetCaption(kPrompt);

  int top = margin + du.TextHeight() + du.Y(8);
  const auto spin = [&](const char* name, const char* caption) {
    auto* s = NewControl<TsSpinEdit>(this, this);
    s->SetName(name);
    s->SetBounds(spinLeft, top, spinWidth, du.EditHeight());
    s->SetValue(0);
    s->BoundLabel()->SetCaption(caption);
    s->BoundLabel()->SetActive(true);
    top += du.EditHeight() + du.Y(5);
    return s;
  };
  sSpinEdit1 = spin("sSpinEdit1", kWidth);
  sSpinEdit2 = spin("sSpinEdit2", kHeight);

  top += du.Y(3);
  sButton1 = NewOkOnlyButton(this, du, clientWidth, top);

  SetClientSize(clientWidth, top + du.ButtonHeight() + margin);
}
