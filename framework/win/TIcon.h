#pragma once

#include "framework/win/TGraphic.h"

// An icon, read from an .ico file (the entry of the largest size is shown) or taken from a handle.
class TIcon : public TGraphic {
public:
  ~TIcon() override;

  static TGraphicClass Class();
  TGraphicClass GraphicClass() const override { return Class(); }

  void Assign(const TPersistent* source) override;
  void Draw(TCanvas* canvas, const RECT& r) override;
  bool Empty() const override { return FHandle == nullptr; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  // Icons keep the size of their image: these raise EInvalidGraphic.
  void SetWidth(int) override;
  void SetHeight(int) override;

  HICON Handle() const { return FHandle; }
  // Takes ownership of icon; an icon made from a handle has no file bytes and cannot be saved.
  void SetHandle(HICON icon);
  HICON ReleaseHandle();

  void LoadFromBytes(const uint8_t* data, size_t size) override;
  using TGraphic::LoadFromBytes;
  std::vector<uint8_t> SaveToBytes() override;

private:
  void Clear();

  HICON FHandle = nullptr;
  int FWidth = 0;
  int FHeight = 0;
  std::vector<uint8_t> FData;
};
