// Saved tables built by hand from the documented layouts: what is written today must keep
// loading, and a damaged file with a valid checksum must still be refused by the parser.

#include <gtest/gtest.h>

#include "framework/base/Exception.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TStream.h"
#include "framework/base/TablePacket.h"

namespace {

class TBytes {
public:
  TBytes& Raw(const std::string& s) {
    FData += s;
    return *this;
  }
  TBytes& U8(unsigned v) { return Le(v, 1); }
  TBytes& U16(unsigned v) { return Le(v, 2); }
  TBytes& U32(std::uint32_t v) { return Le(v, 4); }
  TBytes& U64(std::uint64_t v) { return Le(v, 8); }
  TBytes& Le(std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) FData += static_cast<char>((v >> (8 * i)) & 0xFF);
    return *this;
  }
  // Appends the CRC-32 of everything so far, as the format closes.
  std::string Sealed() const {
    TBytes out = *this;
    return out.U32(TableCrc32(FData.data(), FData.size())).FData;
  }

private:
  std::string FData;
};

// A flasher list: CG integer, Name string(255), calculated A1Str string(8).
TBytes FlasherHeader() {
  TBytes b;
  b.Raw("TVXTABLE").U16(1).U16(0);  // magic, version 1, flags
  b.U32(3);                          // three fields
  b.U8(0).U8(0).U32(0).U16(2).Raw("CG");
  b.U8(1).U8(0).U32(255).U16(4).Raw("Name");
  b.U8(1).U8(1).U32(8).U16(5).Raw("A1Str");
  return b;
}

void Load(TClientDataSet& t, const std::string& bytes) {
  TMemoryStream m;
  m.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  m.SetPosition(0);
  t.LoadFromStream(m);
}

std::string LoadError(const std::string& bytes) {
  TClientDataSet t;
  try {
    Load(t, bytes);
  } catch (const EDatabaseError& e) {
    return e.Message();
  }
  return "loaded";
}

}  // namespace

TEST(TableFormat, HandBuiltBinaryTableLoads) {
  TBytes b = FlasherHeader();
  b.U32(2);                                                 // two rows
  b.U64(5).U8(1).U32(4).U8(1).U32(5).Raw("C:\\a4");        // id 5: CG 4, Name
  b.U64(9).U8(0).U8(0);                                     // id 9: both empty
  TClientDataSet t;
  Load(t, b.Sealed());
  ASSERT_EQ(t.RecordCount(), 2);
  EXPECT_TRUE(t.FieldByName("a1str")->Calculated());
  EXPECT_EQ(t.FieldByName("CG")->AsInteger(), 4);
  EXPECT_EQ(t.FieldByName("Name")->AsString(), "C:\\a4");
  t.Next();
  EXPECT_TRUE(t.FieldByName("CG")->IsNull());
  EXPECT_TRUE(t.FieldByName("Name")->IsNull());
  // Saving it again gives the very same bytes.
  TMemoryStream again;
  t.SaveToStream(again);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(again.Memory()), static_cast<std::size_t>(again.Size())),
            b.Sealed());
}

TEST(TableFormat, HandBuiltXmlTableLoads) {
  std::string body =
      "\n<FIELDS>\n"
      "  <FIELD name='ID' type='integer' kind='data'/>\n"
      "  <FIELD name=\"Text\" type=\"widestring\" size=\"10\" kind=\"data\"/>\n"
      "</FIELDS>\n"
      "<!-- a comment -->\n"
      "<ROWS>\n"
      "  <ROW id=\"1\" f0=\"-7\" f1=\"&#x4E2D;&lt;&#10;\xF0\x9F\x98\x80 \"/>\n"
      "  <ROW id=\"3\"/>\n"
      "</ROWS>\n";
  std::string text = "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<TARVEXTABLE crc=\"" +
                     IntToHex(TableCrc32(body.data(), body.size()), 8) + "\" version=\"1\">" + body +
                     "</TARVEXTABLE>";
  TClientDataSet t;
  Load(t, text);
  ASSERT_EQ(t.RecordCount(), 2);
  EXPECT_EQ(t.FieldByName("ID")->AsInteger(), -7);
  EXPECT_EQ(t.FieldByName("Text")->AsWideString(), u"\u4E2D<\n\U0001F600 ");

  // Bodies that are wrong even though their checksum matches.
  auto withBody = [](const std::string& rows) {
    std::string body = "<FIELDS><FIELD name='ID' type='integer' kind='data'/>"
                       "<FIELD name='Text' type='widestring' size='10' kind='data'/></FIELDS><ROWS>" +
                       rows + "</ROWS>";
    return "<TARVEXTABLE version='1' crc='" + IntToHex(TableCrc32(body.data(), body.size()), 8) + "'>" + body +
           "</TARVEXTABLE>";
  };
  EXPECT_EQ(LoadError(withBody("<ROW id='1' f1='ok'/>")), "loaded");
  EXPECT_NE(LoadError(withBody("<ROW id='1' f1='\xC0\x80'/>")).find("UTF-8"), std::string::npos);  // overlong
  EXPECT_NE(LoadError(withBody("<ROW id='1' f1='\xED\xA0\x80'/>")).find("UTF-8"), std::string::npos);
  EXPECT_NE(LoadError(withBody("<ROW id='1' f0='1.5'/>")).find("integer"), std::string::npos);
  EXPECT_NE(LoadError(withBody("<ROW id='1' f0='+1'/>")).find("integer"), std::string::npos);
  EXPECT_NE(LoadError(withBody("<ROW id='1' f2='x'/>")).find("field number"), std::string::npos);
  EXPECT_NE(LoadError(withBody("<ROW id='1' f01='x'/>")).find("unknown field"), std::string::npos);
  EXPECT_NE(LoadError(withBody("<ROW f0='1'/>")).find("no id"), std::string::npos);
  EXPECT_NE(LoadError(withBody("<ROW id='1' f1='&bogus;'/>")).find("entity"), std::string::npos);
  EXPECT_NE(LoadError(withBody("<ROW id='1' f1='&#x110000;'/>")).find("range"), std::string::npos);
  EXPECT_NE(LoadError(withBody("<ROW id='1' f1='12345678901'/>")).find("does not fit"), std::string::npos);
  EXPECT_NE(LoadError(withBody("<ROW id='1' f1='a' f1='b'/>")).find("repeated"), std::string::npos);
  EXPECT_NE(LoadError(withBody("<ROW id='1'>text</ROW>")).find("malformed"), std::string::npos);
}

