// What the language-pack editor would lose on hiding, the question before it closes, and the
// report of characters that packing left out.
#include "editors/core/EditorFiles.h"
#include "editors/core/TLPEditorModel.h"
#include "framework/base/TField.h"
#include "tests/editors/core/FakeEditorHost.h"
#include "tests/editors/generators/LangPackGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct LPEditorChanges : ::testing::Test {
  TTempFolder Folder;
  TFakeEditorHost Host;
  TLPEditorModel Model{Host};
  TGenPack Gen = GenerateLangPack(Plan());
  std::string Image = Folder / "pack{@0x10A40000}CG4.smg";

  void SetUp() override {
    EditorFiles::WriteWholeFile(Image, Gen.Image);
    Host.Grid[4] = {Image, 0x10A40000, "10A40000"};
    Model.Show();
    Model.ParseLanguage();
  }
  static TGenPackPlan Plan() {
    TGenPackPlan plan = SmallLangPackPlan(33, 2);
    plan.Languages[0].Strings = 30;
    return plan;
  }
  // Types text into string number id as the grid does; posted unless pending.
  void Type(int id, const std::u16string& text, bool post = true) {
    TClientDataSet& s = Model.Strings();
    ASSERT_TRUE(s.Locate("ID", id));
    s.Edit();
    s.FieldByName("Text")->SetAsWideString(text);
    if (post) s.Post();
  }
  // A unit the first language's tree has no leaf for.
  char16_t Uncoded() const {
    const auto& units = Gen.Languages[0].TreeUnits;
    char16_t u = 0x4E00;
    while (std::find(units.begin(), units.end(), u) != units.end()) ++u;
    return u;
  }
  std::u16string Coded(size_t n) const {
    std::u16string text;
    for (char16_t u : Gen.Languages[0].TreeUnits)
      if (u != 0 && text.size() < n) text += u;
    return text;
  }
};

}  // namespace

TEST_F(LPEditorChanges, ParsedOrRetypedAlikeStringsCloseWithoutAQuestion) {
  EXPECT_FALSE(Model.HasUnsavedChanges());
  Type(2, Gen.Languages[0].Strings[1]);  // the same text again changes nothing
  EXPECT_TRUE(Model.CloseQuery());
  EXPECT_TRUE(Host.Questions.empty());
}

TEST_F(LPEditorChanges, TypedStringsAskAndCancelKeepsThemDiscardLetsThemGo) {
  Type(3, Coded(4), false);
  EXPECT_TRUE(Model.HasUnsavedChanges()) << "an edit not yet posted counts";
  Host.SaveAnswers = {TSaveAnswer::Cancel, TSaveAnswer::Discard};
  EXPECT_FALSE(Model.CloseQuery());
  ASSERT_EQ(Host.Questions.size(), 1u);
  EXPECT_NE(Host.Questions[0].find("not packed"), std::string::npos);
  ASSERT_TRUE(Model.Strings().Locate("ID", 3));
  EXPECT_EQ(Model.Strings().FieldByName("Text")->AsWideString(), Coded(4));
  EXPECT_TRUE(Model.CloseQuery());
  EXPECT_EQ(Model.Pack()->Image(), Gen.Image) << "nothing was packed";
  EXPECT_EQ(EditorFiles::ReadWholeFile(Image), Gen.Image);
}

TEST_F(LPEditorChanges, SaveAnswerPacksAndSavesAndAFailedSaveKeepsTheEditorOpen) {
  Type(1, Coded(3));
  Host.SaveAnswers = {TSaveAnswer::Save, TSaveAnswer::Save};
  // The save dialog cancelled: packed, but not on disk, so the editor stays.
  EXPECT_FALSE(Model.CloseQuery());
  EXPECT_TRUE(Model.HasUnsavedChanges());
  EXPECT_NE(Model.Pack()->Image(), Gen.Image);
  EXPECT_EQ(EditorFiles::ReadWholeFile(Image), Gen.Image);
  Host.SaveNames.push_back(Image);
  EXPECT_TRUE(Model.CloseQuery());
  EXPECT_NE(Host.Questions[1].find("not saved"), std::string::npos);
  EXPECT_FALSE(Model.HasUnsavedChanges());
  std::vector<std::u16string> want = Gen.Languages[0].Strings;
  want[0] = Coded(3);
  EXPECT_EQ(TLanguagePack(EditorFiles::ReadWholeFile(Image)).Decode(0), want);
}

TEST_F(LPEditorChanges, DeletingOrAddingALanguageAsksUntilSavedAndReopeningForgets) {
  Host.Answers.push_back(true);
  Model.Languages().Last();
  Model.DeleteLanguage();
  EXPECT_TRUE(Model.HasUnsavedChanges());
  Host.SaveNames.push_back(Folder / "saved.smg");
  Model.SaveLangpack();
  EXPECT_FALSE(Model.HasUnsavedChanges());
  const std::string lng = Folder / "last.lng";
  EditorFiles::WriteWholeFile(lng, Gen.Languages[1].Lng);
  Host.OpenNames.push_back(lng);
  Model.AddFromFile();
  EXPECT_TRUE(Model.HasUnsavedChanges());
  Model.OpenLangpack(true);
  EXPECT_FALSE(Model.HasUnsavedChanges());
  // Strings loaded from a file are not in the image.
  Host.SaveNames.push_back(Folder / "s.txt");
  Model.ParseLanguage();
  Model.SaveStrings();
  Host.OpenNames.push_back(Folder / "s.txt");
  Model.LoadStrings();
  EXPECT_TRUE(Model.HasUnsavedChanges());
}

TEST_F(LPEditorChanges, CharactersWithoutACodeAreNamedByCountAndStringInOneWarning) {
  const char16_t lost = Uncoded();
  Type(2, Coded(2) + lost);
  Type(5, std::u16string{lost, lost} + Coded(1));
  Model.PackStrings();
  EXPECT_TRUE(Host.Errors.empty());
  ASSERT_EQ(Host.Warnings.size(), 1u);
  EXPECT_EQ(Host.Warnings[0],
            "3 characters have no code in this language and were left out of the packed strings.\r"
            "Strings (2): 0002, 0005");
  // Packed without them; the table keeps what was typed and asks no more.
  EXPECT_EQ(Model.Pack()->Decode(0)[1], Coded(2));
  Host.SaveAnswers = {TSaveAnswer::Cancel};
  EXPECT_FALSE(Model.CloseQuery());
  EXPECT_NE(Host.Questions.back().find("not saved"), std::string::npos);

  // Past twenty strings the rest are counted.
  const int n = static_cast<int>(Gen.Languages[0].Strings.size());
  ASSERT_GE(n, 23);
  for (int id = 1; id <= 23; ++id) Type(id, std::u16string(1, lost));
  Model.PackStrings();
  ASSERT_EQ(Host.Warnings.size(), 2u);
  EXPECT_NE(Host.Warnings[1].find("23 characters"), std::string::npos);
  EXPECT_NE(Host.Warnings[1].find("Strings (23): 0001, 0002,"), std::string::npos);
  EXPECT_NE(Host.Warnings[1].find(", 0014 and 3 more"), std::string::npos);
}
