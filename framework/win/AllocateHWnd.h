#pragma once

#include <windows.h>

#include "framework/win/Controls.h"

// A hidden top-level window whose messages go to method (it also receives broadcasts). Messages
// the method leaves with Result 0 are not passed on: the method calls DefWindowProc itself when it
// wants the default.
HWND AllocateHWnd(const TWndMethod& method);
void DeallocateHWnd(HWND window);
