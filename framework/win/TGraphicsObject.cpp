#include "framework/win/TGraphicsObject.h"

TGraphicsObject::~TGraphicsObject() { SetCachedHandle(nullptr); }

void TGraphicsObject::Changed() {
  SetCachedHandle(nullptr);
  if (FOnChange) FOnChange(this);
}

void TGraphicsObject::SetCachedHandle(HGDIOBJ handle) {
  if (FHandle != nullptr && FHandle != handle) {
    if (FUser != nullptr) FUser->GraphicsObjectChanging(this);
    DeleteObject(FHandle);
  }
  FHandle = handle;
}
