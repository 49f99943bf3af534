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
    const struct {
      UINT Msg;
      const char* Name;
    } framework[] = {{CM_ACTIVATE, "CM_ACTIVATE"},
                     {CM_DEACTIVATE, "CM_DEACTIVATE"},
                     {CM_ENABLEDCHANGED, "CM_ENABLEDCHANGED"},
                     {CM_COLORCHANGED, "CM_COLORCHANGED"},
                     {CM_FONTCHANGED, "CM_FONTCHANGED"},
                     {CM_CURSORCHANGED, "CM_CURSORCHANGED"},
                     {CM_PARENTFONTCHANGED, "CM_PARENTFONTCHANGED"},
                     {CM_PARENTCOLORCHANGED, "CM_PARENTCOLORCHANGED"},
                     {CM_HITTEST, "CM_HITTEST"},
                     {CM_VISIBLECHANGED, "CM_VISIBLECHANGED"},
                     {CM_ENTER, "CM_ENTER"},
                     {CM_EXIT, "CM_EXIT"},
                     {CM_MENUCHANGED, "CM_MENUCHANGED"},
                     {CM_TEXTCHANGED, "CM_TEXTCHANGED"},
                     {CM_MOUSEENTER, "CM_MOUSEENTER"},
                     {CM_MOUSELEAVE, "CM_MOUSELEAVE"},
                     {CM_CANCELMODE, "CM_CANCELMODE"},
                     {CM_DIALOGKEY, "CM_DIALOGKEY"},
                     {CM_DIALOGCHAR, "CM_DIALOGCHAR"},
                     {CM_FOCUSCHANGED, "CM_FOCUSCHANGED"},
                     {CM_PARENTSHOWHINTCHANGED, "CM_PARENTSHOWHINTCHANGED"},
                     {CM_SHOWHINTCHANGED, "CM_SHOWHINTCHANGED"},
                     {CM_SHOWINGCHANGED, "CM_SHOWINGCHANGED"},
                     {CM_HINTSHOW, "CM_HINTSHOW"},
                     {CM_ACTIONUPDATE, "CM_ACTIONUPDATE"},
                     {CM_RECREATEWND, "CM_RECREATEWND"},
                     {CM_INVALIDATE, "CM_INVALIDATE"},
                     {CM_CONTROLLISTCHANGE, "CM_CONTROLLISTCHANGE"},
                     {CM_CHANGED, "CM_CHANGED"},
                     {CM_RELEASE, "CM_RELEASE"},
                     {CM_BIDIMODECHANGED, "CM_BIDIMODECHANGED"},
                     {CM_PARENTBIDIMODECHANGED, "CM_PARENTBIDIMODECHANGED"},
                     {CM_MOUSEWHEEL, "CM_MOUSEWHEEL"}};
    for (const auto& n : framework) RegisterMessageName(n.Msg, n.Name);
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
