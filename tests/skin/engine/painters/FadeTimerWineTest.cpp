#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>

#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomControl.h"
#include "framework/win/TCustomForm.h"
#include "skin/engine/SkinMessage.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/TsAnimTimer.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/TsFadeTimer.h"
#include "skin/engine/TsSkinned.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

// A skinned button as far as fading goes: it owns its timer and frees it on StopFading.
class TFadingButton : public TsSkinned<TCustomControl> {
public:
  explicit TFadingButton(TComponent* owner) : TsSkinned(TsControlKind::Button, TsCacheBitmap::Own, owner) {}
  TsFadeTimer* Fade = nullptr;
  int Stops = 0;

protected:
  void SkinCommand(::SkinCommand command) override {
    if (command != ::SkinCommand::StopFading || !IsSkinned()) return TsSkinned::SkinCommand(command);
    if (Fade) {
      Fade->SetActive(TsFadeDirection::Idle);
      Fade->Free();
      Fade = nullptr;
      ++Stops;
    }
  }
};

class FadeTimerWine : public ::testing::Test {
protected:
  void SetUp() override {
    TsSkinTables t;
    TsSectionData s;
    s.SectionName = "BUTTON";
    s.Color = 0x0000FF;
    s.HotColor = 0x00FF00;
    s.FadingEnabled = true;
    s.FadingIntervalIn = -40;  // a hostile interval: clamped, never an error
    s.FadingIterations = 3;
    t.Sections.push_back(s);
    InstallSkinTables(std::move(t));
    SkinData().Active = true;
    Form = NewComponent<TForm>(Application);
    Form->SetBounds(0, 0, 200, 100);
    Button = NewComponent<TFadingButton>(Form);
    Button->SetParent(Form);
    Button->SetBounds(10, 10, 60, 24);
    Button->SkinData().ResolveIndexes();
    Form->HandleNeeded();
    Button->SkinData().PrepareCache();
  }
  void TearDown() override {
    Form->Free();
    InstallSkinTables({});
    SkinData().Active = false;
  }
  // Pumps messages until the button has freed its timer (bounded).
  bool PumpUntilStopped() {
    for (int i = 0; i < 2000 && Button->Fade; ++i) {
      Application->ProcessMessages();
      Sleep(1);
    }
    return Button->Fade == nullptr;
  }
  void PaintCache(TsSkinState state) {
    TBitmap* cache = Button->SkinData().CacheBitmap();
    PaintSectionByData(ActiveSkin(), &Button->SkinData(), EmptyCacheInfo, true, cache, {0, 0},
                       {0, 0, cache->Width(), cache->Height()}, state);
  }
  TCustomForm* Form = nullptr;
  TFadingButton* Button = nullptr;
};

TEST_F(FadeTimerWine, FadeOutEndsWithTheControlFreeingItsTimerAfterTheTick) {
  PaintCache(TsSkinState::Hot);
  Button->Fade = NewComponent<TsFadeTimer>(Button);
  Button->Fade->SetActive(TsFadeDirection::Idle);
  Button->Fade->StartFor(&Button->SkinData());
  EXPECT_EQ(Button->Fade->Steps(), 3);
  EXPECT_GE(Button->Fade->Interval(), 1u);
  PaintCache(TsSkinState::Normal);
  Button->Fade->SetCounter(3);
  Button->Fade->SetActive(TsFadeDirection::Out);
  EXPECT_TRUE(PumpUntilStopped());
  EXPECT_EQ(Button->Stops, 1);
}

// A fade timer that is always made in the same place, as the heap may place a new timer where
// a freed one was.
class TPinnedFadeTimer : public TsFadeTimer {
public:
  using TsFadeTimer::TsFadeTimer;
  static void* operator new(std::size_t size) {
    EXPECT_LE(size, sizeof(Place));
    return Place;
  }
  static void operator delete(void*) {}

private:
  alignas(std::max_align_t) static inline unsigned char Place[sizeof(TsFadeTimer) + 64];
};

