#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <deque>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "editors/TEditorMainLink.h"
#include "editors/TEditorWindowHost.h"
#include "editors/TfmDRMEditor.h"
#include "editors/core/RawPreview.h"
#include "editors/core/TDRMEditorModel.h"
#include "editors/core/TDRMImage.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TImage.h"
#include "framework/win/TLabel.h"
#include "framework/win/TScreen.h"
#include "gif/TGIFImage.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsDBNavigator.h"
#include "skin/controls/TsPageControl.h"
#include "skin/windows/TsFileDialogs.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/windows/TsMessageDlg.h"
#include "tests/editors/drm/DRMTestImages.h"
#include "tests/editors/generators/DRMGenerator.h"
#include "tests/framework/win/TGuiCensus.h"
#include "tests/framework/win/TestSupport.h"

// The DRM editor driven as a user drives it: buttons clicked, navigator buttons pressed with the
// mouse, file dialogs and message boxes answered while their modal loops run, and the main window
// stood in for by a scripted link.

namespace {

class TScriptedLink : public TEditorMainLink {
public:
  struct TCombine {
    int CG;
    std::string File;
    int32_t Address, Size;
  };
  TCustomForm* Form = nullptr;
  std::optional<TGridRow> Row;
  std::pair<int, int> Bounds{0, 0};
  std::vector<std::pair<int, int>> Asked;
  std::vector<TCombine> Combines;

