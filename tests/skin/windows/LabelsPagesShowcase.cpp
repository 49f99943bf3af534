// Labels on a skinned form, a panel and a tab sheet, an image on the sheet, and file-name edits with
// their bound labels beside and above them, the first one focused, for a look by eye (not a test).
// With "bigfont" the bound labels take a larger font once shown. It stays a few seconds:
//   wine labels_pages_showcase.exe SKINS-FOLDER SKIN|none [bigfont]
#include <windows.h>

#include <string>

#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TImage.h"
#include "skin/controls/TsLabel.h"
#include "skin/controls/TsPageControl.h"
#include "skin/controls/TsPanel.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/windows/TsSkinProvider.h"
#include "tests/skin/controls/ShowcaseForm.h"

namespace {

TsLabel* Label(TForm* form, TWinControl* parent, const RECT& r, const std::string& text) {
  auto* label = NewControl<TsLabel>(form, parent, r);
  label->SetCaption(text);
  return label;
}

TsFilenameEdit* FileEdit(TForm* form, const RECT& r, const std::string& caption, TsCaptionLayout layout) {
  auto* edit = NewControl<TsFilenameEdit>(form, form, r);
  edit->SetFileName("C:\\firmware\\phone.shx");
  edit->BoundLabel()->SetLayout(layout);
  edit->BoundLabel()->SetCaption(caption);
  edit->BoundLabel()->SetActive(true);
  return edit;
}

}  // namespace

int main(int argc, char** argv) {
  TForm* form = ShowcaseForm(argc, argv, "Labels and pages", 560, 380);
  NewComponent<TsSkinProvider>(form);
  const bool bigFont = argc > 3 && std::string(argv[3]) == "bigfont";

  TsFilenameEdit* source = FileEdit(form, RECT{130, 14, 420, 35}, "Source SHX File", TsCaptionLayout::sclLeft);
  TsFilenameEdit* target = FileEdit(form, RECT{130, 62, 420, 83}, "File Name", TsCaptionLayout::sclTopLeft);
  Label(form, form, RECT{440, 16, 540, 34}, "On the form");

  auto* panel = NewControl<TsPanel>(form, form, RECT{12, 96, 540, 130});
  Label(form, panel, RECT{10, 8, 300, 26}, "A label on a panel");

  auto* pages = NewControl<TsPageControl>(form, form, RECT{12, 140, 540, 330});
  for (const char* caption : {"Pictures", "Remarks"}) {
    auto* sheet = NewComponent<TsTabSheet>(form);
    sheet->SetCaption(caption);
    sheet->SetPageControl(pages);
  }
  pages->SetActivePageIndex(0);
  TTabSheet* sheet = pages->Pages(0);
  Label(form, sheet, RECT{10, 10, 300, 28}, "A label on a tab sheet");
  auto* image = NewControl<TImage>(form, sheet, RECT{10, 40, 130, 130});
  image->SetCenter(true);
  TBitmap* picture = image->Picture()->Bitmap();
  picture->SetSize(48, 48);
  picture->Canvas()->Brush()->SetColor(TColor(0x3070D0));
  picture->Canvas()->FillRect(RECT{0, 0, 48, 48});
  image->PictureChanged();
  Label(form, sheet, RECT{150, 60, 480, 78}, "Around the picture the sheet's skin shows");

  form->Show();
  ShowcasePump(400);
  if (bigFont) {
    for (TsFilenameEdit* edit : {source, target}) edit->BoundLabel()->Font()->SetSize(14);
  }
  source->SetFocus();
  ShowcasePump(6000);
  form->Free();
  return 0;
}
