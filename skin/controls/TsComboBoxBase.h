#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/win/TBrush.h"
#include "framework/win/TComboBox.h"
#include "skin/engine/TsBoundLabel.h"
#include "skin/engine/TsSkinned.h"

namespace ComboSkin {

// An item's text from the native list, asking its length first; empty for a failed read.
std::string ItemText(HWND combo, int index);

}  // namespace ComboSkin

// What every skinned combo shares over the native combo box: its section ("COMBOBOX" unless set),
// the bound label, the edit child's colours from the section, the frame and the drop-down glyph in
// the cache, and the repaints after a skin came or went or the native combo drew over the face.
class TsComboBoxBase : public TsSkinned<TComboBox> {
public:
  TsBoundLabel* BoundLabel() override { return FBoundLabel.get(); }

protected:
  TsComboBoxBase(TsControlKind kind, TComponent* owner);
  ~TsComboBoxBase() override;

  void StandingCommand(::SkinCommand command) override;
  // The edit child's colour requests answered from the section, unless the control has its own.
  bool SkinnedMessage(TMessage& message) override;
  bool NativePaintsAfter(const TMessage& message) const override;

  // The focus came (focused) or went with message: the face repainted in its new look after the
  // framework handled it.
  void FocusMessage(TMessage& message, bool focused);
  // The section's drop-down glyph ("GLYPHMASK"), -1 without one.
  int GlyphMask() const;
  // The section, the drop-down glyph at buttonTopLeft (pressed while dropped, else hot or normal),
  // then the disabled look, into the cache.
  void PaintComboCache(POINT buttonTopLeft, bool dropped);
  // The cache to show, rebuilt when due; nullptr when there is none to show yet.
  TBitmap* ShownCache();
  // cache copied to dc around the visible children (the edit, a simple combo's list).
  void PaintAroundChildren(HDC dc, TBitmap* cache);

private:
  std::unique_ptr<TsBoundLabel> FBoundLabel;
  TBrush FEditBrush;
};
