#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/base/Delegate.h"
#include "framework/base/Exception.h"
#include "framework/win/Messages.h"

class TControl;
class TObject;

// The platform refused a window, class or other resource.
class EOutOfResources : public Exception {
public:
  using Exception::Exception;
};

// Sets and kinds shared by the controls, forms and application.

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
using enum TAlign;

using TAnchors = uint8_t;
constexpr TAnchors akLeft = 1, akTop = 2, akRight = 4, akBottom = 8;

// Control style: what a kind of control does.
using TControlStyle = uint32_t;
constexpr TControlStyle csAcceptsControls = 1 << 0, csCaptureMouse = 1 << 1, csDesignInteractive = 1 << 2,
                        csClickEvents = 1 << 3, csFramed = 1 << 4, csSetCaption = 1 << 5, csOpaque = 1 << 6,
                        csDoubleClicks = 1 << 7, csFixedWidth = 1 << 8, csFixedHeight = 1 << 9,
                        csNoDesignVisible = 1 << 10, csReplicatable = 1 << 11, csNoStdEvents = 1 << 12,
                        csDisplayDragImage = 1 << 13, csReflector = 1 << 14, csActionClient = 1 << 15,
                        csMenuEvents = 1 << 16;

// Control state: what a control is doing now.
using TControlState = uint32_t;
constexpr TControlState csLButtonDown = 1 << 0, csClicked = 1 << 1, csPalette = 1 << 2, csReadingState = 1 << 3,
                        csAlignmentNeeded = 1 << 4, csFocusing = 1 << 5, csCreating = 1 << 6,
                        csPaintCopy = 1 << 7, csCustomPaint = 1 << 8, csDestroyingHandle = 1 << 9,
                        csDocking = 1 << 10;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using enum TMouseButton;

using TShiftState = uint8_t;
constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64;

enum class TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
using enum TBiDiMode;

using TCursor = int16_t;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11,
                  crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16,
                  crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21,
                  crSizeAll = -22;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = mrNo + 1,
                       mrNoToAll = mrAll + 1, mrYesToAll = mrNoToAll + 1;

// Owner-draw state of a menu item, list or combo box item (a set).
using TOwnerDrawState = uint16_t;
constexpr TOwnerDrawState odSelected = 1, odGrayed = 2, odDisabled = 4, odChecked = 8, odFocused = 16,
                          odDefault = 32, odHotLight = 64, odInactive = 128, odNoAccel = 256, odNoFocusRect = 512,
                          odComboBoxEdit = 4096;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
using enum TAlignment;
enum class TScrollBarKind { sbHorizontal, sbVertical };
using enum TScrollBarKind;
enum class TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using enum TScrollCode;
enum class TDragMode { dmManual, dmAutomatic };
using enum TDragMode;
enum class TDragKind { dkDrag, dkDock };
using enum TDragKind;
// Where the mouse of a drag is against the control asked: it came over it, moves on it, or left it.
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };
using enum TDragState;

using TWndMethod = TDelegate<void(TMessage& Message)>;
using TScrollEvent = TDelegate<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;
using TMouseEvent = TDelegate<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TDelegate<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = TDelegate<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = TDelegate<void(TObject* Sender, char& Key)>;
using TDragOverEvent =
    TDelegate<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = TDelegate<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TEndDragEvent = TDelegate<void(TObject* Sender, TObject* Target, int X, int Y)>;

// The keyboard and mouse state bits of a key message's or mouse message's data.
TShiftState KeyDataToShiftState(LPARAM keyData);
TShiftState KeysToShiftState(WPARAM keys);
TShiftState CurrentShiftState();

// The control has a window of its own (a TWinControl); false for a graphic control, which paints
// on its parent, and for nullptr.
bool IsWindowed(const TControl* control);
