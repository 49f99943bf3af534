#pragma once

#include "framework/win/TGraphicControl.h"
#include "framework/win/TPicture.h"

// Shows a picture: at its own size, centred, or stretched to the control. Canvas draws on the
// picture's bitmap (the picture becomes a bitmap of the control's size when empty).
class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent* owner);

  TPicture* Picture() { return &FPicture; }
  // Copies picture and repaints (resizing the control when AutoSize).
  void SetPicture(const TPicture* picture);
  // Call after changing Picture() in place.
  void PictureChanged();
  TCanvas* ImageCanvas();
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool Center() const { return FCenter; }
  void SetCenter(bool value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool value);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool value);
  // Where the picture is drawn, in client coordinates.
  RECT DestRect() const;

protected:
  void Paint() override;

private:
  TPicture FPicture;
  bool FAutoSize = false;
  bool FCenter = false;
  bool FStretch = false;
  bool FProportional = false;
};
