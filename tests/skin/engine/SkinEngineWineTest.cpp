#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomControl.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TGraphicControl.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/SkinRefresh.h"
#include "skin/engine/SkinDebugLogWin.h"
#include "skin/engine/SkinMessage.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/TsSkinObserver.h"
#include "skin/engine/TsSkinned.h"
#include "skin/engine/core/SkinCommonIndexes.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsDebugLog.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

// What a control saw of one skin command.
struct TSeen {
  SkinCommand Command;
  bool Active;
  bool Changing;
};

// Skinned controls as the recipe builds them, noting the skin commands they get.
template <typename Control>
class TNoting : public TsSkinned<Control> {
public:
  using Layer = TsSkinned<Control>;
  TNoting(TsControlKind kind, TsCacheBitmap cache, TComponent* owner) : Layer(kind, cache, owner) {}
  void SkinCommand(::SkinCommand command) override {
    Note(command);
    Layer::SkinCommand(command);
  }
  void SkinRefresh(const TsRefresh& refresh) override {
    Note(::SkinCommand::Refresh);
    Layer::SkinRefresh(refresh);
  }
  void RedrawSkinTransparent(bool invalidate) override {
    Note(::SkinCommand::RedrawTransparent);
    Layer::RedrawSkinTransparent(invalidate);
  }
  void WndProc(TMessage& m) override {
    if (m.Msg == RE_ROVADUZI) ++SkinMessages;
    Layer::WndProc(m);
  }
  std::vector<TSeen> Seen;
  int SkinMessages = 0;

private:
  void Note(::SkinCommand command) { Seen.push_back({command, ::SkinData().Active, SkinChanging}); }
};

class TTestSkinned : public TNoting<TCustomControl> {
public:
  explicit TTestSkinned(TComponent* owner, TsControlKind kind = TsControlKind::Button)
      : TNoting(kind, TsCacheBitmap::Own, owner) {}
};

