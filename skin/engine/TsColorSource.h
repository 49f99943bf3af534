#pragma once

#include <optional>

#include "skin/engine/core/SkinTypes.h"

// An owner of a skin object that is not a control but stands for one (a form's skin provider): it
// tells the colour a custom-coloured skin object paints with.
class TsColorSource {
public:
  // The colour with system colours resolved; none when the owner has none to give.
  virtual std::optional<TColor> OwnerColor() const = 0;

protected:
  ~TsColorSource() = default;
};
