#pragma once

#include <windows.h>

#include "framework/base/Delegate.h"
#include "framework/win/TPersistent.h"

class TGraphicsObject;

// The one canvas an object is selected into: told before the object's GDI handle is freed, so it
// can select the old one back first (a selected GDI object cannot be deleted).
class TGraphicsObjectUser {
public:
  virtual void GraphicsObjectChanging(TGraphicsObject* object) = 0;

protected:
  ~TGraphicsObjectUser() = default;
};

// Base of the font, pen and brush: owns one GDI object made on demand from the properties, and
// drops it when a property changes.
class TGraphicsObject : public TPersistent {
public:
  ~TGraphicsObject() override;

  void SetUser(TGraphicsObjectUser* user) { FUser = user; }
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& handler) { FOnChange = handler; }

protected:
  // Called after every property change: frees the GDI object and tells the owner.
  virtual void Changed();
  HGDIOBJ CachedHandle() const { return FHandle; }
  void SetCachedHandle(HGDIOBJ handle);

private:
  HGDIOBJ FHandle = nullptr;
  TGraphicsObjectUser* FUser = nullptr;
  TNotifyEvent FOnChange;
};
