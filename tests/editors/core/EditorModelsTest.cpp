#include "editors/core/EditorFiles.h"
#include "editors/core/TDRMEditorModel.h"
#include "editors/core/TFlexEditorModel.h"
#include "editors/core/TLPEditorModel.h"
#include "framework/base/Exception.h"
#include "framework/base/TField.h"
#include "tests/editors/core/FakeEditorHost.h"
#include "tests/editors/generators/DRMGenerator.h"
#include "tests/editors/generators/LangPackGenerator.h"
#include "tests/framework/base/WriteFault.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

std::vector<std::u16string> StringsOf(TLPEditorModel& model) {
  std::vector<std::u16string> out;
  TClientDataSet& s = model.Strings();
  for (s.First(); !s.Eof(); s.Next()) out.push_back(s.FieldByName("Text")->AsWideString());
  return out;
}

struct TLPFixture : ::testing::Test {
  TTempFolder Folder;
  TFakeEditorHost Host;
  TLPEditorModel Model{Host};
  TGenPack Gen = GenerateLangPack(SmallLangPackPlan(21, 3));
  std::string Image = Folder / "pack{@0x10A40000}CG4.smg";

  void SetUp() override {
    EditorFiles::WriteWholeFile(Image, Gen.Image);
    Host.Grid[4] = {Image, 0x10A40000, "10A40000"};
    Model.Show();
  }
};

}  // namespace

TEST_F(TLPFixture, ShowOpensTheGridsLanguagePackAndListsItsLanguages) {
  ASSERT_TRUE(Model.Loaded());
  TClientDataSet& l = Model.Languages();
  ASSERT_EQ(l.RecordCount(), 3);
  EXPECT_EQ(Model.SelectedLanguage(), 0);
  l.Last();
  EXPECT_EQ(l.FieldByName("Name")->AsString(), "Chinese Simple");
  EXPECT_EQ(l.FieldByName("IDStr")->AsString(), "05");
  EXPECT_EQ(uint32_t(l.FieldByName("Address")->AsInteger()), Gen.Base + Gen.Languages[2].Block);
  EXPECT_EQ(l.FieldByName("sAddress")->AsString().size(), 8u);
}

TEST_F(TLPFixture, ParseThenPackKeepsTheImageAndReportsProgress) {
  Model.Languages().SetRecNo(2);
  Model.ParseLanguage();
  EXPECT_EQ(StringsOf(Model), Gen.Languages[1].Strings);
  Model.Strings().First();
  EXPECT_EQ(Model.Strings().FieldByName("IDStr")->AsString(), "0001");
  Model.PackStrings();
  EXPECT_EQ(Model.Pack()->Image(), Gen.Image);
  EXPECT_EQ(Host.Statuses, (std::vector<std::string>{"M39", "M40", "M45", "M46"}));
  EXPECT_TRUE(Host.Errors.empty());
}

TEST_F(TLPFixture, A255CharacterStringSurvivesParseAndPack) {
  ASSERT_EQ(Gen.Languages[0].Strings.size() % 4, 0u);  // the group table then holds whole entries
  Model.ParseLanguage();
  const char16_t unit = Gen.Languages[0].TreeUnits.back();
  TClientDataSet& s = Model.Strings();
  s.First();
  s.Edit();
  s.FieldByName("Text")->SetAsWideString(std::u16string(255, unit));
  s.Post();
  Model.PackStrings();
  ASSERT_TRUE(Host.Errors.empty()) << Host.Errors[0];
  Model.ParseLanguage();
  s.First();
  EXPECT_EQ(s.FieldByName("Text")->AsWideString(), std::u16string(255, unit));
}

TEST_F(TLPFixture, StringsOfOneLanguageAreNotPackedIntoAnother) {
  Model.ParseLanguage();
  Model.Languages().SetRecNo(2);
  Model.PackStrings();
  ASSERT_EQ(Host.Errors.size(), 1u);
  EXPECT_EQ(Model.Pack()->Image(), Gen.Image);
}

