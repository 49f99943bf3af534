#include "tests/e2e/Walk.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "phone/core/FlashSequence.h"

namespace walk {

std::unique_ptr<TUserDriver> user;
HWND mainWindow = nullptr;
TFirmware firmware;
std::string firmwareDir;
bool phonePlugged = false;
std::string imageBase = "firmware";

namespace {
std::map<int, Bytes> edited;  // images a step changed, by row
}  // namespace

Bytes Concat(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  Bytes all(a.begin(), a.end());
  all.insert(all.end(), b.begin(), b.end());
  return all;
}

const TShxGroup& Group(int cg) {
  for (const TShxGroup& g : firmware.Groups)
    if (g.CG == cg) return g;
  throw std::runtime_error("no group " + std::to_string(cg));
}

std::string ImageName(uint32_t start, const std::string& tag) {
  char address[16];
  std::snprintf(address, sizeof address, "%08X", start);
  const std::string folder = imageBase == "firmware" ? firmwareDir : user->Folder();
  return folder + "\\" + imageBase + "{@0x" + address + "}" + tag + ".smg";
}

std::vector<int> ImageRows() { return {-2, 1, 2, 4, 15, 18}; }

uint32_t ImageStart(int row) { return Group(row == 1 ? 0 : row).Start; }

std::string ImagePath(int row) {
  return ImageName(ImageStart(row), row == -2 ? std::string("RAMDLD") : "CG" + std::to_string(row));
}

const Bytes& ExpectedImage(int row) {
  auto it = edited.find(row);
  if (it == edited.end()) {
    const TShxGroup& group = Group(row == 1 ? 0 : row);
    Bytes bytes(group.Data.begin(), group.Data.end());
    if (row == 1) bytes = Concat(Group(0).Data, Group(1).Data);
    it = edited.emplace(row, std::move(bytes)).first;
  }
  return it->second;
}

void SetExpectedImage(int row, Bytes bytes) { edited[row] = std::move(bytes); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string MissingInOrder(const std::vector<std::string>& lines, const std::vector<std::string>& want) {
  std::size_t at = 0;
  for (const std::string& line : want) {
    while (at < lines.size() && lines[at] != line) ++at;
    if (at == lines.size()) return line;
    ++at;
  }
  return {};
}

std::string FileText(const std::string& path) {
  const std::vector<unsigned char> bytes = ReadWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}

uint32_t BigEndian32(const Bytes& bytes, std::size_t at) {
  return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}

void ExpectLoaderTable(const Bytes& loader) {
  ASSERT_GE(loader.size(), TFlashSequence::AreaEnd);
  for (int row : ImageRows()) {
    if (row < 1) continue;
    const std::size_t at = TFlashSequence::TableStart + 8 * static_cast<std::size_t>(row);
    EXPECT_EQ(BigEndian32(loader, at), ImageStart(row)) << "CG " << row;
    EXPECT_EQ(BigEndian32(loader, at + 4), ImageStart(row) + ExpectedImage(row).size() - 1) << "CG " << row;
  }
}

void ExpectImages(bool loaderTableFilled) {
  const Bytes loader = ReadWholeFile(ImagePath(-2));
  Bytes want = ExpectedImage(-2);
  if (loaderTableFilled && loader.size() == want.size() && want.size() >= TFlashSequence::AreaEnd) {
    std::copy(loader.begin() + TFlashSequence::AreaStart, loader.begin() + TFlashSequence::AreaEnd,
              want.begin() + TFlashSequence::AreaStart);
  }
  EXPECT_EQ(loader, want);
  for (int row : ImageRows()) {
    if (row > 0) {
      EXPECT_EQ(ReadWholeFile(ImagePath(row)), ExpectedImage(row)) << "CG " << row;
    }
  }
}

::testing::AssertionResult AnswerFileDialog(const std::string& button, const std::string& fileName,
                                            const std::string& shot) {
  HWND dialog = user->WaitWindowOfClass("TsOpenDialogForm");
  if (!dialog) return ::testing::AssertionFailure() << user->Failure("no file dialog");
  const std::vector<HWND> edits = user->Children(dialog, "TsEdit");
  HWND accept = user->Child(dialog, "TsButton", button);
  if (edits.empty() || !accept)
    return ::testing::AssertionFailure() << user->Failure("the file dialog lacks its name edit or \"" + button + "\"");
  user->Retype(edits.front(), fileName);
  if (!user->WaitText(edits.front(), [&](const std::string& t) { return t == fileName; }))
    return ::testing::AssertionFailure() << user->Failure("the typed name did not reach the file dialog");
  if (std::getenv("TARVEX_WALK_KEEP")) {
    Sleep(1500);  // a look by eye: let the window finish painting
    user->Screenshot(shot);
  }
  const std::string caption = TUserDriver::Text(dialog);
  if (caption != button)
    return ::testing::AssertionFailure() << user->Failure("the file dialog is titled \"" + caption + "\"");
  if (!user->ClickUntil(accept, [&] { return !IsWindowVisible(dialog); }) || !user->WaitGone(caption))
    return ::testing::AssertionFailure() << user->Failure("the file dialog stayed");
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult SplitThroughTheMainWindow(const std::string& superfile) {
  HWND source = user->Child(mainWindow, "TsFilenameEdit", "");
  HWND split = user->Child(mainWindow, "TsButton", "Split file");
  HWND status = user->Child(mainWindow, "TsStatusBar", "");
  if (!(source && split && status))
    return ::testing::AssertionFailure() << user->Failure("the main window lacks the source edit, \"Split file\" or the status bar");
  user->Retype(source, "");
  if (!user->WaitText(source, [](const std::string& t) { return t.empty(); }))
    return ::testing::AssertionFailure() << user->Failure("the source edit did not empty");
  user->Click(split);
  if (auto answered = AnswerFileDialog("Open", superfile, "open-dialog"); !answered) return answered;
  if (!user->WaitText(source, [&](const std::string& t) { return t == superfile; }))
    return ::testing::AssertionFailure() << user->Failure("the chosen name did not reach the source edit");
  if (!TUserDriver::WaitFor([&] { return user->StatusText(status) == "Extracting done."; }, 30000))
    return ::testing::AssertionFailure()
           << user->Failure("the split did not finish: status \"" + user->StatusText(status) + "\"");
  return ::testing::AssertionSuccess();
}

// The rows of the grid: a title row, then rows of the grid font's height plus four. The row
// height here is that of the default font; a wrong pick shows up as the wrong images flashed.
constexpr int GridRowHeight = 17;
int GridRowY(int row) { return GridRowHeight + 1 + row * GridRowHeight + GridRowHeight / 2; }

}  // namespace walk
