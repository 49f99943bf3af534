// The skinned combo boxes in each style and state on one form, for a look by eye:
//   skin_controls_showcase_combos.exe SKINS_FOLDER SKIN_NAME   (SKIN_NAME "none": no skin)
#include <string>
#include <vector>

#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TImageList.h"
#include "skin/controls/TsComboBox.h"
#include "skin/controls/TsComboBoxEx.h"
#include "skin/controls/TsCommonCombo.h"
#include "skin/controls/TsLabel.h"
#include "tests/skin/controls/ShowcaseForm.h"

namespace {

const std::vector<std::string> kItems{"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta"};

template <typename T>
T* Put(TForm* form, int x, int y, TComboBoxStyle style, int index) {
  auto* c = NewControl<T>(form, form, RECT{x, y, x + 170, y + 22});
  c->SetStyle(style);
  for (const std::string& s : kItems) c->AddItem(s);
  c->SetItemIndex(index);
  return c;
}

void Caption(TForm* form, int x, int y, const std::string& text) {
  auto* label = NewControl<TsLabel>(form, form, RECT{x, y, x + 180, y + 16});
  label->SetCaption(text);
}

}  // namespace

int main(int argc, char** argv) {
  TForm* form = ShowcaseForm(argc, argv, "Skinned combo boxes", 760, 420);

  // The standard skinned combo: each style, then read-only, right-aligned and disabled.
  Caption(form, 10, 10, "Combo box");
  Put<TsComboBox>(form, 10, 30, csDropDown, 1);
  Put<TsComboBox>(form, 10, 60, csDropDownList, 2);
  Put<TsComboBox>(form, 10, 90, csDropDownList, -1);
  Put<TsComboBox>(form, 10, 120, csOwnerDrawFixed, 3);
  auto* readOnly = Put<TsComboBox>(form, 10, 150, csDropDownList, 4);
  readOnly->SetReadOnly(true);
  auto* right = Put<TsComboBox>(form, 10, 180, csDropDownList, 0);
  right->SetAlignment(taRightJustify);
  auto* disabled = Put<TsComboBox>(form, 10, 210, csDropDown, 2);
  disabled->SetEnabled(false);
  auto* simple = Put<TsComboBox>(form, 10, 240, csSimple, 1);
  simple->SetBounds(10, 240, 170, 110);

  // The family with its own child handling and type-ahead.
  Caption(form, 200, 10, "Common combo box");
  Put<TsCommonComboBox>(form, 200, 30, csDropDown, 1);
  Put<TsCommonComboBox>(form, 200, 60, csDropDownList, 2);
  Put<TsCommonComboBox>(form, 200, 90, csDropDownList, -1);
  auto* commonDisabled = Put<TsCommonComboBox>(form, 200, 120, csDropDownList, 3);
  commonDisabled->SetEnabled(false);
  auto* commonSimple = Put<TsCommonComboBox>(form, 200, 150, csSimple, 0);
  commonSimple->SetBounds(200, 150, 170, 110);

  // Image items, indented in the list.
  Caption(form, 390, 10, "Combo box with images");
  auto* images = NewComponent<TImageList>(form);
  images->SetSize(16, 16);
  const TColor colours[] = {clRed, clGreen, clBlue};
  for (TColor colour : colours) {
    TBitmap glyph;
    glyph.SetPixelFormat(TPixelFormat::Bit24);
    glyph.SetSize(16, 16);
    glyph.Canvas()->Brush()->SetColor(clWhite);
    glyph.Canvas()->FillRect(RECT{0, 0, 16, 16});
    glyph.Canvas()->Brush()->SetColor(colour);
    glyph.Canvas()->FillRect(RECT{2, 2, 14, 14});
    images->Add(&glyph, nullptr);
  }
  for (int row = 0; row < 3; ++row) {
    auto* ex = NewComponent<TsComboBoxEx>(form);
    ex->SetBounds(390, 30 + 30 * row, 200, 22);
    ex->SetImages(images);
    const char* names[] = {"C:\\", "Work", "Tarvex", "skins"};
    for (int i = 0; i < 4; ++i) ex->ItemsEx().Add(TsComboItem{names[i], i % 3, -1, -1, i});
    ex->SetParent(form);
    ex->SetItemIndex(row == 0 ? 2 : row == 1 ? -1 : 3);
    if (row == 2) ex->SetEnabled(false);
  }

  form->Show();
  Application->Run();
  form->Free();
  return 0;
}
