#pragma once

#include "framework/win/TButton.h"
#include "skin/controls/TsPushButton.h"

// The push button painted from its skin section ("BUTTON"): normal, hot (mouse over, focus or the
// default look) and pressed looks, its window cut to the border mask, the caption in the section's
// text colours and a dotted focus frame.
class TsButton : public TsPushButton<TButton> {
public:
  explicit TsButton(TComponent* owner);

protected:
  void PaintContent() override;
};
