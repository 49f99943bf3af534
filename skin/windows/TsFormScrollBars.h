#pragma once

class TControl;
class TCustomForm;
class TObject;
class TsGrip;
class TsScrollBar;

// The skin's own scroll bars over a form that scrolled by itself: shown while the children reach
// past the client area, they move the children; without a skin the form scrolls as before.
class TsFormScrollBars {
public:
  explicit TsFormScrollBars(TCustomForm* form);
  TsFormScrollBars(const TsFormScrollBars&) = delete;
  TsFormScrollBars& operator=(const TsFormScrollBars&) = delete;

  // The bars as the form's content needs them now, or none (and the form's own scrolling back)
  // when the form is not skinned.
  void Update(bool skinned);
  TsScrollBar* Vert() const { return FBars[1]; }
  TsScrollBar* Horz() const { return FBars[0]; }

private:
  struct TContent {
    int Width = 2, Height = 2;
  };
  bool IsOwnBar(const TControl* c) const;
  void ScrollChanged(TObject* sender);
  void ScrollChildren(int dx, int dy);
  void FreeBars();
  void FreeBar(int k);
  TContent MeasureContent() const;
  void PlaceBar(int k, int left, int top, int right, int bottom, int page, int range, int increment);
  void PlaceGrip(int left, int top, int right, int bottom);

  TCustomForm* FForm;
  bool FSavedAutoScroll = false;
  TsScrollBar* FBars[2] = {nullptr, nullptr};  // horizontal, vertical
  TsGrip* FGrip = nullptr;
  int FScrolled[2] = {0, 0};
  bool FScrolling = false;
};
