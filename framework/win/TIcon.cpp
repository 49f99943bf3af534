#include "framework/win/TIcon.h"

#include "framework/base/ByteOrder.h"
#include "framework/win/TCanvas.h"

using ByteOrder::ReadLE16, ByteOrder::ReadLE32;

TIcon::~TIcon() { Clear(); }

TGraphicClass TIcon::Class() {
  static const TGraphicClassInfo info{"TIcon", []() -> TGraphic* { return new TIcon; }};
  return &info;
}

void TIcon::Clear() {
  if (FHandle != nullptr) DestroyIcon(FHandle);
  FHandle = nullptr;
  FWidth = FHeight = 0;
  FData.clear();
}

void TIcon::SetWidth(int) { throw EInvalidGraphic("Cannot change the size of an icon"); }

void TIcon::SetHeight(int) { throw EInvalidGraphic("Cannot change the size of an icon"); }

void TIcon::SetHandle(HICON icon) {
  if (icon == FHandle) return;
  Clear();
  FHandle = icon;
  if (icon != nullptr) {
    ICONINFO info{};
    if (GetIconInfo(icon, &info)) {
      BITMAP bm{};
      HBITMAP sizer = info.hbmColor ? info.hbmColor : info.hbmMask;
      if (GetObjectA(sizer, sizeof bm, &bm)) {
        FWidth = bm.bmWidth;
        FHeight = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
      }
      if (info.hbmColor) DeleteObject(info.hbmColor);
      if (info.hbmMask) DeleteObject(info.hbmMask);
    }
  }
  Changed();
}

HICON TIcon::ReleaseHandle() {
  HICON icon = FHandle;
  FHandle = nullptr;
  Clear();
  Changed();
  return icon;
}

void TIcon::LoadFromBytes(const uint8_t* data, size_t size) {
  const auto bad = [] { return EInvalidGraphic("Icon image is not valid"); };
  if (data == nullptr || size < 6 || ReadLE16(data) != 0 || ReadLE16(data + 2) != 1) throw bad();
  uint32_t count = ReadLE16(data + 4);
  if (count == 0 || 6 + size_t(count) * 16 > size) throw bad();
  // The largest entry, preferring more colours at equal size.
  const uint8_t* best = nullptr;
  int bestSide = 0, bestBits = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = data + 6 + size_t(i) * 16;
    uint32_t bytes = ReadLE32(e + 8), offset = ReadLE32(e + 12);
    if (bytes < 40 || offset > size || bytes > size - offset) continue;
    int side = e[0] == 0 ? 256 : e[0];
    int bits = int(ReadLE16(e + 6));
    if (best == nullptr || side > bestSide || (side == bestSide && bits > bestBits)) {
      best = e;
      bestSide = side;
      bestBits = bits;
    }
  }
  if (best == nullptr) throw bad();
  int w = best[0] == 0 ? 256 : best[0], h = best[1] == 0 ? 256 : best[1];
  uint32_t bytes = ReadLE32(best + 8), offset = ReadLE32(best + 12);
  HICON icon = CreateIconFromResourceEx(const_cast<uint8_t*>(data + offset), bytes, TRUE, 0x00030000, w, h,
                                        LR_DEFAULTCOLOR);
  if (icon == nullptr) throw bad();
  std::vector<uint8_t> copy(data, data + size);
  Clear();
  FHandle = icon;
  FWidth = w;
  FHeight = h;
  FData = std::move(copy);
  Changed();
}

std::vector<uint8_t> TIcon::SaveToBytes() {
  if (FData.empty()) throw EInvalidGraphic("Cannot save an icon that was not loaded from a file");
  return FData;
}

void TIcon::Assign(const TPersistent* source) {
  if (source == this) return;
  if (auto* icon = dynamic_cast<const TIcon*>(source)) {
    if (!icon->FData.empty()) {
      LoadFromBytes(icon->FData);
    } else {
      SetHandle(icon->FHandle ? CopyIcon(icon->FHandle) : nullptr);
    }
    return;
  }
  TGraphic::Assign(source);
}

void TIcon::Draw(TCanvas* canvas, const RECT& r) {
  if (canvas == nullptr || FHandle == nullptr) return;
  DrawIconEx(canvas->Handle(), r.left, r.top, FHandle, r.right - r.left, r.bottom - r.top, 0, nullptr, DI_NORMAL);
}
