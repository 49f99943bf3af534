#include "framework/win/TGraphic.h"

#include <memory>

#include "framework/base/TAtomicFileStream.h"

namespace {

// No picture format we read needs more; a larger file is refused before allocating.
constexpr uint64_t kMaxGraphicFileSize = 256u << 20;

struct TFileCloser {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
using TFileHandle = std::unique_ptr<void, TFileCloser>;

}  // namespace

void TGraphic::SetTransparent(bool transparent) {
  if (transparent == FTransparent) return;
  FTransparent = transparent;
  Changed();
}

void TGraphic::LoadFromFile(const std::string& fileName) { LoadFromBytes(ReadGraphicFile(fileName)); }

void TGraphic::SaveToFile(const std::string& fileName) { WriteGraphicFile(fileName, SaveToBytes()); }

void TGraphic::LoadFromClipboardFormat(UINT, HANDLE, HPALETTE) {
  throw EInvalidGraphic("Unsupported clipboard format");
}

void TGraphic::SaveToClipboardFormat(UINT&, HANDLE&, HPALETTE&) {
  throw EInvalidGraphic("Unsupported clipboard format");
}

void TGraphic::Changed() {
  FModified = true;
  if (FOnChange) FOnChange(this);
}

void TGraphic::Progress(TProgressStage stage, int percent, const std::string& message) {
  if (!FOnProgress) return;
  percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
  FOnProgress(this, stage, uint8_t(percent), false, RECT{0, 0, 0, 0}, message);
}

void TGraphic::Warning(const std::string& message) {
  if (FOnWarning) FOnWarning(this, message);
}

void TGraphic::LoadFromStream(TStream& stream) {
  int64_t remaining = stream.Size() - stream.Position();
  if (remaining < 0) remaining = 0;
  if (uint64_t(remaining) > kMaxGraphicFileSize) throw EInvalidGraphic("Picture data is too large");
  std::vector<uint8_t> data(static_cast<size_t>(remaining));
  if (!data.empty()) stream.ReadBuffer(data.data(), remaining);
  LoadFromBytes(data);
}

void TGraphic::SaveToStream(TStream& stream) {
  std::vector<uint8_t> data = SaveToBytes();
  if (!data.empty()) stream.WriteBuffer(data.data(), int64_t(data.size()));
}

std::vector<uint8_t> ReadGraphicFile(const std::string& fileName) {
  HANDLE h = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw Exception("Cannot open file \"" + fileName + "\"");
  TFileHandle file(h);
  LARGE_INTEGER size;
  if (!GetFileSizeEx(h, &size)) throw Exception("Cannot read file \"" + fileName + "\"");
  if (static_cast<uint64_t>(size.QuadPart) > kMaxGraphicFileSize)
    throw EInvalidGraphic("Picture file is too large: \"" + fileName + "\"");
  std::vector<uint8_t> data(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!data.empty() && (!ReadFile(h, data.data(), static_cast<DWORD>(data.size()), &read, nullptr) ||
                        read != data.size()))
    throw Exception("Cannot read file \"" + fileName + "\"");
  return data;
}

void WriteGraphicFile(const std::string& fileName, const std::vector<uint8_t>& data) {
  // A picture saved over an existing one replaces it whole or leaves it as it was.
  TAtomicFileStream::WriteFile(fileName, data.data(), data.size());
}
