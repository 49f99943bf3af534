// The skinned controls in their states on one form, for a look by eye:
//   skin_controls_showcase.exe SKINS_FOLDER SKIN_NAME   (SKIN_NAME "none": no skin)
#include <string>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsLabel.h"
#include "skin/controls/TsMaskEdit.h"
#include "skin/controls/TsMemo.h"
#include "skin/engine/TsSkinManager.h"

int main(int argc, char** argv) {
  Application->Initialize();
  const std::string skin = argc > 2 ? argv[2] : "none";
  TForm* form = NewComponent<TForm>(nullptr);
  form->SetCaption("Skinned controls: " + skin);
  form->SetBounds(0, 0, 640, 400);
  if (skin != "none" && argc > 1) {
    auto* manager = NewComponent<TsSkinManager>(form);
    manager->SetSkinDirectory(argv[1]);
    manager->SetSkinName(skin);
    // Until forms paint their own skin, the form takes the skin's colour.
    form->SetColor(GlobalSectionColor());
  }

  auto* normal = NewControl<TsButton>(form, form, RECT{10, 10, 110, 35});
  normal->SetCaption("&Normal");
  auto* byDefault = NewControl<TsButton>(form, form, RECT{120, 10, 220, 35});
  byDefault->SetCaption("D&efault");
  byDefault->SetDefault(true);
  auto* disabled = NewControl<TsButton>(form, form, RECT{230, 10, 330, 35});
  disabled->SetCaption("&Disabled");
  disabled->SetEnabled(false);

  const char* captions[] = {"Unchecked", "Checked", "Grayed", "Disabled checked"};
  for (int i = 0; i < 4; ++i) {
    auto* box = NewControl<TsCheckBox>(form, form, RECT{10, 50 + 24 * i, 200, 70 + 24 * i});
    box->SetCaption(captions[i]);
    box->SetAllowGrayed(true);
    box->SetState(i == 0 ? cbUnchecked : (i == 2 ? cbGrayed : cbChecked));
    box->SetEnabled(i != 3);
  }
  auto* wide = NewControl<TsCheckBox>(form, form, RECT{210, 50, 400, 70});
  wide->SetCaption("Caption at the left");
  wide->SetAlignment(taLeftJustify);
  wide->SetChecked(true);

  // Edits, each with its caption beside it.
  auto labelled = [form](auto* edit, const char* name, const char* caption) {
    edit->SetName(name);
    edit->BoundLabel()->SetCaption(caption);
    edit->BoundLabel()->SetActive(true);
    return edit;
  };
  auto* normalEdit = labelled(NewControl<TsEdit>(form, form, RECT{90, 170, 250, 191}), "NormalEdit", "Normal:");
  normalEdit->SetText("Some text");
  auto* focusedEdit = labelled(NewControl<TsEdit>(form, form, RECT{90, 200, 250, 221}), "FocusedEdit", "Focused:");
  focusedEdit->SetText("Selected text");
  auto* password = labelled(NewControl<TsEdit>(form, form, RECT{90, 230, 250, 251}), "Password", "Password:");
  password->SetText("secret");
  password->SetPasswordChar('*');
  auto* disabledEdit = labelled(NewControl<TsEdit>(form, form, RECT{90, 260, 250, 281}), "DisabledEdit", "Disabled:");
  disabledEdit->SetText("Disabled text");
  disabledEdit->SetEnabled(false);
  auto* mask = labelled(NewControl<TsMaskEdit>(form, form, RECT{90, 290, 250, 311}), "MaskEdit", "Mask edit:");
  mask->SetText("12-34");

  auto* memo = NewControl<TsMemo>(form, form, RECT{280, 170, 450, 280});
  memo->SetScrollBars(ssVertical);
  memo->SetText("A memo\r\nwith lines\r\nof text\r\nand more\r\nlines\r\nthan\r\nit\r\nshows");
  auto* rich = NewControl<TsRichEdit>(form, form, RECT{460, 170, 620, 280});
  rich->SetText("A rich edit\r\nwith its text");
  auto* disabledMemo = NewControl<TsMemo>(form, form, RECT{280, 290, 450, 350});
  disabledMemo->SetText("A disabled memo");
  disabledMemo->SetEnabled(false);
  auto* label = NewControl<TsLabel>(form, form, RECT{460, 290, 620, 310});
  label->SetCaption("A label on the form");

  form->Show();
  focusedEdit->SetFocus();
  focusedEdit->SelectAll();
  Application->Run();
  return 0;
}
