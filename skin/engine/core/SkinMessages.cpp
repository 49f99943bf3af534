#include "skin/engine/core/SkinMessages.h"

#include <utility>

namespace {

TsMessageBoxHandler& Installed() {
  static TsMessageBoxHandler handler;
  return handler;
}

TsMessageBoxHandler& Fallback() {
  static TsMessageBoxHandler handler;
  return handler;
}

const TsMessageBoxHandler& Handler() {
  return Installed() ? Installed() : Fallback();
}

}  // namespace

TsMessageBoxHandler SetSkinMessageBoxHandler(TsMessageBoxHandler handler) {
  return std::exchange(Installed(), std::move(handler));
}

void SetSkinMessageBoxFallback(TsMessageBoxHandler handler) {
  Fallback() = std::move(handler);
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