TEST(TableFormat, DamageBehindAValidChecksumIsStillRefused) {
  auto rows = [](TBytes b) { return b.Sealed(); };
  // Each case: a field or row value that lies, with the checksum made to match.
  EXPECT_NE(LoadError(rows(FlasherHeader().U32(1000000))).find("row count"), std::string::npos);
  EXPECT_NE(LoadError(rows(FlasherHeader().U32(1).U64(1).U8(1).U32(4).U8(1).U32(300).Raw(std::string(300, 'x'))))
                .find("does not fit"),
            std::string::npos);  // Name longer than its 255 characters
  EXPECT_NE(LoadError(rows(FlasherHeader().U32(1).U64(1).U8(2).U8(0))).find("tag"), std::string::npos);
  EXPECT_NE(LoadError(rows(FlasherHeader().U32(1).U64(1).U8(1).U32(4).U8(1).U32(0x7FFFFFFF))).find("ends too early"),
            std::string::npos);  // a text length far past the end
  EXPECT_NE(LoadError(rows(FlasherHeader().U32(2).U64(2).U8(0).U8(0).U64(2).U8(0).U8(0))).find("identities"),
            std::string::npos);  // ids must rise
  EXPECT_NE(LoadError(rows(FlasherHeader().U32(0).U8(0))).find("after its last row"), std::string::npos);
  EXPECT_NE(LoadError(rows(FlasherHeader().U32(1).U64(1).U8(1).U32(4).U8(1).U32(0))).find("does not fit"),
            std::string::npos);  // an empty text is stored as empty, never as a value
  TBytes duplicate;
  duplicate.Raw("TVXTABLE").U16(1).U16(0).U32(2).U8(0).U8(0).U32(0).U16(1).Raw("a").U8(0).U8(0).U32(0).U16(1).Raw(
      "A");
  EXPECT_NE(LoadError(duplicate.U32(0).Sealed()).find("duplicate field"), std::string::npos);
  TBytes noData;
  noData.Raw("TVXTABLE").U16(1).U16(0).U32(1).U8(0).U8(1).U32(0).U16(1).Raw("c");
  EXPECT_NE(LoadError(noData.U32(0).Sealed()).find("no data fields"), std::string::npos);
  TBytes badType;
  badType.Raw("TVXTABLE").U16(1).U16(0).U32(1).U8(7).U8(0).U32(0).U16(1).Raw("c");
  EXPECT_NE(LoadError(badType.U32(0).Sealed()).find("type"), std::string::npos);
}

// An element may carry only the attributes the form gives it, each once: a root or a row with many
// more is refused as soon as it has too many, a repeat far from its first is still found.
TEST(TableFormat, ElementsWithTooManyOrRepeatedAttributesAreRefused) {
  auto table = [](const std::string& rootExtra, const std::string& fieldExtra, const std::string& rows) {
    std::string body = "<FIELDS><FIELD name='ID' type='integer' kind='data'" + fieldExtra +
                       "/><FIELD name='Text' type='widestring' size='10' kind='data'/></FIELDS><ROWS>" + rows +
                       "</ROWS>";
    return "<TARVEXTABLE" + rootExtra + " version='1' crc='" + IntToHex(TableCrc32(body.data(), body.size()), 8) +
           "'>" + body + "</TARVEXTABLE>";
  };
  auto attributes = [](const char* prefix, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += std::string(" ") + prefix + std::to_string(i) + "='0'";
    return text;
  };
  EXPECT_EQ(LoadError(table(attributes("a", 6), "", "<ROW id='1' f0='2' f1='x'/>")), "loaded");
  EXPECT_NE(LoadError(table(attributes("a", 200000), "", "")).find("too many attributes"), std::string::npos);
  EXPECT_NE(LoadError(table("", attributes("x", 6), "")).find("too many attributes"), std::string::npos);
  EXPECT_NE(LoadError(table("", "", "<ROW id='1' f0='2' f1='x' f2='y'/>")).find("too many attributes"),
            std::string::npos);
  EXPECT_NE(LoadError(table("", "", "<ROW f1='x' id='1' f1='y'/>")).find("repeated"), std::string::npos);
  EXPECT_NE(LoadError(table(" crc='00000000'", "", "")).find("repeated"), std::string::npos);
  EXPECT_NE(LoadError(table("", " name='X'", "")).find("repeated"), std::string::npos);
}
