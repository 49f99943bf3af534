#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "skin/windows/core/FileDialogRules.h"
#include "skin/windows/core/TsFolderHistory.h"

namespace {

// A file system of a few names, and the boxes the checks showed, answered from a script.
class TRecordingHost : public TsAcceptHost {
public:
  std::set<std::string> Files, Folders;
  std::vector<bool> Answers;  // for Confirm, in order
  std::vector<std::string> Asked, Warned, Created;
  bool CreateFails = false;

  bool FileExists(const std::string& path) override { return Files.count(path) != 0; }
  bool FolderExists(const std::string& path) override { return Folders.count(path) != 0; }
  bool Confirm(const std::string& text) override {
    Asked.push_back(text);
    if (Answers.empty()) return false;
    const bool answer = Answers.front();
    Answers.erase(Answers.begin());
    return answer;
  }
  void Warn(const std::string& text) override { Warned.push_back(text); }
  bool CreateEmptyFile(const std::string& path) override {
    if (CreateFails) return false;
    Created.push_back(path);
    Files.insert(path);
    return true;
  }
};

TEST(FileDialogAccept, OverwriteQuestionOnlyForSaveDialogsAndYesSkipsTheLaterChecks) {
  TsAcceptOptions save{.Save = true, .OverwritePrompt = true, .PathMustExist = true, .FileMustExist = true};
  TRecordingHost host;
  host.Files = {"C:\\fw\\a.smg"};  // its folder is unknown to the host: the path check would refuse
  host.Answers = {true};
  EXPECT_TRUE(AcceptFileName("C:\\fw\\a.smg", save, host));
  EXPECT_EQ(host.Asked, std::vector<std::string>{"C:\\fw\\a.smg\r\nFile is exists. Overwrite?"});
  EXPECT_TRUE(host.Warned.empty());

  host.Asked.clear();
  host.Answers = {false};
  EXPECT_FALSE(AcceptFileName("C:\\fw\\a.smg", save, host));
  EXPECT_EQ(host.Asked.size(), 1u);
  EXPECT_TRUE(host.Warned.empty()) << "No keeps the window open without further boxes";

  // An open dialog with the same options never asks it.
  TsAcceptOptions open = save;
  open.Save = false;
  host.Asked.clear();
  host.Folders = {"C:\\fw\\"};
  EXPECT_TRUE(AcceptFileName("C:\\fw\\a.smg", open, host));
  EXPECT_TRUE(host.Asked.empty());
}

TEST(FileDialogAccept, PathFileAndCreateChecks) {
  TRecordingHost host;
  host.Folders = {"C:\\fw\\"};
  // Path must exist.
  EXPECT_FALSE(AcceptFileName("C:\\gone\\a.smg", {.PathMustExist = true}, host));
  EXPECT_EQ(host.Warned, std::vector<std::string>{"C:\\gone\\\r\nPath not found"});
  host.Warned.clear();
  EXPECT_TRUE(AcceptFileName("C:\\gone\\a.smg", {}, host)) << "without the option the folder is not checked";

  // Create prompt: No keeps the window open and creates nothing.
  host.Answers = {false};
  EXPECT_FALSE(AcceptFileName("C:\\fw\\new.smg", {.FileMustExist = true, .CreatePrompt = true}, host));
  EXPECT_EQ(host.Asked, std::vector<std::string>{"C:\\fw\\new.smg\r\nFile not found. Create?"});
  EXPECT_TRUE(host.Created.empty());
  EXPECT_TRUE(host.Warned.empty());
  // Yes creates it empty, and then it exists for file-must-exist.
  host.Answers = {true};
  EXPECT_TRUE(AcceptFileName("C:\\fw\\new.smg", {.FileMustExist = true, .CreatePrompt = true}, host));
  EXPECT_EQ(host.Created, std::vector<std::string>{"C:\\fw\\new.smg"});
  // A file that could not be made is not reported as made.
  host.CreateFails = true;
  host.Answers = {true};
  EXPECT_FALSE(AcceptFileName("C:\\fw\\other.smg", {.CreatePrompt = true}, host));
  EXPECT_EQ(host.Warned, std::vector<std::string>{"C:\\fw\\other.smg\r\nCannot create the file"});

  // File must exist.
  host.Warned.clear();
  EXPECT_FALSE(AcceptFileName("C:\\fw\\missing.smg", {.FileMustExist = true}, host));
  EXPECT_EQ(host.Warned, std::vector<std::string>{"C:\\fw\\missing.smg\r\nFile not found"});
  EXPECT_TRUE(AcceptFileName("C:\\fw\\missing.smg", {}, host)) << "a new name for an open dialog without checks";

  // Each name of a selection is checked; the first refusal decides.
  host.Warned.clear();
  EXPECT_FALSE(AcceptFileNames({"C:\\fw\\new.smg", "C:\\fw\\missing.smg"}, {.FileMustExist = true}, host));
  EXPECT_EQ(host.Warned.size(), 1u);
  EXPECT_FALSE(AcceptFileNames({}, {}, host));
}

TEST(FileDialogNames, TypedNamesStartAndMultiSelectText) {
  EXPECT_EQ(ResultFileName("C:\\fw\\", "a.smg"), "C:\\fw\\a.smg");
  EXPECT_EQ(ResultFileName("C:\\fw", "a.smg"), "C:\\fw\\a.smg");
  // Typed absolute names are taken as typed, never joined to the folder.
  EXPECT_EQ(ResultFileName("C:\\fw\\", "D:\\x.smg"), "D:\\x.smg");
  EXPECT_EQ(ResultFileName("C:\\fw\\", "d:/x.smg"), "d:/x.smg");
  EXPECT_EQ(ResultFileName("C:\\fw\\", "\\\\srv\\share\\x.smg"), "\\\\srv\\share\\x.smg");
  EXPECT_EQ(ResultFileName("C:\\fw\\", "\\x.smg"), "C:\\x.smg");
  EXPECT_EQ(ResultFileName("C:\\fw\\", "sub\\x.smg"), "C:\\fw\\sub\\x.smg");
  EXPECT_FALSE(IsAbsoluteFileName("D:x.smg"));

  EXPECT_EQ(QuotedNames({"a.txt", "b c.txt", "d.txt"}), "\"a.txt\" \"b c.txt\" \"d.txt\"");
  EXPECT_EQ(SplitQuotedNames("\"a.txt\" \"b c.txt\" \"d.txt\""), (std::vector<std::string>{"a.txt", "b c.txt", "d.txt"}));
  EXPECT_EQ(SplitQuotedNames(" my file.txt "), std::vector<std::string>{"my file.txt"});
  EXPECT_EQ(SplitQuotedNames("\"a.txt\" b.txt \"c"), (std::vector<std::string>{"a.txt", "b.txt", "c"}));
  EXPECT_TRUE(SplitQuotedNames("\"\"  ").empty());

  auto exists = [](const std::string& f) { return f == "C:\\fw\\" || f == "C:\\init\\" || f == "C:\\prog\\"; };
  auto start = DialogStart("C:\\fw\\a.smg", "C:\\init\\", "", "C:\\prog\\", exists);
  EXPECT_EQ(start.Folder, "C:\\fw\\");
  EXPECT_EQ(start.Name, "a.smg");
  start = DialogStart("a.smg", "C:\\init", "", "C:\\prog\\", exists);
  EXPECT_EQ(start.Folder, "C:\\init\\");
  EXPECT_EQ(start.Name, "a.smg");
  start = DialogStart("", "", "smg", "C:\\prog\\", exists);
  EXPECT_EQ(start.Folder, "C:\\prog\\");
  EXPECT_EQ(start.Name, "smg");
  // Missing starting folders fall back, never leaving the list without a folder.
  start = DialogStart("C:\\gone\\a.smg", "C:\\init\\", "", "C:\\prog\\", exists);
  EXPECT_EQ(start.Folder, "C:\\init\\");
  EXPECT_EQ(start.Name, "a.smg");
  start = DialogStart("", "C:\\gone", "", "C:\\prog\\", exists);
  EXPECT_EQ(start.Folder, "C:\\prog\\");

  EXPECT_TRUE(IsDriveRoot("c:\\"));
  EXPECT_TRUE(IsDriveRoot("D:/"));
  EXPECT_FALSE(IsDriveRoot("C:\\fw\\"));
  EXPECT_FALSE(IsDriveRoot(""));
}

TEST(FileDialogNames, ATypedFolderRelativeOrAbsoluteIsOpenedNotChosen) {
  auto exists = [](const std::string& f) {
    return f == "C:\\" || f == "C:\\fw\\" || f == "C:\\fw\\sub\\" || f == "D:\\data\\" ||
           f == "\\\\srv\\share\\pub\\";
  };
  EXPECT_EQ(TypedFolder("C:\\fw\\", "sub", exists), "C:\\fw\\sub\\");
  EXPECT_EQ(TypedFolder("C:\\fw\\", "sub\\", exists), "C:\\fw\\sub\\");
  EXPECT_EQ(TypedFolder("C:\\fw\\", " \"sub\" ", exists), "C:\\fw\\sub\\");
  EXPECT_EQ(TypedFolder("C:\\fw\\", "D:\\data", exists), "D:\\data\\");
  EXPECT_EQ(TypedFolder("C:\\fw\\", "D:/data/", exists), "D:\\data\\");
  EXPECT_EQ(TypedFolder("C:\\fw\\", "\\fw\\sub", exists), "C:\\fw\\sub\\");
  EXPECT_EQ(TypedFolder("C:\\fw\\", "//srv/share/pub", exists), "\\\\srv\\share\\pub\\");
  // Steps up and in place are resolved; never above the drive's root.
  EXPECT_EQ(TypedFolder("C:\\fw\\sub\\", "..", exists), "C:\\fw\\");
  EXPECT_EQ(TypedFolder("C:\\fw\\sub\\", "..\\.\\..\\..", exists), "C:\\");
  EXPECT_EQ(TypedFolder("C:\\fw\\", ".\\sub\\..\\sub", exists), "C:\\fw\\sub\\");
  // Files, missing folders, several names and nothing are chosen as before.
  EXPECT_EQ(TypedFolder("C:\\fw\\", "a.smg", exists), "");
  EXPECT_EQ(TypedFolder("C:\\fw\\", "gone", exists), "");
  EXPECT_EQ(TypedFolder("C:\\fw\\", "\"sub\" \"a.smg\"", exists), "");
  EXPECT_EQ(TypedFolder("C:\\fw\\", "  ", exists), "");
}

TEST(FileDialogFolder, CancelAlwaysPutsTheFolderBack) {
  EXPECT_TRUE(RestoresCurrentFolder(false, false));
  EXPECT_TRUE(RestoresCurrentFolder(false, true));
  EXPECT_TRUE(RestoresCurrentFolder(true, true));
  EXPECT_FALSE(RestoresCurrentFolder(true, false));
}

TEST(FolderHistory, BackTwiceItemsAndAmpersands) {
  TsFolderHistory history;
  EXPECT_FALSE(history.Back("C:\\a\\").has_value());
  // Start in C:\a\, enter b, then c: the folders left are recorded.
  history.Record("C:\\a\\");
  history.Record("C:\\a\\b\\");
  EXPECT_EQ(history.Back("C:\\a\\b\\c\\"), "C:\\a\\b\\");
  EXPECT_EQ(history.Back("C:\\a\\b\\"), "C:\\a\\");
  EXPECT_FALSE(history.Back("C:\\a\\").has_value());
  EXPECT_TRUE(history.Empty());

  // An entry equal to the current folder is passed over (in any case).
  history.Record("C:\\x\\");
  history.Record("C:\\Y\\");
  EXPECT_EQ(history.Back("c:\\y\\"), "C:\\x\\");

  // A menu item takes its own entry only, by its path.
  history.Clear();
  history.Record("C:\\R&D\\");
  history.Record("C:\\fw\\");
  history.Record("C:\\old\\");
  EXPECT_EQ(TsFolderHistory::MenuCaption(history.Folder(0)), "C:\\R&&D\\");
  EXPECT_EQ(history.Take(0, "C:\\now\\"), "C:\\R&D\\");
  EXPECT_EQ(history.Count(), 2);
  EXPECT_EQ(history.Folder(0), "C:\\fw\\");
  EXPECT_FALSE(history.Take(5, "C:\\now\\").has_value());
  EXPECT_FALSE(history.Take(1, "C:\\OLD\\").has_value());
  EXPECT_EQ(history.Count(), 1);
}

TEST(PicturePreview, FitsCentredLargerScaledByTheSmallerRatio) {
  auto place = PreviewPlace(100, 50, 180, 180);
  EXPECT_FALSE(place.Scaled);
  EXPECT_EQ(place.Left, 40);
  EXPECT_EQ(place.Top, 65);
  EXPECT_EQ(place.Width, 100);
  // Landscape: full width.
  place = PreviewPlace(640, 480, 180, 300);
  EXPECT_TRUE(place.Scaled);
  EXPECT_EQ(place.Width, 180);
  EXPECT_EQ(place.Height, 135);
  EXPECT_EQ(place.Left, 0);
  // A portrait picture in a box narrower than tall: its width must fit too.
  place = PreviewPlace(300, 400, 180, 300);
  EXPECT_EQ(place.Width, 180);
  EXPECT_EQ(place.Height, 240);
  place = PreviewPlace(200, 800, 180, 300);
  EXPECT_EQ(place.Height, 300);
  EXPECT_EQ(place.Width, 75);
  // Huge pictures do not overflow, thin ones keep a pixel.
  place = PreviewPlace(2000000000, 3, 180, 300);
  EXPECT_EQ(place.Width, 180);
  EXPECT_EQ(place.Height, 1);
  EXPECT_EQ(PreviewPlace(0, 10, 180, 300).Width, 0);
}

}  // namespace
