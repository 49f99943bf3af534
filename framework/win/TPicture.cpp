#include "framework/win/TPicture.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "framework/win/TBitmap.h"
#include "framework/win/TIcon.h"
#include "framework/win/TJPEGImage.h"
#include "framework/win/TMetafile.h"

namespace {

struct TFileFormat {
  std::string Extension;  // lower case, no dot
  std::string Description;
  TGraphicClass Class;
};

struct TClipboardFormat {
  UINT Format;
  TGraphicClass Class;
};

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

// Newest first, so a later registration of an extension overrides an earlier one.
std::vector<TFileFormat>& FileFormats() {
  static std::vector<TFileFormat> formats = {
      {"jpg", "JPEG Image File", TJPEGImage::Class()}, {"jpeg", "JPEG Image File", TJPEGImage::Class()},
      {"emf", "Enhanced Metafiles", TMetafile::Class()}, {"ico", "Icons", TIcon::Class()},
      {"bmp", "Bitmaps", TBitmap::Class()},
  };
  return formats;
}

std::vector<TClipboardFormat>& ClipboardFormats() {
  static std::vector<TClipboardFormat> formats = {{CF_BITMAP, TBitmap::Class()}};
  return formats;
}

std::unique_ptr<TGraphic> NewGraphic(TGraphicClass graphicClass) {
  return std::unique_ptr<TGraphic>(graphicClass->Create());
}

std::string ExtensionOf(const std::string& fileName) {
  size_t dot = fileName.find_last_of('.');
  size_t slash = fileName.find_last_of("\\/:");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return Lower(fileName.substr(dot + 1));
}

}  // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Adopt(std::unique_ptr<TGraphic> graphic) {
  FGraphic = std::move(graphic);
  if (FGraphic) {
    FGraphic->SetOnChange(TNotifyEvent(this, &TPicture::GraphicChanged));
    FGraphic->SetOnProgress(TProgressEvent(this, &TPicture::GraphicProgress));
  }
  GraphicChanged(this);
}

void TPicture::GraphicChanged(TObject*) {
  if (FOnChange) FOnChange(this);
}

void TPicture::GraphicProgress(TObject* sender, TProgressStage stage, uint8_t percent, bool redrawNow, const RECT& r,
                               const std::string& msg) {
  if (FOnProgress) FOnProgress(sender, stage, percent, redrawNow, r, msg);
}

void TPicture::Assign(const TPersistent* source) {
  if (source == this) return;
  if (source == nullptr) {
    Adopt(nullptr);
    return;
  }
  if (auto* picture = dynamic_cast<const TPicture*>(source)) {
    SetGraphic(picture->Graphic());
    return;
  }
  if (auto* graphic = dynamic_cast<const TGraphic*>(source)) {
    SetGraphic(graphic);
    return;
  }
  TPersistent::Assign(source);
}

void TPicture::SetGraphic(const TGraphic* graphic) {
  if (graphic == FGraphic.get() && graphic != nullptr) return;
  if (graphic == nullptr) {
    Adopt(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> copy = NewGraphic(graphic->GraphicClass());
  copy->Assign(graphic);
  Adopt(std::move(copy));
}

TBitmap* TPicture::Bitmap() {
  auto* bitmap = dynamic_cast<TBitmap*>(FGraphic.get());
  if (bitmap == nullptr) {
    auto fresh = std::make_unique<TBitmap>();
    bitmap = fresh.get();
    Adopt(std::move(fresh));
  }
  return bitmap;
}

TIcon* TPicture::Icon() {
  auto* icon = dynamic_cast<TIcon*>(FGraphic.get());
  if (icon == nullptr) {
    auto fresh = std::make_unique<TIcon>();
    icon = fresh.get();
    Adopt(std::move(fresh));
  }
  return icon;
}

void TPicture::LoadFromFile(const std::string& fileName) {
  std::string ext = ExtensionOf(fileName);
  TGraphicClass graphicClass = FileFormatClass(ext);
  if (graphicClass == nullptr) throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
  std::unique_ptr<TGraphic> graphic = NewGraphic(graphicClass);
  // Progress reaches our listener while the new graphic loads.
  graphic->SetOnProgress(TProgressEvent(this, &TPicture::GraphicProgress));
  graphic->LoadFromFile(fileName);
  Adopt(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& fileName) {
  if (FGraphic) FGraphic->SaveToFile(fileName);
}

void TPicture::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
  for (const TClipboardFormat& f : ClipboardFormats()) {
    if (f.Format != format) continue;
    std::unique_ptr<TGraphic> graphic = NewGraphic(f.Class);
    graphic->LoadFromClipboardFormat(format, data, palette);
    Adopt(std::move(graphic));
    return;
  }
  throw EInvalidGraphic("Unsupported clipboard format");
}

void TPicture::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
  format = 0;
  data = nullptr;
  palette = nullptr;
  if (FGraphic) FGraphic->SaveToClipboardFormat(format, data, palette);
}

bool TPicture::SupportsClipboardFormat(UINT format) {
  const auto& formats = ClipboardFormats();
  return std::any_of(formats.begin(), formats.end(), [&](const TClipboardFormat& f) { return f.Format == format; });
}

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  TGraphicClass graphicClass) {
  if (graphicClass == nullptr) return;
  std::string ext = Lower(extension);
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  auto& formats = FileFormats();
  formats.insert(formats.begin(), TFileFormat{ext, description, graphicClass});
}

void TPicture::RegisterClipboardFormat(UINT format, TGraphicClass graphicClass) {
  if (graphicClass == nullptr) return;
  auto& formats = ClipboardFormats();
  formats.insert(formats.begin(), TClipboardFormat{format, graphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass graphicClass) {
  auto& files = FileFormats();
  files.erase(std::remove_if(files.begin(), files.end(), [&](const TFileFormat& f) { return f.Class == graphicClass; }),
              files.end());
  auto& clips = ClipboardFormats();
  clips.erase(
      std::remove_if(clips.begin(), clips.end(), [&](const TClipboardFormat& f) { return f.Class == graphicClass; }),
      clips.end());
}

TGraphicClass TPicture::FileFormatClass(const std::string& extension) {
  std::string ext = Lower(extension);
  for (const TFileFormat& f : FileFormats())
    if (f.Extension == ext) return f.Class;
  return nullptr;
}

std::string GraphicFileMask(TGraphicClass graphicClass) {
  std::string mask;
  for (const TFileFormat& f : FileFormats()) {
    if (graphicClass != nullptr && f.Class != graphicClass) continue;
    if (!mask.empty()) mask += ';';
    mask += "*." + f.Extension;
  }
  return mask;
}

std::string GraphicFilter(TGraphicClass graphicClass) {
  std::string entries;
  for (const TFileFormat& f : FileFormats()) {
    if (graphicClass != nullptr && f.Class != graphicClass) continue;
    entries += '|' + f.Description + " (*." + f.Extension + ")|*." + f.Extension;
  }
  std::string mask = GraphicFileMask(graphicClass);
  return "All (" + mask + ")|" + mask + entries;
}

std::string GraphicExtension(TGraphicClass graphicClass) {
  const auto& formats = FileFormats();
  for (auto it = formats.rbegin(); it != formats.rend(); ++it)
    if (it->Class == graphicClass) return it->Extension;
  return "";
}
