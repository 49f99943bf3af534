#pragma once

#include "framework/win/TUpDown.h"
#include "skin/controls/core/UpDownModel.h"
#include "skin/engine/TsSkinned.h"
#include "skin/engine/core/TsDisabledKind.h"

class TBitmap;

// The up-down whose two arrows are painted with the skin's scroll-button sections while a skin is
// active. Its skin object has no section of its own: each arrow is painted over its parent's image.
// An arrow that cannot move further looks disabled while ShowInaccessibility is set.
class TsUpDown : public TsSkinned<TUpDown> {
public:
  explicit TsUpDown(TComponent* owner);

  bool ShowInaccessibility() const { return FModel.ShowInaccessibility; }
  void SetShowInaccessibility(bool value);
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind value);
  // The arrow state of the mouse (see TUpDownModel).
  TUpDownModel::TState ArrowState() const { return FModel.State(); }

  void WndProc(TMessage& message) override;

protected:
  // The skin is active and both arrow sections of the orientation are resolved.
  bool SkinResolved() const override;
  void PaintClient(HDC dc) override { PaintArrows(dc); }
  // No frame: the platform's is never drawn while skinned.
  bool PaintBorder(HDC /*windowDC*/) override { return true; }
  // The arrows light by the model, not by the skin object's hot state.
  void HotChanged() override {}

private:
  using TArrow = TUpDownModel::TArrow;
  // The arrows' state after a message the native control has handled; a change shows while
  // skinned.
  void FollowArrows(TMessage& message);
  void SyncModel();
  void PaintArrows(HDC dc);
  void PaintArrow(TBitmap& bmp, TArrow arrow, POINT at);
  RECT FirstArrowRect() const;

  TUpDownModel FModel;
  // The position as last asked of the native control; the pointer's hovering cannot move it, so
  // hit tests reuse it until any other message comes.
  bool FPositionKnown = false;
  TsDisabledKind FDisabledKind;
};
