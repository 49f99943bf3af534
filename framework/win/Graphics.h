#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/base/Exception.h"

// A colour: $00BBGGRR for an RGB value, or a system colour (high bit set, low byte the platform's
// COLOR_* index) that follows the user's scheme.
using TColor = int32_t;

constexpr TColor TColorFromSys(int index) { return static_cast<TColor>(0x80000000u | unsigned(index)); }

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;

constexpr TColor clScrollBar = TColorFromSys(COLOR_SCROLLBAR), clBackground = TColorFromSys(COLOR_BACKGROUND),
                 clActiveCaption = TColorFromSys(COLOR_ACTIVECAPTION),
                 clInactiveCaption = TColorFromSys(COLOR_INACTIVECAPTION), clMenu = TColorFromSys(COLOR_MENU),
                 clWindow = TColorFromSys(COLOR_WINDOW), clWindowFrame = TColorFromSys(COLOR_WINDOWFRAME),
                 clMenuText = TColorFromSys(COLOR_MENUTEXT), clWindowText = TColorFromSys(COLOR_WINDOWTEXT),
                 clCaptionText = TColorFromSys(COLOR_CAPTIONTEXT),
                 clActiveBorder = TColorFromSys(COLOR_ACTIVEBORDER),
                 clInactiveBorder = TColorFromSys(COLOR_INACTIVEBORDER),
                 clAppWorkSpace = TColorFromSys(COLOR_APPWORKSPACE), clHighlight = TColorFromSys(COLOR_HIGHLIGHT),
                 clHighlightText = TColorFromSys(COLOR_HIGHLIGHTTEXT), clBtnFace = TColorFromSys(COLOR_BTNFACE),
                 clBtnShadow = TColorFromSys(COLOR_BTNSHADOW), clGrayText = TColorFromSys(COLOR_GRAYTEXT),
                 clBtnText = TColorFromSys(COLOR_BTNTEXT),
                 clInactiveCaptionText = TColorFromSys(COLOR_INACTIVECAPTIONTEXT),
                 clBtnHighlight = TColorFromSys(COLOR_BTNHIGHLIGHT), cl3DDkShadow = TColorFromSys(COLOR_3DDKSHADOW),
                 cl3DLight = TColorFromSys(COLOR_3DLIGHT), clInfoText = TColorFromSys(COLOR_INFOTEXT),
                 clInfoBk = TColorFromSys(COLOR_INFOBK);

// The RGB value of a colour, resolving system colours through the current scheme; clNone is black
// and clDefault the window colour.
COLORREF ColorToRGB(TColor color);

// A picture that cannot be read or drawn: corrupt data, an unknown format or extension.
class EInvalidGraphic : public Exception {
public:
  using Exception::Exception;
};

enum class TFontStyle : uint8_t { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
using TFontStyles = uint8_t;  // a set of TFontStyle bits
constexpr TFontStyles fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;

enum class TPenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };
enum class TPenMode { Black, White, Nop, Not, Copy, NotCopy, MergePenNot, MaskPenNot, MergeNotPen, MaskNotPen,
                      Merge, NotMerge, Mask, NotMask, Xor, NotXor };
enum class TBrushStyle { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };

enum class TPixelFormat { Device, Bit1, Bit4, Bit8, Bit15, Bit16, Bit24, Bit32, Custom };
enum class TTransparentMode { Auto, Fixed };
enum class TProgressStage { Starting, Running, Ending };
