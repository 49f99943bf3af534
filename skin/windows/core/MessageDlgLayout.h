#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/base/TRect.h"

// The message and input dialogs without a window: their kinds, button table and layout in pixels
// from the font's average character size, the screen and measured text.

enum class TMsgDlgType : std::uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
using enum TMsgDlgType;

// A set of button kinds in the low 11 bits; bit n is kind n of the button table. Higher bits are
// ignored.
using TMsgDlgButtons = std::uint16_t;
constexpr int kMsgDlgButtonKinds = 11;
constexpr TMsgDlgButtons mbYes = 1 << 0, mbNo = 1 << 1, mbOK = 1 << 2, mbCancel = 1 << 3, mbAbort = 1 << 4,
                         mbRetry = 1 << 5, mbIgnore = 1 << 6, mbAll = 1 << 7, mbNoToAll = 1 << 8,
                         mbYesToAll = 1 << 9, mbHelp = 1 << 10;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel, mbOKCancel = mbOK | mbCancel,
                         mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;

struct TMsgDlgButtonInfo {
  const char* Name;     // the button component's name
  const char* Caption;  // "&" marks the accelerator
  int ModalResult;      // 0: the button does not close the dialog
};
// Kind 0 to 10, in the order the buttons are laid out.
const TMsgDlgButtonInfo& MsgDlgButtonInfo(int kind);
bool HasButton(TMsgDlgButtons buttons, int kind);
int ButtonCount(TMsgDlgButtons buttons);

// "Warning", "Error", "Information", "Confirm"; empty for the custom type (the application's title).
const char* MsgDlgTypeCaption(TMsgDlgType type);
bool MsgDlgTypeHasIcon(TMsgDlgType type);

// The kinds that get the default and the cancel flag, or -1 when that kind is not in the set:
// OK, else Yes, else Retry; Cancel, else No, else OK.
int DefaultButtonKind(TMsgDlgButtons buttons);
int CancelButtonKind(TMsgDlgButtons buttons);

// MulDiv as the platform rounds it (halves away from zero); 0 for a zero divisor.
int MulDivRound(int number, int numerator, int denominator);

// The widest caption of each kind plus 8, measured the first time the kind is shown and kept for
// the process.
class TMsgDlgButtonWidths {
public:
  // Measures (caption width in pixels) each kind of the set that has no width yet.
  void Fill(TMsgDlgButtons buttons, const std::function<int(const std::string& caption)>& measure);
  int Width(int kind) const;
  // A box that gives the kind a caption of its own (caption width in pixels): wide enough for it too.
  void FitCaption(int kind, int captionWidth);
  void Clear() { FWidths.fill(0); }

private:
  std::array<int, kMsgDlgButtonKinds> FWidths{};
};
TMsgDlgButtonWidths& MessageButtonWidthCache();

// The message is measured wrapped at this width.
int MessageTextWrapWidth(int screenWidth);

// Breaks every word of text wider than wrapWidth (as measure tells for one line) with line feeds,
// so that no line of the wrapped message is wider than wrapWidth. A wrap width below 1 changes
// nothing.
std::string BreakOverlongWords(const std::string& text, int wrapWidth,
                               const std::function<int(std::string_view line)>& measure);

// The message cut so that, measured as shown (height of the wrapped text), it is at most
// maxHeight high: its longest start that fits with "..." after it. A message that fits is kept
// whole; at least its first character is kept.
std::string CutToHeight(const std::string& text, int maxHeight,
                        const std::function<int(std::string_view text)>& heightOf);

struct TMsgDlgLayoutInput {
  int AveWidth = 0, AveHeight = 0;  // the font's average character size
  int ScreenWidth = 0, ScreenHeight = 0;
  bool HasIcon = false;
  TMsgDlgButtons Buttons = 0;
  int TextWidth = 0, TextHeight = 0;  // the message measured at MessageTextWrapWidth
  const TMsgDlgButtonWidths* Widths = nullptr;
  bool RightToLeft = false;  // the message is aligned from the right
};

struct TMsgDlgButtonPlace {
  int Kind = 0;
  TRect Bounds;
  bool Default = false;
  bool Cancel = false;
  friend bool operator==(const TMsgDlgButtonPlace&, const TMsgDlgButtonPlace&) = default;
};

struct TMsgDlgLayout {
  int ClientWidth = 0, ClientHeight = 0;
  TRect IconBounds;  // empty without an icon
  TRect TextBounds;
  std::vector<TMsgDlgButtonPlace> Buttons;  // in table order
};

TMsgDlgLayout LayoutMessageDialog(const TMsgDlgLayoutInput& in);

// Where a dialog of the given outer size goes: centred on the screen, then X or Y taken where they
// are not negative. ScreenCentre is set when both are negative.
struct TMsgDlgPlacement {
  int Left = 0, Top = 0;
  bool ScreenCentre = false;
  friend bool operator==(const TMsgDlgPlacement&, const TMsgDlgPlacement&) = default;
};
TMsgDlgPlacement PlaceMessageDialog(int screenWidth, int screenHeight, int formWidth, int formHeight, int x,
                                    int y);

// The one-line text prompt.
struct TInputQueryLayout {
  int ClientWidth = 0, ClientHeight = 0;
  int PromptLeft = 0, PromptTop = 0;
  int EditLeft = 0, EditTop = 0, EditWidth = 0;  // the edit keeps its own height
  TRect OK, Cancel;
};
TInputQueryLayout LayoutInputQuery(int aveWidth, int aveHeight);
