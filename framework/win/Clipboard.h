#pragma once

#include <windows.h>

#include <string>

// Text on the system clipboard (CF_TEXT, the ANSI code page). The clipboard may be held by another
// program for a moment: each call opens it, retrying briefly, and reports failure rather than wait.
namespace Clipboard {

bool HasText();
// False when the clipboard holds no text or cannot be opened.
bool GetText(std::string& text);
// False when the clipboard cannot be opened or the memory not had.
bool SetText(const std::string& text);
// Puts data of format (and a palette, when not null) on the clipboard, which then owns them. They
// are the caller's to give: what the clipboard does not take is freed here, and False returned.
bool SetData(UINT format, HANDLE data, HPALETTE palette);

}  // namespace Clipboard
