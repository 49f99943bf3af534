#include "skin/engine/TsAnimTimer.h"

#include <cstring>

#include "framework/win/TBitmap.h"
#include "framework/win/TWinControl.h"
#include "skin/engine/SkinBitmapRows.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/TsCommonData.h"

TsAnimTimer::TsAnimTimer(TComponent* owner) : TsFadeTimer(owner), FFrame(std::make_unique<TBitmap>()) {}

TsAnimTimer::~TsAnimTimer() = default;

void TsAnimTimer::Timer() {
  if (IsDestroying()) return;
  try {
    TsFadeTimer::Timer();
  } catch (...) {
    // A failed frame only costs one step of the fade.
  }
}

void TsAnimTimer::ShowFrame(const TsFadeTick& tick) {
  TControl* control = SkinData()->OwnerControl();
  TBitmap* cache = SkinData()->CacheBitmap();
  if (!control || !cache) return;
  TsBitmap24 frame;
  TsFadeSchedule::RenderFrame(tick, BitmapRows(Saved()), BitmapRows(cache), frame);
  FFrame->SetPixelFormat(TPixelFormat::Bit24);
  FFrame->SetSize(frame.Width(), frame.Height());
  const TsBitmap24View rows = BitmapRows(FFrame.get());
  for (int32_t y = 0; y < rows.Height(); ++y) std::memcpy(rows.Row(y), frame.View().Row(y), size_t(rows.Width()) * 3);
  TWinControl* parent = control->Parent();
  if (!parent) return;
  SetActiveChildOf(parent, control);
  control->Repaint();
  SetActiveChildOf(parent, nullptr);
}
