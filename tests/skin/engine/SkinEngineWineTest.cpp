#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCustomControl.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TGraphicControl.h"
#include "skin/engine/SkinDebugLogWin.h"
#include "skin/engine/SkinMessage.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinCommonIndexes.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsDebugLog.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

// What a control saw of one skin command.
struct TSeen {
  std::uint32_t Command;
  bool Active;
  bool Changing;
};

// A skinned windowed control as the skinned controls build it: the skin object answers first.
class TTestSkinned : public TCustomControl {
public:
  explicit TTestSkinned(TComponent* owner, int kind = 93) : TCustomControl(owner), FSkinData(this, true) {
    FSkinData.SetControlKind(kind);
  }
  void AfterConstruction() override { FSkinData.Loaded(); }
  void WndProc(TMessage& m) override {
    if (m.Msg == RE_ROVADUZI) Seen.push_back({SkinCommandOf(m.WParam), SkinData().Active, SkinChanging});
    if (SkinControlMessage(m, &FSkinData)) return;
    TCustomControl::WndProc(m);
  }
  TsCommonData& Skin() { return FSkinData; }
  std::vector<TSeen> Seen;

private:
  TsCommonData FSkinData;
};

class TTestGraphic : public TGraphicControl {
public:
  explicit TTestGraphic(TComponent* owner) : TGraphicControl(owner), FSkinData(this, false) {
    FSkinData.SetControlKind(92);
  }
  void WndProc(TMessage& m) override {
    if (m.Msg == RE_ROVADUZI) Seen.push_back({SkinCommandOf(m.WParam), SkinData().Active, SkinChanging});
    if (SkinControlMessage(m, &FSkinData)) return;
    TGraphicControl::WndProc(m);
  }
  std::vector<TSeen> Seen;

private:
  TsCommonData FSkinData;
};

// An unskinned container: it never answers the skin message.
class TPlainPanel : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  void WndProc(TMessage& m) override {
    if (m.Msg == RE_ROVADUZI) ++SkinMessages;
    TCustomControl::WndProc(m);
  }
  int SkinMessages = 0;
};

std::string TempFolder() {
  char path[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, path);
  return std::string(path) + "tarvex-skin-wine\\";
}

void WriteSkin(const std::string& folder, const std::string& name, const std::string& options) {
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA((folder + name).c_str(), nullptr);
  std::ofstream(folder + name + "\\Options.dat", std::ios::binary) << options;
}

template <typename T, typename... A>
T* Make(TWinControl* parent, A&&... args) {
  T* c = NewComponent<T>(std::forward<A>(args)...);
  c->SetParent(parent);
  return c;
}

class SkinEngine : public ::testing::Test {
protected:
  void SetUp() override {
    Folder = TempFolder();
    WriteSkin(Folder, "Sand", "[GLOBALINFO]\r\nVERSION=6\r\n[BUTTON]\r\nCOLOR=255\r\nTRANSPARENCY=50\r\n"
                              "[SPEEDBUTTON]\r\nPARENTCLASS=BUTTON\r\nTRANSPARENCY=100\r\n[PANEL]\r\nCOLOR=65280\r\n");
    WriteSkin(Folder, "Night", "[GLOBALINFO]\r\nVERSION=6\r\n[PANEL]\r\nCOLOR=1\r\n[BUTTON]\r\nCOLOR=16711680\r\n");
    Form = NewComponent<TForm>(Application);
    Form->SetBounds(0, 0, 300, 200);
    Form->SetColor(0xFFFFFF);
    Panel = Make<TPlainPanel>(Form, Form);
    Panel->SetBounds(0, 0, 200, 150);
    Panel->SetColor(0xFFFFFF);
    Inner = Make<TTestSkinned>(Panel, Form);
    Inner->SetBounds(10, 10, 50, 20);
    Graphic = Make<TTestGraphic>(Panel, Form);
    Graphic->SetBounds(70, 10, 30, 20);
    Direct = Make<TTestSkinned>(Form, Form, 51);
    Direct->SetBounds(210, 10, 50, 20);
    Form->HandleNeeded();
  }
  void TearDown() override {
    if (Manager) Manager->Free();
    Form->Free();
    InstallSkinTables({});
    SkinData().Active = false;
  }
  TsSkinManager* StartManager(const std::string& skin) {
    Manager = NewComponent<TsSkinManager>(Form);
    Manager->SetSkinDirectory(Folder);
    Manager->SetSkinName(skin);
    return Manager;
  }
  static bool Got(const std::vector<TSeen>& seen, std::uint32_t command) {
    for (const auto& s : seen)
      if (s.Command == command) return true;
    return false;
  }

