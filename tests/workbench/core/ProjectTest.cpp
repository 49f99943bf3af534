#include "workbench/core/TProject.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "framework/base/TAtomicFileStream.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "framework/base/TStream.h"
#include "tests/support/TTempFolder.h"
#include "tests/support/ThrownText.h"
#include "workbench/core/TCodeGroupTable.h"

#ifdef __linux__
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

struct TGrid {
  TClientDataSet CDS;
  TCodeGroupTable Table{CDS};
  TGrid() {
    Table.Reset();
    Table.OnWarning = [](const std::string&) {};
  }
  void Fill() {
    Table.AddCGRecord(-2, 6001, "/fw/a RAMDLD.smg", 0x03FD0000, 0x03FD1770);
    Table.AddCGRecord(4, 100, "/fw/a CG4.smg", 0x11200000, 0x11200063);
    Table.AddCGRecord(15, 10, "/fw/a CG15.smg", 0x12000000, 0x12000009);
  }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (CDS.First(); !CDS.Eof(); CDS.Next()) {
      rows.push_back((CDS.FieldByName("CG")->IsNull() ? std::string("-") : CDS.FieldByName("CG")->AsString()) + " " +
                     CDS.FieldByName("Type")->AsString() + " " + CDS.FieldByName("Name")->AsString() + " " +
                     CDS.FieldByName("A1Str")->AsString() + " " + CDS.FieldByName("size")->AsString());
    }
    return rows;
  }
};

