#include "framework/win/TMetafile.h"

#include "framework/win/TCanvas.h"

TMetafile::~TMetafile() {
  if (FHandle != nullptr) DeleteEnhMetaFile(FHandle);
}

TGraphicClass TMetafile::Class() {
  static const TGraphicClassInfo info{"TMetafile", []() -> TGraphic* { return new TMetafile; }};
  return &info;
}

void TMetafile::SetWidth(int width) {
  if (width < 0 || width == FWidth) return;
  FWidth = width;
  Changed();
}

void TMetafile::SetHeight(int height) {
  if (height < 0 || height == FHeight) return;
  FHeight = height;
  Changed();
}

void TMetafile::SetHandle(HENHMETAFILE handle) {
  if (handle == FHandle) return;
  ENHMETAHEADER header{};
  if (handle != nullptr && GetEnhMetaFileHeader(handle, sizeof header, &header) == 0)
    throw EInvalidGraphic("Metafile is not valid");
  if (FHandle != nullptr) DeleteEnhMetaFile(FHandle);
  FHandle = handle;
  FWidth = FHeight = 0;
  if (handle != nullptr) {
    // The frame is in 0.01 mm; convert with the reference device's pixels per millimetre.
    auto pixels = [](LONG hundredthsMm, LONG devicePixels, LONG deviceMm) {
      return deviceMm > 0 ? MulDiv(hundredthsMm, devicePixels, deviceMm * 100) : 0;
    };
    FWidth = pixels(header.rclFrame.right - header.rclFrame.left, header.szlDevice.cx, header.szlMillimeters.cx);
    FHeight = pixels(header.rclFrame.bottom - header.rclFrame.top, header.szlDevice.cy, header.szlMillimeters.cy);
  }
  Changed();
}

void TMetafile::LoadFromBytes(const uint8_t* data, size_t size) {
  // ENHMETAHEADER: record type 1 and the " EMF" signature at offset 40.
  if (data == nullptr || size < 88 || data[0] != 1 || data[1] || data[2] || data[3] || data[40] != ' ' ||
      data[41] != 'E' || data[42] != 'M' || data[43] != 'F')
    throw EInvalidGraphic("Metafile is not valid");
  HENHMETAFILE handle = SetEnhMetaFileBits(static_cast<UINT>(size), data);
  if (handle == nullptr) throw EInvalidGraphic("Metafile is not valid");
  SetHandle(handle);
}

std::vector<uint8_t> TMetafile::SaveToBytes() {
  if (FHandle == nullptr) throw EInvalidGraphic("Cannot save an empty metafile");
  std::vector<uint8_t> data(GetEnhMetaFileBits(FHandle, 0, nullptr));
  GetEnhMetaFileBits(FHandle, static_cast<UINT>(data.size()), data.data());
  return data;
}

void TMetafile::Assign(const TPersistent* source) {
  if (source == this) return;
  if (auto* meta = dynamic_cast<const TMetafile*>(source)) {
    SetHandle(meta->FHandle ? CopyEnhMetaFileA(meta->FHandle, nullptr) : nullptr);
    FWidth = meta->FWidth;
    FHeight = meta->FHeight;
    return;
  }
  TGraphic::Assign(source);
}

void TMetafile::Draw(TCanvas* canvas, const RECT& r) {
  if (canvas == nullptr || FHandle == nullptr) return;
  PlayEnhMetaFile(canvas->Handle(), FHandle, &r);
}
