#include "skin/engine/SkinDebugLogWin.h"

#include <cstdlib>

#include "skin/engine/SkinMessage.h"
#include "skin/engine/core/TsDebugLog.h"

namespace {

void SaveAtExit() {
  // Nothing can be done about a log that cannot be written while the program ends.
  (void)DebugLog().SaveToFile(DebugLogFileName);
}

struct TLogSetup {
  TLogSetup() {
    RegisterSkinMessage();
    RegisterMessageName(RE_ROVADUZI, "RE_ROVADUZI");
    // The log exists before the save is registered, so that it is destroyed only after the save
    // has run (exit runs its handlers in the reverse order of registration).
    DebugLog();
    std::atexit(&SaveAtExit);
  }
} LogSetup;

}  // namespace

void FormatMessageText(const TMessage& message, const std::string& prefix) {
  const TsLogMessage m{message.Msg, static_cast<std::uintptr_t>(message.WParam),
                       static_cast<std::intptr_t>(message.LParam)};
  if (message.Msg == CN_DRAWITEM && message.LParam) {
    const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
    const TsDrawItemInfo info{d->CtlType,
                              d->CtlID,
                              d->itemID,
                              d->itemAction,
                              d->itemState,
                              reinterpret_cast<std::uintptr_t>(d->hwndItem),
                              reinterpret_cast<std::uintptr_t>(d->hDC),
                              d->rcItem.left,
                              d->rcItem.top,
                              d->rcItem.right,
                              d->rcItem.bottom,
                              static_cast<std::uintptr_t>(d->itemData)};
    ::FormatMessageText(m, prefix, &info);
    return;
  }
  ::FormatMessageText(m, prefix);
}

void LogMessage(const TMessage& message) {
  FormatMessageText(message, "");
}