class TTestGraphic : public TNoting<TGraphicControl> {
public:
  explicit TTestGraphic(TComponent* owner) : TNoting(TsControlKind::SpeedButton, TsCacheBitmap::None, owner) {}
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
    WriteSkin(Folder, "Sand",
              "[GLOBALINFO]\r\nVERSION=6\r\n[BUTTON]\r\nCOLOR=255\r\nTRANSPARENCY=50\r\n"
              "[SPEEDBUTTON]\r\nPARENTCLASS=BUTTON\r\nTRANSPARENCY=100\r\n[PANEL]\r\nCOLOR=65280\r\n");
    WriteSkin(Folder, "Night",
              "[GLOBALINFO]\r\nVERSION=6\r\n[PANEL]\r\nCOLOR=1\r\n[BUTTON]\r\nCOLOR=16711680\r\n");
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
    Direct = Make<TTestSkinned>(Form, Form, TsControlKind::Panel);
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
  static bool Got(const std::vector<TSeen>& seen, SkinCommand command) {
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

TEST_F(SkinEngine, TheMessageIsRegistered) {
  EXPECT_GE(RE_ROVADUZI, 0xC000u);
}

TEST_F(SkinEngine, ABroadcastReachesSkinnedControlsThroughUnskinnedPanels) {
  BroadcastToApplication(SkinCommand::Refresh);
  EXPECT_TRUE(Got(Inner->Seen, SkinCommand::Refresh));
  EXPECT_TRUE(Got(Graphic->Seen, SkinCommand::Refresh));
  EXPECT_TRUE(Got(Direct->Seen, SkinCommand::Refresh));
  // The panel has no peer: it is never handed the broadcast, nor sent the message at all.
  const int before = Panel->SkinMessages;
  BroadcastToChildren(Form, SkinCommand::Refresh);
  EXPECT_EQ(Panel->SkinMessages, before);
}

// A form that is its own peer (a form with a provider) and has no window yet takes a skin change
// with its controls, and gets no window from it: a form made at start is shown, and built, later.
TEST_F(SkinEngine, ASkinChangeMakesNoWindowForAPeerFormThatHasNone) {
  struct TFormPeer : TsSkinPeer {
    void SkinCommand(::SkinCommand command) override { Seen.push_back(command); }
    std::vector<::SkinCommand> Seen;
  } peer;
  TForm* later = NewComponent<TForm>(Application);
  RegisterSkinPeer(later, &peer);
  auto* child = Make<TTestSkinned>(later, later, TsControlKind::Panel);
  StartManager("Sand");
  EXPECT_FALSE(later->HandleAllocated());
  EXPECT_FALSE(child->HandleAllocated());
  EXPECT_EQ(peer.Seen, (std::vector<::SkinCommand>{SkinCommand::NewSkin, SkinCommand::Refresh}));
  EXPECT_EQ(child->SkinData().SkinIndex(), FindSectionIndex("PANEL"));
  UnregisterSkinPeer(later, &peer);
  later->Free();
}

// A refresh that a handler starts within another leaves the repaints held for the rest of the
// outer one: the controls that hear after it still hear the refresh, and only invalidate themselves.
TEST_F(SkinEngine, ARefreshStartedWithinARefreshHoldsTheRepaintsUntilTheOuterOneEnds) {
  struct TPeer : TsSkinPeer {
    // Refresh outside a refresh of the application: the repaints are not held.
    void SkinCommand(::SkinCommand command) override {
      if (command == SkinCommand::Refresh) Held.push_back(false);
    }
    void SkinRefresh(const TsRefresh&) override {
      if (Nest) {
        Nest = false;
        RefreshApplication(0);
      }
      Held.push_back(true);
    }
    bool Nest = false;
    std::vector<bool> Held;
  } nester, after;
  TForm* first = NewComponent<TForm>(Application);
  TForm* second = NewComponent<TForm>(Application);
  RegisterSkinPeer(first, &nester);
  RegisterSkinPeer(second, &after);
  nester.Nest = true;
  RefreshApplication(0);
  EXPECT_EQ(nester.Held, (std::vector<bool>{true, true}));
  EXPECT_EQ(after.Held, (std::vector<bool>{true, true}));
  BroadcastToApplication(SkinCommand::Refresh);
  EXPECT_EQ(after.Held, (std::vector<bool>{true, true, false}));
  UnregisterSkinPeer(first, &nester);
  UnregisterSkinPeer(second, &after);
  first->Free();
  second->Free();
}

// Skin changes and painting pass between our own controls as calls: none of them is sent the
// registered message, not even the unskinned panel the broadcasts pass through.
TEST_F(SkinEngine, OurOwnControlsNeverSendEachOtherTheMessage) {
  auto* child = Make<TTestSkinned>(Direct, Form);
  child->SetBounds(2, 2, 20, 10);
  Form->Show();
  StartManager("Sand");
  Manager->SetSkinName("Night");
  RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  TBitmap target;
  target.SetPixelFormat(TPixelFormat::Bit24);
  target.SetSize(120, 60);
  Panel->PaintControls(target.Canvas()->Handle(), nullptr);
  Manager->SetActive(false);
  EXPECT_GE(child->CacheBuilds(), 1);
  EXPECT_TRUE(Got(Graphic->Seen, SkinCommand::RemoveSkin));
  EXPECT_EQ(Inner->SkinMessages + Direct->SkinMessages + child->SkinMessages + Graphic->SkinMessages, 0);
  EXPECT_EQ(Panel->SkinMessages, 0);
  Form->Hide();
}

// A window that only knows the registered message gets the answers our controls give each other.
TEST_F(SkinEngine, TheMessageFromAForeignWindowIsAnsweredAsThePeerAnswers) {
  StartManager("Sand");
  auto send = [](TWinControl* c, SkinCommand command, std::uint32_t parameter = 0, LPARAM l = 0) {
    return SendMessageA(c->Handle(), RE_ROVADUZI, MakeSkinWParam(command, parameter), l);
  };
  SkinBackgroundColor = SkinKeyColor;
  send(Inner, SkinCommand::GetBgColor);
  EXPECT_EQ(SkinBackgroundColor, MixSkinBackground(50, 255, 0xFFFFFF));
  EXPECT_EQ(SkinBackgroundColor, AskBackgroundColor(Inner));
  SkinReplyRecord = TsCacheInfo{};
  send(Direct, SkinCommand::GetCache);
  EXPECT_TRUE(SkinReplyRecord.Valid);
  EXPECT_EQ(SkinReplyRecord.Bitmap, Direct->SkinData().CacheBitmap());
  EXPECT_EQ(send(Inner, SkinCommand::IsSkinned), 1);
  EXPECT_EQ(send(Panel, SkinCommand::IsSkinned), 0);
  TMessage m = MakeSkinMessage(SkinCommand::HasPaintedBackground);
  Direct->WindowProc()(m);
  EXPECT_EQ(m.LParam == 1, AskHasPaintedBackground(Direct));
  Direct->SkinData().SetRepaintNeeded(true);
  EXPECT_EQ(send(Direct, SkinCommand::GetBgChanged), 1);

  // Commands reach the skin object, the control of SetActiveChild included.
  send(Direct, SkinCommand::SetUpdating, 1);
  EXPECT_TRUE(Direct->SkinData().Updating());
  send(Direct, SkinCommand::SetUpdating, 0);
  EXPECT_FALSE(Direct->SkinData().Updating());
  send(Direct, SkinCommand::SetActiveChild, 0, reinterpret_cast<LPARAM>(Graphic));
  EXPECT_EQ(Direct->SkinData().ActiveChild(), Graphic);
  // A number no command has is taken and changes nothing.
  Direct->SkinData().SetRepaintNeeded(false);
  send(Direct, static_cast<SkinCommand>(14), 1);
  EXPECT_FALSE(Direct->SkinData().RepaintNeeded());
}

TEST_F(SkinEngine, AChildBeingDestroyedIsSkippedNotTheEndOfTheWalk) {
  Inner->Destroying();
  BroadcastToChildren(Panel, SkinCommand::Refresh);
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
  EXPECT_EQ(Inner->SkinData().SkinIndex(), FindSectionIndex("BUTTON"));
  EXPECT_EQ(Direct->SkinData().SkinIndex(), FindSectionIndex("PANEL"));
}

TEST_F(SkinEngine, CommandAnswers) {
  StartManager("Sand");
  EXPECT_TRUE(AskControl(Inner, SkinCommand::IsSkinned));
  EXPECT_FALSE(AskControl(Panel, SkinCommand::IsSkinned));

  // BUTTON: black section colour 255 (red) at transparency 50 over the white unskinned panel.
  EXPECT_EQ(AskBackgroundColor(Inner), MixSkinBackground(50, 255, 0xFFFFFF));
  // PANEL is opaque: its own section colour.
  EXPECT_EQ(AskBackgroundColor(Direct), 65280);
  // Transparency 100 over an unskinned parent holding a system colour: the resolved colour.
  Panel->SetColor(clBtnFace);
  Inner->SkinData().SetSkinSection("SPEEDBUTTON");
  EXPECT_EQ(AskBackgroundColor(Inner), static_cast<TColor>(ColorToRGB(clBtnFace)));

  // A control without a section answers HasPaintedBackground without reading a section.
  Inner->SkinData().SetSkinSection("NOSUCHSECTION");
  EXPECT_EQ(Inner->SkinData().SkinIndex(), -1);
  EXPECT_EQ(Inner->SkinData().BorderIndex(), -1);
  EXPECT_FALSE(AskControl(Inner, SkinCommand::HasPaintedBackground));
  // Numbers no command has change nothing.
  TMessage m = MakeSkinMessage(static_cast<SkinCommand>(22));
  EXPECT_FALSE(Inner->SkinData().HandleSkinCommand(m));
  m = MakeSkinMessage(static_cast<SkinCommand>(14));
  EXPECT_FALSE(Inner->SkinData().HandleSkinCommand(m));
}

TEST_F(SkinEngine, SwitchingSkinsAtRunTime) {
  StartManager("Sand");
  const int sand = Inner->SkinData().SkinIndex();
  ASSERT_GE(sand, 0);
  EXPECT_EQ(ActiveSkin().SkinSectionData[static_cast<std::size_t>(sand)].Color, 255);
  Manager->SetSkinName("Night");
  ASSERT_GE(Inner->SkinData().SkinIndex(), 0);
  EXPECT_EQ(ActiveSkin().SkinSectionData[static_cast<std::size_t>(Inner->SkinData().SkinIndex())].Color,
            16711680);
  // A name without a folder or internal skin empties the tables; controls drop their indexes.
  Manager->SetSkinName("Gone");
  EXPECT_TRUE(ActiveSkin().SkinSectionData.empty());
  EXPECT_EQ(Inner->SkinData().SkinIndex(), -1);
  EXPECT_FALSE(Inner->SkinData().HasSkin());
}

TEST_F(SkinEngine, SkinOffAndOnAgain) {
  StartManager("Sand");
  Inner->SkinData().PrepareCache();
  ASSERT_EQ(Inner->SkinData().CacheBitmap()->Width(), 50);
  Inner->Seen.clear();
  Manager->SetActive(false);
  EXPECT_TRUE(Got(Inner->Seen, SkinCommand::RemoveSkin));
  EXPECT_EQ(Inner->SkinData().SkinIndex(), -1);
  EXPECT_FALSE(SkinData().Active);
  EXPECT_TRUE(ActiveSkin().SkinCommonIndexes == TsSkinCommonIndexes{});
  EXPECT_EQ(Inner->SkinData().CacheBitmap()->Width(), 0);
  Manager->SetActive(true);
  EXPECT_TRUE(SkinData().Active);
  EXPECT_GE(Inner->SkinData().SkinIndex(), 0);
}

TEST_F(SkinEngine, OnlyTheFirstManagerLoads) {
  StartManager("Sand");
  TsSkinManager* second = NewComponent<TsSkinManager>(Form);
  EXPECT_FALSE(second->Active());
  second->SetSkinName("Night");
  EXPECT_EQ(ActiveSkin().SkinSectionData[static_cast<std::size_t>(FindSectionIndex("BUTTON"))].Color, 255);
  second->SetActive(true);
  second->SetActive(false);  // turning any manager off releases the skin for all
  EXPECT_TRUE(ActiveSkin().SkinSectionData.empty());
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

#ifdef TARVEX_BUNDLED_SKINS
namespace {

TEST_F(SkinEngine, TheBundledSkinsLoadAndSwitch) {
  Manager = NewComponent<TsSkinManager>(Form);
  Manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
  std::vector<std::string> names;
  std::string first;
  Manager->ListSkins(names, first);
  EXPECT_EQ(names, (std::vector<std::string>{"Desert", "Nocturne"}));
  Manager->SetSkinName("Desert");
  ASSERT_GE(Inner->SkinData().SkinIndex(), 0);
  EXPECT_GE(Inner->SkinData().BorderIndex(), 0);
  EXPECT_TRUE(ActiveSkin().SkinMasterBitmap);
  const TColor desert =
      ActiveSkin().SkinSectionData[static_cast<std::size_t>(Inner->SkinData().SkinIndex())].Color;
  Manager->SetSkinName("Nocturne");
  ASSERT_GE(Inner->SkinData().SkinIndex(), 0);
  EXPECT_NE(ActiveSkin().SkinSectionData[static_cast<std::size_t>(Inner->SkinData().SkinIndex())].Color,
            desert);
  EXPECT_GE(ActiveSkin().SkinCommonIndexes.CheckGlyphs.BoxChecked, 0);
}

}  // namespace
#endif

namespace {

TEST_F(SkinEngine, StateCommandsAndTheParentCache) {
  StartManager("Sand");
  TsCommonData& s = Inner->SkinData();
  auto send = [&](SkinCommand command, std::uint32_t parameter, LPARAM l = 0) {
    TMessage m = MakeSkinMessage(command, parameter, l);
    const bool handled = s.HandleSkinCommand(m);
    return std::make_pair(handled, m);
  };
  send(SkinCommand::SetBgChanged, 1);
  EXPECT_TRUE(s.BackgroundDirty());
  send(SkinCommand::Refresh, 0);
  EXPECT_FALSE(s.BackgroundDirty());
  EXPECT_TRUE(s.RepaintNeeded());
  send(SkinCommand::SetRepaintNeeded, 0);
  EXPECT_FALSE(s.RepaintNeeded());
  send(SkinCommand::SetRepaintIfTransparent, 1);  // BUTTON is 50 percent transparent
  EXPECT_TRUE(s.RepaintNeeded());
  send(SkinCommand::SetUpdating, 1);
  EXPECT_TRUE(s.Updating());
  EXPECT_TRUE(s.NeedsParentBackground());
  send(SkinCommand::SetUpdating, 0);
  send(SkinCommand::SetActiveChild, 0, reinterpret_cast<LPARAM>(Graphic));
  EXPECT_EQ(s.ActiveChild(), Graphic);
  s.SetChildrenDirty(true);
  auto [handled, answer] = send(SkinCommand::GetChildrenDirty, 0);
  EXPECT_TRUE(handled);
  EXPECT_EQ(answer.LParam, 1);

  // A child of a skinned control with a cache gets that cache; of an unskinned panel, nothing.
  auto* child = Make<TTestSkinned>(Direct, Form);
  TsCacheInfo ci;
  QueryParentCache(&child->SkinData(), ci);
  EXPECT_TRUE(ci.Valid);
  EXPECT_EQ(ci.Bitmap, Direct->SkinData().CacheBitmap());
  QueryParentCache(&Inner->SkinData(), ci);
  EXPECT_FALSE(ci.Valid);
}

// Mouse enter and leave make a control hot only outside the no-hover kinds, whatever its section.
TEST_F(SkinEngine, HoverTurnsOnlyHoveringKindsHot) {
  StartManager("Sand");
  auto kind = [](int number) { return static_cast<TsControlKind>(number); };
  const std::pair<TsControlKind, bool> kinds[] = {{TsControlKind::Button, true},
                                                  {TsControlKind::Edit, true},
                                                  {kind(50), true},
                                                  {TsControlKind::Panel, false},
                                                  {kind(53), false},
                                                  {TsControlKind::GroupBox, false},
                                                  {kind(75), true},
                                                  {kind(110), false},
                                                  {kind(140), true},
                                                  {TsControlKind::PageControl, false},
                                                  {TsControlKind::StatusBar, false},
                                                  {TsControlKind::Gauge, false},
                                                  {kind(162), true},
                                                  {kind(226), true}};
  for (const auto& [k, hovers] : kinds) {
    SCOPED_TRACE(static_cast<int>(k));
    auto* c = Make<TTestSkinned>(Form, Form, k);
    c->SetBounds(10, 160, 40, 20);
    c->SkinData().SetSkinSection("BUTTON");
    ASSERT_TRUE(c->SkinData().HasSkin());
    c->Perform(CM_MOUSEENTER);
    EXPECT_EQ(c->SkinData().MouseOver(), hovers);
    EXPECT_EQ(c->SkinData().IsHot(), hovers);
    c->Perform(CM_MOUSELEAVE);
    EXPECT_FALSE(c->SkinData().MouseOver());
    c->Free();
  }
}

// Whatever its flags say, a disabled control is never hot, and the mouse over a no-hover kind
// does not make it hot while the focus does.
TEST_F(SkinEngine, NeitherADisabledControlNorAHoveredNoHoverKindIsHot) {
  StartManager("Sand");
  for (TsControlKind kind : {TsControlKind::Button, TsControlKind::Panel}) {
    SCOPED_TRACE(static_cast<int>(kind));
    auto* c = Make<TTestSkinned>(Form, Form, kind);
    c->SetBounds(10, 160, 40, 20);
    c->SkinData().SetSkinSection("BUTTON");
    c->SkinData().SetMouseOver(true);
    EXPECT_EQ(c->SkinData().IsHot(), kind == TsControlKind::Button);
    c->SetEnabled(false);
    c->SkinData().SetMouseOver(true);
    c->SkinData().SetFocusHot(true);
    EXPECT_FALSE(c->SkinData().IsHot());
    c->SetEnabled(true);
    c->SkinData().SetFocusHot(true);
    EXPECT_TRUE(c->SkinData().IsHot());
    c->Free();
  }
}

// A disabled control shows its parent's image whatever its own transparency, when the parent
// paints one; over a parent that paints none it does not.
TEST_F(SkinEngine, ADisabledControlNeedsItsParentsBackgroundWhenTheParentPaintsOne) {
  StartManager("Sand");
  auto* parent = Make<TTestSkinned>(Form, Form, TsControlKind::Panel);
  parent->SetBounds(10, 40, 120, 80);
  auto* child = Make<TTestSkinned>(parent, Form, TsControlKind::Panel);  // PANEL: opaque
  child->SetBounds(5, 5, 40, 20);
  ASSERT_TRUE(child->SkinData().HasSkin());
  EXPECT_FALSE(child->SkinData().NeedsParentBackground());
  child->SetEnabled(false);
  EXPECT_FALSE(AskControl(parent, SkinCommand::HasPaintedBackground));
  EXPECT_FALSE(child->SkinData().NeedsParentBackground());
  parent->SkinData().SetUpdating(true);  // the parent now shows a background for its children
  EXPECT_TRUE(AskControl(parent, SkinCommand::HasPaintedBackground));
  EXPECT_TRUE(child->SkinData().NeedsParentBackground());
  child->SetEnabled(true);
  EXPECT_FALSE(child->SkinData().NeedsParentBackground());
  parent->SkinData().SetUpdating(false);
}

TEST_F(SkinEngine, RedrawTransparentReachesTheChildrenOfATransparentControl) {
  StartManager("Sand");
  auto* outer = Make<TTestSkinned>(Form, Form);  // BUTTON, transparent, on an unskinned form
  auto* child = Make<TTestSkinned>(outer, Form);
  outer->SkinData().SetUpdating(true);  // counts as needing its parent's background
  child->Seen.clear();
  RedrawTransparentOf(outer);
  EXPECT_TRUE(outer->SkinData().RepaintNeeded());
  EXPECT_TRUE(Got(child->Seen, SkinCommand::RedrawTransparent));
  outer->SkinData().SetUpdating(false);
  child->Seen.clear();
  RedrawTransparentOf(outer);  // over an unskinned form: no
  EXPECT_FALSE(Got(child->Seen, SkinCommand::RedrawTransparent));
}

}  // namespace

namespace {

struct TChangeLog : TObject {
  std::vector<std::string> Events;
  void Before(TObject*) { Events.push_back("before " + std::to_string(FindSectionIndex("PANEL"))); }
  void After(TObject*) { Events.push_back("after " + std::to_string(FindSectionIndex("PANEL"))); }
};

TEST_F(SkinEngine, AManagerBeingLoadedWaitsForLoadedAndTellsAroundEachChange) {
  Manager = new TsSkinManager(Form);
  Manager->BeginLoading();
  Manager->SetSkinDirectory(Folder);
  Manager->SetSkinName("Sand");
  EXPECT_TRUE(ActiveSkin().SkinSectionData.empty());  // only stored while the form is read
  Manager->Loaded();
  EXPECT_GE(FindSectionIndex("PANEL"), 0);
  EXPECT_TRUE(SkinData().Active);

  TChangeLog log;
  Manager->SetOnBeforeChange(TsNotifyEvent(&log, &TChangeLog::Before));
  Manager->SetOnAfterChange(TsNotifyEvent(&log, &TChangeLog::After));
  Manager->SetSkinName("Night");
  EXPECT_EQ(log.Events, (std::vector<std::string>{"before 3", "after 1"}));

  // Extra sections lose their blanks and join the skin at once.
  Manager->SetCommonSections({"[MYPANEL]", "PARENTCLASS = PANEL", "COLOR = 255"});
  EXPECT_EQ(Manager->CommonSections()[2], "COLOR=255");
  const int mine = FindSectionIndex("MYPANEL");
  ASSERT_GE(mine, 0);
  EXPECT_EQ(ActiveSkin().SkinSectionData[static_cast<std::size_t>(mine)].Color, 255);
}

// Observers hear each change after the windows: the controls hold the new skin's sections, or
// none once it is removed.
TEST_F(SkinEngine, EveryObserverHearsEachChangeAfterTheWindowsUntilItLeavesOrGoes) {
  StartManager("Sand");
  std::vector<std::string> heard;
  auto listener = [&](const char* name) {
    return [&heard, this, name] {
      heard.push_back(std::string(name) + " " + std::to_string(Inner->SkinData().SkinIndex() >= 0));
    };
  };
  TsSkinObserver first(listener("first"));
  std::optional<TsSkinObserver> second(std::in_place, listener("second"));
  first.SetManager(Manager);
  second->SetManager(Manager);
  second->SetManager(Manager);  // once only
  Manager->SetSkinName("Night");
  Manager->SetActive(false);
  EXPECT_EQ(heard, (std::vector<std::string>{"first 1", "second 1", "first 0", "second 0"}));

  // One that leaves hears no more; one freed is never called.
  heard.clear();
  first.SetManager(nullptr);
  Manager->SetActive(true);
  second.reset();
  Manager->SetSkinName("Sand");
  EXPECT_EQ(heard, (std::vector<std::string>{"second 1"}));
  EXPECT_EQ(first.Manager(), nullptr);

  // One that frees another while it hears: the freed one is skipped, the rest still hear.
  heard.clear();
  std::optional<TsSkinObserver> victim(std::in_place, listener("victim"));
  TsSkinObserver killer([&] {
    heard.push_back("killer");
    victim.reset();
  });
  TsSkinObserver last(listener("last"));
  killer.SetManager(Manager);
  victim->SetManager(Manager);
  last.SetManager(Manager);
  Manager->SetSkinName("Night");
  EXPECT_EQ(heard, (std::vector<std::string>{"killer", "last 1"}));

  // A manager freed first lets its observers go: they outlive it safely.
  Manager->Free();
  Manager = nullptr;
  EXPECT_EQ(last.Manager(), nullptr);
  EXPECT_EQ(killer.Manager(), nullptr);
}

TEST_F(SkinEngine, NamingTheLoadedSkinAgainReadsItAgainAsEveryOtherChangeDoes) {
  StartManager("Sand");
  TChangeLog log;
  Manager->SetOnBeforeChange(TsNotifyEvent(&log, &TChangeLog::Before));
  Manager->SetOnAfterChange(TsNotifyEvent(&log, &TChangeLog::After));
  Inner->Seen.clear();
  // The user edits the loaded skin and names it again: the windows are told around a fresh read.
  WriteSkin(Folder, "Sand", "[GLOBALINFO]\r\nVERSION=6\r\n[BUTTON]\r\nCOLOR=255\r\n[PANEL]\r\nCOLOR=9\r\n");
  Manager->SetSkinName("Sand");
  EXPECT_EQ(log.Events, (std::vector<std::string>{"before 3", "after 2"}));
  EXPECT_TRUE(Got(Inner->Seen, SkinCommand::NewSkin));
  EXPECT_TRUE(SkinData().Active);
  EXPECT_EQ(ActiveSkin().SkinSectionData[static_cast<std::size_t>(FindSectionIndex("PANEL"))].Color, 9);
  log.Events.clear();

  // Off and on again, extra sections, another folder and another name each load.
  Manager->SetActive(false);
  Manager->SetActive(true);
  EXPECT_EQ(log.Events.size(), 2u);
  Manager->SetCommonSections({"[MYPANEL]", "COLOR=255"});
  EXPECT_EQ(log.Events.size(), 4u);
  const std::string other = Folder.substr(0, Folder.size() - 1) + "-other\\";
  WriteSkin(other, "Sand", "[GLOBALINFO]\r\nVERSION=6\r\n[PANEL]\r\nCOLOR=7\r\n");
  Manager->SetSkinDirectory(other);
  Manager->SetSkinName("Sand");
  EXPECT_EQ(ActiveSkin().SkinSectionData[static_cast<std::size_t>(FindSectionIndex("PANEL"))].Color, 7);
  Manager->SetSkinDirectory(Folder);
  Manager->SetSkinName("Night");
  EXPECT_EQ(log.Events.size(), 8u);
  // A name that found no skin is looked for again.
  Manager->SetSkinName("Gone");
  Manager->SetSkinName("Gone");
  EXPECT_EQ(log.Events.size(), 12u);
}

}  // namespace

namespace {

TEST_F(SkinEngine, InternalSkinsStandInForAMissingFolder) {
  Manager = NewComponent<TsSkinManager>(Form);
  Manager->SetSkinDirectory(Folder);
  TsStoredSkin* inside = Manager->InternalSkins()->Add();
  inside->Name = "Inside";
  TsSkinGeneral button;
  button.SectionName = "BUTTON";
  button.Color = 0x123456;
  button.FontColor = "1 2 3 4 5";
  inside->GeneralData.push_back(button);
  TBitmap master;
  master.SetPixelFormat(TPixelFormat::Bit24);
  master.SetSize(30, 20);
  inside->SetMasterBitmap(&master);
  TsSkinImage* cut = inside->AddImage();
  cut->SectionName = "button";
  cut->PropertyName = "bordersmask";
  cut->Right = 30;
  cut->Bottom = 20;
  cut->ImageCount = 3;
  cut->MaskType = 1;
  TsSkinImage* own = inside->AddImage();
  own->SectionName = "BUTTON";
  own->PropertyName = "GLYPHMASK";
  TBitmap glyph;
  glyph.SetPixelFormat(TPixelFormat::Bit8);
  glyph.SetSize(9, 4);
  own->SetImage(&glyph);
  TsSkinPattern* pattern = inside->AddPattern();
  pattern->SectionName = "BUTTON";
  pattern->PropertyName = "PATTERN";
  TBitmap big;
  big.SetPixelFormat(TPixelFormat::Bit24);
  big.SetSize(320, 300);
  pattern->Image()->Assign(&big);

  Manager->SetSkinName("Missing");
  EXPECT_EQ(Manager->SkinName(), "Inside");
  const int b = FindSectionIndex("BUTTON");
  ASSERT_GE(b, 0);
  EXPECT_EQ(ActiveSkin().SkinSectionData[static_cast<std::size_t>(b)].Color, 0x123456);
  EXPECT_EQ(ActiveSkin().SkinSectionData[static_cast<std::size_t>(b)].FontColor[4], 5);
  const int glyphIndex = FindMaskIndex(b, "BUTTON", "GLYPHMASK");
  ASSERT_GE(glyphIndex, 0);
  EXPECT_EQ(ActiveSkin().SkinMaskData[static_cast<std::size_t>(glyphIndex)].Bmp->Width(),
            9);  // an 8-bit bitmap, now 24 bits
  EXPECT_EQ(MaskFrameSize(FindMaskIndex(b, "BUTTON", "BORDERSMASK")).Width, 10);
  EXPECT_GE(FindPatternIndex(b, "BUTTON", "PATTERN"), 0);
  EXPECT_EQ(Inner->SkinData().SkinIndex(), b);

  std::vector<std::string> names;
  std::string first;
  Manager->ListSkins(names, first);
  EXPECT_EQ(first, "Inside");
  EXPECT_EQ(names, (std::vector<std::string>{"Inside", "Night", "Sand"}));
}

}  // namespace

#include "skin/engine/SkinUtilsWin.h"

namespace {

TEST_F(SkinEngine, PlatformHelpers) {
  const std::string app = AppFolder();
  ASSERT_FALSE(app.empty());
  EXPECT_EQ(app.back(), '\\');
  EXPECT_TRUE(FolderExists(app));
  EXPECT_TRUE(FolderExists(Folder + "Sand"));
  EXPECT_FALSE(FolderExists(Folder + "Sand\\Options.dat"));
  EXPECT_FALSE(FolderExists(Folder + "Nowhere"));
  EXPECT_EQ(LongFileName(Folder + "Sand\\Options.dat"), "Options.dat");
  EXPECT_EQ(LongFileName(Folder + "Sand\\Missing.dat"), "");

  Inner->SetName("Inner1");
  EXPECT_EQ(FindOwnerForm(Inner), Form);
  EXPECT_EQ(FindComponentByPath(Form, "INNER1"), Inner);
  EXPECT_EQ(FindComponentByPath(Form, "Frame1.Inner1"), nullptr);
  EXPECT_EQ(CaptionTextFlags(Inner, taCenter), static_cast<UINT>(DT_CENTER | DT_EXPANDTABS | DT_VCENTER));
  EXPECT_EQ(CaptionTextFlags(Inner, taRightJustify),
            static_cast<UINT>(DT_RIGHT | DT_EXPANDTABS | DT_VCENTER));
}

}  // namespace

#include "framework/win/TCanvas.h"
#include "skin/engine/SkinSectionPainter.h"

namespace {

// A transparent graphic child that paints one small square at its own origin.
class TSquare : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;

protected:
  void Paint() override {
    RECT r{0, 0, 4, 4};
    HBRUSH green = CreateSolidBrush(0x00FF00);
    FillRect(Canvas()->Handle(), &r, green);
    DeleteObject(green);
  }
};

void Fill(HDC dc, int w, int h, COLORREF c) {
  RECT r{0, 0, w, h};
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

TEST_F(SkinEngine, TransparentGraphicChildrenArePaintedOverTheParentsCache) {
  StartManager("Sand");  // only a skinned parent lays its cache under its children
  Direct->SetBounds(0, 0, 100, 50);
  Direct->SkinData().PrepareCache();
  Fill(Direct->SkinData().CacheBitmap()->Canvas()->Handle(), 100, 50, 0x0000FF);  // the parent's image: red
  auto* square = Make<TSquare>(Direct, Form);
  square->SetBounds(10, 10, 20, 20);

  TBitmap target;
  target.SetPixelFormat(TPixelFormat::Bit24);
  target.SetSize(100, 50);
  HDC dc = target.Canvas()->Handle();
  Fill(dc, 100, 50, 0xFF0000);  // blue
  Direct->PaintControls(dc, nullptr);
  EXPECT_EQ(GetPixel(dc, 11, 11), 0x00FF00u);  // the child's own square, at its place
  EXPECT_EQ(GetPixel(dc, 20, 20), 0x0000FFu);  // under the child: the parent's cache
  EXPECT_EQ(GetPixel(dc, 50, 40), 0xFF0000u);  // outside the child: untouched
  EXPECT_FALSE(AskCache(Panel).Valid);         // the children's questions leave no answer behind

  // Copying the parent's cache leaves the graphic child's area to the child.
  Fill(dc, 100, 50, 0xFF0000);
  CopyCacheToDC(Direct, &Direct->SkinData(), POINT{0, 0}, dc, RECT{0, 0, 100, 50});
  EXPECT_EQ(GetPixel(dc, 50, 40), 0x0000FFu);
  EXPECT_EQ(GetPixel(dc, 20, 20), 0xFF0000u);
}

// A painting asks the parent for its colour afresh: the answer to an earlier question about another
// control (here the green panel) must not colour it.
TEST_F(SkinEngine, APaintingNeverTakesTheAnswerToAnEarlierQuestion) {
  StartManager("Sand");
  Inner->SkinData().PrepareCache();
  TBitmap parentImage;
  parentImage.SetPixelFormat(TPixelFormat::Bit24);
  parentImage.SetSize(60, 30);
  Fill(parentImage.Canvas()->Handle(), 60, 30, 0xFF0000);
  const TsCacheInfo ci{&parentImage, 0, 0, true};
  TBitmap* cache = Inner->SkinData().CacheBitmap();
  auto paint = [&] {
    PaintSectionByData(ActiveSkin(), &Inner->SkinData(), ci, true, cache, {0, 0},
                       {0, 0, cache->Width(), cache->Height()}, TsSkinState::Normal);
    return GetPixel(cache->Canvas()->Handle(), 25, 10);
  };
  const COLORREF alone = paint();
  EXPECT_EQ(AskBackgroundColor(Direct), 0x00FF00);
  EXPECT_EQ(paint(), alone);
  EXPECT_EQ(ActiveSkin().SkinBackgroundFillColor, SkinKeyColor);  // the painting's colours end with it
}

}  // namespace

namespace {

TEST_F(SkinEngine, UpdatingTreesAndChildRefreshes) {
  StartManager("Sand");  // an unskinned control leaves the command to the framework control
  SetUpdatingTreeOn(Form);
  EXPECT_TRUE(Inner->SkinData().Updating());  // inside the unskinned panel too
  EXPECT_TRUE(Direct->SkinData().Updating());
  SetUpdatingTreeOff(Form);
  EXPECT_FALSE(Inner->SkinData().Updating());
  Direct->Seen.clear();
  Graphic->Seen.clear();
  RefreshChildren(Form);
  EXPECT_TRUE(Got(Direct->Seen, SkinCommand::Repaint));
  RefreshChildren(Panel);
  EXPECT_FALSE(Got(Graphic->Seen, SkinCommand::Repaint));  // graphic children are not asked
}

}  // namespace

#include "framework/win/TMainMenu.h"
#include "framework/win/TMenuItem.h"

namespace {

// Records what the default manager's menu skinner is asked to do.
class TRecordingSkinner : public TsMenuSkinnerLink {
public:
  static inline std::vector<std::string> Calls;
  void HookItem(TComponent* c) override { Calls.push_back("hook " + c->ClassName()); }
  void UnhookItem(TComponent* c) override { Calls.push_back("unhook " + c->ClassName()); }
  void RehookAll() override { Calls.push_back("rehook"); }
};

std::unique_ptr<TsMenuSkinnerLink> MakeRecordingSkinner(TComponent*) {
  return std::make_unique<TRecordingSkinner>();
}

TEST_F(SkinEngine, TheDefaultManagersMenuSkinnerFollowsMenusOfItsForm) {
  SetMenuSkinnerFactory(&MakeRecordingSkinner);
  TRecordingSkinner::Calls.clear();
  StartManager("Sand");
  SetMenuSkinnerFactory(nullptr);
  // A component is announced while its constructor runs, before it is a menu: only its removal
  // can be recognised here (the skinner hooks new menus itself when the skin changes).
  auto* menu = NewComponent<TMainMenu>(Form);
  menu->Free();
  Manager->SetSkinnedPopups(false);
  EXPECT_EQ(TRecordingSkinner::Calls, (std::vector<std::string>{"unhook TMainMenu", "rehook"}));
}

}  // namespace

namespace {

// The colour of every pixel of a control's cache, row by row.
std::vector<TColor> CachePixels(TTestSkinned* control) {
  std::vector<TColor> pixels;
  TBitmap* cache = control->SkinData().CacheBitmap();
  for (int y = 0; y < cache->Height(); ++y)
    for (int x = 0; x < cache->Width(); ++x) pixels.push_back(cache->Canvas()->Pixel(x, y));
  return pixels;
}

void PaintNow(TForm* form) {
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace

// A switch builds nothing for a form that is hidden; once shown, it paints once in the new skin,
// as a form made under that skin does, and with the skin gone it shows the standard look.
TEST_F(SkinEngine, AHiddenFormTakesTheSwitchWhenItIsShown) {
  StartManager("Sand");
  Form->Show();
  PaintNow(Form);
  const std::vector<TColor> sand = CachePixels(Direct);
  ASSERT_FALSE(sand.empty());
  Form->Hide();
  const int inner = Inner->CacheBuilds(), direct = Direct->CacheBuilds();
  Manager->SetSkinName("Night");
  EXPECT_EQ(Inner->CacheBuilds(), inner);
  EXPECT_EQ(Direct->CacheBuilds(), direct);

  Form->Show();
  PaintNow(Form);
  EXPECT_GT(Inner->CacheBuilds(), inner);
  EXPECT_GT(Direct->CacheBuilds(), direct);
  TForm* fresh = NewComponent<TForm>(Application);
  fresh->SetBounds(0, 0, 300, 200);
  auto* twin = Make<TTestSkinned>(fresh, fresh, TsControlKind::Panel);
  twin->SetBounds(210, 10, 50, 20);
  fresh->Show();
  PaintNow(fresh);
  const std::vector<TColor> night = CachePixels(twin);
  fresh->Free();
  EXPECT_EQ(CachePixels(Direct), night);
  EXPECT_NE(night, sand);

  Form->Hide();
  Manager->SetActive(false);
  Form->Show();
  PaintNow(Form);
  EXPECT_EQ(Direct->SkinData().SkinIndex(), -1);
  EXPECT_EQ(Direct->SkinData().CacheBitmap()->Width(), 0);
  Form->Hide();
}
