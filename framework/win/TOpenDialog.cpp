#include "framework/win/TOpenDialog.h"

#include <commdlg.h>

#include <vector>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TScreen.h"

namespace {

// Room for many files of a multi-selection.
constexpr size_t kFileBuffer = 64 * 1024;

}  // namespace

TOpenDialog::TOpenDialog(TComponent* owner) : TComponent(owner) {}

bool TOpenDialog::Execute() { return DoExecute(GetOpenFileNameA); }

bool TSaveDialog::Execute() { return DoExecute(GetSaveFileNameA); }

DWORD TOpenDialog::OptionFlags(TOpenOptions options) {
  static const std::pair<TOpenOptions, DWORD> map[] = {
      {ofReadOnly, OFN_READONLY},           {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
      {ofHideReadOnly, OFN_HIDEREADONLY},   {ofNoChangeDir, OFN_NOCHANGEDIR},
      {ofShowHelp, OFN_SHOWHELP},           {ofNoValidate, OFN_NOVALIDATE},
      {ofAllowMultiSelect, OFN_ALLOWMULTISELECT}, {ofExtensionDifferent, OFN_EXTENSIONDIFFERENT},
      {ofPathMustExist, OFN_PATHMUSTEXIST}, {ofFileMustExist, OFN_FILEMUSTEXIST},
      {ofCreatePrompt, OFN_CREATEPROMPT},   {ofShareAware, OFN_SHAREAWARE},
      {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN}, {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
      {ofEnableSizing, OFN_ENABLESIZING}};
  DWORD flags = 0;
  for (const auto& [option, flag] : map)
    if (options & option) flags |= flag;
  return flags;
}

std::string TOpenDialog::NativeFilter(const std::string& filter) {
  if (filter.empty()) return std::string();
  std::string native = filter;
  for (char& c : native)
    if (c == '|') c = '\0';
  // Pairs end with one zero each and the list with another.
  native.push_back('\0');
  native.push_back('\0');
  return native;
}

bool TOpenDialog::DoExecute(TDialogFunc func) {
  std::vector<char> buffer(kFileBuffer, '\0');
  FFileName.copy(buffer.data(), std::min(FFileName.size(), buffer.size() - 2));
  std::string filter = NativeFilter(FFilter);
  std::string ext = FDefaultExt;
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);

  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  TCustomForm* owner = Screen != nullptr ? Screen->ActiveForm() : nullptr;
  ofn.hwndOwner = owner != nullptr && owner->HandleAllocated() ? owner->Handle() : nullptr;
  ofn.hInstance = GetModuleHandleA(nullptr);
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = DWORD(FFilterIndex > 0 ? FFilterIndex : 1);
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = DWORD(buffer.size());
  ofn.lpstrInitialDir = FInitialDir.empty() ? nullptr : FInitialDir.c_str();
  ofn.lpstrTitle = FTitle.empty() ? nullptr : FTitle.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.Flags = OptionFlags(FOptions) | OFN_EXPLORER | OFN_ENABLEHOOK;
  ofn.lpfnHook = &TOpenDialog::HookProc;
  ofn.lCustData = reinterpret_cast<LPARAM>(this);
  if (const DLGTEMPLATE* child = ChildTemplate()) {
    ofn.Flags |= OFN_ENABLETEMPLATEHANDLE;
    ofn.hInstance = reinterpret_cast<HINSTANCE>(const_cast<DLGTEMPLATE*>(child));
  }

  FFiles.Clear();
  BOOL accepted = func(&ofn);
  FHandle = nullptr;
  if (accepted) ReadResult(ofn, buffer);
  if (FOnClose) FOnClose(this);
  return accepted != FALSE;
}

void TOpenDialog::ReadResult(const OPENFILENAMEA& ofn, const std::vector<char>& buffer) {
  FFilterIndex = int(ofn.nFilterIndex);
  if (ofn.Flags & OFN_READONLY) FOptions |= ofReadOnly;
  else FOptions &= ~ofReadOnly;
  if (ofn.Flags & OFN_EXTENSIONDIFFERENT) FOptions |= ofExtensionDifferent;
  else FOptions &= ~ofExtensionDifferent;
  // A multi-selection comes as the folder, then each name, each ending with a zero.
  std::vector<std::string> parts;
  size_t at = 0;
  while (at < buffer.size() && buffer[at] != '\0') {
    size_t end = at;
    while (end < buffer.size() && buffer[end] != '\0') ++end;
    parts.emplace_back(buffer.data() + at, end - at);
    at = end + 1;
    if (!(FOptions & ofAllowMultiSelect)) break;
  }
  if (parts.size() <= 1) {
    FFileName = parts.empty() ? std::string() : parts[0];
    if (!FFileName.empty()) FFiles.Add(FFileName);
    return;
  }
  std::string folder = parts[0];
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  for (size_t i = 1; i < parts.size(); ++i) FFiles.Add(folder + parts[i]);
  FFileName = FFiles[0];
}

UINT_PTR CALLBACK TOpenDialog::HookProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    if (msg == WM_INITDIALOG) {
      auto* ofn = reinterpret_cast<OPENFILENAMEA*>(lParam);
      SetWindowLongPtrA(window, GWLP_USERDATA, ofn->lCustData);
      return 0;
    }
    auto* dialog = reinterpret_cast<TOpenDialog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (msg == WM_NOTIFY && dialog != nullptr && lParam != 0) {
      dialog->HookNotify(window, *reinterpret_cast<OFNOTIFYA*>(lParam));
      return GetWindowLongPtrA(window, DWLP_MSGRESULT) != 0;
    }
    if (dialog != nullptr && dialog->ChildMessage(window, msg, wParam, lParam)) return 1;
  } catch (const std::exception& e) {
    if (Application != nullptr) Application->HandleException(nullptr, e);
  }
  return 0;
}

void TOpenDialog::HookNotify(HWND hook, const OFNOTIFYA& notify) {
  SetWindowLongPtrA(hook, DWLP_MSGRESULT, 0);
  switch (notify.hdr.code) {
    case CDN_INITDONE:
      FHandle = GetParent(hook);
      DialogShown(hook);
      if (FOnShow) FOnShow(this);
      break;
    case CDN_FILEOK: {
      bool canClose = true;
      if (FOnCanClose) FOnCanClose(this, canClose);
      // A refusal keeps the dialog open.
      if (!canClose) SetWindowLongPtrA(hook, DWLP_MSGRESULT, 1);
      break;
    }
    case CDN_FOLDERCHANGE:
      if (FOnFolderChange) FOnFolderChange(this);
      break;
    case CDN_SELCHANGE:
      SelectionChanged(hook);
      if (FOnSelectionChange) FOnSelectionChange(this);
      break;
    case CDN_TYPECHANGE:
      if (notify.lpOFN != nullptr) FFilterIndex = int(notify.lpOFN->nFilterIndex);
      if (FOnTypeChange) FOnTypeChange(this);
      break;
    case CDN_HELP:
      if (Application != nullptr && FHelpContext != 0) Application->HelpContext(FHelpContext);
      break;
    default:
      break;
  }
}
