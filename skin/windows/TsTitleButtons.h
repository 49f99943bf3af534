#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/win/Controls.h"
#include "framework/win/TPersistent.h"

class TBitmap;
class TComponent;

// One user caption button of a skin provider, drawn right of the caption beside the system buttons.
class TsTitleButton : public TPersistent {
public:
  TsTitleButton();
  ~TsTitleButton() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value) { FEnabled = value; }
  // Drawn centred on the button; its bottom-left pixel is the transparent colour.
  TBitmap* Glyph() { return FGlyph.get(); }
  void SetGlyph(TBitmap* glyph);
  const std::string& Name() const { return FName; }
  void SetName(const std::string& name) { FName = name; }
  // Drawn with the skin's title-button mask; otherwise only the glyph shows.
  bool UseSkinData() const { return FUseSkinData; }
  void SetUseSkinData(bool value) { FUseSkinData = value; }
  const TMouseEvent& OnMouseDown() const { return FOnMouseDown; }
  void SetOnMouseDown(const TMouseEvent& e) { FOnMouseDown = e; }
  const TMouseEvent& OnMouseUp() const { return FOnMouseUp; }
  void SetOnMouseUp(const TMouseEvent& e) { FOnMouseUp = e; }

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

  // The glyph mask the provider resolved for it; -1 none.
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int index) { FImageIndex = index; }

private:
  bool FEnabled = true;
  std::unique_ptr<TBitmap> FGlyph;
  std::string FName = "TsTitleButton";
  bool FUseSkinData = true;
  int FImageIndex = -1;
  TMouseEvent FOnMouseDown, FOnMouseUp;
};

// The provider's user caption buttons, in caption order from the system buttons leftwards.
class TsTitleButtons : public TPersistent {
public:
  explicit TsTitleButtons(TComponent* owner) : FOwner(owner) {}
  TComponent* Owner() const { return FOwner; }
  int Count() const { return static_cast<int>(FItems.size()); }
  TsTitleButton* Items(int index) const;
  TsTitleButton* Add();
  void Delete(int index);
  void Clear() { FItems.clear(); }

private:
  TComponent* FOwner;
  std::vector<std::unique_ptr<TsTitleButton>> FItems;
};

// A caption icon that replaces the form's icon; 0 sizes follow the caption height.
class TsTitleIcon : public TPersistent {
public:
  TsTitleIcon();
  ~TsTitleIcon() override;
  TBitmap* Glyph() { return FGlyph.get(); }
  void SetGlyph(TBitmap* glyph);
  int Width() const { return FWidth; }
  void SetWidth(int value) { FWidth = value; }
  int Height() const { return FHeight; }
  void SetHeight(int value) { FHeight = value; }

private:
  std::unique_ptr<TBitmap> FGlyph;
  int FWidth = 0;
  int FHeight = 0;
};
