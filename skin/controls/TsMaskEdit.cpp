#include "skin/controls/TsMaskEdit.h"

TsMaskEdit::TsMaskEdit(TComponent* owner) : TsSkinnedEdit(TsControlKind::MaskEdit, owner) {
  SetControlStyle(ControlStyle() | csOpaque);
}
