// Steps 3 and 4: the language pack and the DRM image edited from their rows.
#include "tests/e2e/WalkEditors.h"

#include <algorithm>
#include <cstdlib>
#include <exception>

#include "editors/core/TDRMImage.h"
#include "editors/core/TLanguagePack.h"

namespace walk {

namespace {

TStringEdit stringEdit;
TPictureEdits pictureEdits;

// The row of a code group in the main grid, ordered by code group.
int MainGridRow(int cg) {
  const std::vector<int> rows = ImageRows();
  return static_cast<int>(std::find(rows.begin(), rows.end(), cg) - rows.begin());
}

HWND Visible(const std::vector<HWND>& windows) {
  for (HWND window : windows)
    if (IsWindowVisible(window)) return window;
  return nullptr;
}

std::u16string WideText(HWND window) {
  wchar_t buffer[1024] = {};
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                           &length))
    return {};
  return std::u16string(buffer, buffer + length);
}

// Characters typed one by one, as an input method hands them to a Unicode window.
void TypeWide(HWND window, const std::u16string& text) {
  for (char16_t c : text) PostMessageW(window, WM_CHAR, c, 1);
}

bool Gone(HWND window) { return !IsWindow(window) || !IsWindowVisible(window); }

bool WaitGone(HWND window) {
  return TUserDriver::WaitFor([&] { return Gone(window); }, 10000);
}

bool WaitStatus(const std::string& want, DWORD timeoutMs = 15000) {
  HWND status = user->Child(mainWindow, "TsStatusBar", "");
  return status && TUserDriver::WaitFor([&] { return user->StatusText(status) == want; }, timeoutMs);
}

std::string Status() { return user->StatusText(user->Child(mainWindow, "TsStatusBar", "")); }

// Answers the message box that follows a command with "OK"; an error box fails the step.
::testing::AssertionResult AnswerMessageBox(const std::string& caption, const std::string& after) {
  HWND box = user->WaitWindowOfClass("TsMessageForm");
  if (!box) return ::testing::AssertionFailure() << user->Failure("no message box after " + after);
  const std::string shown = TUserDriver::Text(box);
  if (shown != caption)
    return ::testing::AssertionFailure() << user->Failure("a box titled \"" + shown + "\" after " + after);
  HWND ok = user->Child(box, "TsBitBtn", "OK");
  if (!ok) return ::testing::AssertionFailure() << user->Failure("the box after " + after + " has no \"OK\"");
  if (!user->ClickUntil(ok, [&] { return Gone(box); }))
    return ::testing::AssertionFailure() << user->Failure("the box after " + after + " stayed");
  return ::testing::AssertionSuccess();
}

// "Make SHX" in an editor: the main window's save dialog, then its status line names the file.
::testing::AssertionResult MakeSuperfile(HWND button, const std::string& superfile, const std::string& shot) {
  user->Click(button);
  if (auto answered = AnswerFileDialog("Save", superfile, shot); !answered) return answered;
  if (!WaitStatus("File done: " + superfile))
    return ::testing::AssertionFailure() << user->Failure("the one-group combine did not finish: status \"" +
                                                          Status() + "\"");
  return ::testing::AssertionSuccess();
}

// Selects the code group's row in the main grid and presses "Edit".
HWND OpenEditor(int cg, const std::string& caption) {
  HWND grid = user->Child(mainWindow, "TDBGrid", "");
  HWND edit = user->Child(mainWindow, "TsButton", "Edit");
  if (!grid || !edit) {
    ADD_FAILURE() << user->Failure("the main window lacks the grid or \"Edit\"");
    return nullptr;
  }
  user->ClickAt(grid, 100, GridRowY(MainGridRow(cg)));
  // The editor is not modal: a second press only shows it again.
  HWND editor = nullptr;
  user->ClickUntil(edit, [&] { return (editor = user->WaitWindow(caption, 0)) != nullptr; });
  if (!editor) ADD_FAILURE() << user->Failure("\"Edit\" on the CG " + std::to_string(cg) + " row showed no \"" + caption + "\"");
  return editor;
}

