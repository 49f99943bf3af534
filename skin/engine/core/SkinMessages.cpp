#include "skin/engine/core/SkinMessages.h"

#include <utility>

namespace {

TsMessageBoxHandler& Handler() {
  static TsMessageBoxHandler handler;
  return handler;
}

}  // namespace

TsMessageBoxHandler SetSkinMessageBoxHandler(TsMessageBoxHandler handler) {
  return std::exchange(Handler(), std::move(handler));
}

bool ConfirmYesNo(const std::string& text) {
  return Handler() ? Handler()(TsBoxKind::Confirmation, text) : false;
}

void ShowWarningBox(const std::string& text) {
  if (Handler()) Handler()(TsBoxKind::Warning, text);
}

void ShowErrorBox(const std::string& text) {
  if (Handler()) Handler()(TsBoxKind::Error, text);
}