  TCustomForm* MainForm() override { return Form; }
  std::optional<TGridRow> GridRow(int cg) override { return cg == 15 ? Row : std::nullopt; }
  void CombineSingleCG(int cg, const std::string& file, int32_t address, int32_t size) override {
    Combines.push_back({cg, file, address, size});
  }
  void FillFlasherLoader() override {}
  void SetStatus(const std::string&) override {}
  void SetProgress(int, int) override {}
  std::pair<int, int> AskRawBounds(int width, int height) override {
    Asked.emplace_back(width, height);
    return Bounds;
  }
};

// Message boxes seen while armed, each answered with the next scripted button (else OK, Yes or
// Cancel, whichever it has).
struct TBoxes {
  bool Armed = false;
  std::vector<std::string> Texts;
  std::vector<TMsgDlgType> Types;
  std::deque<std::string> Answers;
};
TBoxes& Boxes() {
  static TBoxes boxes;
  return boxes;
}

TsMessageForm* ShownBox() {
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (auto* form = dynamic_cast<TsMessageForm*>(Screen->Forms(i)); form && form->IsModal()) return form;
  return nullptr;
}

void WatchBoxes() {
  RunLater(5, [] {
    TBoxes& boxes = Boxes();
    if (!boxes.Armed) return;
    if (TsMessageForm* box = ShownBox(); box && IsWindowVisible(box->Handle())) {
      auto* label = dynamic_cast<TLabel*>(box->FindComponent("Message"));
      boxes.Texts.push_back(label ? label->Caption() : "");
      std::string answer;
      if (!boxes.Answers.empty()) {
        answer = boxes.Answers.front();
        boxes.Answers.pop_front();
      }
      for (const char* name : {answer.c_str(), "OK", "Yes", "Cancel"}) {
        auto* button = dynamic_cast<TWinControl*>(box->FindComponent(name));
        if (*name && button) {
          PostMessageA(button->Handle(), BM_CLICK, 0, 0);
          break;
        }
      }
    }
    WatchBoxes();
  });
}

// File dialogs answered with the next scripted name ("" cancels).
std::deque<std::string>& FileAnswers() {
  static std::deque<std::string> answers;
  return answers;
}

void AnswerFrom(TOpenDialog* dialog) {
  dialog->SetOnShow(TNotifyEvent::FromFunctor([dialog](TObject*) {
    std::string name;
    if (!FileAnswers().empty()) {
      name = FileAnswers().front();
      FileAnswers().pop_front();
    }
    if (name.empty()) {
      PostMessageA(dialog->Handle(), WM_COMMAND, IDCANCEL, 0);
      return;
    }
    SendMessageA(dialog->Handle(), CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(name.c_str()));
    PostMessageA(dialog->Handle(), WM_COMMAND, IDOK, 0);
  }));
}

std::vector<uint8_t> ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& name, const std::vector<uint8_t>& data) {
  std::ofstream out(name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

std::string CurrentFolder() {
  char buffer[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, buffer);
  return buffer;
}

bool Exists(const std::string& name) { return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + "\\" + data.cFileName).c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

int FileCount(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int n = 0;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return n;
}

void Click(TWinControl* control) {
  SendMessageA(control->Handle(), BM_CLICK, 0, 0);
  Pump();
}

// A mouse click on a navigator button, at its middle.
void ClickNavigator(TsDBNavigator* navigator, TNavigateBtn which) {
  const RECT r = navigator->Buttons(which)->BoundsRect();
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageA(navigator->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(navigator->Handle(), WM_LBUTTONUP, 0, at);
  Pump();
}

class DRMEditor : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    RegisterGIFImage();
    FOldFolder = CurrentFolder();
    Folder = TempFileName("");
    RemoveFolder(Folder);  // left by an earlier run of the same process number
    CreateDirectoryA(Folder.c_str(), nullptr);
    SetCurrentDirectoryA(Folder.c_str());
    Main = Make<TTestForm>();
    Link.Form = Main.get();
    SetEditorMainLink(&Link);
    Editor = Make<TfmDRMEditor>(nullptr);
    // The generated typed pictures are not real pictures: their previews report to the application.
    Reported = std::make_unique<TExceptionSink>();
    for (TOpenDialog* d : {static_cast<TOpenDialog*>(Editor->sOpenDialog1), static_cast<TOpenDialog*>(Editor->sSaveDialog1),
                           static_cast<TOpenDialog*>(Editor->sOpenPictureDialog1),
                           static_cast<TOpenDialog*>(Editor->sSavePictureDialog1)})
      AnswerFrom(d);
    Boxes() = TBoxes();
    Boxes().Armed = true;
    WatchBoxes();
    FileAnswers().clear();
  }

  void TearDown() override {
    Boxes().Armed = false;
    Editor.reset();
    Reported.reset();
    SetEditorMainLink(nullptr);
    Main.reset();
    Pump();
    SetCurrentDirectoryA(FOldFolder.c_str());
    RemoveFolder(Folder);
  }

  // Writes image to the test folder and opens it with "Open".
  std::string OpenImage(const std::vector<uint8_t>& image, const std::string& name = "drm.smg") {
    const std::string path = Folder + "\\" + name;
    WriteFile(path, image);
    Editor->Show();
    Pump();
    Editor->sFilenameEdit1->SetText(path);
    Click(Editor->sButton1);
    return path;
  }

  TClientDataSet& Pictures() { return Editor->Model().Pictures(); }
  TBitmap* PreviewBitmap() { return dynamic_cast<TBitmap*>(Editor->Image1->Picture()->Graphic()); }

  // Image1's bitmap equals the preview the model renders for the current row.
  void ExpectRawPreview(TPreviewFit fit) {
    TBitmap* bitmap = PreviewBitmap();
    ASSERT_NE(bitmap, nullptr);
    const RECT a = Editor->PreviewArea();
    ASSERT_EQ(bitmap->Width(), a.right - a.left);
    ASSERT_EQ(bitmap->Height(), a.bottom - a.top);
    const TDRMImage& image = *Editor->Model().Image();
    TDRMPicture row;
    row.Width = Pictures().FieldByName("Width")->AsInteger();
    row.Height = Pictures().FieldByName("Height")->AsInteger();
    row.Address = uint32_t(Pictures().FieldByName("Address")->AsInteger());
    row.Size = Pictures().FieldByName("Size")->AsInteger();
    const TPixelBuffer want = RenderRawPicture(image.Image(), image.Base(), row, bitmap->Width(), bitmap->Height(),
                                               fit, ColorToRGB(clScrollBar));
    int wrong = 0;
    for (int y = 0; y < bitmap->Height(); ++y) {
      const uint8_t* line = bitmap->ScanLine(y);
      for (int x = 0; x < bitmap->Width(); ++x) {
        const uint32_t c = want.At(x, y);
        wrong += line[3 * x] != uint8_t(c >> 16) || line[3 * x + 1] != uint8_t(c >> 8) || line[3 * x + 2] != uint8_t(c);
      }
    }
    EXPECT_EQ(wrong, 0);
    // Centred in the group, all of the area.
    EXPECT_EQ(Editor->Image1->BoundsRect().left, a.left);
    EXPECT_EQ(Editor->Image1->BoundsRect().top, a.top);
  }

  std::string Folder;
  TScriptedLink Link;
  TOwned<TTestForm> Main;
  TOwned<TfmDRMEditor> Editor;
  std::unique_ptr<TExceptionSink> Reported;

private:
  std::string FOldFolder;
};

TEST_F(DRMEditor, OpenListsThePicturesSavesTheTableAndPreviewsEveryKindFromMemory) {
  const TDRMTestImage test = MakePreviewImage();
  const int filesBefore = FileCount(Folder);
  const std::string path = OpenImage(test.Image);
  ASSERT_EQ(Pictures().RecordCount(), int(test.Rows.size()));
  ASSERT_EQ(Boxes().Texts.size(), 1u);
  EXPECT_EQ(Boxes().Texts[0], Msgs[TMsgId::StructureSaved] + Folder + "\\drm.cds");
  EXPECT_TRUE(Exists(Folder + "\\drm.cds"));
  EXPECT_EQ(Editor->DBGrid1->CellText(5, 1), L"11E20258");  // "Address" shows the hex address

  // RAW: centred, then stretched, each the model's rendering pixel for pixel.
  EXPECT_EQ(Pictures().RecNo(), 1);
  ExpectRawPreview(TPreviewFit::Centred);
  Click(Editor->Stretch);
  ExpectRawPreview(TPreviewFit::Stretched);
  Click(Editor->Stretch);

  // The navigator: first, prior, next and last only.
  for (TNavigateBtn b : {nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh})
    EXPECT_FALSE(Editor->sDBNavigator1->Buttons(b)->Visible());
  ClickNavigator(Editor->sDBNavigator1, nbLast);
  EXPECT_EQ(Pictures().RecNo(), Pictures().RecordCount());
  ClickNavigator(Editor->sDBNavigator1, nbFirst);
  ClickNavigator(Editor->sDBNavigator1, nbNext);
  EXPECT_EQ(Pictures().RecNo(), 2);

  // BMP and GIF decoded in memory: the current folder keeps its files.
  TExceptionSink sink;
  ASSERT_TRUE(Pictures().Locate("No", test.BmpNo));
  auto* bmp = dynamic_cast<TBitmap*>(Editor->Image1->Picture()->Graphic());
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(bmp->Width(), 5);
  EXPECT_EQ(bmp->Height(), 3);
  EXPECT_EQ(Editor->Image1->Width(), 5);  // sized to its picture, centred in the area
  EXPECT_EQ(Editor->Image1->Left(), Editor->PreviewArea().left + (240 - 5) / 2);
  ASSERT_TRUE(Pictures().Locate("No", test.GifNo));
  auto* gif = dynamic_cast<TGIFImage*>(Editor->Image1->Picture()->Graphic());
  ASSERT_NE(gif, nullptr);
  EXPECT_EQ(gif->Document().Frames().size(), 2u);
  Editor->Image1->Repaint();
  EXPECT_TRUE(gif->Animating());
  // Stretch takes a typed picture to the whole area.
  Click(Editor->Stretch);
  EXPECT_TRUE(Editor->Image1->Stretch());
  EXPECT_EQ(Editor->Image1->Width(), 240);
  Click(Editor->Stretch);
  EXPECT_FALSE(Editor->Image1->Stretch());
  // Hiding the window stops the painter.
  Editor->Hide();
  Pump();
  EXPECT_FALSE(gif->Animating());
  Editor->Show();
  EXPECT_TRUE(sink.Messages.empty());
  EXPECT_EQ(CurrentFolder(), Folder);
  EXPECT_EQ(FileCount(Folder), filesBefore + 2);  // the image and its table, nothing else

  // A picture that does not decode: reported, the preview emptied, the scroll goes on.
  ASSERT_TRUE(Pictures().Locate("No", test.BmpNo));
  ASSERT_TRUE(Pictures().Locate("No", test.DamagedNo));
  EXPECT_EQ(Pictures().FieldByName("No")->AsInteger(), test.DamagedNo);
  ASSERT_EQ(sink.Messages.size(), 1u);
  EXPECT_EQ(Editor->Image1->Picture()->Graphic(), nullptr);
  ClickNavigator(Editor->sDBNavigator1, nbNext);
  EXPECT_EQ(Pictures().FieldByName("No")->AsInteger(), test.DamagedNo + 1);
  EXPECT_EQ(FileCount(Folder), filesBefore + 2);
}

TEST_F(DRMEditor, ScrollingThroughEveryKindKeepsTheHandleCensusFlat) {
  const TDRMTestImage test = MakePreviewImage();
  OpenImage(test.Image);
  TExceptionSink sink;
  // Each cycle previews a RAW picture, the bitmap and the GIF, and ends on the RAW picture it
  // started from, so no painter's bitmap is counted at one end only.
  ASSERT_TRUE(Pictures().Locate("No", test.BmpNo - 1));
  const TGuiCensus change = TGuiCensus::ChangeOver(200, [&] {
    for (TNavigateBtn b : {nbNext, nbNext, nbPrior, nbPrior}) ClickNavigator(Editor->sDBNavigator1, b);
  });
  EXPECT_EQ(Pictures().FieldByName("No")->AsInteger(), test.BmpNo - 1);
  EXPECT_EQ(change, TGuiCensus());
}

TEST_F(DRMEditor, ReplaceSaveAndReloadGoThroughTheDialogsAndTheLink) {
  TGenDRMPlan plan;
  plan.RawPictures = 2;
  plan.TypedPictures = 3;
  const TGenDRM gen = GenerateDRM(plan);
  const std::string path = OpenImage(gen.Image);
  ASSERT_EQ(Pictures().RecordCount(), 5);

  // A RAW picture 4 bytes longer: bounds from the file's name offered, the link's answer taken.
  const TGenPicture& raw = gen.Pictures[0];
  const std::string rawFile = Folder + "\\new(7x9).raw";
  WriteFile(rawFile, MakeDRMRaw(1, int(raw.Data.size() / 2) + 2, 5));
  FileAnswers() = {rawFile};
  Link.Bounds = {2, int(raw.Data.size() / 4) + 1};
  Boxes().Texts.clear();
  Click(Editor->sButton6);
  ASSERT_EQ(Link.Asked.size(), 1u);
  EXPECT_EQ(Link.Asked[0], std::make_pair(7, 9));
  ASSERT_EQ(Boxes().Texts.size(), 1u) << Boxes().Texts[0];
  EXPECT_EQ(Boxes().Texts[0], Msgs[TMsgId::PictureReplaced] + ": " + rawFile + ".");
  EXPECT_EQ(Pictures().RecNo(), 1);
  EXPECT_EQ(Pictures().FieldByName("Width")->AsInteger(), Link.Bounds.first);
  EXPECT_EQ(Pictures().FieldByName("Size")->AsInteger(), int(raw.Data.size()) + 4);
  ExpectRawPreview(TPreviewFit::Centred);

  // A typed picture by a real bitmap of another size, through the picture dialog.
  const std::vector<uint8_t> bmp = MakeBmpFile(6, 4);
  const std::string bmpFile = Folder + "\\pic.bmp";
  WriteFile(bmpFile, bmp);
  ASSERT_TRUE(Pictures().Locate("No", 4));
  FileAnswers() = {bmpFile};
  Click(Editor->sButton6);
  EXPECT_EQ(Pictures().FieldByName("Type")->AsString(), "BMP");
  EXPECT_EQ(Pictures().FieldByName("Width")->AsInteger(), 6);
  ASSERT_NE(dynamic_cast<TBitmap*>(Editor->Image1->Picture()->Graphic()), nullptr);

  // "Save changes": the saved image lists the edited table.
  const std::string saved = Folder + "\\edited.smg";
  FileAnswers() = {saved};
  Boxes().Texts.clear();
  Click(Editor->sButton7);
  ASSERT_EQ(Boxes().Texts.size(), 2u);
  EXPECT_EQ(Boxes().Texts[0], Msgs[TMsgId::DrmBlockSaved] + saved);
  EXPECT_EQ(Boxes().Texts[1], Msgs[TMsgId::StructureSaved] + Folder + "\\edited.cds");
  EXPECT_EQ(Editor->sFilenameEdit1->Text(), saved);
  const TDRMListing list = TDRMImage(ReadFile(saved)).List();
  ASSERT_EQ(list.Pictures.size(), 5u);
  EXPECT_EQ(list.Pictures[0].Size, int(raw.Data.size()) + 4);
  EXPECT_EQ(list.Pictures[0].Width, Link.Bounds.first);
  EXPECT_EQ(list.Pictures[3].Type, "BMP");
  EXPECT_EQ(TDRMImage(ReadFile(saved)).PictureData(list.Pictures[3].Address, list.Pictures[3].Size), bmp);

  // "Make *.SHX" hands the saved file, its base and its size to the main window's combine.
  Click(Editor->sButton9);
  ASSERT_EQ(Link.Combines.size(), 1u);
  EXPECT_EQ(Link.Combines[0].CG, 15);
  EXPECT_EQ(Link.Combines[0].File, saved);
  EXPECT_EQ(uint32_t(Link.Combines[0].Address), gen.Base);

  // "Save picture" proposes No(WxH).Type and writes the bytes as they are.
  FileAnswers() = {Folder + "\\four"};
  Boxes().Texts.clear();
  Click(Editor->sButton4);
  EXPECT_EQ(Editor->sSavePictureDialog1->FileName(), Folder + "\\four");
  EXPECT_EQ(ReadFile(Folder + "\\four.BMP"), bmp);
  ASSERT_EQ(Boxes().Texts.size(), 1u);
  EXPECT_EQ(Boxes().Texts[0], Msgs[TMsgId::PictureSaved] + ": " + Folder + "\\four.BMP");

  // "Load" with the saved table (message 20 confirmed), then without one (message 21).
  Boxes().Texts.clear();
  Boxes().Answers = {"Yes"};
  Click(Editor->sButton2);
  ASSERT_EQ(Boxes().Texts.size(), 1u);
  EXPECT_EQ(Boxes().Texts[0], Msgs[TMsgId::LoadStructure] + Folder + "\\edited.cds?");
  EXPECT_EQ(Pictures().RecordCount(), 5);
  DeleteFileA((Folder + "\\edited.cds").c_str());
  Boxes().Texts.clear();
  Click(Editor->sButton2);
  ASSERT_EQ(Boxes().Texts.size(), 1u);
  EXPECT_EQ(Boxes().Texts[0], Msgs[TMsgId::FileNotFound] + ": " + Folder + "\\edited.cds");

  // "Clear" (message 22): the image and the table go, the preview empties.
  Boxes().Texts.clear();
  Boxes().Answers = {"Yes"};
  Click(Editor->sButton3);
  ASSERT_EQ(Boxes().Texts.size(), 1u);
  EXPECT_EQ(Boxes().Texts[0], Msgs[TMsgId::AreYouSure]);
  EXPECT_FALSE(Pictures().Active());
  EXPECT_FALSE(Editor->Model().Loaded());
  EXPECT_EQ(Editor->Image1->Picture()->Graphic(), nullptr);
}

TEST_F(DRMEditor, FailuresReachAnErrorBoxAndLeaveTheImageAsItWas) {
  TGenDRMPlan plan;
  plan.RawPictures = 2;
  plan.TypedPictures = 2;
  const TGenDRM gen = GenerateDRM(plan);
  OpenImage(gen.Image);
  const std::vector<uint8_t> before = Editor->Model().Image()->Image();

  // A RAW file 2 bytes longer is refused by the image.
  const std::string odd = Folder + "\\odd(1x1).raw";
  WriteFile(odd, std::vector<uint8_t>(gen.Pictures[0].Data.size() + 2, 7));
  FileAnswers() = {odd};
  Link.Bounds = {1, 1};
  Boxes().Texts.clear();
  Boxes().Types.clear();
  Click(Editor->sButton6);
  ASSERT_EQ(Boxes().Texts.size(), 1u);
  EXPECT_NE(Boxes().Texts[0].find("multiple of 4"), std::string::npos) << Boxes().Texts[0];
  EXPECT_EQ(Editor->Model().Image()->Image(), before);

  // "Open" of a file that is gone: the error's text in a box; the image held stays.
  Editor->sFilenameEdit1->SetText(Folder + "\\gone.smg");
  Boxes().Texts.clear();
  Click(Editor->sButton1);
  ASSERT_EQ(Boxes().Texts.size(), 1u);
  EXPECT_NE(Boxes().Texts[0].find("gone.smg"), std::string::npos) << Boxes().Texts[0];
  ASSERT_TRUE(Editor->Model().Loaded());
  EXPECT_EQ(Editor->Model().Image()->Image(), before);
  EXPECT_EQ(Pictures().RecordCount(), 4);

  // The file edits' buttons set their dialogs' filters: DRM images and DRM remarks.
  Editor->sFilenameEdit1->Dialog()->SetOnShow(TNotifyEvent::FromFunctor(
      [&](TObject*) { PostMessageA(Editor->sFilenameEdit1->Dialog()->Handle(), WM_COMMAND, IDCANCEL, 0); }));
  Editor->sFilenameEdit2->Dialog()->SetOnShow(TNotifyEvent::FromFunctor(
      [&](TObject*) { PostMessageA(Editor->sFilenameEdit2->Dialog()->Handle(), WM_COMMAND, IDCANCEL, 0); }));
  Editor->sFilenameEdit1->DoButtonClick();
  Editor->sFilenameEdit2->DoButtonClick();
  EXPECT_EQ(Editor->sFilenameEdit1->Filter(), GetFilter(TFilterKind::DrmImages));
  EXPECT_EQ(Editor->sFilenameEdit2->Filter(), GetFilter(TFilterKind::DrmRemarks));
}

TEST_F(DRMEditor, RemarksShowOnTheirTypedPictureSurviveSaveAndLoadAndRefuseADuplicateId) {
  TClientDataSet& remarks = Editor->Model().Remarks();
  remarks.AppendRecord({2, "second typed"});
  remarks.AppendRecord({3, "third typed"});
  TGenDRMPlan plan;
  plan.RawPictures = 3;
  plan.TypedPictures = 3;
  OpenImage(GenerateDRM(plan).Image);
  ASSERT_TRUE(Pictures().Locate("No", 5));
  EXPECT_EQ(Pictures().FieldByName("Reamrk")->AsString(), "second typed");
  ASSERT_TRUE(Pictures().Locate("No", 4));
  EXPECT_EQ(Pictures().FieldByName("Reamrk")->AsString(), "");

  // "Save" through the dialog as .rmk, "Clear", then "Load" from the remembered name.
  FileAnswers() = {Folder + "\\notes.txt"};
  Click(Editor->sButton11);
  EXPECT_EQ(Editor->sFilenameEdit2->Text(), Folder + "\\notes.rmk");
  Boxes().Texts.clear();
  Click(Editor->sButton13);
  EXPECT_TRUE(Boxes().Texts.empty());
  EXPECT_EQ(remarks.RecordCount(), 0);
  EXPECT_EQ(Editor->sFilenameEdit2->Text(), "");
  Editor->sFilenameEdit2->SetText(Folder + "\\notes.rmk");
  Click(Editor->sButton12);
  ASSERT_EQ(remarks.RecordCount(), 2);

  // A second remark for "Images ID" 2 typed into the grid: reported, every row kept.
  Editor->sPageControl1->SetActivePageIndex(1);
  Pump();
  TExceptionSink sink;
  ASSERT_TRUE(remarks.Locate("ImgID", 3));
  HWND grid = Editor->DBGrid2->Handle();
  SetFocus(grid);
  Editor->DBGrid2->SetSelectedIndex(0);
  PostMessageA(grid, WM_KEYDOWN, VK_F2, 1);
  Pump();
  HWND cell = Editor->DBGrid2->EditorHandle();
  ASSERT_NE(cell, nullptr);
  SetWindowTextA(cell, "2");
  PostMessageA(cell, WM_KEYDOWN, VK_RETURN, 1);
  Pump();
  ASSERT_EQ(sink.Messages.size() + Boxes().Texts.size(), 1u);
  PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
  Pump();
  remarks.Cancel();
  ASSERT_EQ(remarks.RecordCount(), 2);
  ASSERT_TRUE(remarks.Locate("ImgID", 2));
  EXPECT_EQ(remarks.FieldByName("Remark")->AsString(), "second typed");
  ASSERT_TRUE(remarks.Locate("ImgID", 3));
  EXPECT_EQ(remarks.FieldByName("Remark")->AsString(), "third typed");
}

TEST_F(DRMEditor, ShowTakesTheGridsNameAndSaveAllWritesEveryPictureToTheCurrentFolder) {
  Link.Row = TGridRow{"C:\\fw\\phone_CG15.smg", 0, ""};
  Editor->Show();
  Pump();
  EXPECT_EQ(Editor->sFilenameEdit1->Text(), "C:\\fw\\phone_CG15.smg");
  EXPECT_FALSE(Editor->Model().Loaded());

  TGenDRMPlan plan;
  plan.RawPictures = 2;
  plan.TypedPictures = 2;
  const TGenDRM gen = GenerateDRM(plan);
  OpenImage(gen.Image);
  Pictures().SetRecNo(3);
  Boxes().Texts.clear();
  Click(Editor->sButton5);
  ASSERT_EQ(Boxes().Texts.size(), 1u);
  EXPECT_EQ(Boxes().Texts[0], Msgs[TMsgId::AllPicturesSaved]);
  EXPECT_EQ(Pictures().RecNo(), 3);
  for (int i = 0; i < 4; ++i) {
    const TGenPicture& p = gen.Pictures[size_t(i)];
    const std::string name = Folder + "\\" + std::to_string(i + 1) + "(" + std::to_string(p.Width) + "x" +
                             std::to_string(p.Height) + ")." + p.Type;
    EXPECT_EQ(ReadFile(name), p.Data) << name;
  }
}

}  // namespace
