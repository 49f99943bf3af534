#pragma once

#include <memory>

#include "framework/win/TGraphic.h"
#include "framework/win/TThread.h"
#include "gif/core/TGIFDocument.h"

class TBitmap;
class TGIFPainter;

// Draw flags of a GIF picture.
constexpr uint16_t goAsync = 0x0001, goTransparent = 0x0002, goAnimate = 0x0004, goLoop = 0x0008,
                   goDither = 0x0200, goAutoDither = 0x0400;

// A GIF picture: the block tree of the codec, drawn through GDI, animated by painter threads.
// Registered with the picture class as "GIF" ("GIF Image") with the clipboard format "GIF Image".
class TGIFImage : public TGraphic {
public:
  TGIFImage();
  ~TGIFImage() override;

  static TGraphicClass Class();
  TGraphicClass GraphicClass() const override { return Class(); }
  // The registered clipboard format "GIF Image".
  static UINT ClipboardFormat();

  void Assign(const TPersistent* source) override;
  void Draw(TCanvas* canvas, const RECT& r) override;
  bool Empty() const override { return FDocument.Empty(); }
  int Width() const override { return FDocument.Width(); }
  int Height() const override { return FDocument.Height(); }
  // "Image width too small for contained frames" (or height) when a frame would stick out.
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  HPALETTE Palette() override;
  void SetPalette(HPALETTE palette) override;

  // Raises EInvalidGraphic with the codec's message and keeps the picture as it was.
  void LoadFromBytes(const uint8_t* data, size_t size) override;
  using TGraphic::LoadFromBytes;
  std::vector<uint8_t> SaveToBytes() override;
  void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
  void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

  const TGIFDocument& Document() const { return FDocument; }
  uint16_t DrawOptions() const { return FDrawOptions; }
  TColor BackgroundColor() const { return FBackgroundColor; }
  // The frame as a 24-bit bitmap (transparent pixels black) with its mask; made on first use.
  TBitmap* FrameBitmap(int index);
  HBITMAP FrameMask(int index);
  // Draws a frame into r of dc, its transparent pixels leaving dc as it is.
  void DrawFrame(HDC dc, int index, const RECT& r);

  // The painter currently animating this picture, or null; read under PaintersLock.
  TGIFPainter* Painter() const { return FPainter; }
  // Recursive: the window thread may take it again while it waits for a painter.
  void PaintersLock() { FPainters.LockList(); }
  void PaintersUnlock() { FPainters.UnlockList(); }
  // Stops every painter and waits for them, running their pending calls to this thread.
  void StopPainters();
  bool Animating();

  // Paint notifications handed to each new painter (Sender: the painter).
  void SetOnStartPaint(const TNotifyEvent& e) { FOnStartPaint = e; }
  void SetOnLoop(const TNotifyEvent& e) { FOnLoop = e; }
  void SetOnPaint(const TNotifyEvent& e) { FOnPaint = e; }
  void SetOnAfterPaint(const TNotifyEvent& e) { FOnAfterPaint = e; }
  void SetOnEndPaint(const TNotifyEvent& e) { FOnEndPaint = e; }

protected:
  bool AssignTo(TPersistent* dest) const override;

private:
  friend class TGIFPainter;
  struct TFrameCache;
  void Clear();
  void DropRendered();
  // clearPixels: one byte per pixel, non-zero where the frame is transparent; without it a
  // transparent bitmap's transparent colour says so.
  void ConvertBitmap(const TBitmap& bitmap, const std::vector<uint8_t>* clearPixels = nullptr);
  // Any other graphic, keeping the pixels it does not paint transparent.
  void ConvertGraphic(TGraphic& graphic);
  // Called by a painter on the window thread.
  void PainterFrameDrawn(TGIFPainter* painter);
  void PainterEnded(TGIFPainter* painter, const std::string& failure);

  TGIFDocument FDocument;
  TThreadList FPainters;
  TGIFPainter* FPainter = nullptr;
  uint16_t FDrawOptions = 0x060F;
  TColor FBackgroundColor = clNone;
  std::unique_ptr<TBitmap> FRendered;
  HPALETTE FPalette = nullptr;
  bool FDrawing = false;
  bool FPainterDrew = false;
  std::vector<std::unique_ptr<TFrameCache>> FFrames;
  TNotifyEvent FOnStartPaint, FOnLoop, FOnPaint, FOnAfterPaint, FOnEndPaint;
};

// Registers the "GIF" file format and the "GIF Image" clipboard format with the picture class.
// Done at start; calling it again does nothing.
void RegisterGIFImage();
void UnregisterGIFImage();
