#include "skin/engine/SkinUtilsWin.h"

#include <shellapi.h>

#include <memory>

#include "framework/win/TCustomForm.h"
#include "framework/win/SystemPaths.h"
#include "framework/win/TIcon.h"
#include "skin/engine/core/SkinMessages.h"
#include "skin/engine/core/SkinUtils.h"

namespace {

// Until the skinned message dialog installs itself, the skin library's boxes are plain ones.
bool PlainBox(TsBoxKind kind, const std::string& text) {
  UINT flags = MB_OK | MB_ICONERROR;
  if (kind == TsBoxKind::Confirmation) flags = MB_YESNO | MB_ICONQUESTION;
  if (kind == TsBoxKind::Warning) flags = MB_OK | MB_ICONWARNING;
  return MessageBoxA(GetActiveWindow(), text.c_str(), nullptr, flags | MB_TASKMODAL) == IDYES;
}

struct TInstallPlainBox {
  TInstallPlainBox() { SetSkinMessageBoxFallback(&PlainBox); }
} InstallPlainBox;

}  // namespace

std::string AppFolder() {
  return FolderOf(ModuleFileName());
}

std::string SystemFolder() {
  char path[MAX_PATH] = {};
  const UINT n = GetSystemDirectoryA(path, sizeof path);
  return std::string(path, n < sizeof path ? n : 0);
}

bool FolderExists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string LongFileName(const std::string& path) {
  WIN32_FIND_DATAA data;
  HANDLE h = FindFirstFileA(path.c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return {};
  FindClose(h);
  return data.cFileName[0] ? data.cFileName : data.cAlternateFileName;
}

std::string ShortFileName(const std::string& path) {
  WIN32_FIND_DATAA data;
  HANDLE h = FindFirstFileA(path.c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return {};
  FindClose(h);
  return data.cAlternateFileName[0] ? data.cAlternateFileName : data.cFileName;
}

TIcon* FileIcon(const std::string& fileName, UINT flags) {
  if (GetFileAttributesA(fileName.c_str()) == INVALID_FILE_ATTRIBUTES) return nullptr;
  SHFILEINFOA info = {};
  if (!SHGetFileInfoA(fileName.c_str(), 0, &info, sizeof info, flags | SHGFI_ICON) || !info.hIcon)
    return nullptr;
  auto* icon = new TIcon();
  icon->SetHandle(info.hIcon);
  if (icon->Empty()) {
    delete icon;
    return nullptr;
  }
  return icon;
}

namespace {

TIcon* ExeIcon(UINT flags) {
  return FileIcon(ModuleFileName(), flags);
}

}  // namespace

TIcon* AppSmallIcon() {
  static std::unique_ptr<TIcon> icon(ExeIcon(SHGFI_SMALLICON));
  return icon.get();
}

TIcon* AppLargeIcon() {
  static std::unique_ptr<TIcon> icon(ExeIcon(SHGFI_LARGEICON));
  return icon.get();
}

TCustomForm* FindOwnerForm(TComponent* component) {
  // Bounded by the depth of the owner chain, which has no cycles.
  for (TComponent* c = component; c; c = c->Owner())
    if (auto* form = dynamic_cast<TCustomForm*>(c)) return form;
  return nullptr;
}

TComponent* FindComponentByPath(TComponent* owner, const std::string& path) {
  if (!owner) return nullptr;
  const std::size_t dot = path.find('.');
  if (dot == std::string::npos) return owner->FindComponent(path);
  TComponent* frame = owner->FindComponent(path.substr(0, dot));
  if (!frame || frame->ClassName().find("Frame") == std::string::npos) return nullptr;
  return frame->FindComponent(NthWord(2, path, "."));
}

UINT CaptionTextFlags(TControl* control, TAlignment alignment) {
  UINT flags = alignment == taRightJustify ? DT_RIGHT : (alignment == taCenter ? DT_CENTER : DT_LEFT);
  flags |= DT_EXPANDTABS | DT_VCENTER;
  if (control && control->UseRightToLeftReading()) flags |= DT_RTLREADING;
  if (control && control->UseRightToLeftAlignment()) {
    if (flags & DT_RIGHT)
      flags &= ~DT_RIGHT;
    else if (!(flags & DT_CENTER))
      flags |= DT_RIGHT;
  }
  return flags;
}
