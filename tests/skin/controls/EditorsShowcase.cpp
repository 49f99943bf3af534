// The combo edits, the numeric edits, the calculator and the data navigator on one form, for a look
// by eye:
//   skin_controls_showcase_edits.exe SKINS_FOLDER SKIN_NAME   (SKIN_NAME "none": no skin)
#include <string>

#include "framework/base/TClientDataSet.h"
#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TDataSource.h"
#include "skin/controls/TsCalcForm.h"
#include "skin/controls/TsComboEdit.h"
#include "skin/controls/TsDBNavigator.h"
#include "skin/controls/TsLabel.h"
#include "skin/controls/TsNumEdit.h"
#include "skin/controls/TsSpeedButton.h"
#include "tests/skin/controls/ShowcaseForm.h"

int main(int argc, char** argv) {
  TForm* form = ShowcaseForm(argc, argv, "Editors", 760, 420);

  auto labelled = [](auto* edit, const char* name, const char* caption) {
    edit->SetName(name);
    edit->BoundLabel()->SetCaption(caption);
    edit->BoundLabel()->SetActive(true);
    return edit;
  };
  const struct {
    const char* Name;
    const char* Caption;
    const char* Kind;
    const char* Text;
  } combos[] = {{"FileEdit", "File:", "BTN_OPENFILE", "C:\\Phone\\flash.shx"},
                {"FolderEdit", "Folder:", "BTN_OPENFOLDER", "C:\\Phone"},
                {"DateEdit", "Date:", "BTN_DATE", "07.12.2026"},
                {"EllipsisEdit", "More:", "BTN_ELLIPSIS", "Choose..."}};
  int y = 20;
  for (const auto& c : combos) {
    auto* edit = labelled(NewControl<TsCustomComboEdit>(form, form, RECT{90, y, 290, y + 21}), c.Name, c.Caption);
    edit->SetDefaultGlyphKind(c.Kind);
    edit->SetText(c.Text);
    y += 30;
  }
  auto* grey = labelled(NewControl<TsCustomComboEdit>(form, form, RECT{90, y, 290, y + 21}), "GreyEdit", "Grayed:");
  grey->SetDefaultGlyphKind("BTN_ELLIPSIS");
  grey->GlyphMode()->SetGrayed(true);
  grey->GlyphMode()->SetBlend(40);
  grey->SetText("Grey glyph until hot");
  y += 30;
  auto* disabled = labelled(NewControl<TsCustomComboEdit>(form, form, RECT{90, y, 290, y + 21}), "OffEdit", "Disabled:");
  disabled->SetDefaultGlyphKind("BTN_OPENFILE");
  disabled->SetText("Disabled");
  disabled->SetEnabled(false);
  y += 30;
  auto* right = labelled(NewControl<TsCustomComboEdit>(form, form, RECT{90, y, 290, y + 21}), "RightEdit", "Right:");
  right->SetDefaultGlyphKind("BTN_DATE");
  right->SetAlignment(taRightJustify);
  right->SetText("aligned right");

  auto* num = labelled(NewControl<TsCustomNumEdit>(form, form, RECT{400, 20, 560, 41}), "NumEdit", "Number:");
  num->SetValue(1234.5);
  auto* focused = labelled(NewControl<TsCustomNumEdit>(form, form, RECT{400, 50, 560, 71}), "FocusNum", "Focused:");
  focused->SetValue(-42.25);
  auto* money = labelled(NewControl<TsCurrencyEdit>(form, form, RECT{400, 80, 480, 101}), "Money", "Currency:");
  money->SetValue(99.9);

  // A calculator in its own window, OK and Cancel shown.
  auto* calc = NewComponent<TsCalcForm>(form);
  calc->SetFormStyle(fsStayOnTop);
  calc->SetBounds(780, 60, calc->Width(), calc->Height());
  for (char c : std::string("12.5*4")) calc->Engine().ProcessKey(c);
  calc->PadButton("MS")->Click();

  TClientDataSet records;
  TClientDataSet* table = &records;
  table->AddIntegerField("N");
  table->CreateDataSet();
  for (int i = 1; i <= 5; ++i) table->AppendRecord({TVariant(i)});
  table->First();
  table->Next();
  auto* source = NewComponent<TDataSource>(form);
  source->SetDataSet(table);
  auto* caption = NewControl<TsLabel>(form, form, RECT{20, 262, 300, 280});
  caption->SetCaption("Navigators: all buttons, and four");
  auto* nav = NewControl<TsDBNavigator>(form, form, RECT{20, 285, 320, 310});
  nav->SetDataSource(source);
  auto* moves = NewControl<TsDBNavigator>(form, form, RECT{20, 320, 180, 345});
  moves->SetVisibleButtons(NavButton(nbFirst) | NavButton(nbPrior) | NavButton(nbNext) | NavButton(nbLast));
  moves->SetDataSource(source);

  form->Show();
  calc->Show();
  focused->SetFocus();
  Application->Run();
  return 0;
}
