// The skinned list views and page controls on one form, for a look by eye:
//   skin_controls_showcase_listpage.exe SKINS_FOLDER SKIN_NAME   (SKIN_NAME "none": no skin)
#include <string>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsListView.h"
#include "skin/controls/TsPageControl.h"
#include "tests/skin/controls/ShowcaseForm.h"

namespace {

TsCustomListView* MakeList(TForm* form, const RECT& r, TViewStyle style, int items) {
  auto* list = NewControl<TsCustomListView>(form, form, r);
  list->SetViewStyle(style);
  list->AddColumn("Name", 120);
  list->AddColumn("Size", 70, 1);
  list->AddColumn("Type", 140);
  list->BeginUpdate();
  for (int i = 0; i < items; ++i) {
    TListItem* item = list->AddItem();
    item->SetCaption("Image " + std::to_string(i + 1) + ".smg");
    item->AddSubItem(std::to_string((i + 3) * 4096));
    item->AddSubItem("Code group image");
  }
  list->EndUpdate();
  return list;
}

TsPageControl* MakePages(TForm* form, const RECT& r, TTabPosition position, int pages) {
  auto* control = NewControl<TsPageControl>(form, form, r);
  control->SetTabPosition(position);
  for (int i = 0; i < pages; ++i) {
    auto* sheet = NewComponent<TsTabSheet>(form);
    sheet->SetCaption("Page " + std::to_string(i + 1));
    sheet->SetPageControl(control);
    if (i == 0) {
      auto* button = NewControl<TsButton>(form, sheet, RECT{10, 10, 90, 34});
      button->SetCaption("Button");
      auto* check = NewControl<TsCheckBox>(form, sheet, RECT{10, 42, 110, 62});
      check->SetCaption("Check box");
    }
  }
  control->SetActivePageIndex(pages > 2 ? 1 : 0);
  return control;
}

}  // namespace

int main(int argc, char** argv) {
  TForm* form = ShowcaseForm(argc, argv, "List views and page controls", 1080, 600);

  // A report view with more rows and columns than it shows, a short one, and an icon view.
  auto* report = MakeList(form, RECT{10, 10, 330, 210}, vsReport, 40);
  report->SetItemIndex(2);
  MakeList(form, RECT{340, 10, 700, 110}, vsReport, 3);
  MakeList(form, RECT{340, 120, 700, 210}, vsSmallIcon, 12);
  MakeList(form, RECT{710, 10, 1060, 210}, vsIcon, 30);

  // A page control per tab position, and one with more tabs than fit (scrolled).
  MakePages(form, RECT{10, 225, 270, 395}, tpTop, 3);
  MakePages(form, RECT{280, 225, 540, 395}, tpBottom, 3);
  MakePages(form, RECT{550, 225, 800, 395}, tpLeft, 3);
  MakePages(form, RECT{810, 225, 1060, 395}, tpRight, 3);
  auto* scrolled = MakePages(form, RECT{10, 410, 330, 560}, tpTop, 10);
  scrolled->SetActivePageIndex(6);
  auto* disabled = MakePages(form, RECT{340, 410, 600, 560}, tpTop, 2);
  disabled->SetEnabled(false);

  form->Show();
  Application->Run();
  return 0;
}
