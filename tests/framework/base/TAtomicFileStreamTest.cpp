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
#include <sys/sysmacros.h>
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
}

// Files of the user's that look like temporary files are never taken over nor removed.
TEST(TAtomicFileStream, TheTemporaryFileIsNeverOneOfTheUsers) {
  TFolder dir("users");
  const std::string name = dir / "out.shx";
  const std::vector<std::string> users = {"out.shx.tmp", "out.shx.~tmp", "out.shx.~0000000G.tmp",
                                          "out.shx.~0123ABC.tmp", "out.shx.~0123abcd.tmp"};
  for (const std::string& leaf : users) Write(dir / leaf, "the user's " + leaf);
  {
    TAtomicFileStream file(name);
    file.WriteBuffer("new", 3);
    EXPECT_EQ(file.TemporaryName().rfind(name + ".~", 0), 0u) << file.TemporaryName();
    EXPECT_EQ(TAtomicFileStream::TemporariesOf(name), std::vector<std::string>{file.TemporaryName()});
    file.Commit();
  }
  {
    TWriteFaultScope full(TWriteFault::DiskFull, 10);
    EXPECT_THROW(Write(name, std::string(100, 'x')), EInOutError);
  }
  Write(name, "again");
  for (const std::string& leaf : users) EXPECT_EQ(diskfile::Bytes(dir / leaf), "the user's " + leaf);
  EXPECT_EQ(diskfile::Bytes(name), "again");
  EXPECT_EQ(dir.Names().size(), users.size() + 1);
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

  try {
    Write(dir / "no/such/folder/x.ini", "data");
    ADD_FAILURE();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file \"" + (dir / "no/such/folder/x.ini") + "\". " + std::strerror(ENOENT));
  }
  EXPECT_THROW(Write("", "data"), EFCreateError);
}

TEST(TAtomicFileStream, TheTemporaryFileOfAKilledWriteIsRemovedByTheNextOne) {
  TFolder dir("killed");
  const std::string name = dir / "fw.shx";
  Write(name, kOld);
  {
    TWriteFaultScope kill(TWriteFault::Kill, 1000);
    EXPECT_THROW(Write(name, std::string(5000, 'k')), EInOutError);
  }
  // What a killed process leaves: the old file and a partial temporary file.
  EXPECT_EQ(diskfile::Bytes(name), kOld);
  const std::vector<std::string> left = TAtomicFileStream::TemporariesOf(name);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(diskfile::Bytes(left[0]), std::string(1000, 'k'));
  Write(name, "complete");
  EXPECT_EQ(diskfile::Bytes(name), "complete");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"fw.shx"});
}

// Two writers of one target at once: neither removes the other's temporary file; the last to commit wins.
TEST(TAtomicFileStream, AWriterInProgressKeepsItsTemporaryFile) {
  TFolder dir("two");
  const std::string name = dir / "fw.shx";
  TAtomicFileStream first(name);
  first.WriteBuffer("first", 5);
  TAtomicFileStream second(name);
  second.WriteBuffer("second", 6);
  EXPECT_NE(first.TemporaryName(), second.TemporaryName());
  EXPECT_EQ(TAtomicFileStream::TemporariesOf(name).size(), 2u);
  first.Commit();
  EXPECT_EQ(diskfile::Bytes(name), "first");
  second.Commit();
  EXPECT_EQ(diskfile::Bytes(name), "second");
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
// Renaming a regular file over a pipe or a device would replace them; a folder cannot be replaced.
TEST(TAtomicFileStream, ATargetThatIsNoRegularFileIsRefusedAndNothingIsWritten) {
  TFolder dir("special");
  fs::create_directory(dir / "folder.smg");
  ASSERT_EQ(mkfifo((dir / "pipe.smg").c_str(), 0600), 0);
  struct TCase {
    std::string Leaf, Kind;
    int Code;
  };
  std::vector<TCase> cases = {{"folder.smg", "a folder", EISDIR}, {"pipe.smg", "a pipe", EINVAL}};
  // A null device of our own, so that a fault here cannot touch the system's.
  if (geteuid() == 0 && mknod((dir / "null.smg").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
    cases.push_back({"null.smg", "a device", EINVAL});
  const std::vector<std::string> before = dir.Names();
  for (const TCase& c : cases) {
    try {
      Write(dir / c.Leaf, "data");
      ADD_FAILURE() << c.Leaf;
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message(), "Cannot replace \"" + (dir / c.Leaf) + "\": it is " + c.Kind + ", not a regular file");
      EXPECT_EQ(e.ErrorCode(), c.Code);
    }
    EXPECT_EQ(dir.Names(), before) << c.Leaf;
  }
  EXPECT_TRUE(fs::is_fifo(dir / "pipe.smg"));
  EXPECT_TRUE(fs::is_directory(dir / "folder.smg"));
}

// The real thing behind the simulated kill: a process killed in mid-write leaves the old file and
// a partial temporary one, which the next write removes even when it was left read-only.
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
  const std::vector<std::string> left = TAtomicFileStream::TemporariesOf(name);
  ASSERT_EQ(left.size(), 1u);
  chmod(left[0].c_str(), 0444);
  Write(name, "next");
  EXPECT_EQ(diskfile::Bytes(name), "next");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"lang.smg"});
}
#endif