// TARVEX_WALK_KEEP keeps a screenshot of the editor for a look by eye.
void KeepLook(const std::string& shot) {
  if (!std::getenv("TARVEX_WALK_KEEP")) return;
  Sleep(1500);  // let the window finish painting
  user->Screenshot(shot);
}

void CloseEditor(HWND editor, const std::string& caption) {
  PostMessageA(editor, WM_CLOSE, 0, 0);
  EXPECT_TRUE(user->WaitGone(caption)) << user->Failure("\"" + caption + "\" did not close");
}

// The new text: units the language's code tree holds, other than the string's own.
std::u16string NewText(const TGenLanguage& language, const std::u16string& old) {
  std::u16string text;
  for (auto it = language.TreeUnits.rbegin(); it != language.TreeUnits.rend() && text.size() < 6; ++it)
    if (*it >= 0x4E00 && *it < 0xA000) text += *it;
  if (text == old) std::reverse(text.begin(), text.end());
  return text;
}

}  // namespace

const TStringEdit& LangPackEdit() { return stringEdit; }
const TPictureEdits& DrmEdits() { return pictureEdits; }
std::string LangPackSuperfile() { return user->Folder() + "\\langpack.shx"; }
std::string DrmSuperfile() { return user->Folder() + "\\drm.shx"; }

void EditLanguagePack() {
  const std::string caption = "Langpack editor";
  HWND editor = OpenEditor(4, caption);
  ASSERT_NE(editor, nullptr);
  HWND source = user->Child(editor, "TsFilenameEdit", "");
  HWND languages = user->Child(editor, "TDBGrid", "");
  HWND strings = user->Child(editor, "TStringsGrid", "");
  HWND parse = user->Child(editor, "TsButton", "Parse language");
  HWND pack = user->Child(editor, "TsButton", "Pack strings");
  HWND save = user->Child(editor, "TsButton", "Save langpack");
  HWND make = user->Child(editor, "TsButton", "Make SHX");
  ASSERT_TRUE(source && languages && strings && parse && pack && save && make)
      << user->Failure("the language pack editor lacks a control");
  // Shown from the row, the editor opened the row's image.
  ASSERT_TRUE(user->WaitText(source, [](const std::string& t) { return t == ImagePath(4); }))
      << user->Failure("the editor did not open the row's image: \"" + TUserDriver::Text(source) + "\"");

  const int slot = firmware.CjkLanguage;
  const TGenLanguage& cjk = firmware.LangPack.Languages.at(static_cast<size_t>(slot));
  user->ClickAt(languages, 100, GridRowY(slot));
  user->Click(parse);
  ASSERT_TRUE(WaitStatus("Strings extracted.")) << user->Failure("no strings: status \"" + Status() + "\"");

  // A click on the string's text selects the cell, a second one opens its editor.
  stringEdit.Language = slot;
  // The first string from number 2 on that is not empty, in the grid's first rows.
  stringEdit.Number = 2;
  while (stringEdit.Number < 8 && stringEdit.Number < static_cast<int>(cjk.Strings.size()) &&
         cjk.Strings[static_cast<size_t>(stringEdit.Number - 1)].empty())
    ++stringEdit.Number;
  ASSERT_LE(stringEdit.Number, static_cast<int>(cjk.Strings.size()));
  const std::u16string& old = cjk.Strings.at(static_cast<size_t>(stringEdit.Number - 1));
  stringEdit.Text = NewText(cjk, old);
  ASSERT_FALSE(stringEdit.Text.empty());
  const int textX = 12 + 44 + 80;
  user->ClickAt(strings, textX, GridRowY(stringEdit.Number - 1));
  user->ClickAt(strings, textX, GridRowY(stringEdit.Number - 1));
  HWND cell = nullptr;
  ASSERT_TRUE(TUserDriver::WaitFor([&] { return (cell = Visible(user->Children(strings, "Edit"))) != nullptr; }, 10000))
      << user->Failure("no cell editor on the string");
  ASSERT_TRUE(TUserDriver::WaitFor([&] { return WideText(cell) == old; }, 5000))
      << user->Failure("the cell does not hold the language's string " + std::to_string(stringEdit.Number));
  TypeWide(cell, stringEdit.Text);
  ASSERT_TRUE(TUserDriver::WaitFor([&] { return WideText(cell) == stringEdit.Text; }, 5000))
      << user->Failure("the typed text did not reach the cell");
  user->Key(cell, VK_RETURN);
  ASSERT_TRUE(WaitGone(cell)) << user->Failure("Enter did not close the cell editor");

  user->Click(pack);
  // Every typed character has a code in the language: nothing is reported left out.
  ASSERT_TRUE(WaitStatus("strings packed.")) << user->Failure("packing: status \"" + Status() + "\"");
  KeepLook("langpack-editor");
  user->Click(save);
  ASSERT_TRUE(AnswerFileDialog("Save", ImagePath(4), "langpack-save-dialog"));
  ASSERT_TRUE(AnswerMessageBox("Tarvex", "\"Save langpack\""));
  ASSERT_TRUE(MakeSuperfile(make, LangPackSuperfile(), "langpack-shx-dialog"));
  CloseEditor(editor, caption);

  // The saved image is the generated one with this one string packed anew, and decodes to the
  // manifest's strings but the edited one.
  const Bytes saved = ReadWholeFile(ImagePath(4));
  try {
    std::vector<std::u16string> want = cjk.Strings;
    want[static_cast<size_t>(stringEdit.Number - 1)] = stringEdit.Text;
    TLanguagePack packed(firmware.LangPack.Image);
    packed.Pack(slot, want);
    EXPECT_EQ(saved, packed.Image());
    const TLanguagePack image(saved);
    ASSERT_EQ(image.Count(), static_cast<int>(firmware.LangPack.Languages.size()));
    for (int k = 0; k < image.Count(); ++k)
      EXPECT_EQ(image.Decode(k), k == slot ? want : firmware.LangPack.Languages[static_cast<size_t>(k)].Strings)
          << "language " << k;
  } catch (const std::exception& e) {
    ADD_FAILURE() << "the saved language pack: " << e.what();
  }
  SetExpectedImage(4, saved);
}

