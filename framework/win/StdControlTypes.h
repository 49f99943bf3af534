#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/base/Delegate.h"
#include "framework/win/Controls.h"

class TObject;

// Kinds shared by the standard controls.

enum class TTextLayout { tlTop, tlCenter, tlBottom };
using enum TTextLayout;
enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
using enum TEditCharCase;
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
using enum TScrollStyle;
enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
using enum TCheckBoxState;
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
using enum TButtonLayout;
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
using enum TButtonState;
enum class TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
using enum TBitBtnKind;
enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
using enum TComboBoxStyle;
enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using enum TBevelCut;
enum class TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
using enum TBevelKind;
// The sides a bevel is drawn on, as a set of bits.
enum TBevelEdge : unsigned { beLeft = 1, beTop = 2, beRight = 4, beBottom = 8 };
using TBevelEdges = unsigned;
constexpr TBevelEdges AllBevelEdges = beLeft | beTop | beRight | beBottom;
enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
using enum TViewStyle;
enum class TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
using enum TTabPosition;
enum class TStatusPanelStyle { psText, psOwnerDraw };
using enum TStatusPanelStyle;
enum class TUDOrientation { udHorizontal, udVertical };
using enum TUDOrientation;
enum class TUDAlignButton { udLeft, udRight };
using enum TUDAlignButton;
enum class TUDBtnType { btNext, btPrev };
using enum TUDBtnType;

class TWinControl;
using TScrollEvent = TDelegate<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;
using TDrawItemEvent = TDelegate<void(TWinControl* Control, int Index, RECT Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TDelegate<void(TWinControl* Control, int Index, int& Height)>;
using TTabChangingEvent = TDelegate<void(TObject* Sender, bool& AllowChange)>;
using TUDChangingEvent = TDelegate<void(TObject* Sender, bool& AllowChange)>;
using TUDClickEvent = TDelegate<void(TObject* Sender, TUDBtnType Button)>;
