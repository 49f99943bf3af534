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

// What a form's skin provider offers the skin engine (implemented by the form skinning).
class TsSkinProviderLink {
public:
  virtual ~TsSkinProviderLink() = default;
  // The provider's form window procedure.
  virtual void ProviderWndProc(TMessage& message) = 0;
};

// Hands one message to the form's skin provider, when it has one.
void SendToSkinProvider(TCustomForm* form, TMessage& message);

inline TMessage MakeSkinMessage(SkinCommand command, std::uint32_t parameter = 0, LPARAM lParam = 0) {
  TMessage m;
  m.Msg = RE_ROVADUZI;
  m.WParam = MakeSkinWParam(command, parameter);
  m.LParam = lParam;
  m.Result = 0;
  return m;
}