  std::string Folder;
  TForm* Form = nullptr;
  TPlainPanel* Panel = nullptr;
  TTestSkinned* Inner = nullptr;
  TTestGraphic* Graphic = nullptr;
  TTestSkinned* Direct = nullptr;
  TsSkinManager* Manager = nullptr;
};

TEST_F(SkinEngine, TheMessageIsRegistered) { EXPECT_GE(RE_ROVADUZI, 0xC000u); }

TEST_F(SkinEngine, ABroadcastReachesSkinnedControlsThroughUnskinnedPanels) {
  TMessage m = MakeSkinMessage(SkinCommand::Refresh);
  BroadcastToApplication(m);
  EXPECT_TRUE(Got(Inner->Seen, SkinCommand::Refresh));
  EXPECT_TRUE(Got(Graphic->Seen, SkinCommand::Refresh));
  EXPECT_TRUE(Got(Direct->Seen, SkinCommand::Refresh));
  // The panel is asked whether it is skinned, but never handed the broadcast itself.
  const int before = Panel->SkinMessages;
  TMessage again = MakeSkinMessage(SkinCommand::Refresh);
  BroadcastToChildren(Form, again);
  EXPECT_EQ(Panel->SkinMessages, before + 1);  // the command 7 question only
}

TEST_F(SkinEngine, AChildBeingDestroyedIsSkippedNotTheEndOfTheWalk) {
  Inner->Destroying();
  TMessage m = MakeSkinMessage(SkinCommand::Refresh);
  BroadcastToChildren(Panel, m);
  EXPECT_FALSE(Got(Inner->Seen, SkinCommand::Refresh));
  EXPECT_TRUE(Got(Graphic->Seen, SkinCommand::Refresh));
}

TEST_F(SkinEngine, ASkinChangeReachesAControlInItsOrder) {
  StartManager("Sand");
  ASSERT_GE(Inner->Seen.size(), 2u);
  std::vector<TSeen> relevant;
  for (const auto& s : Inner->Seen)
    if (s.Command == SkinCommand::NewSkin || s.Command == SkinCommand::Refresh) relevant.push_back(s);
  ASSERT_EQ(relevant.size(), 2u);
  EXPECT_EQ(relevant[0].Command, SkinCommand::NewSkin);
  EXPECT_FALSE(relevant[0].Active);
  EXPECT_TRUE(relevant[0].Changing);
  EXPECT_EQ(relevant[1].Command, SkinCommand::Refresh);
  EXPECT_TRUE(relevant[1].Active);
  EXPECT_FALSE(relevant[1].Changing);
  EXPECT_EQ(Inner->Skin().SkinIndex, FindSectionIndex("BUTTON"));
  EXPECT_EQ(Direct->Skin().SkinIndex, FindSectionIndex("PANEL"));
}

