// Hostile skins: descriptions too large to load, a master bitmap that is there but cannot be
// read, and numbers out of what the painters draw.
#include <gtest/gtest.h>

#include "SkinTestImages.h"
#include "skin/engine/core/ESkinError.h"
#include "skin/engine/core/TsSkinLoader.h"
#include "tests/support/TAllocationProbe.h"

namespace {

const std::string Folder = "C:\\Skins\\Big\\";

// A description like the ones skins ship: each section inherits from an earlier one (chains of
// at most log2(sections) steps) and draws its border from the master bitmap.
std::string RealisticSkin(std::size_t sections) {
  std::string text = "[GLOBALINFO]\r\nVERSION=5\r\nMASTERBITMAP=Master.bmp\r\nCOLOR=14543859\r\n";
  for (std::size_t i = 1; i < sections; ++i) {
    text += "\r\n[SECTION" + std::to_string(i) + "]\r\n";
    if (i > 1) text += "PARENTCLASS=SECTION" + std::to_string(i / 2) + "\r\n";
    text +=
        "COLOR=14543859\r\nHOTCOLOR=15987699\r\nFONTCOLOR=1714747\r\nHOTFONTCOLOR=1060954\r\n"
        "TRANSPARENCY=0\r\nHOTTRANSPARENCY=0\r\nGRADIENTPERCENT=40\r\nHOTGRADIENTPERCENT=60\r\n"
        "GRADIENTDATA=15987699;14543859;50;0;0;14543859;13421772;100;0;0\r\nIMAGEPERCENT=0\r\n"
        "BORDERSMASK=# (0,0,48,48) (2,1,4)\r\nSHOWFOCUS=TRUE\r\n";
  }
  return text;
}

TsMemoryFiles MasterOnly(std::vector<std::uint8_t> master) {
  TsMemoryFiles files;
  files.Add(Folder + "Master.bmp", std::move(master));
  return files;
}

TsLoadedSkin LoadIni(const TsIniText& ini, const TsSkinFiles* files = nullptr) {
  TsSkinSource source;
  source.Ini = &ini;
  source.SkinPath = Folder;
  source.Files = files;
  return LoadSkin(source);
}

TsLoadedSkin LoadText(const std::string& text, const TsSkinFiles* files = nullptr) {
  return LoadIni(TsIniText(text), files);
}

std::string RefusalOf(const std::string& text) {
  try {
    LoadText(text);
  } catch (const ESkinError& e) {
    return e.Message();
  }
  return "";
}

// A chain of sections, each naming the one before as its parent.
std::string Chain(std::size_t sections) {
  std::string text = "[C0]\nCOLOR=77\n";
  for (std::size_t i = 1; i < sections; ++i)
    text += "[C" + std::to_string(i) + "]\nPARENTCLASS=C" + std::to_string(i - 1) + "\n";
  return text;
}

TEST(SkinBounds, LoadingCostsAtMostFourTimesTheFilesAtThreeSizes) {
  const std::vector<std::uint8_t> master = EncodeBmp24(FilledPixmap(64, 64, 0x336699));
  const TsMemoryFiles files = MasterOnly(master);
  for (std::size_t sections : {200u, 1000u, 4000u}) {
    SCOPED_TRACE(sections);
    const std::string file = RealisticSkin(sections);
    TAllocationProbe probe;
    {
      const TsIniText ini = TsIniText::FromText(file);  // the description as read from disk
      const TsLoadedSkin skin = LoadIni(ini, &files);
      ASSERT_EQ(skin.Tables.Sections.size(), sections);
      ASSERT_EQ(skin.Tables.Masks.size(), sections);  // every border, and the master itself
    }
    EXPECT_LE(probe.Peak(), 4 * (file.size() + master.size()));
  }
}

TEST(SkinBounds, ADescriptionBeyondABoundIsRefusedNamingItsFile) {
  const std::string file = Folder + "Options.dat";
  std::string sections;
  for (std::size_t i = 0; i <= MaxSkinSections; ++i) sections += "[S" + std::to_string(i) + "]\n";
  const std::string tooMany = RefusalOf(sections);
  EXPECT_NE(tooMany.find(file), std::string::npos) << tooMany;
  EXPECT_NE(tooMany.find("4097 sections"), std::string::npos) << tooMany;

  std::string keys = "[S]\n";
  for (std::size_t i = 0; i <= MaxSkinKeys; ++i) keys += "K" + std::to_string(i) + "=1\n";
  EXPECT_NE(RefusalOf(keys).find("65537 keys"), std::string::npos);

  // The counts come from the text alone, so that a caller refuses before parsing.
  const TsIniText::TCounts counts = TsIniText::Count("; note\n[A]\nX=1\n\n[B]\n  Y = 2\r\n[A]\nZ\n");
  EXPECT_EQ(counts.Sections, 3u);
  EXPECT_EQ(counts.Keys, 3u);
}

TEST(SkinBounds, AChainDeeperThanTheLimitIsRefusedNotCutShort) {
  // At the limit every section still inherits from the first.
  const TsLoadedSkin deepest = LoadText(Chain(MaxInheritanceDepth));
  ASSERT_EQ(deepest.Tables.Sections.size(), MaxInheritanceDepth);
  EXPECT_EQ(deepest.Tables.Sections.back().Color, 77);

  const std::string refusal = RefusalOf(Chain(MaxInheritanceDepth + 1));
  EXPECT_NE(refusal.find(Folder + "Options.dat"), std::string::npos) << refusal;
  EXPECT_NE(refusal.find("\"C64\""), std::string::npos) << refusal;

  // A cycle is no chain too deep: it ends like a missing parent.
  const TsLoadedSkin cycle = LoadText(Chain(MaxInheritanceDepth) + "[C0]\nPARENTCLASS=C63\n");
  EXPECT_EQ(cycle.Tables.Sections.back().Color, 77);
}

// A bitmap file whose header is patched at offset (little-endian 32 or 16 bits).
std::vector<std::uint8_t> Patched(std::vector<std::uint8_t> bmp, std::size_t offset, std::uint32_t value,
                                  std::size_t bytes) {
  for (std::size_t i = 0; i < bytes; ++i) bmp[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  return bmp;
}

const char* const MasterSkin = R"([GLOBALINFO]
VERSION=5
MASTERBITMAP=Master.bmp
BOXCHECKED=#(0,0,48,16)(3,0)
[FORM]
COLOR=255
BICONCLOSE=#(0,16,60,40)(3,1)
[DIALOG]
PARENTCLASS=FORM
[PANEL]
COLOR=65280
[EDIT]
PARENTCLASS=PANEL
)";

TEST(SkinMasterBitmap, OneThatIsThereButUnreadableIsSaidAndWhatDrawsFromItIsLeftOut) {
  const std::vector<std::uint8_t> good = EncodeBmp24(FilledPixmap(100, 60, 0x336699));
  std::vector<std::uint8_t> cut = good;
  cut.resize(good.size() / 2);
  const std::vector<std::uint8_t> truncated = cut;
  // BITMAPINFOHEADER after the 14-byte file header: width at 18, height at 22, bits at 28.
  const std::vector<std::uint8_t> huge = Patched(Patched(good, 18, 30000, 4), 22, 30000, 4);
  const std::vector<std::uint8_t> sevenBits = Patched(good, 28, 7, 2);
  for (const auto* damaged : {&truncated, &huge, &sevenBits}) {
    const TsMemoryFiles files = MasterOnly(*damaged);
    const TsLoadedSkin skin = LoadText(MasterSkin, &files);
    EXPECT_EQ(skin.MasterBitmap, "Master.bmp");
    EXPECT_FALSE(skin.MasterBitmapError.empty());
    EXPECT_FALSE(skin.Tables.MasterBitmap);
    // FORM and GLOBALINFO draw from it, DIALOG through FORM; PANEL and EDIT keep their colours.
    std::vector<std::string> names;
    for (const auto& s : skin.Tables.Sections) names.push_back(s.SectionName);
    EXPECT_EQ(names, (std::vector<std::string>{"PANEL", "EDIT"}));
    EXPECT_EQ(skin.Tables.Sections[1].Color, 65280);
  }

  // A missing master bitmap stays silent and every section stays.
  const TsMemoryFiles none;
  const TsLoadedSkin missing = LoadText(MasterSkin, &none);
  EXPECT_TRUE(missing.MasterBitmapError.empty());
  EXPECT_TRUE(missing.MasterBitmap.empty());
  EXPECT_EQ(missing.Tables.Sections.size(), 5u);
  const TsMemoryFiles readable = MasterOnly(good);
  const TsLoadedSkin fine = LoadText(MasterSkin, &readable);
  EXPECT_TRUE(fine.MasterBitmapError.empty());
  EXPECT_EQ(fine.Tables.Sections.size(), 5u);
  EXPECT_EQ(fine.Tables.Masks.size(), 3u);  // BOXCHECKED, BICONCLOSE and the master itself
}

TEST(SkinNumbers, AbsurdValuesAreBroughtIntoWhatThePaintersDraw) {
  const TsLoadedSkin skin = LoadText(R"([BUTTON]
COLOR=-2
TRANSPARENCY=1000
HOTTRANSPARENCY=-40
SHADOWBLUR=2147483647
SHADOWOFFSET=-2147483648
GRADIENTPERCENT=250
FONTCOLOR=$7F0000FF
TCLEFT=$12345678
HOTCOLOR=$80000005
[CHILD]
PARENTCLASS=BUTTON
SHADOWTRANSPARENCY=101
)");
  const TsSectionData& b = skin.Tables.Sections[0];
  EXPECT_EQ(b.Color, 0xFFFFFE);
  EXPECT_EQ(b.Transparency, 100);
  EXPECT_EQ(b.HotTransparency, 0);
  EXPECT_EQ(b.ShadowBlur, 64);
  EXPECT_EQ(b.ShadowOffset, -64);
  EXPECT_EQ(b.GradientPercent, 100);
  EXPECT_EQ(b.FontColor[0], 0x0000FF);
  EXPECT_EQ(b.FontColor[1], 0x345678);
  EXPECT_EQ(b.FontColor[2], -1);  // no contour stays none
  EXPECT_EQ(b.HotColor, static_cast<TColor>(0x80000005));  // a system colour stays for ColorToRGB
  const TsSectionData& child = skin.Tables.Sections[1];
  EXPECT_EQ(child.Transparency, 100);
  EXPECT_EQ(child.ShadowTransparency, 100);

  // The extra sections and internal skins are bounded alike.
  TsInternalSkin inside;
  inside.Name = "Inside";
  TsInternalSkin::TGeneral g;
  g.Data.SectionName = "PANEL";
  g.Data.Transparency = 1000;
  g.Data.Color = -2;
  inside.GeneralData.push_back(g);
  TsSkinSource source;
  source.Internal = &inside;
  source.CommonSections = {"[EXTRA]", "TRANSPARENCY=-7", "SHADOWBLUR=99999"};
  const TsLoadedSkin internal = LoadSkin(source);
  ASSERT_EQ(internal.Tables.Sections.size(), 2u);
  EXPECT_EQ(internal.Tables.Sections[0].Transparency, 100);
  EXPECT_EQ(internal.Tables.Sections[0].Color, 0xFFFFFE);
  EXPECT_EQ(internal.Tables.Sections[1].Transparency, 0);
  EXPECT_EQ(internal.Tables.Sections[1].ShadowBlur, 64);
}

}  // namespace
