#include "app/TfmAdd.h"

#include <algorithm>
#include <cstdio>

#include "app/DialogUnits.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsEdit.h"
#include "skin/engine/TsBoundLabel.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/windows/TsMessageDlg.h"
#include "skin/windows/TsSkinProvider.h"
#include "workbench/core/FileFilters.h"
#include "workbench/core/FileHelpers.h"
#include "workbench/core/Messages.h"
#include "workbench/core/SmallDialogRules.h"

TfmAdd* fmAdd = nullptr;

namespace {

constexpr const char* kAddress = "Start address (Hex)";
constexpr const char* kRamDownloaderAddress = "03FD0000";

std::string Hex8(std::uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", unsigned(value));
  return text;
}

}  // namespace

TfmAdd::TfmAdd(TComponent* owner) : TForm(owner) {
  SetName("fmAdd");
  SetCaption("Add file ");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  sSkinProvider1 = NewComponent<TsSkinProvider>(this);
  sSkinProvider1->SetName("sSkinProvider1");
  sSkinProvider1->SetResizeMode(TsResizeMode::rmBorder);

  // Labels above their edits; the buttons in a row under them, Ok and Cancel to the right.
  const TDialogUnits du(this);
  const int margin = du.X(7), gap = du.Y(4), labelHeight = du.TextHeight() + du.Y(2);
  const int buttonWidth = du.ButtonWidth({"Detect file", "Cancel", "Ok"});
  const int clientWidth = std::max(du.X(240), 3 * buttonWidth + 2 * du.X(4) + 2 * margin);
  const int editWidth = clientWidth - 2 * margin;
  const int narrow = std::max(du.X(70), du.TextWidth(kAddress));

  int top = margin + labelHeight;
  sFilenameEdit1 = NewControl<TsFilenameEdit>(this, this);
  sFilenameEdit1->SetName("sFilenameEdit1");
  sFilenameEdit1->SetBounds(margin, top, editWidth, du.EditHeight());
  sFilenameEdit1->SetMaxLength(255);
  sFilenameEdit1->SetOnButtonClick(TNotifyEvent(this, &TfmAdd::sFilenameEdit1ButtonClick));

  top += du.EditHeight() + gap + labelHeight;
  sEdit1 = NewControl<TsEdit>(this, this);
  sEdit1->SetName("sEdit1");
  sEdit1->SetBounds(margin, top, narrow, du.EditHeight());
  sEdit2 = NewControl<TsEdit>(this, this);
  sEdit2->SetName("sEdit2");
  sEdit2->SetBounds(margin + narrow + du.X(10), top, narrow, du.EditHeight());

  const struct {
    TsBoundLabel* Label;
    const char* Caption;
  } labels[] = {{sFilenameEdit1->BoundLabel(), "File Name"}, {sEdit1->BoundLabel(), "Code Group"},
                {sEdit2->BoundLabel(), kAddress}};
  for (const auto& l : labels) {
    l.Label->SetLayout(TsCaptionLayout::sclTopLeft);
    l.Label->SetCaption(l.Caption);
    l.Label->SetActive(true);
  }

  top += du.EditHeight() + du.Y(10);
  const auto button = [&](const char* name, const char* caption, int left) {
    return NewDialogButton(this, du, name, caption, left, top, buttonWidth);
  };
  sButton3 = button("sButton3", "Detect file", margin);
  sButton3->SetOnClick(TNotifyEvent(this, &TfmAdd::sButton3Click));
  sButton2 = button("sButton2", "Cancel", clientWidth - margin - buttonWidth);
  sButton2->SetCancel(true);
  sButton2->SetModalResult(mrCancel);
  sButton1 = button("sButton1", "Ok", sButton2->Left() - du.X(4) - buttonWidth);
  sButton1->SetDefault(true);
  sButton1->SetModalResult(mrOk);
  sButton1->SetOnClick(TNotifyEvent(this, &TfmAdd::sButton1Click));
  sButton1->SetTabOrder(sButton2->TabOrder());  // Tab goes as drawn: Ok, then Cancel

  SetClientSize(clientWidth, top + du.ButtonHeight() + margin);
  SetOnShow(TNotifyEvent(this, &TfmAdd::FormShow));
}

void TfmAdd::FormShow(TObject*) {
  sEdit1->SetText("");
  sEdit2->SetText("");
  sFilenameEdit1->SetText("");
  SetActiveControl(sFilenameEdit1);
}

void TfmAdd::sFilenameEdit1ButtonClick(TObject*) { sFilenameEdit1->SetFilter(GetFilter(TFilterKind::CodeGroupImages)); }

void TfmAdd::sButton1Click(TObject*) {
  // The button has already set the modal result; a refused row keeps the dialog open.
  if (AddInputValid(sEdit1->Text(), sEdit2->Text(), GetFileSizeByName(sFilenameEdit1->Text()))) return;
  SetModalResult(mrNone);
  SkinMessageDlg(Msgs[TMsgId::IncorrectData], mtError, mbCancel, 0);
}

void TfmAdd::sButton3Click(TObject*) {
  const std::string name = sFilenameEdit1->Text();
  if (name.empty()) return;
  const TAddDetection found = DetectAddFile(name);
  if (found.Digits.empty()) {
    if (AskYesNo(Msgs[TMsgId::IsRamDownloader])) sEdit2->SetText(kRamDownloaderAddress);
    return;
  }
  if (!AskYesNo(Msgs[TMsgId::DetectedCG] + found.Digits + "\r" + Msgs[TMsgId::IsItCorrect])) return;
  sEdit1->SetText(found.Digits);
  if (found.Address) sEdit2->SetText(Hex8(*found.Address));
}
