#include "framework/base/TAtomicFileStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/base/Exception.h"
#include "tests/framework/base/WriteFault.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

// A fresh folder per test; only the names a test expects may be in it at its end.
class TFolder {
public:
  explicit TFolder(const std::string& name) : FPath(fs::path(::testing::TempDir()) / ("tvx-atomic-" + name)) {
    fs::remove_all(FPath);
    fs::create_directories(FPath);
  }
  ~TFolder() {
    std::error_code ignored;
    fs::remove_all(FPath, ignored);
  }
  std::string operator/(const std::string& leaf) const { return (FPath / leaf).string(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(FPath)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

private:
  fs::path FPath;
};

void Write(const std::string& name, const std::string& bytes) {
  TAtomicFileStream::WriteFile(name, bytes.data(), bytes.size());
}

const std::string kOld = "the old content, which must survive";

}  // namespace

TEST(TAtomicFileStream, ReplacesAndCreatesWholeFilesLeavingNoTemporary) {
  TFolder dir("replace");
  const std::string name = dir / "image.smg";
  Write(name, kOld);
  EXPECT_EQ(diskfile::Bytes(name), kOld);
  Write(name, "short");  // shorter than before: nothing of the old file remains
  EXPECT_EQ(diskfile::Bytes(name), "short");
  Write(name, "");
  EXPECT_TRUE(diskfile::Exists(name));
  EXPECT_EQ(diskfile::Bytes(name), "");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"image.smg"});
  EXPECT_EQ(TAtomicFileStream::TemporaryNameOf(name), name + ".tmp");
}

TEST(TAtomicFileStream, AFullDiskKeepsTheOldFileAndNamesTheTargetAndTheReason) {
  TFolder dir("full");
  const std::string name = dir / "pack.smg";
  Write(name, kOld);
  const std::string image(300000, 'x');
  for (std::int64_t room : {0, 1, 65536, 299999}) {
    TWriteFaultScope full(TWriteFault::DiskFull, room);
    try {
      Write(name, image);
      ADD_FAILURE() << room;
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.Message(), "Cannot write file \"" + name + "\". " + std::strerror(ENOSPC));
      EXPECT_EQ(e.ErrorCode(), ENOSPC);
    }
    EXPECT_EQ(diskfile::Bytes(name), kOld) << room;
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"pack.smg"}) << room;
  }
  // A new file that cannot be written whole is not created at all.
  TWriteFaultScope full(TWriteFault::DiskFull, 10);
  EXPECT_THROW(Write(dir / "new.smg", image), EInOutError);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"pack.smg"});
}

TEST(TAtomicFileStream, AnUncommittedStreamOrARefusedRenameLeavesTheTargetAlone) {
  TFolder dir("abandon");
  const std::string name = dir / "table.cds";
  Write(name, kOld);
  try {
    TAtomicFileStream file(name);
    file.WriteBuffer("new", 3);
    throw Exception("the caller fails half way");
  } catch (const Exception&) {
  }
  EXPECT_EQ(diskfile::Bytes(name), kOld);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"table.cds"});

  // A folder under the target's name cannot be replaced by a file.
  fs::create_directory(dir / "folder.smg");
  try {
    Write(dir / "folder.smg", "data");
    ADD_FAILURE();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message().rfind("Cannot replace file \"" + (dir / "folder.smg") + "\". ", 0), 0u)
        << e.Message();
  }
  EXPECT_TRUE(fs::is_directory(dir / "folder.smg"));
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"folder.smg", "table.cds"}));

  try {
    Write(dir / "no/such/folder/x.ini", "data");
    ADD_FAILURE();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message().rfind("Cannot create file \"" + (dir / "no/such/folder/x.ini.tmp") + "\". ", 0), 0u)
        << e.Message();
  }
  EXPECT_THROW(Write("", "data"), EFCreateError);
}

TEST(TAtomicFileStream, TheTemporaryFileOfAKilledWriteIsReusedByTheNextOne) {
  TFolder dir("killed");
  const std::string name = dir / "fw.shx";
  Write(name, kOld);
  {
    TWriteFaultScope kill(TWriteFault::Kill, 1000);
    EXPECT_THROW(Write(name, std::string(5000, 'k')), EInOutError);
  }
  // What a killed process leaves: the old file and a partial temporary file.
  EXPECT_EQ(diskfile::Bytes(name), kOld);
  EXPECT_EQ(diskfile::Bytes(name + ".tmp"), std::string(1000, 'k'));
  Write(name, "complete");
  EXPECT_EQ(diskfile::Bytes(name), "complete");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"fw.shx"});
}

TEST(TAtomicFileStream, IsWrittenInOrderOnly) {
  TFolder dir("order");
  TAtomicFileStream file(dir / "a.bin");
  file.WriteBuffer("abc", 3);
  EXPECT_EQ(file.Position(), 3);
  EXPECT_EQ(file.Size(), 3);
  EXPECT_THROW(file.SetPosition(0), EStreamError);
  EXPECT_THROW(file.SetSize(1), EStreamError);
  char c;
  EXPECT_THROW(file.Read(&c, 1), EStreamError);
  file.Commit();
  EXPECT_THROW(file.WriteBuffer("d", 1), EStreamError);
  EXPECT_EQ(diskfile::Bytes(dir / "a.bin"), "abc");
}

#ifndef _WIN32
// The real thing behind the simulated kill: a process killed in mid-write leaves the old file and
// a partial temporary one, which the next write replaces even when it was left read-only.
TEST(TAtomicFileStream, AProcessKilledInMidWriteLeavesTheOldFile) {
  TFolder dir("sigkill");
  const std::string name = dir / "lang.smg";
  Write(name, kOld);
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    TAtomicFileStream file(name);
    const std::string chunk(1 << 20, 'c');
    file.WriteBuffer(chunk.data(), static_cast<std::int64_t>(chunk.size()));
    (void)!write(ready[1], "w", 1);
    for (;;) pause();
  }
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  close(ready[0]);
  close(ready[1]);
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(diskfile::Bytes(name), kOld);
  EXPECT_TRUE(diskfile::Exists(name + ".tmp"));
  chmod((name + ".tmp").c_str(), 0444);
  Write(name, "next");
  EXPECT_EQ(diskfile::Bytes(name), "next");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"lang.smg"});
}
#endif
