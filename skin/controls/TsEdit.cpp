#include "skin/controls/TsEdit.h"

#include "skin/engine/core/SkinTables.h"

TsEdit::TsEdit(TComponent* owner) : TsSkinnedEdit(TsControlKind::Edit, owner) {
  SetControlStyle(ControlStyle() | csOpaque);
}

bool TsEdit::SkinnedMessage(TMessage& message) {
  switch (message.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      const int section = SkinData().SkinIndex();
      if (SectionIndexValid(section) &&
          ActiveSkin().SkinSectionData[static_cast<std::size_t>(section)].ReservedBoolean)
        break;
      InheritedWndProc(message);
      return true;
    }
    default:
      break;
  }
  return TsSkinnedEdit::SkinnedMessage(message);
}
