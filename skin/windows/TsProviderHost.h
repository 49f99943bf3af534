#pragma once

#include <string>

#include "framework/win/Controls.h"
#include "skin/windows/core/TsFrameGeometry.h"

class TBitmap;
class TCustomForm;
class TsCommonData;
class TsMDIForm;
class TsSkinManager;
class TsTitleButtons;
class TsTitleIcon;

// The skin's mask indexes of a form's frame parts; -1 where the skin has none.
struct TsProviderMasks {
  int Min = -1, Max = -1, Close = -1, Help = -1, Norm = -1, Title = -1, Grip = -1, TitleBar = -1;
};

// What the parts of a form's skin provider (frame, caption buttons, menu band, window menu) read of
// the provider: the form, its skin and its look. The provider implements it; the parts know only
// this.
class TsProviderHost {
public:
  virtual TCustomForm* Form() const = 0;
  virtual TsCommonData* SkinData() = 0;
  virtual TsSkinManager* SkinManager() const = 0;
  virtual bool Skinned() const = 0;
  // Whether the form is drawn active, and the caption as the skin shows it.
  virtual bool FormActive() const = 0;
  virtual std::string ShownCaption() const = 0;
  virtual TAlignment CaptionAlignment() const = 0;
  virtual const TsProviderMasks& Masks() const = 0;
  virtual TsTitleButtons* TitleButtons() = 0;
  virtual TsTitleIcon* TitleIcon() = 0;
  // The skinned MDI client of an MDI main form; null for other forms.
  virtual TsMDIForm* MDIForm() const = 0;
  // The frame's cache: the whole window image.
  virtual TBitmap* WindowImage() = 0;
  virtual TsWindowFacts WindowFacts() const = 0;
  virtual TsFrameFacts FrameFacts() = 0;
  // The system metrics the frame uses.
  virtual const TsSystemSizes& FrameSizes() const = 0;

protected:
  ~TsProviderHost() = default;
};
