#pragma once

#include <windows.h>

#include <string>

#include "framework/win/Controls.h"

class TComponent;
class TControl;
class TCustomForm;
class TIcon;

// Platform helpers of the skin library.

// The executable's folder with its trailing separator.
std::string AppFolder();
std::string SystemFolder();
bool FolderExists(const std::string& path);
inline bool DirectoryExists(const std::string& path) {
  return FolderExists(path);
}
std::string LongFileName(const std::string& path);
std::string ShortFileName(const std::string& path);
// The file's small (flags 1) or large (0) shell icon; null when missing or empty. Owned by the caller.
TIcon* FileIcon(const std::string& fileName, UINT flags);

// The executable's small and large shell icons, read once; null when it has none. Not owned.
TIcon* AppSmallIcon();
TIcon* AppLargeIcon();

TCustomForm* FindOwnerForm(TComponent* component);
TComponent* FindComponentByPath(TComponent* owner, const std::string& path);
// DrawText flags of a caption, its alignment mirrored for a right-to-left control.
UINT CaptionTextFlags(TControl* control, TAlignment alignment);
