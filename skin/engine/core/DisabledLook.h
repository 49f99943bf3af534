#pragma once

#include <optional>

#include "skin/engine/core/PixelColor.h"
#include "skin/engine/core/PixelGeometry.h"
#include "skin/engine/core/TsBitmap24View.h"
#include "skin/engine/core/TsCacheView.h"
#include "skin/engine/core/TsDisabledKind.h"

// The disabled look of a control's cache: greyed first, then blended, the control keeping 40 percent
// over its parent's image when there is one, else half of it over a plain colour: the skin's
// background colour when set, else the parent's colour, else (no parent) the control's own.
void ApplyDisabledKind(TsBitmap24View bmp, TsDisabledKind kinds, TsPoint offset, const TsCacheView& cache,
                       TColor backgroundColor, std::optional<TColor> parentColor,
                       TColor ownColor);
