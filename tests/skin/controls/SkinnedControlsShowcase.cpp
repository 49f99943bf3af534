// The skinned controls in their states on one form, for a look by eye:
//   skin_controls_showcase.exe SKINS_FOLDER SKIN_NAME   (SKIN_NAME "none": no skin)
#include <string>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsGauge.h"
#include "skin/controls/TsGroupBox.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsStatusBar.h"
#include "skin/engine/TsSkinManager.h"

int main(int argc, char** argv) {
  Application->Initialize();
  const std::string skin = argc > 2 ? argv[2] : "none";
  TForm* form = NewComponent<TForm>(nullptr);
  form->SetCaption("Skinned controls: " + skin);
  form->SetBounds(0, 0, 640, 320);
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

  const TsGaugeKind kinds[] = {TsGaugeKind::gkHorizontalBar, TsGaugeKind::gkVerticalBar, TsGaugeKind::gkPie,
                               TsGaugeKind::gkNeedle, TsGaugeKind::gkText};
  const RECT places[] = {{10, 150, 200, 172}, {210, 100, 240, 250}, {250, 180, 300, 230}, {310, 180, 400, 230},
                         {10, 180, 200, 200}};
  for (int i = 0; i < 5; ++i) {
    auto* gauge = NewControl<TsGauge>(form, form, places[i]);
    gauge->SetKind(kinds[i]);
    gauge->SetMaxValue(3);
    gauge->SetProgress(2);
  }
  auto* disabledGauge = NewControl<TsGauge>(form, form, RECT{10, 210, 200, 232});
  disabledGauge->SetProgress(30);
  disabledGauge->SetEnabled(false);

  auto* group = NewControl<TsRadioGroup>(form, form, RECT{420, 10, 620, 90});
  group->SetCaption("Show ordered by");
  group->Items().Add("Code Group");
  group->Items().Add("Start address");
  group->SetItemIndex(0);
  auto* box = NewControl<TsGroupBox>(form, form, RECT{420, 100, 620, 180});
  box->SetCaption("Pictures preview");
  box->SetCaptionLayout(TsGroupCaptionLayout::clTopCenter);
  auto* inner = NewControl<TsCheckBox>(form, box, RECT{10, 30, 180, 50});
  inner->SetCaption("Stretch");
  auto* panel = NewControl<TsPanel>(form, form, RECT{420, 190, 620, 230});
  panel->SetCaption("Panel");
  auto* radio = NewControl<TsRadioButton>(form, panel, RECT{8, 10, 68, 30});
  radio->SetCaption("Radio");
  radio->SetChecked(true);

  auto* status = NewControl<TsStatusBar>(form, form);
  status->AddPanel({"Code groups: 9", 110});
  status->AddPanel({"A text too long for its panel to hold", 120});
  status->AddPanel({"Ready", 80});

  form->Show();
  focused->SetFocus();
  Application->Run();
  return 0;
}
