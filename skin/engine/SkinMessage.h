#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/win/Messages.h"
#include "skin/engine/core/SkinCommand.h"
#include "skin/engine/core/SkinTypes.h"

class TBitmap;
class TComponent;
class TControl;
class TWinControl;
class TCustomForm;

// The registered skin message; its number is fixed for the life of the process.
extern UINT RE_ROVADUZI;
// Registers the message (once; later calls keep the number). Runs before any window exists.
void RegisterSkinMessage();

// A parent's cache bitmap and where a child's origin lies in it.
struct TsCacheInfo {
  TBitmap* Bitmap = nullptr;
  int X = 0;
  int Y = 0;
  bool Valid = false;
};
// Passed where no parent image is wanted.
extern const TsCacheInfo EmptyCacheInfo;

// Answers of skin commands 5 and 21 (the last question only).
extern TsCacheInfo SkinReplyRecord;
extern TColor SkinBackgroundColor;
// The colour that replaces key-colour pixels of masks; $FF00FF means none.
extern TColor SkinKeyFillColor;

// What a form's skin provider offers the skin engine (implemented by the form skinning).
class TsSkinProviderLink {
public:
  virtual ~TsSkinProviderLink() = default;
  // The provider's form window procedure.
  virtual void ProviderWndProc(TMessage& message) = 0;
};

LRESULT SendSkinCommand(HWND handle, std::uint32_t command);
LRESULT SendSkinCommandTo(TControl* control, std::uint32_t command, std::uint32_t parameter = 0);
// Asks a control through its WindowProc (no queue, no handle needed); True when LParam comes back 1.
bool AskControl(TControl* control, std::uint32_t command);
// Resets SkinBackgroundColor to $FF00FF and asks the control (command 21).
void QueryBackgroundColor(TWinControl* control);
void RefreshChildren(TWinControl* parent);
void SetUpdatingTreeOn(TControl* control);
void SetUpdatingTreeOff(TControl* control);
// Hands one message to every child: graphic children by Perform, skinned windowed children by
// their WindowProc; unskinned windowed children pass it on to their own children.
void BroadcastToChildren(TWinControl* parent, TMessage& message);
void SendToSkinProvider(TCustomForm* form, TMessage& message);
// Every windowed component of the application and everything inside it.
void BroadcastToApplication(TMessage& message);

inline TMessage MakeSkinMessage(std::uint32_t command, std::uint32_t parameter = 0, LPARAM lParam = 0) {
  TMessage m;
  m.Msg = RE_ROVADUZI;
  m.WParam = MakeSkinWParam(command, parameter);
  m.LParam = lParam;
  m.Result = 0;
  return m;
}
