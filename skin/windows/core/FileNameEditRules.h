#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// What a file-name edit hands its dialog before showing it.
struct TDialogPriming {
  std::optional<std::string> InitialDir;  // only when the text names an existing folder
  std::string FileName;                   // empty unless the text is a valid name with a valid last part
};

// From the edit's text: a text that is not a valid file name reaches the dialog as no name; a
// valid one gives its folder (when that exists) and itself, unless its last part is empty or
// not valid.
TDialogPriming PrimeFileDialog(std::string_view text, const std::function<bool(const std::string&)>& folderExists);
