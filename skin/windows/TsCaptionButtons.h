#pragma once

#include <memory>
#include <vector>

#include "skin/windows/core/TsFrameGeometry.h"

class TBitmap;
class TsProviderHost;

// The caption buttons of a skinned form: their states (normal, hot, pressed), their glyphs from the
// skin's masks, and the repaint of a single button over what lies behind it.
class TsCaptionButtons {
public:
  explicit TsCaptionButtons(TsProviderHost& provider);
  ~TsCaptionButtons();
  TsCaptionButtons(const TsCaptionButtons&) = delete;
  TsCaptionButtons& operator=(const TsCaptionButtons&) = delete;

  // The user buttons' count follows the provider's collection.
  void SyncUserCount();
  bool HasButton(int code);
  int Hot() const { return FStates.Hot(); }
  int State(int code) const { return FStates.State(code); }
  void SetHot(int code);
  void Press(int code);
  // The release at code: the buttons whose look changed are repainted; true when code acts.
  bool Release(int code);
  // Keeps the top `height` rows of cache (what lies behind the buttons), then paints every slot.
  void PaintAll(TBitmap* cache, const std::vector<TsCaptionSlot>& slots, int width, int height);
  // One button repainted in the cache and on the window.
  void Paint(int code);
  int Paints() const { return FPaints; }

private:
  int MaskOf(const TsCaptionSlot& slot) const;
  void PaintInto(TBitmap* cache, const TsCaptionSlot& slot);

  TsProviderHost& FProvider;
  TsCaptionButtonStates FStates;
  std::unique_ptr<TBitmap> FBackground;
  int FPaints = 0;
};
