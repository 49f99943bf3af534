#include "skin/controls/core/UpDownModel.h"

int TUpDownModel::Bound(TArrow arrow) const {
  const bool first = arrow == TArrow::First;
  return first == Vertical ? Max : Min;
}

bool TUpDownModel::MouseOver(TArrow arrow) {
  const TState hot = arrow == TArrow::First ? 1 : 2;
  if (ShowInaccessibility && AtBound(arrow)) {
    FState = 0;
    return false;
  }
  if (FState != hot && !FPressed) FState = hot;
  return true;
}

void TUpDownModel::Press() {
  FPressed = true;
  // The first arrow moves towards Max, the second towards Min, whatever the orientation.
  if (FState == 1 && Position < Max)
    FState = 3;
  else if (FState == 2 && Position > Min)
    FState = 4;
}

bool TUpDownModel::Release() {
  if (!FPressed) return false;
  FPressed = false;
  if (FState == 3) {
    if (ShowInaccessibility && Position == Max) return false;
    FState = 1;
  } else {
    if (ShowInaccessibility && Position == Min) return false;
    FState = 2;
  }
  return true;
}

void TUpDownModel::Leave() {
  FPressed = false;
  FState = 0;
}

int TUpDownModel::PaintState(TArrow arrow) const {
  const bool first = arrow == TArrow::First;
  if (FState == (first ? 1 : 2)) return 1;
  if (FState == (first ? 3 : 4)) return 2;
  return 0;
}
