#pragma once

#include <windows.h>

#include <string>

#include "framework/win/Controls.h"
#include "framework/win/StdControlTypes.h"
#include "framework/win/WinRect.h"
#include "skin/controls/core/ButtonCaptionLayout.h"
#include "skin/engine/SkinButtonGlyphs.h"

class TBitmap;
class TCanvas;
class TControl;
class TFont;
class TsCommonData;

// How a skinned bit or speed button shows its caption and glyph.
struct TsButtonLook {
  TImageList* Images = nullptr;  // the glyph's source when the button has no Glyph of its own
  int ImageIndex = -1;
  int Blend = 0;        // percent of the background kept under the glyph, 0..100
  bool Grayed = false;  // glyph grey until hot
  TsDisabledGlyphKind DisabledGlyphKind;
  TAlignment Alignment = taCenter;
  int TextOffset = 0;  // horizontal shift of the caption
  bool ShowCaption = true;
  bool DrawOverBorder = true;  // false: the border mask is drawn last, over caption and glyph
};

// Lays out and draws the caption and glyph of a bit or speed button into its cache (in is the
// button's size, arrow, margin, spacing and glyph place); returns the caption's rectangle.
RECT PaintButtonFace(TControl* control, TsCommonData* skinData, TsButtonLayoutInput in, const TsButtonLook& look,
                     TsButtonGlyphSource glyph, bool hot);

// The caption of a skinned button, measured with the canvas' font into the layout (TextWidth,
// TextHeight, HasCaption).
// Takes look for current (Blend kept within 0..100), moving owner's free notification from the
// old image list to the new one.
void ChangeButtonLook(TComponent* owner, TsButtonLook& current, const TsButtonLook& look);
void MeasureButtonCaption(TCanvas* canvas, const std::string& caption, TsButtonLayoutInput& in);

// Draws the caption centred in r in the section's text colours (hot or normal).
void DrawButtonCaption(TCanvas* canvas, const std::string& caption, bool enabled, const RECT& r, UINT extraFlags,
                       TsCommonData* skinData, bool hot);

// Dots along r grown by margin: the focus frame of a skinned button, when its section shows one.
void DrawButtonFocus(TCanvas* canvas, RECT r, int margin, const TsCommonData& skinData);

// The glyph's place in the skinned layout.
TsGlyphPlace GlyphPlaceOf(TButtonLayout layout);