TEST_F(SkinEngine, CommandAnswers) {
  StartManager("Sand");
  EXPECT_TRUE(AskControl(Inner, SkinCommand::IsSkinned));
  EXPECT_FALSE(AskControl(Panel, SkinCommand::IsSkinned));

  // BUTTON: black section colour 255 (red) at transparency 50 over the white unskinned panel.
  QueryBackgroundColor(Inner);
  EXPECT_EQ(SkinBackgroundColor, MixSkinBackground(50, 255, 0xFFFFFF));
  // PANEL is opaque: its own section colour.
  QueryBackgroundColor(Direct);
  EXPECT_EQ(SkinBackgroundColor, 65280);
  // Transparency 100 over an unskinned parent holding a system colour: the resolved colour.
  Panel->SetColor(clBtnFace);
  Inner->Skin().SetSkinSection("SPEEDBUTTON");
  QueryBackgroundColor(Inner);
  EXPECT_EQ(SkinBackgroundColor, static_cast<TColor>(ColorToRGB(clBtnFace)));

  // A control without a section answers command 19 without reading a section.
  Inner->Skin().SetSkinSection("NOSUCHSECTION");
  EXPECT_EQ(Inner->Skin().SkinIndex, -1);
  EXPECT_EQ(Inner->Skin().BorderIndex, -1);
  EXPECT_FALSE(AskControl(Inner, SkinCommand::HasPaintedBackground));
  // Commands out of range change nothing.
  TMessage m = MakeSkinMessage(22);
  EXPECT_FALSE(Inner->Skin().HandleSkinCommand(m));
  m = MakeSkinMessage(14);
  EXPECT_FALSE(Inner->Skin().HandleSkinCommand(m));
}

TEST_F(SkinEngine, SwitchingSkinsAtRunTime) {
  StartManager("Sand");
  const int sand = Inner->Skin().SkinIndex;
  ASSERT_GE(sand, 0);
  EXPECT_EQ(SkinSectionData[static_cast<std::size_t>(sand)].Color, 255);
  Manager->SetSkinName("Night");
  ASSERT_GE(Inner->Skin().SkinIndex, 0);
  EXPECT_EQ(SkinSectionData[static_cast<std::size_t>(Inner->Skin().SkinIndex)].Color, 16711680);
  // A name without a folder or internal skin empties the tables; controls drop their indexes.
  Manager->SetSkinName("Gone");
  EXPECT_TRUE(SkinSectionData.empty());
  EXPECT_EQ(Inner->Skin().SkinIndex, -1);
  EXPECT_FALSE(Inner->Skin().HasSkin());
}

TEST_F(SkinEngine, SkinOffAndOnAgain) {
  StartManager("Sand");
  Inner->Seen.clear();
  Manager->SetActive(false);
  EXPECT_TRUE(Got(Inner->Seen, SkinCommand::RemoveSkin));
  EXPECT_EQ(Inner->Skin().SkinIndex, -1);
  EXPECT_FALSE(SkinData().Active);
  for (auto ix : SkinCommonIndexes) EXPECT_EQ(ix, -1);
  EXPECT_EQ(Inner->Skin().CacheBitmap()->Width(), 0);
  Manager->SetActive(true);
  EXPECT_TRUE(SkinData().Active);
  EXPECT_GE(Inner->Skin().SkinIndex, 0);
}

TEST_F(SkinEngine, OnlyTheFirstManagerLoads) {
  StartManager("Sand");
  TsSkinManager* second = NewComponent<TsSkinManager>(Form);
  EXPECT_FALSE(second->Active());
  second->SetSkinName("Night");
  EXPECT_EQ(SkinSectionData[static_cast<std::size_t>(FindSectionIndex("BUTTON"))].Color, 255);
  second->SetActive(true);
  second->SetActive(false);  // turning any manager off releases the skin for all
  EXPECT_TRUE(SkinSectionData.empty());
  second->Free();
}

TEST_F(SkinEngine, TheLogNamesMessages) {
  TMessage paint;
  paint.Msg = WM_PAINT;
  paint.WParam = 0x00010002;
  LogMessage(paint);
  ASSERT_FALSE(DebugLog().Lines().empty());
  EXPECT_EQ(DebugLog().Lines().back().rfind("?WM_PAINT (15)", 0), 0u);
  LogMessage(MakeSkinMessage(SkinCommand::Refresh));
  EXPECT_EQ(DebugLog().Lines().back().rfind("?RE_ROVADUZI (" + std::to_string(RE_ROVADUZI) + ")", 0), 0u);
}

}  // namespace