TEST_F(TLPFixture, StringsFromATextFileBelongToNoLanguage) {
  Model.ParseLanguage();
  Host.SaveNames.push_back(Folder / "strings.txt");
  Model.SaveStrings();
  EXPECT_EQ(Host.Proposed.back(), "US English.txt");
  Host.OpenNames.push_back(Folder / "strings.txt");
  Model.LoadStrings();
  EXPECT_EQ(StringsOf(Model), Gen.Languages[0].Strings);  // ASCII survives the code page
  Model.PackStrings();
  EXPECT_TRUE(Host.Errors.empty());
  EXPECT_EQ(Model.Pack()->Image(), Gen.Image);
  Host.SaveNames.push_back(Folder / "strings.XML");  // exact extension: still the text form
  Model.SaveStrings();
  EXPECT_EQ(EditorFiles::ReadWholeFile(Folder / "strings.XML"),
            EditorFiles::ReadWholeFile(Folder / "strings.txt"));
}

TEST_F(TLPFixture, DeleteAsksAndAddRestoresTheLastLanguage) {
  Model.Languages().Last();
  Model.DeleteLanguage();  // declined
  EXPECT_EQ(Model.Languages().RecordCount(), 3);
  Host.Answers.push_back(true);
  Model.DeleteLanguage();
  EXPECT_EQ(Host.Questions, (std::vector<std::string>{"M42", "M42"}));
  EXPECT_EQ(Model.Languages().RecordCount(), 2);
  const std::string lng = Folder / "last.lng";
  EditorFiles::WriteWholeFile(lng, Gen.Languages[2].Lng);
  Host.OpenNames.push_back(lng);
  Model.AddFromFile();
  EXPECT_EQ(Model.Pack()->Image(), Gen.Image);
  EXPECT_EQ(Model.Languages().RecordCount(), 3);
  EXPECT_EQ(Host.Infos.back(), "M43: \r" + lng);
}

TEST_F(TLPFixture, PackingStringsOfADeletedLanguageIsRefused) {
  Model.Languages().Last();
  Model.ParseLanguage();
  Host.Answers.push_back(true);
  Model.DeleteLanguage();
  const auto image = Model.Pack()->Image();
  Model.Languages().Last();
  Model.PackStrings();
  EXPECT_EQ(Host.Errors.size(), 1u);
  EXPECT_EQ(Model.Pack()->Image(), image);
}

TEST_F(TLPFixture, ADamagedFileIsReportedAndTheLoadedPackStays) {
  const std::string bad = Folder / "bad.smg";
  EditorFiles::WriteWholeFile(bad, std::vector<uint8_t>(100, 0));
  Model.SetFileName(bad);
  Model.OpenLangpack(true);
  EXPECT_EQ(Host.Errors.size(), 1u);
  EXPECT_EQ(Model.Pack()->Image(), Gen.Image);
  EXPECT_EQ(Model.Languages().RecordCount(), 3);
}

TEST_F(TLPFixture, SaveWritesTheImageAndKeepsTheCurrentLanguage) {
  Model.Languages().SetRecNo(3);
  const std::string saved = Folder / "saved.smg";
  Host.SaveNames.push_back(saved);
  Model.SaveLangpack();
  EXPECT_EQ(EditorFiles::ReadWholeFile(saved), Gen.Image);
  EXPECT_EQ(Model.FileName(), saved);
  EXPECT_EQ(Model.SelectedLanguage(), 2);
  EXPECT_EQ(Host.Infos.back(), "M38:\r" + saved);
}

// Saving over the open image on a full disk, or in a run killed half way, leaves the image on disk
// as it was; the error names the file and the reason, and the next save completes.
TEST_F(TLPFixture, AFailedSaveKeepsTheImageOnDiskByteForByte) {
  Model.Languages().Last();
  Host.Answers.push_back(true);
  Model.DeleteLanguage();
  ASSERT_NE(Model.Pack()->Image(), Gen.Image);
  const int64_t half = int64_t(Model.Pack()->Image().size() / 2);
  for (TWriteFault fault : {TWriteFault::DiskFull, TWriteFault::Kill}) {
    TWriteFaultScope scope(fault, half);
    Host.SaveNames.push_back(Image);
    try {
      Model.SaveLangpack();
      ADD_FAILURE();
    } catch (const EInOutError& e) {
      if (fault == TWriteFault::DiskFull) {
        EXPECT_EQ(e.Message(), "Cannot write file \"" + Image + "\". " + std::strerror(ENOSPC));
      }
    }
    EXPECT_EQ(EditorFiles::ReadWholeFile(Image), Gen.Image);
    EXPECT_EQ(TAtomicFileStream::TemporariesOf(Image).size(), fault == TWriteFault::Kill ? 1u : 0u);
  }
  EXPECT_TRUE(Host.Infos.empty());
  Host.SaveNames.push_back(Image);
  Model.SaveLangpack();
  EXPECT_EQ(EditorFiles::ReadWholeFile(Image), Model.Pack()->Image());
  EXPECT_TRUE(TAtomicFileStream::TemporariesOf(Image).empty());
}

