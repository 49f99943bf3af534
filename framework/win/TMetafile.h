#pragma once

#include "framework/win/TGraphic.h"

// An enhanced metafile: loaded, drawn stretched and saved; its size comes from its frame.
class TMetafile : public TGraphic {
public:
  ~TMetafile() override;

  static TGraphicClass Class();
  TGraphicClass GraphicClass() const override { return Class(); }

  void Assign(const TPersistent* source) override;
  void Draw(TCanvas* canvas, const RECT& r) override;
  bool Empty() const override { return FHandle == nullptr; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  void SetWidth(int width) override;
  void SetHeight(int height) override;

  HENHMETAFILE Handle() const { return FHandle; }
  // Takes ownership.
  void SetHandle(HENHMETAFILE handle);

  void LoadFromBytes(const uint8_t* data, size_t size) override;
  using TGraphic::LoadFromBytes;
  std::vector<uint8_t> SaveToBytes() override;

private:
  HENHMETAFILE FHandle = nullptr;
  int FWidth = 0;
  int FHeight = 0;
};
