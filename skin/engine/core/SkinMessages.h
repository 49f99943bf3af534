#pragma once

#include <functional>
#include <string>

// Message boxes of the skin library. They go through a replaceable handler: a plain message box
// until the skinned message dialog installs itself.
enum class TsBoxKind { Confirmation, Warning, Error };

using TsMessageBoxHandler = std::function<bool(TsBoxKind kind, const std::string& text)>;

// Installs a handler and returns the previous one.
TsMessageBoxHandler SetSkinMessageBoxHandler(TsMessageBoxHandler handler);
// The plain box used while no handler is installed (with neither, boxes are not shown and
// answers are No).
void SetSkinMessageBoxFallback(TsMessageBoxHandler handler);

bool ConfirmYesNo(const std::string& text);  // True on Yes
void ShowWarningBox(const std::string& text);
void ShowErrorBox(const std::string& text);