TEST_F(FadeTimerWine, AStopMeantForAFreedTimerLeavesTheTimerMadeInItsPlace) {
  PaintCache(TsSkinState::Hot);
  auto* first = NewComponent<TPinnedFadeTimer>(Button);
  first->StartFor(&Button->SkinData());
  first->SetCounter(-1);  // below its steps: the tick asks the control to stop it, after the tick
  first->SetActive(TsFadeDirection::Out);
  first->Timer();
  // The control freed it for its own reasons before the stop arrived, and began another fade.
  first->Free();
  auto* second = NewComponent<TPinnedFadeTimer>(Button);
  ASSERT_EQ(static_cast<void*>(second), static_cast<void*>(first));
  Button->Fade = second;
  second->StartFor(&Button->SkinData());
  Application->ProcessMessages();
  EXPECT_EQ(Button->Stops, 0);
  EXPECT_EQ(Button->Fade, second);  // the button frees it with itself
}

TEST_F(FadeTimerWine, FadeInRunsItsStepsAndGoesIdle) {
  PaintCache(TsSkinState::Normal);
  auto* fade = NewComponent<TsFadeTimer>(Button);
  Button->Fade = fade;
  fade->SetActive(TsFadeDirection::Idle);
  fade->SetCounter(1);
  fade->StartFor(&Button->SkinData());
  PaintCache(TsSkinState::Hot);
  fade->SetActive(TsFadeDirection::In);
  for (int i = 0; i < 2000 && fade->Enabled(); ++i) {
    Application->ProcessMessages();
    Sleep(1);
  }
  EXPECT_FALSE(fade->Enabled());
  EXPECT_EQ(fade->Counter(), 3);
  EXPECT_EQ(Button->Stops, 0);
}

TEST_F(FadeTimerWine, AnimTimerKeepsTheBlendedFrame) {
  PaintCache(TsSkinState::Hot);
  auto* anim = NewComponent<TsAnimTimer>(Button);
  Button->Fade = anim;
  anim->SetActive(TsFadeDirection::Idle);
  anim->SetCounter(1);
  anim->StartFor(&Button->SkinData());
  PaintCache(TsSkinState::Normal);
  anim->SetActive(TsFadeDirection::In);
  for (int i = 0; i < 2000 && anim->Enabled(); ++i) {
    Application->ProcessMessages();
    Sleep(1);
  }
  ASSERT_EQ(anim->Frame()->Width(), 60);
  // The last frame is the new look: red.
  EXPECT_EQ(GetPixel(anim->Frame()->Canvas()->Handle(), 30, 12), RGB(255, 0, 0));
}

TEST_F(FadeTimerWine, DisabledLookOfAControlWithoutParentUsesItsOwnColour) {
  TFadingButton* orphan = NewComponent<TFadingButton>(Form);
  orphan->SetColor(0x000000);
  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::Bit24);
  bmp.SetSize(4, 4);
  bmp.Canvas()->Brush()->SetColor(0xC8C8C8);
  bmp.Canvas()->FillRect({0, 0, 4, 4});
  ApplyDisabledKind(ActiveSkin(), &bmp, {true, false}, orphan, {0, 0}, EmptyCacheInfo);
  EXPECT_EQ(GetPixel(bmp.Canvas()->Handle(), 2, 2), RGB(99, 99, 99));  // half of 200 over black
  Button->SetColor(0xFFFFFF);
  Form->SetColor(0x000000);
  TBitmap child;
  child.SetPixelFormat(TPixelFormat::Bit24);
  child.SetSize(4, 4);
  child.Canvas()->Brush()->SetColor(0xC8C8C8);
  child.Canvas()->FillRect({0, 0, 4, 4});
  ApplyDisabledKind(ActiveSkin(), &child, {true, false}, Button, {0, 0}, EmptyCacheInfo);
  EXPECT_EQ(GetPixel(child.Canvas()->Handle(), 2, 2), RGB(99, 99, 99));  // the parent's black, not its own white
}

}  // namespace
