#include "skin/controls/TsGroupBox.h"

#include <algorithm>
#include <memory>

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/core/SkinTables.h"

namespace {

constexpr int BevelWidth = 1;

TColor ParentColorOf(TControl* control) {
  return control->Parent() ? static_cast<TColor>(ColorToRGB(control->Parent()->Color())) : clBtnFace;
}

}  // namespace

TsGroupBox::TsGroupBox(TComponent* owner) : TsSkinned(TsControlKind::GroupBox, TsCacheBitmap::Own, owner) {
  SetControlStyle(ControlStyle() & ~csOpaque);
}

void TsGroupBox::CaptionChanged() {
  if (!Caption().empty() && HandleAllocated()) SendSkinCommandTo(this, SkinCommand::Refresh);
}

void TsGroupBox::SetCaptionLayout(TsGroupCaptionLayout value) {
  if (value == FCaptionLayout) return;
  FCaptionLayout = value;
  CaptionChanged();
}

void TsGroupBox::SetCaptionYOffset(int value) {
  if (value == FCaptionYOffset) return;
  FCaptionYOffset = value;
  CaptionChanged();
}

void TsGroupBox::SetCaptionSkin(const std::string& value) {
  if (value == FCaptionSkin) return;
  FCaptionSkin = value;
  SkinData().RequestRepaint();
}

TGroupRect TsGroupBox::CaptionRect() {
  TCanvas* canvas = SkinData().CacheBitmap()->Canvas();
  canvas->SetFont(Font());
  const int line = canvas->TextExtent("W").cy;
  const int text = Caption().empty() ? 0 : canvas->TextExtent(Caption()).cx;
  return GroupCaptionRect(Width(), line, text, FCaptionLayout, FCaptionYOffset, BevelWidth);
}

void TsGroupBox::PaintSkin() {
  TBitmap* cache = SkinData().CacheBitmap();
  TCanvas* canvas = cache->Canvas();
  TsCacheInfo ci;
  QueryParentCache(&SkinData(), ci);
  const TGroupRect caption = CaptionRect();
  const int band = caption.Bottom;

  // The band behind the caption shows what lies under the box.
  if (ci.Valid && ci.Bitmap) {
    BitBlt(canvas->Handle(), 0, 0, Width(), band, ci.Bitmap->Canvas()->Handle(), ci.X + Left(), ci.Y + Top(), SRCCOPY);
  } else {
    canvas->Brush()->SetStyle(TBrushStyle::Solid);
    canvas->Brush()->SetColor(ParentColorOf(this));
    canvas->FillRect(RECT{0, 0, Width(), band});
  }
  PaintSectionByData(ActiveSkin(), &SkinData(), ci, true, cache, POINT{Left(), Top() + band / 2},
                     RECT{0, band / 2, Width(), Height()}, TsSkinState::Normal);

  if (!Caption().empty()) {
    const std::string plate = FCaptionSkin.empty() ? "CHECKBOX" : FCaptionSkin;
    const int index = FindSectionIndex(plate);
    const RECT r{caption.Left, caption.Top, caption.Right, caption.Bottom};
    const TsSkinState state = Focused() ? TsSkinState::Hot : TsSkinState::Normal;
    if (!FCaptionSkin.empty()) {
      PaintSectionByIndex(ActiveSkin(), index, plate, TsCacheInfo{cache, 0, 0, true}, cache,
                          POINT{r.left, r.top}, r, state, true);
    } else if ((ci.Valid && ci.Bitmap) || !Parent()) {
      PaintSectionByIndex(ActiveSkin(), index, plate, ci, cache, POINT{Left() + r.left, Top() + r.top}, r,
                          state, true);
    } else {
      canvas->Brush()->SetStyle(TBrushStyle::Solid);
      canvas->Brush()->SetColor(ParentColorOf(this));
      canvas->FillRect(r);
    }
    canvas->Brush()->SetStyle(TBrushStyle::Clear);
    RECT text = r;
    DrawSkinTextByIndex(ActiveSkin(), canvas, Caption(), Enabled(), text, DT_CENTER | DT_NOPREFIX, index,
                        false);
  }
  if (!Enabled()) {
    QueryParentCache(&SkinData(), ci);
    ApplyDisabledKind(ActiveSkin(), cache, DisabledKind(), this, POINT{Left(), Top()}, ci);
  }
}

void TsGroupBox::CacheShown(bool rebuilt) {
  if (rebuilt) RefreshChildren(this);
}

TsGroupButton::TsGroupButton(TsRadioGroup* group) : TsRadioButton(group), FGroup(group) {
  SkinData().SetSkinSection("RADIOBUTTON");
  SetAutoSize(false);  // the group gives each button its cell
  SetVisible(false);
  SetEnabled(group->Enabled());
  SetParentShowHint(false);
  SetTabStop(true);
  SetControlStyle(ControlStyle() | csOpaque);
  SetOnClick(TNotifyEvent(group, &TsRadioGroup::ButtonClick));
  group->FButtons.push_back(this);
}

TsGroupButton::~TsGroupButton() {
  auto& buttons = FGroup->FButtons;
  buttons.erase(std::remove(buttons.begin(), buttons.end(), this), buttons.end());
}