namespace {

// Answers the RAW bounds dialog with the picture's width and height.
::testing::AssertionResult AnswerRawBounds(int width, int height) {
  HWND dialog = user->WaitWindowOfClass("TfmRAWBounds");
  if (!dialog) return ::testing::AssertionFailure() << user->Failure("no RAW bounds dialog");
  std::vector<HWND> spins = user->Children(dialog, "TsSpinEdit");
  HWND ok = user->Child(dialog, "TsButton", "Ok");
  if (spins.size() != 2 || !ok)
    return ::testing::AssertionFailure() << user->Failure("the RAW bounds dialog lacks its spin edits or \"Ok\"");
  // Width above height.
  std::sort(spins.begin(), spins.end(), [](HWND a, HWND b) {
    RECT ra, rb;
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return ra.top < rb.top;
  });
  for (auto [spin, value] : {std::pair{spins[0], width}, std::pair{spins[1], height}}) {
    const std::string text = std::to_string(value);
    user->Retype(spin, text);
    if (!user->WaitText(spin, [&](const std::string& t) { return t == text; }))
      return ::testing::AssertionFailure() << user->Failure("the RAW bounds dialog did not take " + text);
  }
  if (!user->ClickUntil(ok, [&] { return Gone(dialog); }))
    return ::testing::AssertionFailure() << user->Failure("the RAW bounds dialog stayed");
  return ::testing::AssertionSuccess();
}

}  // namespace

