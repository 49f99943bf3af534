#pragma once

#include "framework/win/TUpDown.h"
#include "skin/controls/core/UpDownModel.h"
#include "skin/engine/TsSkinPeer.h"
#include "skin/engine/core/TsDisabledKind.h"

class TBitmap;

// The up-down whose two arrows are painted with the skin's scroll-button sections while a skin is
// active. It has no skin object of its own: each arrow is painted over its parent's image. An arrow
// that cannot move further looks disabled while ShowInaccessibility is set.
class TsUpDown : public TUpDown, public TsSkinPeer {
public:
  explicit TsUpDown(TComponent* owner);

  bool ShowInaccessibility() const { return FModel.ShowInaccessibility; }
  void SetShowInaccessibility(bool value);
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind value);
  // The arrow state of the mouse (see TUpDownModel).
  TUpDownModel::TState ArrowState() const { return FModel.State(); }

  void WndProc(TMessage& message) override;
  // RemoveSkin and Refresh repaint the arrows.
  void SkinCommand(::SkinCommand command, bool parameter, TControl* child) override;

private:
  using TArrow = TUpDownModel::TArrow;
  bool SkinPaints() const;
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
