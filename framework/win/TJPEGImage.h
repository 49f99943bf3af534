#pragma once

#include <memory>

#include "framework/win/TGraphic.h"

class TBitmap;

// A JPEG picture. Keeps the compressed bytes it was loaded from, decodes them into a 24-bit bitmap
// on first use, and compresses that bitmap (at CompressionQuality) when saved after a change.
class TJPEGImage : public TGraphic {
public:
  TJPEGImage();
  ~TJPEGImage() override;

  static TGraphicClass Class();
  TGraphicClass GraphicClass() const override { return Class(); }

  void Assign(const TPersistent* source) override;
  void Draw(TCanvas* canvas, const RECT& r) override;
  bool Empty() const override;
  int Width() const override;
  int Height() const override;
  void SetWidth(int) override;
  void SetHeight(int) override;

  // 1..100; used by the next compression.
  int CompressionQuality() const { return FQuality; }
  void SetCompressionQuality(int quality);
  bool Grayscale() const { return FGrayscale; }
  void SetGrayscale(bool grayscale);

  // The decoded picture (24 bits per pixel); nullptr when empty.
  TBitmap* Bitmap();
  // Decodes now; raises EInvalidGraphic when the data is not a readable JPEG.
  void DIBNeeded();
  // Compresses the bitmap now when the bytes are out of date.
  void JPEGNeeded();

  void LoadFromBytes(const uint8_t* data, size_t size) override;
  using TGraphic::LoadFromBytes;
  std::vector<uint8_t> SaveToBytes() override;

protected:
  bool AssignTo(TPersistent* dest) const override;

private:
  std::vector<uint8_t> FData;
  std::unique_ptr<TBitmap> FBitmap;
  int FWidth = 0;
  int FHeight = 0;
  int FQuality = 90;
  bool FGrayscale = false;
};
