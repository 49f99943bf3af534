#pragma once

#include <memory>
#include <string>

#include "framework/win/Messages.h"
#include "framework/win/TFont.h"
#include "framework/win/TPersistent.h"
#include "skin/engine/core/SkinTypes.h"

class TControl;
class TWinControl;
class TsCommonData;

// What a bound label needs of its label control (the skinned controls provide it).
class TsBoundLabelControl {
public:
  virtual ~TsBoundLabelControl() = default;
  virtual TControl* Control() = 0;
  virtual void SetFocusControl(TWinControl* control) = 0;
  virtual void SetAlignRight() = 0;
  virtual void SetAutoSize(bool value) = 0;
  virtual void SetWordWrap(bool value) = 0;
};
class TsBoundLabel;
// Makes the label control for bound, owned by owner's owner; installed by the skinned controls.
using TsBoundLabelFactory = TsBoundLabelControl* (*)(TControl* owner, TsBoundLabel* bound);
void SetBoundLabelFactory(TsBoundLabelFactory factory);

// The caption label kept beside an edit-like control.
class TsBoundLabel : public TPersistent {
public:
  explicit TsBoundLabel(TsCommonData* owner);
  ~TsBoundLabel() override;

  int MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int value);
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& value);
  TsCaptionLayout Layout() const { return FLayout; }
  void SetLayout(TsCaptionLayout value);
  // The label's font while the label exists, else the own one.
  TFont* Font();
  void SetFont(const TFont* font);
  int Indent() const { return FIndent; }
  void SetIndent(int value);
  bool Active() const { return FActive; }
  void SetActive(bool value);
  TsBoundLabelControl* Label() const { return FLabel; }
  // The label is being destroyed by someone else (its owner): it is no longer the bound label's.
  void LabelDestroyed(TsBoundLabelControl* label);

  void PlaceLabel();
  // The label follows its control after one of the control's messages: it shows, hides, is enabled
  // and mirrored as the control is, and keeps its place beside it.
  void FollowControl(const TMessage& message);

private:
  void FreeLabel();

  int FMaxWidth = 0;
  std::string FCaption;
  TsCaptionLayout FLayout = TsCaptionLayout::sclLeft;
  TFont FFont;
  bool FFontSet = false;
  int FIndent = 0;
  bool FActive = false;
  TsBoundLabelControl* FLabel = nullptr;  // its control is owned by the bound control's owner
  TsCommonData* FOwner;
};
