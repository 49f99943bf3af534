#pragma once

#include "framework/win/TMenu.h"

class TControl;

// A menu shown at a point, for a control's right click (AutoPopup) or on demand.
class TPopupMenu : public TMenu {
public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool autoPopup) { FAutoPopup = autoPopup; }
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* component) { FPopupComponent = component; }
  // Shows the menu at (x, y) in screen coordinates and returns when it closes.
  virtual void Popup(int x, int y);
  const TNotifyEvent& OnPopup() const { return FOnPopup; }
  void SetOnPopup(const TNotifyEvent& e) { FOnPopup = e; }

protected:
  HMENU CreateMenuHandle() override { return CreatePopupMenu(); }

private:
  void WndProc(TMessage& message);

  bool FAutoPopup = true;
  TComponent* FPopupComponent = nullptr;
  HWND FWindow = nullptr;
  TNotifyEvent FOnPopup;
};
