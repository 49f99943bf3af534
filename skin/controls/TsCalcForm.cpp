#include "skin/controls/TsCalcForm.h"

#include <windows.h>

#include "framework/win/Clipboard.h"
#include "framework/win/TApplication.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TPopupMenu.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsSpeedButton.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

constexpr int Margin = 4, Gap = 3, BarHeight = 18, DisplayHeight = 24, RowHeight = 22, BottomHeight = 24;
constexpr int Columns = 6, Rows = 5;

// The pad, row by row: caption, key or action, hint. An empty caption leaves the cell free.
struct TPadCell {
  const char* Caption;
  int Action;
  const char* Hint;
};
constexpr int Wide = -1;  // the cell joins the one before it
const TPadCell Pad[Rows][Columns] = {
    {{"", 0, ""}, {"<-", 8, ""}, {"", Wide, ""}, {"C", 'C', ""}, {"", Wide, ""}, {"", Wide, ""}},
    {{"MC", 256, "Clear memory"}, {"7", '7', ""}, {"8", '8', ""}, {"9", '9', ""}, {"/", '/', ""}, {"sqrt", 'Q', ""}},
    {{"MR", 257, "From memory"}, {"4", '4', ""}, {"5", '5', ""}, {"6", '6', ""}, {"*", '*', ""}, {"%", '%', ""}},
    {{"MS", 258, "To memory"}, {"1", '1', ""}, {"2", '2', ""}, {"3", '3', ""}, {"-", '-', ""}, {"1/x", 'R', ""}},
    {{"MP", 259, "Sum with memory"}, {"0", '0', ""}, {"\xB1", '_', ""}, {".", '.', ""}, {"+", '+', ""}, {"=", '=', ""}},
};

}  // namespace

TsCalcForm::TsCalcForm(TComponent* owner) : TForm(owner) {
  SetCaption("Calculator");
  SetBorderStyle(bsNone);
  SetBorderIcons(0);
  SetKeyPreview(true);
  SetBounds(0, 0, 213, Margin * 2 + BarHeight + Gap + DisplayHeight + Gap + Rows * (RowHeight + Gap) + BottomHeight + 4);

  auto& hooks = FEngine.Hooks();
  hooks.Beep = [] { MessageBeep(0); };
  hooks.ClipboardText = [](std::string& text) { return Clipboard::GetText(text); };
  hooks.SetClipboardText = [](const std::string& text) { Clipboard::SetText(text); };
  hooks.OnDisplayChange = [this] { DisplayChanged(); };
  hooks.Close = [this] { Close(); };
  FEngine.SetBeepOn(true);

  FMain = NewControl<TsPanel>(this, this, RECT{0, 0, Width(), Height()});
  FMain->SetAlign(alClient);
  FMain->SetBevelOuter(bvRaised);
  FMain->SetCaption("");

  FBar = NewControl<TsDragBar>(this, FMain, RECT{0, 0, Width(), BarHeight});
  FBar->SetAlign(alTop);
  FBar->SetCaption("Calculator");
  FBar->SetDraggedControl(this);
  auto* close = AddButton(FBar, "X", 0, "Close window");
  close->SetAlign(alRight);
  close->SetOnClick(TNotifyEvent(this, &TsCalcForm::CloseClick));
  auto* minimize = AddButton(FBar, "_", 0, "Minimize application");
  minimize->SetAlign(alRight);
  minimize->SetOnClick(TNotifyEvent(this, &TsCalcForm::MinimizeClick));

  FDisplay = NewControl<TsPanel>(this, FMain, RECT{0, 0, 10, DisplayHeight});
  FDisplay->SetAlignment(taRightJustify);
  FDisplay->SetBevelOuter(bvLowered);
  FDisplay->SetCaption(FEngine.Display());

  for (int row = 0; row < Rows; ++row)
    for (int col = 0; col < Columns; ++col) {
      const TPadCell& cell = Pad[row][col];
      if (row == 0 && col == 0) {
        FMemoryPanel = NewControl<TsPanel>(this, FMain, RECT{0, 0, 10, RowHeight});
        FMemoryPanel->SetBevelOuter(bvLowered);
        FMemoryPanel->SetCaption("");
        continue;
      }
      if (cell.Action == Wide) continue;
      FPad.push_back(AddButton(FMain, cell.Caption, cell.Action, cell.Hint));
    }

  FBottom = NewControl<TsPanel>(this, FMain, RECT{0, 0, 10, BottomHeight});
  FBottom->SetAlign(alBottom);
  FBottom->SetBevelOuter(bvNone);
  FBottom->SetCaption("");
  AddButton(FBottom, "OK", Ok, "");
  AddButton(FBottom, "Cancel", Cancel, "");

  FMenu = NewComponent<TPopupMenu>(this);
  FMenu->SetOnPopup(TNotifyEvent(this, &TsCalcForm::MenuPopup));
  const struct {
    const char* Caption;
    TShortCut Key;
    int Tag;
  } items[] = {{"Copy", TShortCut(scCtrl | VK_INSERT), 1}, {"Paste", TShortCut(scShift | VK_INSERT), 2},
               {"OK", 0, 3}, {"Cancel", 0, 4}};
  for (const auto& entry : items) {
    auto* item = NewComponent<TMenuItem>(FMenu);
    item->SetCaption(entry.Caption);
    item->SetShortCut(entry.Key);
    item->SetTag(entry.Tag);
    item->SetOnClick(TNotifyEvent(this, &TsCalcForm::MenuClick));
    FMenu->Items()->Add(item);
    if (entry.Tag == 2) FPasteItem = item;
  }
  FMain->SetPopupMenu(FMenu);
  FDisplay->SetPopupMenu(FMenu);
  LayOut();
}

