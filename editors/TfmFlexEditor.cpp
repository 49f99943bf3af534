#include "editors/TfmFlexEditor.h"

#include "editors/TEditorWindowHost.h"
#include "editors/core/TFlexEditorModel.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsPageControl.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/TsSkinObserver.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/windows/TsSkinProvider.h"

TfmFlexEditor* fmFlexEditor = nullptr;

namespace {

TsButton* PutButton(TComponent* owner, TWinControl* parent, const RECT& bounds, const char* caption) {
  auto* button = NewControl<TsButton>(owner, parent, bounds);
  button->SetCaption(caption);
  return button;
}

template <typename T>
void Label(T* edit, const char* caption) {
  edit->BoundLabel()->SetLayout(TsCaptionLayout::sclTopLeft);
  edit->BoundLabel()->SetCaption(caption);
  edit->BoundLabel()->SetActive(true);
}

}  // namespace

TfmFlexEditor::TfmFlexEditor(TComponent* owner) : TForm(owner) {
  SetName("fmFlexEditor");
  SetCaption("Flex Editor");
  SetPosition(poMainFormCenter);
  FHost = std::make_unique<TEditorWindowHost>(this, TMsgDlgType::mtCustom);
  FModel = std::make_unique<TFlexEditorModel>(*FHost);
  FProvider = NewComponent<TsSkinProvider>(this);
  FProvider->SetName("sSkinProvider1");
  FProvider->SetResizeMode(TsResizeMode::rmBorder);
  PlaceControls();
  FSkinObserver = std::make_unique<TsSkinObserver>([this] {
    if (!IsDestroying()) ColorLabels();
  });
  FSkinObserver->SetManager(SkinData().DefaultManager);
}

TfmFlexEditor::~TfmFlexEditor() = default;

void TfmFlexEditor::PlaceControls() {
  SetClientSize(520, 300);
  sFilenameEdit1 = NewControl<TsFilenameEdit>(this, this, RECT{10, 26, 380, 48});
  sFilenameEdit1->SetName("sFilenameEdit1");
  sFilenameEdit1->SetMaxLength(255);
  sFilenameEdit1->SetOnButtonClick(MakeDelegate(this, &TfmFlexEditor::sFilenameEdit1ButtonClick));
  Label(sFilenameEdit1, "Source File");
  sEdit1 = NewControl<TsEdit>(this, this, RECT{390, 26, 510, 48});
  sEdit1->SetName("sEdit1");
  Label(sEdit1, "Adress");
  sButton1 = PutButton(this, this, RECT{10, 58, 100, 86}, "Parse");
  sButton2 = PutButton(this, this, RECT{106, 58, 196, 86}, "Save");
  sButton3 = PutButton(this, this, RECT{202, 58, 292, 86}, "Flash");
  sButton4 = PutButton(this, this, RECT{298, 58, 388, 86}, "Make SHX");
  sButton1->SetOnClick(MakeDelegate(this, &TfmFlexEditor::sButton1Click));
  sButton3->SetOnClick(MakeDelegate(this, &TfmFlexEditor::sButton3Click));
  sButton4->SetOnClick(MakeDelegate(this, &TfmFlexEditor::sButton4Click));

  sPageControl1 = NewControl<TsPageControl>(this, this, RECT{10, 96, 510, 290});
  for (auto [sheet, caption] : {std::pair{&tsFiles, "Files"}, std::pair{&tsSeem, "Seem"}}) {
    *sheet = NewComponent<TsTabSheet>(this);
    (*sheet)->SetCaption(caption);
    (*sheet)->SetPageControl(sPageControl1);
  }
  sPageControl1->SetActivePage(tsFiles);
}

void TfmFlexEditor::ColorLabels() {
  TColor color = clWindowText;
  const int section = FProvider->SkinData()->SkinIndex();
  if (FProvider->FrameSkinned() && SectionIndexValid(section))
    color = ActiveSkin().SkinSectionData[std::size_t(section)].FontColor[0];
  for (TsBoundLabel* label : {sFilenameEdit1->BoundLabel(), sEdit1->BoundLabel()}) {
    if (label->Font()->Color() != color) label->Font()->SetColor(color);
  }
}

void TfmFlexEditor::Command(const std::function<void()>& action) {
  FHost->Guarded([&] {
    FModel->SetFileName(sFilenameEdit1->Text());
    FModel->SetAddressText(sEdit1->Text());
    action();
  });
}

void TfmFlexEditor::DoShow() {
  TForm::DoShow();
  // The skin's manager may have come after the form.
  FSkinObserver->SetManager(SkinData().DefaultManager);
  ColorLabels();
  FHost->Guarded([this] {
    FModel->SetAddressText(sEdit1->Text());
    FModel->Show();
    sFilenameEdit1->SetText(FModel->FileName());
    sEdit1->SetText(FModel->AddressText());
  });
}

void TfmFlexEditor::sFilenameEdit1ButtonClick(TObject*) {
  sFilenameEdit1->SetFilter(GetFilter(TFilterKind::FlexImages));
}

void TfmFlexEditor::sButton1Click(TObject*) {
  Command([this] { FModel->Parse(); });
}

void TfmFlexEditor::sButton3Click(TObject*) {
  Command([this] { FModel->Flash(); });
}

void TfmFlexEditor::sButton4Click(TObject*) {
  Command([this] { FModel->MakeShx(); });
}