TEST_F(TLPFixture, FlashAndMakeShxHandOnTheFileOnDisk) {
  Model.Flash();
  ASSERT_EQ(Host.Flasher.size(), 1u);
  ASSERT_TRUE(Host.Flasher[0].first);
  EXPECT_EQ(Host.Flasher[0].first->A1, int32_t(0x10A41200));
  EXPECT_EQ(Host.Flasher[0].first->Type, "LangPack");
  EXPECT_EQ(Host.Flasher[0].first->Size, int32_t(Gen.Image.size()));
  Model.MakeShx();
  ASSERT_EQ(Host.Combines.size(), 1u);
  EXPECT_EQ(Host.Combines[0].Address, int32_t(Gen.Base));
  Model.SetFileName(Folder / "missing.smg");
  Model.Flash();
  EXPECT_FALSE(Host.Flasher[1].first);
  EXPECT_TRUE(Host.Flasher[1].second);
}

TEST_F(TLPFixture, AnEleventhLanguageIsRefused) {
  const TGenPack full = GenerateLangPack(SmallLangPackPlan(2, 10));
  EditorFiles::WriteWholeFile(Image, full.Image);
  Model.OpenLangpack(true);
  const std::string lng = Folder / "x.lng";
  EditorFiles::WriteWholeFile(lng, full.Languages[0].Lng);
  Host.OpenNames.push_back(lng);
  Model.AddFromFile();
  EXPECT_EQ(Host.Errors, std::vector<std::string>{"M44"});
  EXPECT_EQ(Model.Pack()->Image(), full.Image);
}

namespace {

struct TDRMFixture : ::testing::Test {
  TTempFolder Folder;
  TFakeEditorHost Host;
  TDRMEditorModel Model{Host};
  TGenDRM Gen = GenerateDRM({});
  std::string Image = Folder / "drm_CG15.smg";

  void SetUp() override {
    EditorFiles::WriteWholeFile(Image, Gen.Image);
    Host.Grid[15] = {Image, 0x11E20000, "11E20000"};
    Model.Show();
  }
  std::vector<std::pair<int, uint32_t>> Table() {
    std::vector<std::pair<int, uint32_t>> rows;
    TClientDataSet& t = Model.Pictures();
    for (t.First(); !t.Eof(); t.Next()) {
      rows.emplace_back(t.FieldByName("Size")->AsInteger(), uint32_t(t.FieldByName("Address")->AsInteger()));
    }
    return rows;
  }
};

}  // namespace

TEST_F(TDRMFixture, OpenListsThePicturesWithRemarksAndSavesTheTable) {
  Model.Remarks().AppendRecord({2, "second typed"});
  Model.Open();
  TClientDataSet& t = Model.Pictures();
  ASSERT_EQ(t.RecordCount(), int(Gen.Pictures.size()));
  ASSERT_TRUE(t.Locate("No", Gen.RawCount + 2));
  EXPECT_EQ(t.FieldByName("Reamrk")->AsString(), "second typed");
  EXPECT_EQ(t.FieldByName("Type")->AsString(), "GIF");
  EXPECT_TRUE(EditorFiles::FileExists(Folder / "drm_CG15.cds"));
  EXPECT_EQ(Host.Infos.back(), "M19" + Folder / "drm_CG15.cds");
}

TEST_F(TDRMFixture, RawReplacementTakesBoundsFromTheFileNameOnly) {
  Model.Open();
  Model.Pictures().First();
  const std::string file = Folder / "new(7x9).raw";
  EditorFiles::WriteWholeFile(file, Gen.Pictures[0].Data);
  Host.OpenNames.push_back(file);
  Model.Replace();
  EXPECT_EQ(Host.RawBoundsOffered, std::make_pair(7, 9));
  EXPECT_EQ(Model.Pictures().FieldByName("Width")->AsInteger(), 7);
  EXPECT_EQ(Host.Infos.back(), "M25: " + file + ".");

  std::filesystem::create_directories(Folder / "Program Files (x86)");
  const std::string noBounds = Folder / "Program Files (x86)/plain.raw";
  EditorFiles::WriteWholeFile(noBounds, Gen.Pictures[0].Data);
  Host.OpenNames.push_back(noBounds);
  Model.Replace();
  EXPECT_EQ(Host.RawBoundsOffered, std::make_pair(7, 9));  // the row's own size
}

