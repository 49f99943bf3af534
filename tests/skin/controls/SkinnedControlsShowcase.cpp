// The skinned controls in their states on one form, for a look by eye:
//   skin_controls_showcase.exe SKINS_FOLDER SKIN_NAME   (SKIN_NAME "none": no skin)
#include <string>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TPopupMenu.h"
#include "skin/controls/TsBitBtn.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsSpeedButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsGauge.h"
#include "skin/controls/TsGroupBox.h"
#include "skin/controls/TsLabel.h"
#include "skin/controls/TsMaskEdit.h"
#include "skin/controls/TsMemo.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsScrollBar.h"
#include "skin/controls/TsSpinEdit.h"
#include "skin/controls/TsStatusBar.h"
#include "skin/controls/TsUpDown.h"
#include "tests/skin/controls/ShowcaseForm.h"

int main(int argc, char** argv) {
  TForm* form = ShowcaseForm(argc, argv, "Skinned controls", 1080, 600);

  auto* normal = NewControl<TsButton>(form, form, RECT{10, 10, 110, 35});
  normal->SetCaption("&Normal");
  auto* byDefault = NewControl<TsButton>(form, form, RECT{120, 10, 220, 35});
  byDefault->SetCaption("D&efault");
  byDefault->SetDefault(true);
  auto* disabled = NewControl<TsButton>(form, form, RECT{230, 10, 330, 35});
  disabled->SetCaption("&Disabled");
  disabled->SetEnabled(false);
  auto* down = NewControl<TsButton>(form, form, RECT{340, 10, 440, 35});
  down->SetCaption("Do&wn");
  down->SetDown(true);

  // The ten bit-button kinds, then a default, a pressed and a disabled one.
  for (int i = 0; i < 10; ++i) {
    auto* kind = NewControl<TsBitBtn>(form, form, RECT{10 + 105 * (i % 5), 180 + 32 * (i / 5), 110 + 105 * (i % 5), 206 + 32 * (i / 5)});
    kind->SetKind(static_cast<TBitBtnKind>(i + 1));
    kind->SetDefault(false);
  }
  auto* bitDefault = NewControl<TsBitBtn>(form, form, RECT{10, 246, 110, 272});
  bitDefault->SetKind(bkOK);
  bitDefault->SetCaption("Default");
  auto* bitDown = NewControl<TsBitBtn>(form, form, RECT{115, 246, 215, 272});
  bitDown->SetKind(bkRetry);
  bitDown->SetCaption("Pressed");
  bitDown->SetDown(true);
  auto* bitDisabled = NewControl<TsBitBtn>(form, form, RECT{220, 246, 320, 272});
  bitDisabled->SetKind(bkAbort);
  bitDisabled->SetCaption("Disabled");
  bitDisabled->SetDefault(false);
  bitDisabled->SetEnabled(false);
  auto* bitTop = NewControl<TsBitBtn>(form, form, RECT{325, 246, 425, 300});
  bitTop->SetKind(bkHelp);
  bitTop->SetLayout(blGlyphTop);

  // The speed-button styles, a disabled one and one held down.
  auto* menu = NewComponent<TPopupMenu>(form);
  auto* item = NewComponent<TMenuItem>(form);
  item->SetCaption("Item");
  menu->Items()->Add(item);
  const char* styles[] = {"Button", "Check", "Drop", "", ""};
  int x = 10;
  for (int i = 0; i < 5; ++i) {
    const int w = i == 3 ? 8 : (i == 4 ? 10 : 60);
    auto* speed = NewControl<TsSpeedButton>(form, form, RECT{x, 320, x + w, 346});
    speed->SetCaption(styles[i]);
    speed->SetButtonStyle(static_cast<TsToolButtonStyle>(i));
    if (i == 2) speed->SetDropdownMenu(menu);
    x = speed->Left() + speed->Width() + 4;
  }
  auto* speedGlyph = NewControl<TsSpeedButton>(form, form, RECT{x, 320, x + 60, 346});
  speedGlyph->SetCaption("Glyph");
  TBitmap glyph;
  glyph.LoadFromResourceName(GetModuleHandleA(nullptr), "BBYES");
  speedGlyph->SetGlyph(&glyph);
  speedGlyph->SetNumGlyphs(2);
  auto* speedOff = NewControl<TsSpeedButton>(form, form, RECT{x + 64, 320, x + 124, 346});
  speedOff->SetCaption("Disabled");
  speedOff->SetGlyph(&glyph);
  speedOff->SetNumGlyphs(2);
  speedOff->SetEnabled(false);
  auto* speedDown = NewControl<TsSpeedButton>(form, form, RECT{x + 128, 320, x + 188, 346});
  speedDown->SetCaption("Down");
  speedDown->SetGroupIndex(1);
  speedDown->SetDown(true);

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
  const RECT places[] = {{650, 150, 840, 172}, {850, 100, 880, 250}, {890, 180, 940, 230}, {950, 180, 1040, 230},
                         {650, 180, 840, 200}};
  for (int i = 0; i < 5; ++i) {
    auto* gauge = NewControl<TsGauge>(form, form, places[i]);
    gauge->SetKind(kinds[i]);
    gauge->SetMaxValue(3);
    gauge->SetProgress(2);
  }
  auto* disabledGauge = NewControl<TsGauge>(form, form, RECT{650, 210, 840, 232});
  disabledGauge->SetProgress(30);
  disabledGauge->SetEnabled(false);

  auto* group = NewControl<TsRadioGroup>(form, form, RECT{650, 10, 840, 90});
  group->SetCaption("Show ordered by");
  group->Items().Add("Code Group");
  group->Items().Add("Start address");
  group->SetItemIndex(0);
  auto* box = NewControl<TsGroupBox>(form, form, RECT{850, 10, 1040, 90});
  box->SetCaption("Pictures preview");
  box->SetCaptionLayout(TsGroupCaptionLayout::clTopCenter);
  auto* inner = NewControl<TsCheckBox>(form, box, RECT{10, 30, 180, 50});
  inner->SetCaption("Stretch");
  auto* panel = NewControl<TsPanel>(form, form, RECT{650, 250, 840, 290});
  panel->SetCaption("Panel");
  auto* radio = NewControl<TsRadioButton>(form, panel, RECT{8, 10, 68, 30});
  radio->SetCaption("Radio");
  radio->SetChecked(true);

  auto* status = NewControl<TsStatusBar>(form, form);
  status->AddPanel({"Code groups: 9", 110});
  status->AddPanel({"A text too long for its panel to hold", 120});
  status->AddPanel({"Ready", 80});

  auto* horizontal = NewControl<TsScrollBar>(form, form, RECT{250, 150, 580, 150 + GetSystemMetrics(SM_CYHSCROLL)});
  horizontal->SetPageSize(20);
  horizontal->SetPosition(30);
  auto* vertical = NewControl<TsScrollBar>(form, form, RECT{600, 90, 600 + GetSystemMetrics(SM_CXVSCROLL), 170});
  vertical->SetKind(sbVertical);
  vertical->SetBounds(600, 90, GetSystemMetrics(SM_CXVSCROLL), 80);
  vertical->SetPosition(60);
  vertical->SetEnabled(false);

  // Edits, each with its caption beside it.
  auto labelled = [form](auto* edit, const char* name, const char* caption) {
    edit->SetName(name);
    edit->BoundLabel()->SetCaption(caption);
    edit->BoundLabel()->SetActive(true);
    return edit;
  };
  auto* normalEdit = labelled(NewControl<TsEdit>(form, form, RECT{90, 360, 250, 381}), "NormalEdit", "Normal:");
  normalEdit->SetText("Some text");
  auto* focusedEdit = labelled(NewControl<TsEdit>(form, form, RECT{90, 390, 250, 411}), "FocusedEdit", "Focused:");
  focusedEdit->SetText("Selected text");
  auto* password = labelled(NewControl<TsEdit>(form, form, RECT{90, 420, 250, 441}), "Password", "Password:");
  password->SetText("secret");
  password->SetPasswordChar('*');
  auto* disabledEdit = labelled(NewControl<TsEdit>(form, form, RECT{90, 450, 250, 471}), "DisabledEdit", "Disabled:");
  disabledEdit->SetText("Disabled text");
  disabledEdit->SetEnabled(false);
  auto* mask = labelled(NewControl<TsMaskEdit>(form, form, RECT{90, 480, 250, 501}), "MaskEdit", "Mask edit:");
  mask->SetText("12-34");

  auto* memo = NewControl<TsMemo>(form, form, RECT{280, 360, 450, 470});
  memo->SetScrollBars(ssBoth);
  memo->SetWordWrap(false);
  memo->SetText("A memo with lines longer than it is wide\r\nwith lines\r\nof text\r\nand more\r\nlines\r\nthan\r\nit\r\nshows");
  auto* rich = NewControl<TsRichEdit>(form, form, RECT{460, 360, 620, 470});
  rich->SetText("A rich edit\r\nwith its text");
  auto* disabledMemo = NewControl<TsMemo>(form, form, RECT{280, 480, 450, 540});
  disabledMemo->SetText("A disabled memo");
  disabledMemo->SetEnabled(false);
  auto* label = NewControl<TsLabel>(form, form, RECT{460, 480, 620, 500});
  label->SetCaption("A label on the form");

  // Spin edits: free bounds, bounded and read-only, disabled.
  auto* spin = NewControl<TsSpinEdit>(form, form, RECT{650, 300, 750, 322});
  spin->SetValue(512);
  auto* bounded = NewControl<TsSpinEdit>(form, form, RECT{760, 300, 860, 322});
  bounded->SetMinValue(1);
  bounded->SetMaxValue(10);
  bounded->SetValue(10);
  bounded->SetReadOnly(true);
  auto* disabledSpin = NewControl<TsSpinEdit>(form, form, RECT{870, 300, 970, 322});
  disabledSpin->SetValue(7);
  disabledSpin->SetEnabled(false);

  // Up-downs: beside an edit, at Max (its up arrow dimmed), horizontal, disabled.
  auto* counted = NewControl<TsEdit>(form, form, RECT{650, 332, 710, 353});
  auto* updown = NewControl<TsUpDown>(form, form, RECT{710, 332, 727, 353});
  updown->SetAssociate(counted);
  updown->SetPosition(5);
  auto* atMax = NewControl<TsUpDown>(form, form, RECT{760, 332, 777, 362});
  atMax->SetPosition(100);
  auto* across = NewControl<TsUpDown>(form, form, RECT{790, 332, 830, 349});
  across->SetOrientation(udHorizontal);
  across->SetBounds(790, 332, 40, 17);
  across->SetPosition(50);
  auto* disabledUpDown = NewControl<TsUpDown>(form, form, RECT{850, 332, 867, 362});
  disabledUpDown->SetEnabled(false);

  form->Show();
  focusedEdit->SetFocus();
  focusedEdit->SelectAll();
  Application->Run();
  return 0;
}
