#pragma once

#include <map>
#include <memory>
#include <vector>

#include "framework/win/Controls.h"
#include "framework/win/TComponent.h"
#include "framework/win/TFont.h"

class TCustomForm;
class TWinControl;

// The screen as the application sees it: its forms, the cursor, size and work area, the active
// form and control, and the fonts of menus and hints.
class TScreen : public TComponent {
public:
  explicit TScreen(TComponent* owner);
  ~TScreen() override;

  int FormCount() const { return static_cast<int>(FForms.size()); }
  TCustomForm* Forms(int index) const { return FForms.at(size_t(index)); }
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);

  // The cursor of the whole application (crHourGlass during long work); crDefault lets every
  // control show its own.
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor);
  HCURSOR Cursors(TCursor cursor);
  void SetCursors(TCursor cursor, HCURSOR handle);

  int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
  int DesktopWidth() const { return GetSystemMetrics(SM_CXVIRTUALSCREEN); }
  int DesktopHeight() const { return GetSystemMetrics(SM_CYVIRTUALSCREEN); }
  RECT WorkAreaRect() const;
  int PixelsPerInch() const { return FPixelsPerInch; }

  TCustomForm* ActiveForm() const { return FActiveForm; }
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActive(TCustomForm* form, TWinControl* control);
  // Of the other forms that can be active now (shown, enabled, top-level), the one active last.
  TCustomForm* FormActiveBefore(const TCustomForm* form) const;
  void ControlRemoving(TWinControl* control);

  TFont* MenuFont() { return &FMenuFont; }
  TFont* HintFont() { return &FHintFont; }
  TFont* IconFont() { return &FIconFont; }

  const TNotifyEvent& OnActiveFormChange() const { return FOnActiveFormChange; }
  void SetOnActiveFormChange(const TNotifyEvent& e) { FOnActiveFormChange = e; }
  const TNotifyEvent& OnActiveControlChange() const { return FOnActiveControlChange; }
  void SetOnActiveControlChange(const TNotifyEvent& e) { FOnActiveControlChange = e; }

private:
  std::vector<TCustomForm*> FForms;
  TCursor FCursor = crDefault;
  std::map<TCursor, HCURSOR> FCursors;
  int FPixelsPerInch = 96;
  TCustomForm* FActiveForm = nullptr;
  // Every form that has been active, the one active last first.
  std::vector<TCustomForm*> FActivationOrder;
  TWinControl* FActiveControl = nullptr;
  TFont FMenuFont, FHintFont, FIconFont;
  TNotifyEvent FOnActiveFormChange, FOnActiveControlChange;
};

extern TScreen* Screen;
