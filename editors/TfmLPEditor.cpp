#include "editors/TfmLPEditor.h"

#include <windows.h>

#include "editors/TEditorWindowHost.h"
#include "editors/core/TLPEditorModel.h"
#include "framework/base/TField.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TDataSource.h"
#include "framework/win/TScreen.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsGroupBox.h"
#include "skin/controls/TsPageControl.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/windows/TsGridAdapter.h"
#include "skin/windows/TsSkinProvider.h"

TfmLPEditor* fmLPEditor = nullptr;

namespace {

// The strings grid: its cell editor takes no more characters than the field holds, so a long text
// cannot be typed rather than being cut when it is posted.
class TStringsGrid : public TDBGrid {
public:
  using TDBGrid::TDBGrid;

  void Dispatch(TMessage& message) override {
    TDBGrid::Dispatch(message);
    HWND editor = EditorHandle();
    if (editor == nullptr || editor == FLimited) return;
    TField* field = ColumnField(SelectedIndex());
    if (field == nullptr || field->Size() <= 0) return;
    SendMessageW(editor, EM_LIMITTEXT, WPARAM(field->Size()), 0);
    FLimited = editor;
  }

private:
  HWND FLimited = nullptr;
};

// The system's 8-bit code page, for the text form of the strings.
std::string ToAnsiCodePage(const std::u16string& text) {
  if (text.empty()) return std::string();
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int n = WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string ansi(size_t(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), ansi.data(), n, nullptr, nullptr);
  return ansi;
}

std::u16string FromAnsiCodePage(const std::string& text) {
  if (text.empty()) return std::u16string();
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  std::u16string wide(size_t(n > 0 ? n : 0), u'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), reinterpret_cast<wchar_t*>(wide.data()), n);
  return wide;
}

// The hourglass for the length of a command.
class THourGlass {
public:
  THourGlass() : FOld(Screen->Cursor()) { Screen->SetCursor(crHourGlass); }
  ~THourGlass() { Screen->SetCursor(FOld); }
  THourGlass(const THourGlass&) = delete;
  THourGlass& operator=(const THourGlass&) = delete;

private:
  TCursor FOld;
};

TsButton* PutButton(TComponent* owner, TWinControl* parent, const RECT& bounds, const char* caption) {
  auto* button = NewControl<TsButton>(owner, parent, bounds);
  button->SetCaption(caption);
  return button;
}

}  // namespace

TfmLPEditor::TfmLPEditor(TComponent* owner) : TForm(owner) {
  SetName("fmLPEditor");
  SetCaption("Langpack editor");
  SetPosition(poMainFormCenter);
  FHost = std::make_unique<TEditorWindowHost>(this, TMsgDlgType::mtCustom);
  FModel = std::make_unique<TLPEditorModel>(*FHost);
  FModel->SetCodePage(ToAnsiCodePage, FromAnsiCodePage);
  sOpenDialog1 = FHost->OpenDialog();
  sSaveDialog1 = FHost->SaveDialog();
  cds1 = &FModel->Languages();
  cdsStr = &FModel->Strings();
  CDSFont = &FModel->Fonts();
  auto* provider = NewComponent<TsSkinProvider>(this);
  provider->SetName("sSkinProvider1");
  provider->SetResizeMode(TsResizeMode::rmBorder);
  PlaceControls();
  NewComponent<TsGridAdapter>(this);
  SetOnCloseQuery(TCloseQueryEvent(this, &TfmLPEditor::FormCloseQuery));
}

// The tables are the model's and go with it, after the components that show them are gone (freed)
// or before (deleted): the sources let go of them first either way.
void TfmLPEditor::BeforeDestruction() {
  DetachTables();
  TForm::BeforeDestruction();
}

TfmLPEditor::~TfmLPEditor() { DetachTables(); }

void TfmLPEditor::DetachTables() {
  for (TDataSource** source : {&ds1, &dsStr}) {
    if (*source != nullptr) (*source)->SetDataSet(nullptr);
    *source = nullptr;
  }
}

void TfmLPEditor::PlaceControls() {
  SetClientSize(800, 540);

  sGroupBox1 = NewControl<TsGroupBox>(this, this, RECT{8, 4, 792, 64});
  sGroupBox1->SetCaption("Source langpack file");
  sFilenameEdit1 = NewControl<TsFilenameEdit>(this, sGroupBox1, RECT{10, 24, 352, 46});
  sFilenameEdit1->SetMaxLength(255);
  sFilenameEdit1->SetOnButtonClick(MakeDelegate(this, &TfmLPEditor::sFilenameEdit1ButtonClick));
  sButton11 = PutButton(this, sGroupBox1, RECT{362, 21, 464, 49}, "Open langpack");
  sButton1 = PutButton(this, sGroupBox1, RECT{468, 21, 570, 49}, "Save langpack");
  sButton3 = PutButton(this, sGroupBox1, RECT{574, 21, 672, 49}, "Make SHX");
  sButton2 = PutButton(this, sGroupBox1, RECT{676, 21, 774, 49}, "Flash");

  sGroupBox2 = NewControl<TsGroupBox>(this, this, RECT{8, 70, 330, 532});
  sGroupBox2->SetCaption("Languages");
  ds1 = NewComponent<TDataSource>(this);
  ds1->SetDataSet(cds1);
  DBGrid1 = NewControl<TDBGrid>(this, sGroupBox2, RECT{8, 22, 314, 384});
  DBGrid1->SetName("DBGrid1");
  DBGrid1->SetOptions(dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgRowSelect |
                      dgAlwaysShowSelection);
  DBGrid1->SetReadOnly(true);
  DBGrid1->AddColumn("IDStr", "ID", 32);
  DBGrid1->AddColumn("Name", "Name", 108);
  DBGrid1->AddColumn("sAddress", "Address", 70);
  DBGrid1->AddColumn("siTapAddr", "iTap Addr", 70);
  DBGrid1->SetDataSource(ds1);
  sButton4 = PutButton(this, sGroupBox2, RECT{8, 394, 158, 422}, "Parse language");
  sButton5 = PutButton(this, sGroupBox2, RECT{164, 394, 314, 422}, "Save language");
  sButton6 = PutButton(this, sGroupBox2, RECT{8, 428, 158, 456}, "Delete");
  sButton7 = PutButton(this, sGroupBox2, RECT{164, 428, 314, 456}, "Add from file");

  sPageControl1 = NewControl<TsPageControl>(this, this, RECT{338, 74, 792, 532});
  const auto page = [this](const char* caption) {
    auto* sheet = NewComponent<TsTabSheet>(this);
    sheet->SetCaption(caption);
    sheet->SetPageControl(sPageControl1);
    return sheet;
  };
  tsStrings = page("Strings");
  tsITap = page("iTap");
  tsFonts = page("Fonts");
  sPageControl1->SetActivePage(tsStrings);

  dsStr = NewComponent<TDataSource>(this);
  dsStr->SetDataSet(cdsStr);
  DBGrid2 = NewControl<TStringsGrid>(this, tsStrings, RECT{4, 4, 442, 386});
  DBGrid2->SetName("DBGrid2");
  DBGrid2->SetOptions(dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgTabs |
                      dgAlwaysShowSelection | dgCancelOnExit);
  DBGrid2->AddColumn("IDStr", "ID", 44).ReadOnly = true;
  DBGrid2->AddColumn("Text", "Text", 360);
  DBGrid2->SetDataSource(dsStr);
  DBGrid2->SetSelectedIndex(1);
  sEdit1 = NewControl<TsEdit>(this, tsStrings, RECT{4, 396, 90, 418});
  sEdit1->SetCharCase(TEditCharCase::ecUpperCase);
  sEdit1->SetOnChange(MakeDelegate(this, &TfmLPEditor::sEdit1Change));
  sEdit1->SetOnEnter(MakeDelegate(this, &TfmLPEditor::sEdit1Change));
  sEdit1->SetOnExit(MakeDelegate(this, &TfmLPEditor::sEdit1Change));
  sButton8 = PutButton(this, tsStrings, RECT{100, 393, 196, 421}, "Save strings");
  sButton9 = PutButton(this, tsStrings, RECT{202, 393, 298, 421}, "Load strings");
  sButton10 = PutButton(this, tsStrings, RECT{304, 393, 400, 421}, "Pack strings");

  sButton11->SetOnClick(MakeDelegate(this, &TfmLPEditor::sButton11Click));
  sButton1->SetOnClick(MakeDelegate(this, &TfmLPEditor::sButton1Click));
  sButton3->SetOnClick(MakeDelegate(this, &TfmLPEditor::sButton3Click));
  sButton2->SetOnClick(MakeDelegate(this, &TfmLPEditor::sButton2Click));
  sButton4->SetOnClick(MakeDelegate(this, &TfmLPEditor::sButton4Click));
  sButton6->SetOnClick(MakeDelegate(this, &TfmLPEditor::sButton6Click));
  sButton7->SetOnClick(MakeDelegate(this, &TfmLPEditor::sButton7Click));
  sButton8->SetOnClick(MakeDelegate(this, &TfmLPEditor::sButton8Click));
  sButton9->SetOnClick(MakeDelegate(this, &TfmLPEditor::sButton9Click));
  sButton10->SetOnClick(MakeDelegate(this, &TfmLPEditor::sButton10Click));
}

void TfmLPEditor::Command(const std::function<void()>& action) {
  FHost->Guarded([&] {
    FModel->SetFileName(sFilenameEdit1->Text());
    try {
      action();
    } catch (...) {
      sFilenameEdit1->SetText(FModel->FileName());
      throw;
    }
    sFilenameEdit1->SetText(FModel->FileName());
  });
}

void TfmLPEditor::DoShow() {
  TForm::DoShow();
  sFilenameEdit1->SetText("");
  Command([this] { FModel->Show(); });
}

void TfmLPEditor::DoHide() {
  FModel->Hide();
  TForm::DoHide();
}

void TfmLPEditor::FormCloseQuery(TObject*, bool& canClose) {
  canClose = false;
  Command([&] {
    // The text in an open cell counts among the strings.
    DBGrid2->SetEditorMode(false);
    canClose = FModel->CloseQuery();
  });
}

void TfmLPEditor::sFilenameEdit1ButtonClick(TObject*) { sFilenameEdit1->SetFilter(GetFilter(TFilterKind::LangPacks)); }

void TfmLPEditor::sButton11Click(TObject*) {
  Command([this] { FModel->OpenLangpack(true); });
}

void TfmLPEditor::sButton1Click(TObject*) {
  Command([this] { FModel->SaveLangpack(); });
}

void TfmLPEditor::sButton3Click(TObject*) {
  Command([this] { FModel->MakeShx(); });
}

void TfmLPEditor::sButton2Click(TObject*) {
  Command([this] { FModel->Flash(); });
}

void TfmLPEditor::sButton4Click(TObject*) {
  Command([this] {
    THourGlass busy;
    FModel->ParseLanguage();
  });
}

void TfmLPEditor::sButton6Click(TObject*) {
  Command([this] { FModel->DeleteLanguage(); });
}

void TfmLPEditor::sButton7Click(TObject*) {
  Command([this] { FModel->AddFromFile(); });
}

void TfmLPEditor::sButton8Click(TObject*) {
  Command([this] { FModel->SaveStrings(); });
}

void TfmLPEditor::sButton9Click(TObject*) {
  Command([this] { FModel->LoadStrings(); });
}

void TfmLPEditor::sButton10Click(TObject*) {
  Command([this] {
    // A cell being edited is part of the strings to pack.
    DBGrid2->SetEditorMode(false);
    THourGlass busy;
    FModel->PackStrings();
  });
}

void TfmLPEditor::sEdit1Change(TObject*) {
  FHost->Guarded([this] { FModel->LocateString(sEdit1->Text()); });
}
