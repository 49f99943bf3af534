#pragma once

#include <windows.h>

#include <cstdint>

#include "skin/engine/SkinMessage.h"

class TControl;
class TWinControl;

// Sending skin commands and taking their answers. The answers of GetCache and GetBgColor travel
// through reply storage that lives only in this unit: a question resets it, sends, and returns what
// the asked control gave with AnswerCache or AnswerBackgroundColor. A control that does not know the
// message leaves everything unanswered, and every question then reads as no (or none).

// The command to a window (parameter 0); its Result.
LRESULT SendSkinCommand(HWND handle, SkinCommand command);
// The command to a windowed control's window (created when needed), or to a graphic control by
// Perform; its Result.
LRESULT SendSkinCommandTo(TControl* control, SkinCommand command, std::uint32_t parameter = 0);
// The command straight to the control's WindowProc (no queue, no handle needed); True when the
// control answered 1 in LParam.
bool AskControl(TControl* control, SkinCommand command);

// IsSkinned: the control has a skin object.
bool IsSkinnedControl(TControl* control);
// GetCache: the control's cache and where the asker's origin lies in it; Valid false when none.
TsCacheInfo AskCache(TWinControl* control);
// GetBgColor: the colour the control shows as its background; SkinKeyColor when none.
TColor AskBackgroundColor(TWinControl* control);
// GetBgChanged to the control's parent: its background changed (False without a parent).
bool AskParentBackgroundChanged(TControl* control);
// GetChildrenDirty: children of the control must repaint.
bool AskChildrenDirty(TWinControl* control);
// HasPaintedBackground: the control paints a background of its own, or needs its own parent's.
bool AskHasPaintedBackground(TWinControl* control);

// The asked control's side of GetCache and GetBgColor.
void AnswerCache(const TsCacheInfo& cache);
void AnswerBackgroundColor(TColor color);

// SetActiveChild to the parent: child paints now (nullptr: no child any more).
void SetActiveChildOf(TWinControl* parent, TControl* child);
// Repainted to the control itself: its cache was repainted.
void NotifyRepainted(TControl* control);
// Repaint to every windowed child, in child order.
void RefreshChildren(TWinControl* parent);
// SetUpdating (parameter 1 or 0) to the control and, depth first, everything inside it.
void SetUpdatingTreeOn(TControl* control);
void SetUpdatingTreeOff(TControl* control);
