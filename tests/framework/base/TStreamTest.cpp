#include "framework/base/TStream.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "framework/base/Exception.h"

TEST(TMemoryStream, ReadWriteSeekAndShortReads) {
  TMemoryStream s;
  s.WriteBuffer("hello", 5);
  EXPECT_EQ(s.Size(), 5);
  s.SetPosition(8);  // past the end: the next write fills the gap with zeros
  s.WriteBuffer("!", 1);
  EXPECT_EQ(s.Size(), 9);
  EXPECT_EQ(s.Memory()[6], 0);
  s.Seek(-4, TSeekOrigin::soEnd);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 4);
  EXPECT_EQ(s.Read(buf, 8), 0);
  s.SetPosition(7);
  EXPECT_THROW(s.ReadBuffer(buf, 3), EReadError);
  EXPECT_THROW(s.Seek(-1, TSeekOrigin::soBeginning), EStreamError);
  s.SetSize(2);
  EXPECT_EQ(s.Position(), 2);
  EXPECT_THROW(s.SetSize(-1), EStreamError);
}

TEST(TFileStream, CreateWriteReopenAndModes) {
  std::string name = ::testing::TempDir() + "tvx_stream.bin";
  {
    TFileStream f(name, fmCreate);
    f.WriteBuffer("abcdef", 6);
    f.SetPosition(2);
    char c;
    f.ReadBuffer(&c, 1);  // read after write in the same stream
    EXPECT_EQ(c, 'c');
    f.WriteBuffer("X", 1);
    f.Close();
  }
  {
    TFileStream f(name, fmOpenReadWrite | fmShareExclusive);
    EXPECT_EQ(f.Size(), 6);
    f.SetSize(4);
    EXPECT_EQ(f.Size(), 4);
    f.Seek(0, TSeekOrigin::soEnd);
    f.WriteBuffer("Z", 1);
  }
  TMemoryStream m;
  m.LoadFromFile(name);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.Memory()), 5), "abcXZ");
  {
    TFileStream ro(name, fmOpenRead);
    EXPECT_THROW(ro.WriteBuffer("q", 1), EWriteError);
  }
  std::remove(name.c_str());
  try {
    TFileStream missing(name, fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_NE(e.ErrorCode(), 0);
    EXPECT_NE(e.Message().find(name), std::string::npos);
  }
  EXPECT_THROW(TFileStream(::testing::TempDir() + "no/such/dir/x", fmCreate), EFCreateError);
}

TEST(TStream, CopyFromWholeSource) {
  TMemoryStream a, b;
  std::string big(200000, 'q');
  a.WriteBuffer(big.data(), static_cast<std::int64_t>(big.size()));
  EXPECT_EQ(b.CopyFrom(a, 0), 200000);
  EXPECT_EQ(b.Size(), 200000);
  a.SetPosition(199990);
  EXPECT_THROW(b.CopyFrom(a, 20), EReadError);
}
