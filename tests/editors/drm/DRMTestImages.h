#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "editors/TEditorMainLink.h"
#include "editors/core/TDRMImage.h"

// A main window that has no grid row and keeps the RAW bounds it is offered.
class TIdleMainLink : public TEditorMainLink {
public:
  TCustomForm* MainForm() override { return nullptr; }
  std::optional<TGridRow> GridRow(int) override { return std::nullopt; }
  void CombineSingleCG(int, const std::string&, int32_t, int32_t) override {}
  void FillFlasherLoader() override {}
  void SetStatus(const std::string&) override {}
  void SetProgress(int, int) override {}
  std::pair<int, int> AskRawBounds(int width, int height) override { return {width, height}; }
};

// A timer procedure that answers the skinned message box shown now with OK.
void CALLBACK AnswerBoxWithOK(HWND, UINT, UINT_PTR, DWORD);

// A DRM image whose typed pictures are real picture files: a 5 x 3 bitmap, a square GIF of two
// frames, and a GIF cut short that no decoder takes; RAW pictures first, as generated.
struct TDRMTestImage {
  std::vector<uint8_t> Image;
  std::vector<TDRMPicture> Rows;
  int BmpNo = 0, GifNo = 0, DamagedNo = 0;
};
TDRMTestImage MakePreviewImage(int gifSide = 4);

// A 24-bit bitmap file of the given size.
std::vector<uint8_t> MakeBmpFile(int width, int height);
// A looping GIF file of two square frames of stripes.
std::vector<uint8_t> MakeTwoFrameGif(int side);
