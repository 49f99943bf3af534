#pragma once

#include <memory>
#include <string>

#include "framework/win/TGraphic.h"

class TBitmap;
class TIcon;

// Holds one graphic of any registered kind; loads by file extension through the registered file
// formats (bmp, ico, emf, jpg and jpeg are known from the start).
class TPicture : public TPersistent {
public:
  TPicture();
  ~TPicture() override;

  void Assign(const TPersistent* source) override;

  TGraphic* Graphic() const { return FGraphic.get(); }
  // Copies graphic (nullptr empties the picture).
  void SetGraphic(const TGraphic* graphic);
  // The graphic as a bitmap; a picture of another kind is replaced by an empty bitmap.
  TBitmap* Bitmap();
  TIcon* Icon();
  int Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // Raises EInvalidGraphic for an unknown extension or unreadable file; the picture then keeps
  // what it held.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);
  void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette);
  void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette);
  static bool SupportsClipboardFormat(UINT format);

  // extension without the dot, matched without regard to case; the newest registration wins.
  static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                 TGraphicClass graphicClass);
  static void RegisterClipboardFormat(UINT format, TGraphicClass graphicClass);
  static void UnregisterGraphicClass(TGraphicClass graphicClass);
  // The class registered for extension (without the dot), nullptr when none.
  static TGraphicClass FileFormatClass(const std::string& extension);

  // After the graphic or its image changed; progress of the graphic's loading and saving.
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }
  const TProgressEvent& OnProgress() const { return FOnProgress; }
  void SetOnProgress(const TProgressEvent& e) { FOnProgress = e; }

private:
  void Adopt(std::unique_ptr<TGraphic> graphic);
  void GraphicChanged(TObject* sender);
  void GraphicProgress(TObject* sender, TProgressStage stage, uint8_t percent, bool redrawNow, const RECT& r,
                       const std::string& msg);

  std::unique_ptr<TGraphic> FGraphic;
  TNotifyEvent FOnChange;
  TProgressEvent FOnProgress;
};

// Open-dialog filter of the formats of graphicClass and its kinds (nullptr: every format), led by
// an "All" entry: "All (*.jpg;*.bmp)|*.jpg;*.bmp|JPEG Image File (*.jpg)|*.jpg|...".
std::string GraphicFilter(TGraphicClass graphicClass);
// The first registered extension of graphicClass ("bmp"), "" when none.
std::string GraphicExtension(TGraphicClass graphicClass);
// "*.jpg;*.jpeg" for graphicClass (nullptr: every format).
std::string GraphicFileMask(TGraphicClass graphicClass);
