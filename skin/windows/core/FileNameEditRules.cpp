#include "skin/windows/core/FileNameEditRules.h"

#include "framework/base/AnsiStrings.h"
#include "skin/engine/core/SkinUtils.h"

TDialogPriming PrimeFileDialog(std::string_view text, const std::function<bool(const std::string&)>& folderExists) {
  TDialogPriming priming;
  const std::string name(text);
  if (!IsValidFileName(name)) return priming;
  const std::string folder = ExtractFilePath(name);
  if (!folder.empty() && folderExists(folder)) priming.InitialDir = folder;
  if (IsValidFileName(name.substr(folder.size()))) priming.FileName = name;
  return priming;
}
