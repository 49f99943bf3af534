#pragma once

#include <windows.h>

#include <cstdint>

#include "skin/engine/SkinMessage.h"

class TControl;
class TWinControl;

// Sending skin commands and taking their answers. The answers of commands 5 and 21 travel through
// reply storage that lives only in this unit: a question resets it, sends, and returns what the
// asked control gave with AnswerCache or AnswerBackgroundColor. A control that does not know the
// message leaves everything unanswered, and every question then reads as no (or none).

// The command to a window (parameter 0); its Result.
LRESULT SendSkinCommand(HWND handle, std::uint32_t command);
// The command to a windowed control's window (created when needed), or to a graphic control by
// Perform; its Result.
LRESULT SendSkinCommandTo(TControl* control, std::uint32_t command, std::uint32_t parameter = 0);
// The command straight to the control's WindowProc (no queue, no handle needed); True when the
// control answered 1 in LParam.
bool AskControl(TControl* control, std::uint32_t command);

// Command 7: the control has a skin object.
bool IsSkinnedControl(TControl* control);
// Command 5: the control's cache and where the asker's origin lies in it; Valid false when none.
TsCacheInfo AskCache(TWinControl* control);
// Command 21: the colour the control shows as its background; SkinKeyColor when none.
TColor AskBackgroundColor(TWinControl* control);
// Command 10 to the control's parent: its background changed (False without a parent).
bool AskParentBackgroundChanged(TControl* control);
// Command 11: children of the control must repaint.
bool AskChildrenDirty(TWinControl* control);
// Command 19: the control paints a background of its own, or needs its own parent's.
bool AskHasPaintedBackground(TWinControl* control);

// The asked control's side of commands 5 and 21.
void AnswerCache(const TsCacheInfo& cache);
void AnswerBackgroundColor(TColor color);

// Command 15 to the parent: child paints now (nullptr: no child any more).
void SetActiveChildOf(TWinControl* parent, TControl* child);
// Command 18 to the control itself: its cache was repainted.
void NotifyRepainted(TControl* control);
// Command 6 to every windowed child, in child order.
void RefreshChildren(TWinControl* parent);
// Command 9 (parameter 1 or 0) to the control and, depth first, everything inside it.
void SetUpdatingTreeOn(TControl* control);
void SetUpdatingTreeOff(TControl* control);
