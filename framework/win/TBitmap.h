#pragma once

#include <functional>
#include <memory>

#include "framework/win/TGraphic.h"

class TBmpDecoder;
class TCanvas;

// A bitmap held in a DIB section, so its rows can be reached directly. A 24-bit row is pixels of
// three bytes in the order blue, green, red, padded to a multiple of 4 bytes; rows are addressed
// top first (ScanLine(0) is the top row) whatever the storage order.
class TBitmap : public TGraphic {
public:
  TBitmap();
  ~TBitmap() override;

  static TGraphicClass Class();
  TGraphicClass GraphicClass() const override { return Class(); }

  void Assign(const TPersistent* source) override;
  void Draw(TCanvas* canvas, const RECT& r) override;
  bool Empty() const override { return FWidth == 0 || FHeight == 0; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  void SetWidth(int width) override { SetSize(width, FHeight); }
  void SetHeight(int height) override { SetSize(FWidth, height); }
  // Resizes keeping the overlapping top-left part of the image.
  void SetSize(int width, int height);
  HPALETTE Palette() override;
  void SetPalette(HPALETTE palette) override;

  TPixelFormat PixelFormat() const { return FPixelFormat; }
  // Converts the image to the new format.
  void SetPixelFormat(TPixelFormat format);
  bool Monochrome() const;
  void SetMonochrome(bool monochrome);
  // Bytes of one stored row (padded to 4); 0 for the device format.
  int RowBytes() const { return FRowBytes; }
  // The pixels of row y, top row 0; raises EInvalidGraphic when y is outside the bitmap or the
  // bitmap is in the device format.
  uint8_t* ScanLine(int y);

  TCanvas* Canvas();
  // The bitmap handle, made for the current size when none exists yet. The bitmap keeps it.
  HBITMAP Handle();
  // Takes ownership of handle (nullptr empties the bitmap).
  void SetHandle(HBITMAP handle);
  // Gives the handle to the caller; the bitmap becomes empty.
  HBITMAP ReleaseHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  // A monochrome mask, white where pixels have the transparent colour; the bitmap keeps it.
  HBITMAP MaskHandle();

  TColor TransparentColor();
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode mode);

  // BMP file bytes (with the 14-byte file header).
  void LoadFromBytes(const uint8_t* data, size_t size) override;
  using TGraphic::LoadFromBytes;
  std::vector<uint8_t> SaveToBytes() override;
  // Loads a bitmap resource (RT_BITMAP) of module instance; raises EInvalidGraphic when missing.
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);
  void LoadFromResourceID(HINSTANCE instance, int id);

  void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
  void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

protected:
  void Changed() override;

private:
  class TBitmapCanvas;
  struct TImage;
  void ReplaceImage(TImage&& image);
  void FreeImage();
  void FreeMask();
  void LoadFromResource(HINSTANCE instance, LPCSTR name);
  void LoadFromDib(const std::function<TBmpDecoder()>& parse);

  HBITMAP FHandle = nullptr;
  uint8_t* FBits = nullptr;
  int FWidth = 0;
  int FHeight = 0;
  int FRowBytes = 0;
  bool FTopDown = false;
  TPixelFormat FPixelFormat = TPixelFormat::Device;
  HPALETTE FPalette = nullptr;
  HBITMAP FMask = nullptr;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = TTransparentMode::Auto;
  std::unique_ptr<TBitmapCanvas> FCanvas;
};
