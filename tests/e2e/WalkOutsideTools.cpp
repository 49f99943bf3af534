// Step 5's checks by the tools outside the program, run on the files it left. The tools are Linux
// programs; Wine starts them, but gives no process handle to wait on and does not hand them our
// standard handles, so each runs under /bin/sh, which writes its output and exit code to files.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "phone/core/FlashSequence.h"
#include "tests/e2e/WalkEditors.h"

namespace walk {
namespace {

struct TToolRun {
  bool Ended = false;
  int Code = -1;
  std::string Out;
  std::string Command;
};

std::string Describe(const TToolRun& run) {
  return run.Command + (run.Ended ? " ended with " + std::to_string(run.Code) : std::string(" did not end")) +
         ":\n" + run.Out;
}

std::string UnixPath(const std::string& path) {
  using TUnixName = char*(CDECL*)(LPCWSTR);
  static const auto unixName =
      reinterpret_cast<TUnixName>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
  if (!unixName) return path;
  wchar_t wide[MAX_PATH * 2] = {};
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 2);
  char* name = unixName(wide);
  if (!name) return path;
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Where the tools' files go: a folder of the walk's own.
std::string WorkFolder() {
  const std::string folder = user->Folder() + "\\outside";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

std::string Utf8(const std::u16string& text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// Runs a Linux program (its path first) with arguments that are Unix paths or plain words.
TToolRun RunTool(const std::vector<std::string>& args) {
  static int runs = 0;
  const std::string base = WorkFolder() + "\\run-" + std::to_string(++runs);
  const std::string out = base + ".out", code = base + ".code";
  DeleteFileA(code.c_str());
  TToolRun run;
  std::string script;
  for (const std::string& arg : args) {
    run.Command += (run.Command.empty() ? "" : " ") + arg;
    script += ShellQuoted(arg) + " ";
  }
  script += "> " + ShellQuoted(UnixPath(out)) + " 2>&1; echo $? > " + ShellQuoted(UnixPath(code) + ".part") +
            "; mv " + ShellQuoted(UnixPath(code) + ".part") + " " + ShellQuoted(UnixPath(code));
  std::string commandLine = "/bin/sh -c \"" + script + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA("/bin/sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return run;
  if (process.hProcess) CloseHandle(process.hProcess);
  if (process.hThread) CloseHandle(process.hThread);
  run.Ended = TUserDriver::WaitFor([&] { return GetFileAttributesA(code.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000);
  run.Code = run.Ended ? std::atoi(FileText(code).c_str()) : -1;
  run.Out = FileText(out);
  return run;
}

// A tool run that must succeed; its output.
std::string ToolOutput(const std::vector<std::string>& args) {
  const TToolRun run = RunTool(args);
  EXPECT_TRUE(run.Ended && run.Code == 0) << Describe(run);
  return run.Out;
}

std::string HostTool(const std::string& name) { return std::string(TARVEX_HOST_TOOLS) + "/" + name + "/" + name; }

// The expected bytes of a row's image in a superfile the program combined: the loader carries the
// table the combination wrote (checked by the walk's own split), the rest what the steps left.
Bytes ExpectedInSuperfile(int row, const Bytes& loaderAsSplit) {
  if (row != -2) return ExpectedImage(row);
  Bytes want = ExpectedImage(-2);
  if (loaderAsSplit.size() == want.size() && want.size() >= TFlashSequence::AreaEnd)
    std::copy(loaderAsSplit.begin() + TFlashSequence::AreaStart, loaderAsSplit.begin() + TFlashSequence::AreaEnd,
              want.begin() + TFlashSequence::AreaStart);
  return want;
}

std::string Hex8(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

void WriteFile(const std::string& path, const char* data, size_t size) {
  FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr) << path;
  std::fwrite(data, 1, size, out);
  std::fclose(out);
}

// srec_cat and objcopy read the S-records after the header back to every image. objcopy stops at
// the first closing record, so it reads each block (S0 line to S7 line) from a file of its own.
void CheckSRecords(const std::string& combined) {
  const Bytes file = ReadWholeFile(combined);
  ASSERT_GT(file.size(), 8172u);
  const std::string text(file.begin() + 8172, file.end());
  const std::string records = WorkFolder() + "\\combined.srec";
  WriteFile(records, text.data(), text.size());
  std::vector<std::string> blocks;
  for (size_t from = 0; from < text.size();) {
    const size_t close = text.find("S7", from);
    ASSERT_NE(close, std::string::npos) << "a block without its closing record";
    const size_t end = std::min(text.find('\r', close), text.size());
    blocks.push_back(text.substr(from, end - from));
    from = std::min(end + 2, text.size());
  }
  const Bytes loader = ReadWholeFile(ImagePath(-2));
  const std::vector<int> rows = ImageRows();
  ASSERT_EQ(blocks.size(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = rows[i];
    const Bytes want = ExpectedInSuperfile(row, loader);
    const uint32_t start = ImageStart(row);
    const uint32_t end = start + static_cast<uint32_t>(want.size());
    const std::string tag = row == -2 ? std::string("loader") : "cg" + std::to_string(row);
    const std::string bySrec = WorkFolder() + "\\srec-" + tag + ".bin";
    ToolOutput({TARVEX_SREC_CAT, UnixPath(records), "-Motorola", "-crop", Hex8(start), Hex8(end), "-offset",
                "-" + Hex8(start), "-o", UnixPath(bySrec), "-Binary"});
    EXPECT_EQ(ReadWholeFile(bySrec), want) << "srec_cat, CG " << row;
    const std::string block = WorkFolder() + "\\block-" + tag + ".srec";
    const std::string byObjcopy = WorkFolder() + "\\objcopy-" + tag + ".bin";
    WriteFile(block, blocks[i].data(), blocks[i].size());
    ToolOutput({TARVEX_OBJCOPY, "-I", "srec", "-O", "binary", UnixPath(block), UnixPath(byObjcopy)});
    EXPECT_EQ(ReadWholeFile(byObjcopy), want) << "objcopy, CG " << row;
  }
}

// lp-tool dumps every language of CG 4 as generated, but the one string step 3 changed.
void CheckLanguagePack() {
  const std::string image = UnixPath(ImagePath(4));
  const auto& languages = firmware.LangPack.Languages;
  for (size_t k = 0; k < languages.size(); ++k) {
    std::string want;
    for (size_t i = 0; i < languages[k].Strings.size(); ++i) {
      char id[8];
      std::snprintf(id, sizeof id, "%04X", static_cast<unsigned>(i + 1));
      const bool edited = static_cast<int>(k) == LangPackEdit().Language && static_cast<int>(i) + 1 == LangPackEdit().Number;
      want += std::string(id) + " | " + Utf8(edited ? LangPackEdit().Text : languages[k].Strings[i]) + "\r\n";
    }
    EXPECT_EQ(ToolOutput({HostTool("lp-tool"), "dump", image, std::to_string(k)}), want) << "language " << k;
  }
}

// drm-tool lists CG 15's pictures as generated, the two step 4 replaced taken from their files,
// and exports each picture's bytes.
void CheckDrmImage() {
  const std::string image = UnixPath(ImagePath(15));
  const auto& pictures = firmware.DRM.Pictures;
  std::string want;
  std::vector<Bytes> data;
  for (size_t i = 0; i < pictures.size(); ++i) {
    const int no = static_cast<int>(i) + 1;
    TGenPicture p = pictures[i];
    if (no == DrmEdits().RawNo) {
      p.Data = firmware.ReplacementRaw;
      p.Width = firmware.RawWidth;
      p.Height = firmware.RawHeight;
    } else if (no == DrmEdits().GifNo) {
      p.Data = firmware.ReplacementGif;
      p.Width = 9;  // the generated replacement's size
      p.Height = 11;
    }
    data.emplace_back(p.Data.begin(), p.Data.end());
    want += std::to_string(no) + " " + std::to_string(no) + "(" + std::to_string(p.Width) + "x" +
            std::to_string(p.Height) + ")." + p.Type + " ";
    want += std::to_string(p.Data.size()) + "\n";
  }
  // The addresses are the image's own; the rest of each line is compared.
  std::string listed;
  for (const std::string& line : Lines(ToolOutput({HostTool("drm-tool"), "list", image}))) {
    const size_t address = line.rfind(' ', line.rfind(' ') - 1);
    listed += line.substr(0, address + 1) + line.substr(line.rfind(' ') + 1) + "\n";
  }
  EXPECT_EQ(listed, want);
  for (size_t i = 0; i < data.size(); ++i) {
    const std::string out = WorkFolder() + "\\picture-" + std::to_string(i + 1);
    ToolOutput({HostTool("drm-tool"), "export", image, std::to_string(i + 1), UnixPath(out)});
    EXPECT_EQ(ReadWholeFile(out), data[i]) << "picture " << i + 1;
  }
}

struct TSplitRow {
  std::string CG, Type;
  uint32_t A1 = 0, A2 = 0;
  size_t Size = 0;
  std::string File;
};

// shx-tool splits a superfile by its header's table: its rows and the images it wrote.
std::vector<TSplitRow> SplitByShxTool(const std::string& superfile, const std::string& name) {
  const std::string folder = WorkFolder() + "\\" + name;
  CreateDirectoryA(folder.c_str(), nullptr);
  std::vector<TSplitRow> rows;
  for (const std::string& line : Lines(ToolOutput({HostTool("shx-tool"), "split", UnixPath(superfile), UnixPath(folder)}))) {
    std::vector<std::string> fields;
    size_t from = 0;
    for (size_t bar; fields.size() < 5 && (bar = line.find('|', from)) != std::string::npos; from = bar + 1)
      fields.push_back(line.substr(from, bar - from));
    if (fields.size() < 5) continue;  // a status line
    TSplitRow row{fields[0], fields[1], static_cast<uint32_t>(std::stoul(fields[2], nullptr, 16)),
                  static_cast<uint32_t>(std::stoul(fields[3], nullptr, 16)), std::stoul(fields[4]), ""};
    const std::string file = line.substr(from);
    row.File = folder + "\\" + file.substr(file.rfind('/') + 1);
    rows.push_back(row);
  }
  return rows;
}

void ExpectRow(const TSplitRow& row, int cg, const Bytes& want) {
  EXPECT_EQ(row.CG, cg == -2 ? std::string() : std::to_string(cg));
  EXPECT_EQ(row.A1, ImageStart(cg)) << "CG " << cg;
  EXPECT_EQ(row.A2, ImageStart(cg) + want.size() - 1) << "CG " << cg;
  EXPECT_EQ(row.Size, want.size()) << "CG " << cg;
  EXPECT_EQ(ReadWholeFile(row.File), want) << "CG " << cg;
}

// The header's table and the closing checksum record, as the format has them: the superfile
// written anew from the same groups by the generator (written from the format alone) with the
// header's own date is the same file.
void ExpectFormat(const std::string& superfile, std::vector<TShxGroup> groups) {
  const Bytes file = ReadWholeFile(superfile);
  ASSERT_GT(file.size(), 8172u);
  // The checksum record: the low 16 bits of the sum of every byte before it.
  const std::string text(file.begin(), file.end());
  const size_t last = text.rfind("S7054353");
  ASSERT_NE(last, std::string::npos) << superfile;
  unsigned sum = 0;
  for (size_t i = 0; i < last; ++i) sum += file[i];
  char record[8];
  std::snprintf(record, sizeof record, "%04X", sum & 0xFFFF);
  EXPECT_EQ(text.substr(last + 8, 4), record) << superfile;

  TShxOptions options;
  options.Date = std::string(reinterpret_cast<const char*>(file.data()) + 320);
  const std::vector<uint8_t> rebuilt = BuildSuperfile(groups, options);
  EXPECT_EQ(file.size(), rebuilt.size()) << superfile;
  const auto differ = std::mismatch(file.begin(), file.end(), rebuilt.begin(), rebuilt.end());
  EXPECT_TRUE(differ.first == file.end()) << superfile << " differs from the format at byte "
                                          << (differ.first - file.begin());
}

// The groups of a superfile as the format writes them: the memory map and the flash apart.
std::vector<TShxGroup> FormatGroups(const std::vector<int>& rows, const Bytes& loader) {
  std::vector<TShxGroup> groups;
  for (int row : rows) {
    const Bytes bytes = ExpectedInSuperfile(row, loader);
    if (row == 1) {
      groups.push_back(Group(0));
      groups.push_back(Group(1));
    } else {
      groups.push_back({row, ImageStart(row), std::vector<uint8_t>(bytes.begin(), bytes.end())});
    }
  }
  return groups;
}

// shx-tool reads the combined superfile's table back to every row; the superfiles of "Make SHX"
// hold the loader and their group only.
void CheckSuperfiles(const std::string& combined) {
  const Bytes loader = ReadWholeFile(ImagePath(-2));
  const std::vector<TSplitRow> rows = SplitByShxTool(combined, "combined");
  const std::vector<int> want = ImageRows();
  ASSERT_EQ(rows.size(), want.size()) << combined;
  for (size_t i = 0; i < rows.size(); ++i) ExpectRow(rows[i], want[i], ExpectedInSuperfile(want[i], loader));
  ExpectFormat(combined, FormatGroups(want, loader));

  for (const auto& [superfile, cg] : {std::pair{LangPackSuperfile(), 4}, std::pair{DrmSuperfile(), 15}}) {
    SCOPED_TRACE(superfile);
    const std::vector<TSplitRow> single = SplitByShxTool(superfile, "cg" + std::to_string(cg));
    ASSERT_EQ(single.size(), 2u);
    EXPECT_EQ(single[0].Type, "RAM Downloader");
    const Bytes ownLoader = ReadWholeFile(single[0].File);
    // The loader's table names this group only.
    ASSERT_GE(ownLoader.size(), TFlashSequence::AreaEnd);
    const size_t pair = TFlashSequence::TableStart + 8 * static_cast<size_t>(cg);
    for (size_t at = TFlashSequence::AreaStart; at < TFlashSequence::AreaEnd; ++at)
      if (at < pair || at >= pair + 8) {
        EXPECT_EQ(ownLoader[at], 0xFF) << "loader byte " << at;
      }
    ExpectRow(single[0], -2, ExpectedInSuperfile(-2, ownLoader));
    ExpectRow(single[1], cg, ExpectedImage(cg));
    ExpectFormat(superfile, FormatGroups({-2, cg}, ownLoader));
  }
}

}  // namespace

void CheckWithOutsideTools(const std::string& combined) {
  {
    SCOPED_TRACE("S-records");
    CheckSRecords(combined);
  }
  {
    SCOPED_TRACE("language pack");
    CheckLanguagePack();
  }
  {
    SCOPED_TRACE("DRM image");
    CheckDrmImage();
  }
  {
    SCOPED_TRACE("superfiles");
    CheckSuperfiles(combined);
  }
}

}  // namespace walk
