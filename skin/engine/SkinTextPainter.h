#pragma once

#include <windows.h>

#include <string>

#include "framework/win/TCanvas.h"
#include "framework/win/TFont.h"
#include "skin/engine/core/SkinTables.h"

// Captions of skinned controls: the text fitted to its rectangle, drawn with the section's contour
// and text colours (or the disabled highlight and shadow). r comes back as the text's rectangle
// grown by one pixel.
void DrawSkinTextByIndex(const TsActiveSkin& skin, TCanvas* canvas, const std::string& text, bool enabled,
                         RECT& r, UINT flags, int skinIndex, bool hot);

class TsCommonData;

// The same for a control's section: the canvas takes the control's font (underlined on a hot
// "WEBBUTTON"); a control with its own font gets no contours and keeps its font colour; the main
// pass does not clip.
void DrawSkinTextByData(const TsActiveSkin& skin, TCanvas* canvas, const std::string& text, bool enabled,
                        RECT& r, UINT flags, TsCommonData* data, bool hot);

// The same without a skin section: the canvas' font colour, or highlight and shadow when disabled.
void DrawCaptionText(TCanvas* canvas, const std::string& text, bool enabled, RECT& r, UINT flags);

// The text shortened with "..." to fit width on the canvas.
std::string EllipsizeText(TCanvas* canvas, const std::string& text, int width);

// The text's size in the font on the screen; (0, 0) when it cannot be measured.
void TextSizeInFont(const std::string& text, TFont* font, SIZE& size);