void EditDrmImage() {
  const std::string caption = "DRM (graphics) editor";
  HWND editor = OpenEditor(15, caption);
  ASSERT_NE(editor, nullptr);
  HWND source = Visible(user->Children(editor, "TsFilenameEdit"));
  HWND grid = Visible(user->Children(editor, "TDBGrid"));
  HWND open = user->Child(editor, "TsButton", "Open");
  HWND replace = user->Child(editor, "TsButton", "Replace");
  HWND save = user->Child(editor, "TsButton", "Save changes");
  HWND make = user->Child(editor, "TsButton", "Make *.SHX");
  ASSERT_TRUE(source && grid && open && replace && save && make) << user->Failure("the DRM editor lacks a control");
  ASSERT_TRUE(user->WaitText(source, [](const std::string& t) { return t == ImagePath(15); }))
      << user->Failure("the editor does not name the row's image: \"" + TUserDriver::Text(source) + "\"");

  user->Click(open);
  ASSERT_TRUE(AnswerMessageBox("Information", "\"Open\""));  // the picture table saved beside the image

  const std::vector<TGenPicture>& pictures = firmware.DRM.Pictures;
  pictureEdits.RawNo = std::min(2, firmware.DRM.RawCount);
  const auto gif = std::find_if(pictures.begin(), pictures.end(), [](const TGenPicture& p) { return p.Type == "GIF"; });
  ASSERT_NE(gif, pictures.end()) << "the generated DRM image has no GIF picture";
  pictureEdits.GifNo = static_cast<int>(gif - pictures.begin()) + 1;

  // A click in the read-only "Type" column selects a picture's row.
  const int typeX = 12 + 34 + 44 + 19;
  user->ClickAt(grid, typeX, GridRowY(pictureEdits.RawNo - 1));
  user->Click(replace);
  ASSERT_TRUE(AnswerFileDialog("Open", firmwareDir + "\\replace.raw", "drm-raw-dialog"));
  ASSERT_TRUE(AnswerRawBounds(firmware.RawWidth, firmware.RawHeight));
  ASSERT_TRUE(AnswerMessageBox("Information", "\"Replace\" of a RAW picture"));

  user->ClickAt(grid, typeX, GridRowY(pictureEdits.GifNo - 1));
  user->Click(replace);
  ASSERT_TRUE(AnswerFileDialog("Open", firmwareDir + "\\replace.gif", "drm-gif-dialog"));
  ASSERT_TRUE(AnswerMessageBox("Information", "\"Replace\" of a GIF picture"));
  KeepLook("drm-editor");

  user->Click(save);
  ASSERT_TRUE(AnswerFileDialog("Save", ImagePath(15), "drm-save-dialog"));
  ASSERT_TRUE(AnswerMessageBox("Information", "\"Save changes\" (the image)"));
  ASSERT_TRUE(AnswerMessageBox("Information", "\"Save changes\" (the picture table)"));
  ASSERT_TRUE(MakeSuperfile(make, DrmSuperfile(), "drm-shx-dialog"));
  CloseEditor(editor, caption);

  // The saved image is the generated one with the two pictures replaced; every other picture
  // reads back as generated.
  const Bytes saved = ReadWholeFile(ImagePath(15));
  try {
    TDRMImage want(firmware.DRM.Image);
    want.Replace(pictureEdits.RawNo, firmware.ReplacementRaw, firmware.RawWidth, firmware.RawHeight);
    want.Replace(pictureEdits.GifNo, firmware.ReplacementGif, gif->Width, gif->Height);
    EXPECT_EQ(saved, want.Image());
    const TDRMImage image(saved);
    const TDRMListing list = image.List();
    ASSERT_TRUE(list.Complete) << list.Problem;
    ASSERT_EQ(list.Pictures.size(), pictures.size());
    for (const TDRMPicture& p : list.Pictures) {
      const TGenPicture& generated = pictures[static_cast<size_t>(p.No - 1)];
      Bytes data(generated.Data.begin(), generated.Data.end());
      if (p.No == pictureEdits.RawNo) {
        data.assign(firmware.ReplacementRaw.begin(), firmware.ReplacementRaw.end());
        EXPECT_EQ(p.Width, firmware.RawWidth);
        EXPECT_EQ(p.Height, firmware.RawHeight);
      } else if (p.No == pictureEdits.GifNo) {
        data.assign(firmware.ReplacementGif.begin(), firmware.ReplacementGif.end());
      }
      EXPECT_EQ(p.Type, generated.Type) << "picture " << p.No;
      EXPECT_EQ(image.PictureData(p.Address, p.Size), data) << "picture " << p.No;
    }
  } catch (const std::exception& e) {
    ADD_FAILURE() << "the saved DRM image: " << e.what();
  }
  SetExpectedImage(15, saved);
}

}  // namespace walk
