#pragma once

#include <string>

// Text on the system clipboard (CF_TEXT, the ANSI code page). The clipboard may be held by another
// program for a moment: each call opens it, retrying briefly, and reports failure rather than wait.
namespace Clipboard {

bool HasText();
// False when the clipboard holds no text or cannot be opened.
bool GetText(std::string& text);
// False when the clipboard cannot be opened or the memory not had.
bool SetText(const std::string& text);

}  // namespace Clipboard