std::string ReadAll(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

TEST(Project, RoundTripKeepsRowsEmptyCodeGroupsAndOptions) {
  TTempFolder dir;
  TGrid saved;
  saved.Fill();
  const std::string table = Project::TableFileName(dir / "proj");
  EXPECT_EQ(table, dir / "proj.scp");
  EXPECT_EQ(Project::TableFileName(dir / "proj.dat"), dir / "proj.dat");
  const TProjectOptions options{"C:\\fw\\phone one.shx", 2048, true, 1};
  Project::Save(saved.CDS, table, options);
  EXPECT_EQ(Project::OptionsFileName(table), dir / "proj.cfg");

  TGrid opened;
  EXPECT_EQ(Project::Open(opened.CDS, table), options);
  EXPECT_EQ(opened.Rows(), saved.Rows());
  opened.CDS.First();
  EXPECT_TRUE(opened.CDS.FieldByName("CG")->IsNull());
  EXPECT_EQ(opened.CDS.FieldByName("A1Str")->AsString(), "03FD0000");
}

TEST(Project, MissingOrOutOfRangeOptionsReadAsDefaults) {
  TTempFolder dir;
  TGrid saved;
  saved.Fill();
  Project::Save(saved.CDS, dir / "p.scp", {"x.shx", 64, true, 1});
  std::remove((dir / "p.cfg").c_str());
  TGrid opened;
  EXPECT_EQ(Project::Open(opened.CDS, dir / "p.scp"), TProjectOptions{});
  EXPECT_EQ(opened.Rows(), saved.Rows());

  WriteAll(dir / "q.cfg", "[Options]\r\nIO Buffer Size=0\r\nOrder=2\r\n");
  EXPECT_EQ(Project::ReadOptions(dir / "q.cfg"), TProjectOptions{});
  WriteAll(dir / "q.cfg", "[Options]\r\nIO Buffer Size=1048577\r\nOrder=-1\r\nSeparate memory map=1\r\n");
  EXPECT_EQ(Project::ReadOptions(dir / "q.cfg"), (TProjectOptions{"", 128, true, 0}));
  WriteAll(dir / "q.cfg", "[Options]\r\nIO Buffer Size=1048576\r\nOrder=1\r\n");
  EXPECT_EQ(Project::ReadOptions(dir / "q.cfg"), (TProjectOptions{"", 1048576, false, 1}));
}

TEST(Project, SavingKeepsForeignKeysOfAnExistingOptionsFile) {
  TTempFolder dir;
  TGrid grid;
  grid.Fill();
  WriteAll(dir / "p.cfg", "; mine\r\n[Mine]\r\nKey=1\r\n");
  Project::Save(grid.CDS, dir / "p.scp", {});
  const std::string text = ReadAll(dir / "p.cfg");
  EXPECT_NE(text.find("; mine"), std::string::npos);
  EXPECT_NE(text.find("Key=1"), std::string::npos);
  EXPECT_NE(text.find("Order=0"), std::string::npos);
}

TEST(Project, TablesTheGridCannotHoldAreRefusedWithTheGridUnchanged) {
  TTempFolder dir;
  TGrid grid;
  grid.Fill();
  const std::vector<std::string> before = grid.Rows();

  // A table of another kind, rows the grid's rules refuse, a damaged file.
  TClientDataSet foreign;
  foreign.AddIntegerField("Id");
  foreign.CreateDataSet();
  foreign.Append();
  foreign.FieldByName("Id")->SetAsInteger(1);
  foreign.Post();
  foreign.SaveToFile(dir / "foreign.scp");

  const auto badRows = [&](const std::string& name, const std::function<void(TClientDataSet&)>& spoil) {
    TClientDataSet rows;
    rows.AddIntegerField("CG");
    rows.AddStringField("Name", 1000);
    rows.AddStringField("Type", 40);
    rows.AddIntegerField("A1");
    rows.AddIntegerField("A2");
    rows.AddIntegerField("size");
    rows.CreateDataSet();
    spoil(rows);
    rows.SaveToFile(dir / name);
  };
  const auto row = [](TClientDataSet& t, std::optional<int> cg, const std::string& type, const std::string& name) {
    t.Append();
    if (cg) t.FieldByName("CG")->SetAsInteger(*cg);
    t.FieldByName("Type")->SetAsString(type);
    t.FieldByName("Name")->SetAsString(name);
    t.Post();
  };
  badRows("twice.scp", [&](TClientDataSet& t) { row(t, 4, "LangPack", "a"); row(t, 4, "LangPack", "b"); });
  badRows("range.scp", [&](TClientDataSet& t) { row(t, 21, "CG21", "a"); });
  badRows("type.scp", [&](TClientDataSet& t) { row(t, 4, "Flash", "a"); });
  badRows("empty-cg.scp", [&](TClientDataSet& t) { row(t, std::nullopt, "LangPack", "a"); });
  badRows("long.scp", [&](TClientDataSet& t) { row(t, 4, "LangPack", std::string(256, 'n')); });
  WriteAll(dir / "damaged.scp", ReadAll(dir / "twice.scp").substr(0, 40));

  for (const char* name : {"foreign.scp", "twice.scp", "range.scp", "type.scp", "empty-cg.scp", "long.scp", "damaged.scp"}) {
    SCOPED_TRACE(name);
    WriteAll(Project::OptionsFileName(dir / name), "[Project]\r\nName=never read\r\n");
    EXPECT_NE(ThrownText<EProjectError>([&] { Project::Open(grid.CDS, dir / name); }), "");
    EXPECT_EQ(grid.Rows(), before);
    EXPECT_EQ(grid.CDS.FieldCount(), 8);
  }
}

TEST(Project, AFailedWriteFlushOrRenameKeepsTheOldPair) {
  TTempFolder dir;
  TGrid grid;
  grid.Fill();
  Project::Save(grid.CDS, dir / "p.scp", {"old.shx", 128, false, 0});
  const std::string oldTable = ReadAll(dir / "p.scp");
  const std::string oldOptions = ReadAll(dir / "p.cfg");
  grid.Table.AddCGRecord(2, 5, "/fw/flex.smg", 0x1000, 0x1004);
  const TProjectOptions changed{"new.shx", 64, true, 1};
  auto expectOldPair = [&] {
    EXPECT_EQ(ReadAll(dir / "p.scp"), oldTable);
    EXPECT_EQ(ReadAll(dir / "p.cfg"), oldOptions);
    EXPECT_TRUE(TAtomicFileStream::TemporariesOf(dir / "p.scp").empty());
    EXPECT_TRUE(TAtomicFileStream::TemporariesOf(dir / "p.cfg").empty());
  };

  // The table is written first, the options second: a fault at the first, a middle or the last
  // byte of either keeps both old files.
  TMemoryStream newTable;
  grid.CDS.SaveToStream(newTable);
  const std::int64_t tableSize = newTable.Size();
  const std::int64_t optionsSize = 80;  // the four keys and two section lines, at least
  for (const std::int64_t after : {std::int64_t{0}, tableSize / 2, tableSize - 1, tableSize, tableSize + optionsSize / 2,
                                   tableSize + optionsSize - 1}) {
    SCOPED_TRACE(after);
    TAtomicFileStream::SimulateFault(TWriteFault::DiskFull, after);
    EXPECT_ANY_THROW(Project::Save(grid.CDS, dir / "p.scp", changed));
    TAtomicFileStream::SimulateFault(TWriteFault::None, 0);
    expectOldPair();
  }
  // The flush or the rename of either file fails: the options' flush comes after the table was
  // complete, and a refused second rename must take the first one back.
  for (const TCommitStep step : {TCommitStep::Flush, TCommitStep::Rename}) {
    for (const int file : {0, 1}) {
      SCOPED_TRACE(std::to_string(static_cast<int>(step)) + " of file " + std::to_string(file));
      TAtomicFileStream::SimulateCommitFault(step, file);
      EXPECT_ANY_THROW(Project::Save(grid.CDS, dir / "p.scp", changed));
      TAtomicFileStream::SimulateCommitFault(step, -1);
      expectOldPair();
    }
  }
  Project::Save(grid.CDS, dir / "p.scp", changed);
  EXPECT_EQ(ReadAll(dir / "p.scp"), std::string(reinterpret_cast<const char*>(newTable.Memory()), static_cast<std::size_t>(newTable.Size())));
  EXPECT_EQ(Project::ReadOptions(dir / "p.cfg"), changed);
}

TEST(Project, AnOptionsFileTooLargeToReadIsReportedAndNotWrittenOver) {
  TTempFolder dir;
  TGrid grid;
  grid.Fill();
  Project::Save(grid.CDS, dir / "p.scp", {});
  std::string huge = "[Options]\r\n";
  for (int i = 0; i < 1500000; ++i) huge += "k" + std::to_string(i) + "=1\r\n";
  WriteAll(dir / "p.cfg", huge);
  const std::string table = ReadAll(dir / "p.scp");
  TGrid opened;
  EXPECT_NE(ThrownText<EInOutError>([&] { Project::Open(opened.CDS, dir / "p.scp"); }).find("too large"),
            std::string::npos);
  EXPECT_ANY_THROW(Project::Save(grid.CDS, dir / "p.scp", {"new.shx", 64, true, 1}));
  EXPECT_EQ(ReadAll(dir / "p.cfg"), huge);
  EXPECT_EQ(ReadAll(dir / "p.scp"), table);
}

TEST(Project, AFailedFirstSaveLeavesNeitherFile) {
  TTempFolder dir;
  TGrid grid;
  grid.Fill();
  TAtomicFileStream::SimulateCommitFault(TCommitStep::Rename, 1);
  EXPECT_ANY_THROW(Project::Save(grid.CDS, dir / "p.scp", {}));
  TAtomicFileStream::SimulateCommitFault(TCommitStep::Rename, -1);
  EXPECT_FALSE(std::filesystem::exists(dir / "p.scp"));
  EXPECT_FALSE(std::filesystem::exists(dir / "p.cfg"));
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

#ifdef __linux__
// On a real file system that fills up: a small tmpfs in a mount namespace of a child process,
// with one page free and the old table linked elsewhere so that replacing it frees nothing. The
// options' bytes reach the disk only at their flush, after the table took the last page.
TEST(Project, AFullFileSystemKeepsTheOldPair) {
  TTempFolder dir;
  const std::string mount = (dir.Path() / "fs").string();
  std::filesystem::create_directory(mount);
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    // 0 kept the old pair, 1 replaced only a part, 2 saved (the disk was not full), 3 no mount.
    if (unshare(CLONE_NEWNS) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) _exit(3);
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) _exit(3);
    if (::mount("none", mount.c_str(), "tmpfs", 0, "size=64k") != 0) _exit(3);
    TGrid grid;
    grid.Fill();
    const std::string table = mount + "/p.scp";
    Project::Save(grid.CDS, table, {"old.shx", 128, false, 0});
    const std::string oldTable = ReadAll(table), oldOptions = ReadAll(mount + "/p.cfg");
    if (link(table.c_str(), (mount + "/keep").c_str()) != 0) _exit(3);
    // Fill all but one page.
    {
      std::FILE* filler = std::fopen((mount + "/filler").c_str(), "wb");
      const std::string page(4096, 'x');
      while (std::fwrite(page.data(), 1, page.size(), filler) == page.size() && std::fflush(filler) == 0) {
      }
      std::fclose(filler);
      struct statvfs fs;
      if (statvfs(mount.c_str(), &fs) != 0) _exit(3);
      const auto freeBytes = static_cast<std::int64_t>(fs.f_bavail) * static_cast<std::int64_t>(fs.f_frsize);
      if (truncate((mount + "/filler").c_str(), std::filesystem::file_size(mount + "/filler") - 4096 + freeBytes) != 0) _exit(3);
    }
    grid.Table.AddCGRecord(2, 5, "/fw/flex.smg", 0x1000, 0x1004);
    bool failed = false;
    try {
      Project::Save(grid.CDS, table, {"new.shx", 64, true, 1});
    } catch (const Exception&) {
      failed = true;
    }
    const bool oldPair = ReadAll(table) == oldTable && ReadAll(mount + "/p.cfg") == oldOptions;
    _exit(!failed ? 2 : oldPair ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 3) GTEST_SKIP() << "no tmpfs can be mounted here (needs a mount namespace)";
  EXPECT_NE(WEXITSTATUS(status), 2) << "the file system did not fill up";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "a failed save changed the pair";
}
#endif

}  // namespace
