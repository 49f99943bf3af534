// The skinned controls in their states on one form, for a look by eye:
//   skin_controls_showcase.exe SKINS_FOLDER SKIN_NAME   (SKIN_NAME "none": no skin)
#include <string>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsScrollBar.h"
#include "skin/engine/TsSkinManager.h"

int main(int argc, char** argv) {
  Application->Initialize();
  const std::string skin = argc > 2 ? argv[2] : "none";
  TForm* form = NewComponent<TForm>(nullptr);
  form->SetCaption("Skinned controls: " + skin);
  form->SetBounds(0, 0, 460, 250);
  if (skin != "none" && argc > 1) {
    auto* manager = NewComponent<TsSkinManager>(form);
    manager->SetSkinDirectory(argv[1]);
    manager->SetSkinName(skin);
    // Until forms paint their own skin, the form takes the skin's colour.
    form->SetColor(GlobalSectionColor());
  }

  auto* normal = NewControl<TsButton>(form, form, RECT{10, 10, 110, 35});
  normal->SetCaption("&Normal");
  auto* focused = NewControl<TsButton>(form, form, RECT{120, 10, 220, 35});
  focused->SetCaption("&Focused");
  focused->SetDefault(true);
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

  auto* horizontal = NewControl<TsScrollBar>(form, form, RECT{10, 160, 330, 160 + GetSystemMetrics(SM_CYHSCROLL)});
  horizontal->SetPageSize(20);
  horizontal->SetPosition(30);
  auto* vertical = NewControl<TsScrollBar>(form, form, RECT{420, 10, 420 + GetSystemMetrics(SM_CXVSCROLL), 200});
  vertical->SetKind(sbVertical);
  vertical->SetBounds(420, 10, GetSystemMetrics(SM_CXVSCROLL), 190);
  vertical->SetPosition(60);
  vertical->SetEnabled(false);

  form->Show();
  focused->SetFocus();
  Application->Run();
  return 0;
}
