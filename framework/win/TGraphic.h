#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/base/Delegate.h"
#include "framework/base/TStream.h"
#include "framework/win/Graphics.h"
#include "framework/win/TPersistent.h"

class TCanvas;
class TGraphic;

// What the picture class knows of a graphic kind: its name and how to make an empty one. Each
// graphic class has exactly one, so its address identifies the class.
struct TGraphicClassInfo {
  const char* Name;
  TGraphic* (*Create)();
};
using TGraphicClass = const TGraphicClassInfo*;

using TProgressEvent = TDelegate<void(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow,
                                      const RECT& R, const std::string& Msg)>;
using TWarningEvent = TDelegate<void(TObject* Sender, const std::string& Msg)>;

// A picture of some kind that can be drawn on a canvas, loaded and saved.
class TGraphic : public TPersistent {
public:
  virtual TGraphicClass GraphicClass() const = 0;

  // Draws the whole picture stretched into r of canvas.
  virtual void Draw(TCanvas* canvas, const RECT& r) = 0;
  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;
  virtual HPALETTE Palette() { return nullptr; }
  virtual void SetPalette(HPALETTE) {}
  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool transparent);
  bool Modified() const { return FModified; }
  void SetModified(bool modified) { FModified = modified; }

  // Reads the picture from the bytes of its file format; raises EInvalidGraphic on bad data and
  // leaves the picture as it was.
  virtual void LoadFromBytes(const uint8_t* data, size_t size) = 0;
  void LoadFromBytes(const std::vector<uint8_t>& data) { LoadFromBytes(data.data(), data.size()); }
  virtual std::vector<uint8_t> SaveToBytes() = 0;
  // Streams: loading reads from the position to the end of the stream.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream);
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);

  // Clipboard: the default knows no format and raises.
  virtual void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette);
  virtual void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette);

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& handler) { FOnChange = handler; }
  const TProgressEvent& OnProgress() const { return FOnProgress; }
  void SetOnProgress(const TProgressEvent& handler) { FOnProgress = handler; }
  const TWarningEvent& OnWarning() const { return FOnWarning; }
  void SetOnWarning(const TWarningEvent& handler) { FOnWarning = handler; }

protected:
  // Called after every change of the image.
  virtual void Changed();
  // Reports loading or saving progress (percent 0..100) to whoever listens.
  virtual void Progress(TProgressStage stage, int percent, const std::string& message);
  // A problem that did not stop loading.
  virtual void Warning(const std::string& message);

private:
  bool FTransparent = false;
  bool FModified = false;
  TNotifyEvent FOnChange;
  TProgressEvent FOnProgress;
  TWarningEvent FOnWarning;
};

// Reads a whole file; raises Exception when it cannot be opened or read, EInvalidGraphic when it
// is larger than any picture may be.
std::vector<uint8_t> ReadGraphicFile(const std::string& fileName);
void WriteGraphicFile(const std::string& fileName, const std::vector<uint8_t>& data);