TsCalcForm::~TsCalcForm() {
  // The processor's hooks reach into this form: none may run while it goes.
  FEngine.Hooks() = {};
}

TsSpeedButton* TsCalcForm::AddButton(TWinControl* parent, const std::string& caption, int action,
                                     const std::string& hint) {
  auto* button = NewControl<TsSpeedButton>(this, parent, RECT{0, 0, 22, RowHeight});
  button->SkinData().SetSkinSection("SPEEDBUTTON_SMALL");
  button->SetCaption(caption);
  button->SetTag(action);
  if (!hint.empty()) {
    button->SetHint(hint);
    button->SetShowHint(true);
  }
  button->SetOnClick(TNotifyEvent(this, &TsCalcForm::ButtonClick));
  return button;
}

TsSpeedButton* TsCalcForm::PadButton(const std::string& caption) const {
  for (TsSpeedButton* b : FPad)
    if (b->Caption() == caption) return b;
  return nullptr;
}

void TsCalcForm::SetPopupLook(bool popup) {
  if (popup == FPopupLook) return;
  FPopupLook = popup;
  FBottom->SetVisible(!popup);
  SetHeight(Height() + (popup ? -BottomHeight : BottomHeight));
}

void TsCalcForm::LayOut() {
  if (!FDisplay) return;
  const RECT client = FMain->ClientRect();
  const int left = client.left + Margin, width = client.right - client.left - 2 * Margin;
  const int cell = (width - (Columns - 1) * Gap) / Columns;
  int y = BarHeight + Gap + 1;
  FDisplay->SetBounds(left, y, width, DisplayHeight);
  y += DisplayHeight + Gap;
  size_t next = 0;
  for (int row = 0; row < Rows; ++row, y += RowHeight + Gap)
    for (int col = 0; col < Columns; ++col) {
      const TPadCell& c = Pad[row][col];
      if (c.Action == Wide) continue;
      int span = 1;
      while (col + span < Columns && Pad[row][col + span].Action == Wide) ++span;
      const int x = left + col * (cell + Gap), w = span * cell + (span - 1) * Gap;
      if (row == 0 && col == 0) FMemoryPanel->SetBounds(x, y, w, RowHeight);
      else if (next < FPad.size()) FPad[next++]->SetBounds(x, y, w, RowHeight);
    }
  for (int i = 0; i < FBottom->ControlCount(); ++i) {
    const int w = (width - Gap) / 2;
    FBottom->Controls(i)->SetBounds(left + i * (w + Gap), 0, w, BottomHeight - 2);
  }
}

void TsCalcForm::Resize() {
  TForm::Resize();
  LayOut();
}

void TsCalcForm::ButtonClick(TObject* sender) {
  const int action = static_cast<TsSpeedButton*>(sender)->Tag();
  // The processor may close and release this form; its release waits for the message loop.
  switch (action) {
    case MemoryClear: FEngine.MemoryClear(); break;
    case MemoryRecall: FEngine.MemoryRecall(); break;
    case MemoryStore: FEngine.MemoryStore(); break;
    case MemoryAdd: FEngine.MemoryAdd(); break;
    case Ok: FEngine.Ok(); break;
    case Cancel: FEngine.Cancel(); break;
    default:
      if (action > 0 && action < 256) FEngine.ProcessKey(char(action));
      break;
  }
  FMemoryPanel->SetCaption(FEngine.Memory() != 0 ? "M" : "");
}

void TsCalcForm::MenuClick(TObject* sender) {
  switch (static_cast<TMenuItem*>(sender)->Tag()) {
    case 1: FEngine.Copy(); break;
    case 2: FEngine.Paste(); break;
    case 3: FEngine.Ok(); break;
    case 4: FEngine.Cancel(); break;
    default: break;
  }
}

void TsCalcForm::MenuPopup(TObject*) { FPasteItem->SetEnabled(Clipboard::HasText()); }

void TsCalcForm::MinimizeClick(TObject*) {
  if (Application) Application->Minimize();
}

void TsCalcForm::CloseClick(TObject*) { Close(); }

void TsCalcForm::DisplayChanged() {
  FDisplay->SetCaption(FEngine.Display());
  FDisplay->SkinData().RequestRepaint();
}

void TsCalcForm::KeyPress(char& key) {
  TForm::KeyPress(key);
  if (key == 0) return;
  const char typed = key;
  key = 0;
  FEngine.ProcessKey(typed);
}

void TsCalcForm::DoShow() {
  // Above every other window also when the style came after the window was made.
  if (FormStyle() == fsStayOnTop && HandleAllocated())
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  FEngine.Show();
  // The panels show the form's colour through their transparent parts.
  if (SkinData().Active) SetColor(GlobalSectionColor());
  FMain->SkinData().RequestRepaint();
  TForm::DoShow();
}