TEST_F(TDRMFixture, ReplaceRelistsTheImageSoTheNextExportIsRight) {
  Model.Open();
  const auto before = Table();
  Model.Pictures().SetRecNo(Gen.RawCount + 1);
  const std::string file = Folder / "p.bmp";
  EditorFiles::WriteWholeFile(file, MakeDRMBmp(3, 4, Gen.Pictures[size_t(Gen.RawCount)].Data.size() + 3, 9));
  Host.OpenNames.push_back(file);
  Model.Replace();
  ASSERT_TRUE(Host.Errors.empty()) << Host.Errors[0];
  const auto after = Table();
  for (size_t k = size_t(Gen.RawCount) + 1; k < after.size(); ++k)
    EXPECT_EQ(after[k].second, before[k].second + 3);
  TClientDataSet& t = Model.Pictures();
  t.Last();
  EXPECT_EQ(Model.CurrentPictureData(), Gen.Pictures.back().Data);
  t.SetRecNo(Gen.RawCount + 1);
  EXPECT_EQ(t.FieldByName("Width")->AsInteger(), 3);
}

TEST_F(TDRMFixture, ARawFileOfOddGrowthIsRefusedAndNothingChanges) {
  Model.Open();
  const std::string file = Folder / "odd(1x1).raw";
  EditorFiles::WriteWholeFile(file, std::vector<uint8_t>(Gen.Pictures[0].Data.size() + 2, 1));
  Host.OpenNames.push_back(file);
  Model.Pictures().First();
  Model.Replace();
  EXPECT_EQ(Host.Errors.size(), 1u);
  EXPECT_EQ(Model.Image()->Image(), Gen.Image);
}

TEST_F(TDRMFixture, LoadingASavedTableTakesAddressesFromTheImageAndKeepsRemarks) {
  Model.Open();  // saves drm_CG15.cds for the original image
  TClientDataSet& t = Model.Pictures();
  t.Last();
  t.Edit();
  t.FieldByName("Reamrk")->SetAsString("kept");
  t.Post();
  Model.SaveDRM(Image, false);
  // The image on disk changes behind the table: picture RawCount + 1 grows by 4.
  TDRMImage changed(Gen.Image);
  changed.Replace(Gen.RawCount + 1, MakeDRMGif(1, 1, Gen.Pictures[size_t(Gen.RawCount)].Data.size() + 4, 3),
                  0, 0);
  EditorFiles::WriteWholeFile(Image, changed.Image());
  Host.Answers.push_back(true);
  Model.Load();
  EXPECT_EQ(Host.Questions.back(), "M20" + Folder / "drm_CG15.cds" + "?");
  const TDRMListing fresh = changed.List();
  const auto rows = Table();
  ASSERT_EQ(rows.size(), fresh.Pictures.size());
  for (size_t k = 0; k < rows.size(); ++k) EXPECT_EQ(rows[k].second, fresh.Pictures[k].Address);
  t.Last();
  EXPECT_EQ(t.FieldByName("Reamrk")->AsString(), "kept");
}

TEST_F(TDRMFixture, SavePictureProposesItsNameAndWritesItsBytes) {
  Model.Open();
  Model.Pictures().SetRecNo(Gen.RawCount + 2);
  Host.SaveNames.push_back(Folder / "chosen.txt");
  Model.SavePicture();
  const TGenPicture& p = Gen.Pictures[size_t(Gen.RawCount + 1)];
  EXPECT_EQ(Host.Proposed.back(), std::to_string(Gen.RawCount + 2) + "(" + std::to_string(p.Width) + "x" +
                                      std::to_string(p.Height) + ").GIF");
  EXPECT_EQ(EditorFiles::ReadWholeFile(Folder / "chosen.GIF"), p.Data);
  Model.SetExportFolder(Folder / "all");
  std::filesystem::create_directories(Folder / "all");
  Model.SaveAll();
  EXPECT_EQ(Host.Infos.back(), "M24");
  EXPECT_EQ(EditorFiles::ReadWholeFile(Folder / "all/1(" + std::to_string(Gen.Pictures[0].Width) + "x" +
                                       std::to_string(Gen.Pictures[0].Height) + ").RAW"),
            Gen.Pictures[0].Data);
}