void TsGroupButton::Dispatch(TMessage& message) {
  if (message.Msg != CN_COMMAND) {
    TsRadioButton::Dispatch(message);
    return;
  }
  // A click (BN_CLICKED, BN_DOUBLECLICKED) checks the button only while the group may change, and
  // never again from within the handlers it runs.
  const WORD code = HIWORD(message.WParam);
  if (FInClick || (code != BN_CLICKED && code != BN_DOUBLECLICKED) || !FGroup->CanModify()) return;
  // Cleared however the click ends, unless the group's OnClick freed the button meanwhile.
  struct TInClick {
    std::shared_ptr<bool> Alive;
    bool& Flag;
    ~TInClick() {
      if (*Alive) Flag = false;
    }
  } const inClick{Alive(), FInClick};
  FInClick = true;
  TsRadioButton::Dispatch(message);
}

// The accelerator focuses the button, and checks it only as a click would.
void TsGroupButton::AccelPressed() {
  if (FGroup->CanModify()) TsRadioButton::AccelPressed();
}

void TsGroupButton::KeyDown(WORD& key, TShiftState shift) {
  TsRadioButton::KeyDown(key, shift);
  FGroup->KeyDown(key, shift);
}

void TsGroupButton::KeyPress(char& key) {
  TsRadioButton::KeyPress(key);
  FGroup->KeyPress(key);
  if ((key == '\b' || key == ' ') && !FGroup->CanModify()) key = 0;
}

TsRadioGroup::TsRadioGroup(TComponent* owner) : TsGroupBox(owner) {
  SetControlStyle(csSetCaption | csDoubleClicks);
  FItems.SetOnChange(TNotifyEvent(this, &TsRadioGroup::ItemsChanged));
}

TsRadioGroup::~TsRadioGroup() { FItems.SetOnChange(TNotifyEvent()); }

void TsRadioGroup::Loaded() {
  TsGroupBox::Loaded();
  UpdateButtons();
}

void TsRadioGroup::ItemsChanged(TObject*) {
  if (IsLoading()) return;
  if (FItemIndex >= FItems.Count()) FItemIndex = FItems.Count() - 1;
  UpdateButtons();
}

// As many buttons as items, captioned by them, the one of ItemIndex checked; then arranged.
void TsRadioGroup::UpdateButtons() {
  // An index stored while loading is brought into range once the items are known.
  if (!IsLoading()) FItemIndex = ClampItemIndex(FItemIndex, FItems.Count());
  while (ButtonCount() < FItems.Count()) {
    auto* button = NewComponent<TsGroupButton>(this);
    button->SetParent(this);
  }
  while (ButtonCount() > FItems.Count()) FButtons.back()->Free();
  FUpdating = true;
  for (int i = 0; i < ButtonCount(); ++i) {
    FButtons[static_cast<std::size_t>(i)]->SetCaption(FItems[i]);
    FButtons[static_cast<std::size_t>(i)]->SetChecked(i == FItemIndex);
  }
  FUpdating = false;
  UpdateTabStops();
  ArrangeButtons();
}

void TsRadioGroup::ArrangeButtons() {
  if (IsLoading() || FButtons.empty()) return;
  SIZE line{};
  TextSizeInFont("W", Font(), line);
  const auto cells =
      ArrangeRadioButtons(ButtonCount(), FColumns, Width(), Height(), line.cy, UseRightToLeftAlignment());
  for (std::size_t i = 0; i < cells.size(); ++i) {
    TsGroupButton* button = FButtons[i];
    button->SetBiDiMode(BiDiMode());
    button->SetBounds(cells[i].Left, cells[i].Top, cells[i].Right - cells[i].Left, cells[i].Bottom - cells[i].Top);
    button->SetVisible(true);
  }
}

void TsRadioGroup::SetItemIndex(int value) {
  if (IsLoading()) {
    FItemIndex = value;
    return;
  }
  value = ClampItemIndex(value, ButtonCount());
  if (value == FItemIndex) return;
  FUpdating = true;
  if (FItemIndex >= 0) FButtons[static_cast<std::size_t>(FItemIndex)]->SetChecked(false);
  FItemIndex = value;
  if (FItemIndex >= 0) FButtons[static_cast<std::size_t>(FItemIndex)]->SetChecked(true);
  FUpdating = false;
  UpdateTabStops();
}

// The group is one Tab stop: its checked button, or the first while none is checked. The arrow
// keys move between the buttons.
void TsRadioGroup::UpdateTabStops() {
  for (std::size_t i = 0; i < FButtons.size(); ++i)
    FButtons[i]->SetTabStop(static_cast<int>(i) == std::max(FItemIndex, 0));
}

void TsRadioGroup::SetColumns(int value) {
  value = ClampColumns(value);
  if (value == FColumns) return;
  FColumns = value;
  ArrangeButtons();
  Invalidate();
}

void TsRadioGroup::ButtonClick(TObject* sender) {
  if (FUpdating) return;
  const auto it = std::find(FButtons.begin(), FButtons.end(), sender);
  if (it == FButtons.end()) return;
  FItemIndex = static_cast<int>(it - FButtons.begin());
  UpdateTabStops();
  Click();
}

void TsRadioGroup::Resize() {
  TsGroupBox::Resize();
  ArrangeButtons();
}

void TsRadioGroup::Dispatch(TMessage& message) {
  TsGroupBox::Dispatch(message);
  if (message.Msg == CM_ENABLEDCHANGED) {
    for (TsGroupButton* button : FButtons) button->SetEnabled(Enabled());
  } else if (message.Msg == CM_FONTCHANGED) {
    ArrangeButtons();
  }
}
