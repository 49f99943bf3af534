#include "editors/TfmDRMEditor.h"

#include <algorithm>

#include "editors/TEditorWindowHost.h"
#include "editors/core/RawPreview.h"
#include "editors/core/TDRMEditorModel.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "framework/base/TStream.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TDataSource.h"
#include "framework/win/TImage.h"
#include "gif/TGIFImage.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsDBNavigator.h"
#include "skin/controls/TsGroupBox.h"
#include "skin/controls/TsPageControl.h"
#include "skin/controls/TsPanel.h"
#include "skin/windows/TsFileDialogs.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/windows/TsGridAdapter.h"
#include "skin/windows/TsSkinProvider.h"

TfmDRMEditor* fmDRMEditor = nullptr;

namespace {

// Where the picture may be drawn inside the preview group: a phone screen's 240 x 320.
constexpr RECT kPreviewArea{12, 22, 12 + 240, 22 + 320};

std::string Trimmed(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

}  // namespace

TfmDRMEditor::TfmDRMEditor(TComponent* owner) : TForm(owner) {
  SetName("fmDRMEditor");
  SetCaption("DRM (graphics) editor");
  SetPosition(poMainFormCenter);
  SetBounds(0, 0, 748, 540);
  FHost = std::make_unique<TEditorWindowHost>(this, TMsgDlgType::mtInformation);
  FModel = std::make_unique<TDRMEditorModel>(*FHost);
  sOpenDialog1 = FHost->OpenDialog();
  sSaveDialog1 = FHost->SaveDialog();
  sOpenPictureDialog1 = FHost->OpenPictureDialog();
  sSavePictureDialog1 = FHost->SavePictureDialog();
  CreateControls();

  TClientDataSet& pictures = FModel->Pictures();
  pictures.SetAfterScroll(MakeDelegate(this, &TfmDRMEditor::CDSAfterScroll));
  pictures.SetAfterOpen(MakeDelegate(this, &TfmDRMEditor::CDSAfterOpen));
  pictures.SetAfterClose(MakeDelegate(this, &TfmDRMEditor::CDSAfterClose));
  FTableOpen = pictures.Active();
}

// Freed by Free, the controls go before the destructor runs (DoDestroy detaches first); deleted,
// they go after it, with the model already gone.
TfmDRMEditor::~TfmDRMEditor() { Detach(); }

void TfmDRMEditor::DoDestroy() {
  Detach();
  TForm::DoDestroy();
}

void TfmDRMEditor::Detach() {
  if (FDetached) return;
  FDetached = true;
  StopAnimation();
  TClientDataSet& pictures = FModel->Pictures();
  pictures.SetAfterScroll({});
  pictures.SetAfterOpen({});
  pictures.SetAfterClose({});
  DataSource1->SetDataSet(nullptr);
  DataSource2->SetDataSet(nullptr);
  Image1->Picture()->SetOnChange({});
  Image1->Picture()->SetGraphic(nullptr);
  FModel->FreeDRM();
}

void TfmDRMEditor::CreateControls() {
  auto* provider = NewComponent<TsSkinProvider>(this);
  provider->SetName("sSkinProvider1");
  provider->SetResizeMode(TsResizeMode::rmBorder);
  NewComponent<TsGridAdapter>(this);
  DataSource1 = NewComponent<TDataSource>(this);
  DataSource1->SetDataSet(&FModel->Pictures());
  DataSource2 = NewComponent<TDataSource>(this);
  DataSource2->SetDataSet(&FModel->Remarks());

  auto button = [this](TWinControl* parent, const RECT& r, const char* name, const char* caption,
                       void (TfmDRMEditor::*click)(TObject*)) {
    auto* b = NewControl<TsButton>(this, parent, r);
    b->SetName(name);
    b->SetCaption(caption);
    b->SetOnClick(MakeDelegate(this, click));
    return b;
  };
  auto fileEdit = [this](TWinControl* parent, const RECT& r, const char* name, const char* label,
                         void (TfmDRMEditor::*click)(TObject*)) {
    auto* e = NewControl<TsFilenameEdit>(this, parent, r);
    e->SetName(name);
    e->SetText("");
    e->SetMaxLength(255);
    e->BoundLabel()->SetCaption(label);
    e->BoundLabel()->SetLayout(TsCaptionLayout::sclTopLeft);
    e->BoundLabel()->SetActive(true);
    e->SetOnButtonClick(MakeDelegate(this, click));
    return e;
  };

  sPageControl1 = NewControl<TsPageControl>(this, this, RECT{0, 0, 740, 530});
  sPageControl1->SetName("sPageControl1");
  sPageControl1->SetAlign(alClient);
  sTabSheet1 = NewComponent<TsTabSheet>(this);
  sTabSheet1->SetName("sTabSheet1");
  sTabSheet1->SetCaption("DRM pack");
  sTabSheet1->SetPageControl(sPageControl1);
  sTabSheet2 = NewComponent<TsTabSheet>(this);
  sTabSheet2->SetName("sTabSheet2");
  sTabSheet2->SetCaption("Remarks table");
  sTabSheet2->SetPageControl(sPageControl1);

  // Each page's controls lie on a plain panel that paints the page's face under their labels.
  auto face = [this](TWinControl* sheet, const char* name) {
    auto* panel = NewControl<TsPanel>(this, sheet, RECT{0, 0, 100, 100});
    panel->SetName(name);
    panel->SetCaption("");
    panel->SetBevelOuter(bvNone);
    panel->SetAlign(alClient);
    return panel;
  };

  // "DRM pack": the source file and its commands above, the picture table, the preview beside it.
  TWinControl* pack = face(sTabSheet1, "sPanel1");
  sFilenameEdit1 = fileEdit(pack, RECT{8, 24, 440, 46}, "sFilenameEdit1", "Source file",
                            &TfmDRMEditor::sFilenameEdit1ButtonClick);
  sButton1 = button(pack, RECT{452, 22, 532, 48}, "sButton1", "Open", &TfmDRMEditor::sButton1Click);
  sButton2 = button(pack, RECT{540, 22, 620, 48}, "sButton2", "Load", &TfmDRMEditor::sButton2Click);
  sButton3 = button(pack, RECT{628, 22, 708, 48}, "sButton3", "Clear", &TfmDRMEditor::sButton3Click);

  DBGrid1 = NewControl<TDBGrid>(this, pack, RECT{8, 58, 440, 404});
  DBGrid1->SetName("DBGrid1");
  DBGrid1->SetDataSource(DataSource1);
  DBGrid1->SetOptions(dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgTabs |
                      dgAlwaysShowSelection | dgCancelOnExit);
  struct TCol {
    const char* Field;
    const char* Title;
    int Width;
    bool ReadOnly;
  };
  for (const TCol& c : {TCol{"No", "No", 34, true}, TCol{"Name", "Name", 44, true}, TCol{"Type", "Type", 38, true},
                        TCol{"Width", "Width", 42, false}, TCol{"Height", "Height", 44, false},
                        TCol{"sAddress", "Address", 68, true}, TCol{"Size", "Size", 50, true},
                        TCol{"Reamrk", "Reamrk", 78, false}}) {
    DBGrid1->AddColumn(c.Field, c.Title, c.Width).ReadOnly = c.ReadOnly;
  }

  sButton4 = button(pack, RECT{8, 414, 148, 440}, "sButton4", "Save picture", &TfmDRMEditor::sButton4Click);
  sButton5 = button(pack, RECT{154, 414, 294, 440}, "sButton5", "Save all", &TfmDRMEditor::sButton5Click);
  sButton6 = button(pack, RECT{300, 414, 440, 440}, "sButton6", "Replace", &TfmDRMEditor::sButton6Click);
  sButton7 = button(pack, RECT{8, 446, 148, 472}, "sButton7", "Save changes", &TfmDRMEditor::sButton7Click);
  sButton8 = button(pack, RECT{154, 446, 294, 472}, "sButton8", "Flash", &TfmDRMEditor::sButton8Click);
  sButton9 = button(pack, RECT{300, 446, 440, 472}, "sButton9", "Make *.SHX", &TfmDRMEditor::sButton9Click);

  sGroupBox1 = NewControl<TsGroupBox>(this, pack, RECT{452, 58, 716, 472});
  sGroupBox1->SetName("sGroupBox1");
  sGroupBox1->SetCaption("Pictures preview");
  Image1 = NewControl<TImage>(this, sGroupBox1, kPreviewArea);
  Image1->SetName("Image1");
  Image1->SetCenter(true);
  Image1->Picture()->SetOnChange(MakeDelegate(this, &TfmDRMEditor::PreviewChanged));
  Stretch = NewControl<TsCheckBox>(this, sGroupBox1, RECT{12, 350, 100, 370});
  Stretch->SetName("Stretch");
  Stretch->SetCaption("Stretch");
  Stretch->SetOnClick(MakeDelegate(this, &TfmDRMEditor::StretchClick));
  sButton10 = button(sGroupBox1, RECT{172, 346, 252, 372}, "sButton10", "Refresh", &TfmDRMEditor::sButton10Click);
  sDBNavigator1 = NewControl<TsDBNavigator>(this, sGroupBox1, RECT{12, 378, 252, 404});
  sDBNavigator1->SetName("sDBNavigator1");
  sDBNavigator1->SetVisibleButtons(NavButton(nbFirst) | NavButton(nbPrior) | NavButton(nbNext) |
                                   NavButton(nbLast));
  sDBNavigator1->SetDataSource(DataSource1);

  // "Remarks table": the remarks grid, its file and its commands.
  TWinControl* remarks = face(sTabSheet2, "sPanel2");
  DBGrid2 = NewControl<TDBGrid>(this, remarks, RECT{8, 8, 600, 404});
  DBGrid2->SetName("DBGrid2");
  DBGrid2->SetDataSource(DataSource2);
  DBGrid2->AddColumn("ImgID", "Images ID", 80);
  DBGrid2->AddColumn("Remark", "Remark", 480);
  sButton11 = button(remarks, RECT{612, 8, 712, 34}, "sButton11", "Save", &TfmDRMEditor::sButton11Click);
  sButton12 = button(remarks, RECT{612, 42, 712, 68}, "sButton12", "Load", &TfmDRMEditor::sButton12Click);
  sButton13 = button(remarks, RECT{612, 76, 712, 102}, "sButton13", "Clear", &TfmDRMEditor::sButton13Click);
  sFilenameEdit2 = fileEdit(remarks, RECT{8, 434, 600, 456}, "sFilenameEdit2", "File with remarks",
                            &TfmDRMEditor::sFilenameEdit2ButtonClick);

  sPageControl1->SetActivePageIndex(0);
}

template <typename F>
void TfmDRMEditor::Command(F&& action) {
  FModel->SetFileName(sFilenameEdit1->Text());
  FModel->SetRemarksFileName(sFilenameEdit2->Text());
  try {
    action();
  } catch (const std::exception& e) {
    sFilenameEdit1->SetText(FModel->FileName());
    sFilenameEdit2->SetText(FModel->RemarksFileName());
    FHost->ShowError(e.what());
    return;
  }
  sFilenameEdit1->SetText(FModel->FileName());
  sFilenameEdit2->SetText(FModel->RemarksFileName());
}

void TfmDRMEditor::DoShow() {
  FModel->Show();
  sFilenameEdit1->SetText(FModel->FileName());
  TForm::DoShow();
}

void TfmDRMEditor::DoHide() {
  StopAnimation();
  TForm::DoHide();
}

void TfmDRMEditor::sFilenameEdit1ButtonClick(TObject*) {
  sFilenameEdit1->SetFilter(GetFilter(TFilterKind::DrmImages));
}

void TfmDRMEditor::sFilenameEdit2ButtonClick(TObject*) {
  sFilenameEdit2->SetFilter(GetFilter(TFilterKind::DrmRemarks));
}

void TfmDRMEditor::sButton1Click(TObject*) {
  Command([this] { FModel->Open(); });
  ShowPicture();
}

void TfmDRMEditor::sButton2Click(TObject*) {
  Command([this] { FModel->Load(); });
  DBGrid1->Invalidate();
  ShowPicture();
}

void TfmDRMEditor::sButton3Click(TObject*) {
  Command([this] { FModel->Clear(); });
}

void TfmDRMEditor::sButton4Click(TObject*) {
  Command([this] { FModel->SavePicture(); });
}

void TfmDRMEditor::sButton5Click(TObject*) {
  Command([this] { FModel->SaveAll(); });
}

void TfmDRMEditor::sButton6Click(TObject*) {
  Command([this] { FModel->Replace(); });
  ShowPicture();
}

void TfmDRMEditor::sButton7Click(TObject*) {
  Command([this] { FModel->SaveChanges(); });
}

void TfmDRMEditor::sButton8Click(TObject*) {
  Command([this] { FModel->Flash(); });
}

void TfmDRMEditor::sButton9Click(TObject*) {
  Command([this] { FModel->MakeShx(); });
}

void TfmDRMEditor::sButton10Click(TObject*) { ShowPicture(); }

void TfmDRMEditor::sButton11Click(TObject*) {
  Command([this] { FModel->SaveRemarks(); });
}

void TfmDRMEditor::sButton12Click(TObject*) {
  Command([this] { FModel->LoadRemarks(); });
}

void TfmDRMEditor::sButton13Click(TObject*) {
  Command([this] { FModel->ClearRemarks(); });
}

void TfmDRMEditor::StretchClick(TObject*) {
  if (FModel->HasCurrentPicture() && FModel->CurrentIsRaw()) {
    ShowPicture();
    return;
  }
  Image1->SetStretch(Stretch->Checked());
  PlacePreview(Stretch->Checked());
}

void TfmDRMEditor::CDSAfterScroll(TClientDataSet* dataSet) {
  // A command walking the table (export, listing) holds the controls; the preview follows the row
  // it settles on.
  if (dataSet->ControlsDisabled()) return;
  ShowPicture();
}

void TfmDRMEditor::CDSAfterOpen(TClientDataSet*) { FTableOpen = true; }

void TfmDRMEditor::CDSAfterClose(TClientDataSet*) {
  FTableOpen = false;
  ClearPreview();
}

void TfmDRMEditor::PreviewChanged(TObject*) {
  if (Image1) Image1->Invalidate();
}

RECT TfmDRMEditor::PreviewArea() const { return kPreviewArea; }

void TfmDRMEditor::StopAnimation() {
  if (!Image1) return;
  if (auto* gif = dynamic_cast<TGIFImage*>(Image1->Picture()->Graphic())) gif->StopPainters();
}

void TfmDRMEditor::ClearPreview() {
  if (!Image1) return;
  StopAnimation();
  Image1->Picture()->SetGraphic(nullptr);
  PlacePreview(true);
}

// The image sizes itself to its picture and sits centred in the preview area; a RAW picture, or
// a typed one stretched, takes the whole area. A picture larger than the area shows its middle.
void TfmDRMEditor::PlacePreview(bool fill) {
  const RECT a = kPreviewArea;
  const int aw = a.right - a.left, ah = a.bottom - a.top;
  int w = aw, h = ah;
  if (!fill && Image1->Picture()->Width() > 0 && Image1->Picture()->Height() > 0) {
    w = std::min(Image1->Picture()->Width(), aw);
    h = std::min(Image1->Picture()->Height(), ah);
  }
  Image1->SetBounds(a.left + (aw - w) / 2, a.top + (ah - h) / 2, w, h);
  Image1->Invalidate();
}

void TfmDRMEditor::ShowPicture() {
  if (!FTableOpen || !FModel->HasCurrentPicture()) return;
  StopAnimation();
  if (FModel->Pictures().FieldByName("Size")->AsInteger() <= 0) {
    ClearPreview();
    return;
  }
  if (FModel->CurrentIsRaw()) ShowRaw();
  else ShowTyped();
}

// The picture rendered once into one 24-bit bitmap of the preview's size.
void TfmDRMEditor::ShowRaw() {
  const RECT a = kPreviewArea;
  const int w = a.right - a.left, h = a.bottom - a.top;
  const TPreviewFit fit = Stretch->Checked() ? TPreviewFit::Stretched : TPreviewFit::Centred;
  TPixelBuffer pixels;
  try {
    pixels = FModel->RenderCurrent(w, h, fit, ColorToRGB(clScrollBar));
  } catch (const std::exception& e) {
    ClearPreview();
    ReportPreviewFailure(e.what());
    return;
  }
  Image1->SetStretch(false);
  TBitmap* bitmap = Image1->Picture()->Bitmap();
  bitmap->SetPixelFormat(TPixelFormat::Bit24);
  bitmap->SetSize(pixels.Width, pixels.Height);
  GdiFlush();
  for (int y = 0; y < pixels.Height; ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    const uint32_t* from = pixels.Pixels.data() + static_cast<size_t>(y) * pixels.Width;
    for (int x = 0; x < pixels.Width; ++x) {
      const uint32_t c = from[x];
      row[3 * x] = uint8_t(c >> 16);
      row[3 * x + 1] = uint8_t(c >> 8);
      row[3 * x + 2] = uint8_t(c);
    }
  }
  PlacePreview(true);
}

// The picture's bytes decoded in memory by the graphic class registered for its type.
void TfmDRMEditor::ShowTyped() {
  const std::string type = Trimmed(FModel->Pictures().FieldByName("Type")->AsString());
  try {
    const std::vector<uint8_t> data = FModel->CurrentPictureData();
    const TGraphicClass graphicClass = TPicture::FileFormatClass(type);
    if (graphicClass == nullptr) throw EInvalidGraphic("Unknown picture file extension (." + type + ")");
    std::unique_ptr<TGraphic> graphic(graphicClass->Create());
    TMemoryStream stream;
    stream.Write(data.data(), static_cast<int64_t>(data.size()));
    stream.Seek(0, TSeekOrigin::soBeginning);
    graphic->LoadFromStream(stream);
    Image1->SetStretch(Stretch->Checked());
    Image1->Picture()->SetGraphic(graphic.get());
  } catch (const std::exception& e) {
    ClearPreview();
    ReportPreviewFailure(e.what());
    return;
  }
  PlacePreview(Stretch->Checked());
}

void TfmDRMEditor::ReportPreviewFailure(const std::string& text) {
  if (Application) Application->HandleException(this, Exception(text));
}