// A full disk while saving the changed image keeps the image on disk; one while saving the picture
// table beside it keeps the old table.
TEST_F(TDRMFixture, AFailedSaveKeepsTheImageAndTheTableOnDisk) {
  Model.Open();
  const std::string table = Folder / "drm_CG15.cds";
  const std::vector<uint8_t> oldTable = EditorFiles::ReadWholeFile(table);
  Model.Pictures().SetRecNo(Gen.RawCount + 1);
  const std::string file = Folder / "p.bmp";
  EditorFiles::WriteWholeFile(file, MakeDRMBmp(3, 4, Gen.Pictures[size_t(Gen.RawCount)].Data.size() + 3, 9));
  Host.OpenNames.push_back(file);
  Model.Replace();
  ASSERT_NE(Model.Image()->Image(), Gen.Image);
  const int64_t size = int64_t(Model.Image()->Image().size());
  {
    TWriteFaultScope full(TWriteFault::DiskFull, size - 1);
    Host.SaveNames.push_back(Image);
    try {
      Model.SaveChanges();
      ADD_FAILURE();
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.Message(), "Cannot write file \"" + Image + "\". " + std::strerror(ENOSPC));
    }
  }
  EXPECT_EQ(EditorFiles::ReadWholeFile(Image), Gen.Image);
  EXPECT_EQ(EditorFiles::ReadWholeFile(table), oldTable);
  {
    TWriteFaultScope full(TWriteFault::DiskFull, size + 10);
    Host.SaveNames.push_back(Image);
    EXPECT_THROW(Model.SaveChanges(), EInOutError);
  }
  EXPECT_EQ(EditorFiles::ReadWholeFile(Image), Model.Image()->Image());
  EXPECT_EQ(EditorFiles::ReadWholeFile(table), oldTable);
  EXPECT_TRUE(TAtomicFileStream::TemporariesOf(Image).empty());
  EXPECT_TRUE(TAtomicFileStream::TemporariesOf(table).empty());
}

TEST_F(TDRMFixture, ClearAsksFirst) {
  Model.Open();
  Model.Clear();
  EXPECT_TRUE(Model.Loaded());
  Host.Answers.push_back(true);
  Model.Clear();
  EXPECT_FALSE(Model.Loaded());
  EXPECT_FALSE(Model.Pictures().Active());
}

TEST(FlexEditorModel, AddressFromEditGridOrFileName) {
  TTempFolder folder;
  TFakeEditorHost host;
  TFlexEditorModel model(host);
  const std::string file = folder / "fw_{@0x10F40000}CG2.smg";
  EditorFiles::WriteWholeFile(file, std::vector<uint8_t>(16, 0));
  model.SetFileName(file);
  EXPECT_EQ(model.GetFlexAddress(), 0x10F40000);
  host.Grid[2] = {file, 0x12000000, "12000000"};
  EXPECT_EQ(model.GetFlexAddress(), 0x12000000);
  model.SetAddressText("13000000");
  EXPECT_EQ(model.GetFlexAddress(), 0x13000000);
  model.Flash();
  ASSERT_TRUE(host.Flasher.back().first);
  EXPECT_EQ(host.Flasher.back().first->A1, 0x13000000);
  EXPECT_TRUE(host.Flasher.back().second);
  model.MakeShx();
  ASSERT_EQ(host.Combines.size(), 1u);
  EXPECT_EQ(host.Combines[0].Size, 16);
  EXPECT_EQ(host.Combines[0].Address, 0x13000000);
  model.SetFileName(folder / "missing.smg");
  model.Flash();
  EXPECT_FALSE(host.Flasher.back().second);
  model.MakeShx();
  EXPECT_EQ(host.Combines.size(), 1u);

  // A file past 4 GB (sparse) is refused, not combined with its size cut to 32 bits.
  const std::string huge = folder / "huge_{@0x10F40000}CG2.smg";
  EditorFiles::WriteWholeFile(huge, std::vector<uint8_t>(16, 0));
  std::filesystem::resize_file(huge, (std::uintmax_t{1} << 32) + 16);
  model.SetFileName(huge);
  model.MakeShx();
  EXPECT_EQ(host.Combines.size(), 1u);
  ASSERT_EQ(host.Errors.size(), 1u);
  EXPECT_NE(host.Errors[0].find("too large"), std::string::npos);
}
