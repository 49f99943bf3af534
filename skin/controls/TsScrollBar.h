#pragma once

#include <optional>
#include <string>

#include "framework/win/StdControlTypes.h"
#include "framework/win/TWinControl.h"
#include "skin/controls/core/ScrollBarModel.h"
#include "skin/engine/TsSkinned.h"

// A host's handler for its bar's changes: the bar and its position before the change.
using TScrollBarHostNotify = TDelegate<void(TObject* Sender, int OldPosition)>;

// The scroll bar. With no skin it is the native SCROLLBAR control and behaves as the framework's
// scroll bar. With a skin that has the scroll-bar sections its window is a plain one that paints
// arrows, tracks and slider from the skin and tracks the mouse itself (ScrollBarModel), with
// auto-repeat on held arrows and tracks.
//
// Hosts whose native bars cannot be skinned lay a pair of these over them: LinkedControl and
// HostNotify name the host, and FillFromScrollInfo mirrors the host's scroll information.
class TsScrollBar : public TsSkinned<TWinControl>, private TScrollBarModelHost {
public:
  explicit TsScrollBar(TComponent* owner);
  ~TsScrollBar() override;

  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind value);
  int Min() const { return FModel.Min(); }
  void SetMin(int value);
  int Max() const { return FModel.Max(); }
  void SetMax(int value);
  int Position() const { return FModel.Position(); }
  void SetPosition(int value);
  // Without a skin max < min raises EInvalidOperation; with one, max <= min shows an error box
  // and the range is kept (an inverted one counts as empty).
  void SetParams(int position, int min, int max);
  int PageSize() const { return FModel.PageSize(); }
  void SetPageSize(int value);
  int SmallChange() const { return FModel.SmallChange(); }
  void SetSmallChange(int value) { FModel.SetSmallChange(value); }
  int LargeChange() const { return FModel.LargeChange(); }
  void SetLargeChange(int value) { FModel.SetLargeChange(value); }
  // False: a drag of the slider reports one change, at its end.
  bool Smooth() const { return FModel.Smooth(); }
  void SetSmooth(bool value) { FModel.SetSmooth(value); }
  // The code of the last mouse action (scLineUp .. scTrack), None before any.
  TScrollAction LastScrollCode() const { return FModel.LastScrollCode(); }

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }
  const TScrollEvent& OnScroll() const { return FOnScroll; }
  void SetOnScroll(const TScrollEvent& e) { FOnScroll = e; }

  // The host control the bar lies over (not owned), and its handler.
  TWinControl* LinkedControl() const { return FLinkedControl; }
  void SetLinkedControl(TWinControl* control);
  const TScrollBarHostNotify& HostNotify() const { return FHostNotify; }
  void SetHostNotify(const TScrollBarHostNotify& e) { FHostNotify = e; }
  // Reports held back while the host scrolls itself from one.
  bool EventsSuspended() const { return FModel.EventsSuspended(); }
  void SetEventsSuspended(bool value) { FModel.SetEventsSuspended(value); }
  // The host's scroll information into the bar, made visible and brought to the front; disabled
  // when there is nothing to scroll. No report is made and no error box shown.
  void FillFromScrollInfo(const TScrollInfoFill& info);

  // The clock of the auto-repeat (milliseconds); tests drive it by hand.
  void SetRepeatClock(TScrollBarClock clock) { FModel.SetClock(std::move(clock)); }
  // The timer of the auto-repeat on the bar's window.
  static constexpr UINT_PTR RepeatTimerId = 1;

  bool CanFocus() override;
  void Loaded() override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;
  void StandingCommand(::SkinCommand command) override;
  bool SkinnedMessage(TMessage& message) override;
  void PaintSkin() override;

private:
  bool NotifyHost(int oldPosition) override;
  bool Scrolled(TScrollAction code, int position) override;
  bool Changed() override;
  std::string NameForErrors() const override;

  TScrollRules Rules() const;
  bool SkinnedMouse(TMessage& message);
  TScrollPoint ClientPoint(LPARAM lParam) const;
  void SyncModel();
  void RepaintIfDirty();
  void ArmRepeat();
  void EndPress();
  void ApplyInfo();
  void MatchWindowToSkin();
  void MatchWindowToSkinLater();
  TsCacheInfo BackgroundSource() const;

  ScrollBarModel FModel;
  TScrollBarKind FKind = sbHorizontal;
  TNotifyEvent FOnChange;
  TScrollEvent FOnScroll;
  TWinControl* FLinkedControl = nullptr;
  TScrollBarHostNotify FHostNotify;
  // The application's ShowHint, saved by a left press until its release.
  std::optional<bool> FSavedShowHint;
  bool FRecreatePosted = false;
};
