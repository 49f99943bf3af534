#include "skin/controls/TsComboBoxEx.h"

#include <algorithm>

#include "framework/base/Exception.h"
#include "framework/win/GdiScopes.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TControlCanvas.h"
#include "framework/win/TImageList.h"
#include "skin/controls/TsComboBox.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/core/SkinTables.h"

namespace {

constexpr int IndentStep = 16;
constexpr int CaptionGap = 5;

// Text at the box's left, vertically centred, clipped to the box.
void WriteCentred(TCanvas* canvas, const RECT& box, const std::string& text) {
  const int y = box.top + (box.bottom - box.top - canvas->TextHeight(text.empty() ? "0" : text)) / 2;
  canvas->TextRect(box, box.left, y, text);
}

}  // namespace

// ---- TsComboItems ----

TsComboItem& TsComboItems::Add() { return Add(TsComboItem{}); }

TsComboItem& TsComboItems::Add(const TsComboItem& item) {
  FItems.push_back(item);
  if (FAdded) FAdded(item.Caption);
  return FItems.back();
}

TsComboItem& TsComboItems::Items(int index) {
  if (index < 0 || index >= Count()) throw EStringListError("List index out of bounds");
  return FItems[std::size_t(index)];
}

const TsComboItem& TsComboItems::Items(int index) const { return const_cast<TsComboItems*>(this)->Items(index); }

const TsComboItem* TsComboItems::Find(int index) const {
  return index >= 0 && index < Count() ? &FItems[std::size_t(index)] : nullptr;
}

void TsComboItems::Delete(int index) {
  if (index >= 0 && index < Count()) FItems.erase(FItems.begin() + index);
}

// ---- TsCustomComboBoxEx ----

// Fixed-height owner drawing: the measure request of variable items has no answer here.
TsCustomComboBoxEx::TsCustomComboBoxEx(TComponent* owner) : TsCommonComboBox(owner) { SetStyle(csOwnerDrawFixed); }

void TsCustomComboBoxEx::CreateWnd() {
  FItemsEx.Detach();
  TsCommonComboBox::CreateWnd();
}

TsCustomComboBoxEx::~TsCustomComboBoxEx() {
  if (FImages != nullptr) FImages->UnRegisterChanges(TNotifyEvent(this, &TsCustomComboBoxEx::ImagesChanged));
}

void TsCustomComboBoxEx::SetImages(TImageList* images) {
  if (images == FImages) return;
  const TNotifyEvent link(this, &TsCustomComboBoxEx::ImagesChanged);
  if (FImages != nullptr) {
    FImages->RemoveFreeNotification(this);
    FImages->UnRegisterChanges(link);
  }
  FImages = images;
  if (images != nullptr) {
    images->FreeNotification(this);
    images->RegisterChanges(link);
  }
  ImagesChanged(images);
}

// New images, or the list's own changed: items tall enough for them, everything drawn again.
void TsCustomComboBoxEx::ImagesChanged(TObject*) {
  if (FImages != nullptr && ItemHeight() < FImages->Height()) SetItemHeight(FImages->Height());
  SkinData().RequestRepaint();
  if (HandleAllocated()) Invalidate();
}

void TsCustomComboBoxEx::Notification(TComponent* component, TOperation operation) {
  TsCommonComboBox::Notification(component, operation);
  if (operation == TOperation::Remove && component == FImages) {
    FImages = nullptr;
    if (HandleAllocated() && !IsDestroying()) Invalidate();
  }
}

RECT TsCustomComboBoxEx::ImageRect(const TsComboItem* item, bool listItem) const {
  if (FImages == nullptr || item == nullptr) return RECT{};
  const int top = std::max((Height() - FImages->Height()) / 2, 0);
  int left = listItem ? 2 : top;
  if (listItem && item->Indend >= 1) left += item->Indend * IndentStep;
  return RECT{left, top, left + FImages->Width(), top + FImages->Height()};
}

void TsCustomComboBoxEx::DrawImage(TCanvas* canvas, const TsComboItem& item, const RECT& r, bool selected, bool face) {
  if (FImages == nullptr) return;
  int image = item.ImageIndex;
  if (!face && selected && item.SelectedImageIndex >= 0) image = item.SelectedImageIndex;
  if (image < 0 || image >= FImages->Count()) return;
  FImages->Draw(canvas, r.left, r.top, image, face ? Enabled() : true);
}

// Unskinned owner drawing of the face and the list items.
void TsCustomComboBoxEx::DrawItem(int index, RECT rect, TOwnerDrawState state) {
  if (OnDrawItem()) {
    TsCommonComboBox::DrawItem(index, rect, state);
    return;
  }
  TCanvas* canvas = Canvas();
  const bool face = (state & odComboBoxEdit) != 0;
  const bool selected = (state & odSelected) != 0;
  const TsComboItem* item = FItemsEx.Find(index);
  const std::string text = HandleAllocated() ? ComboSkin::ItemText(Handle(), index) : std::string();
  canvas->Brush()->SetStyle(TBrushStyle::Solid);
  if (face) {
    const bool focused = SkinData().FocusHot() || Focused() || (state & odFocused) != 0;
    canvas->Brush()->SetColor(focused && !DroppedDown() ? clHighlight : Color());
    canvas->Font()->SetColor(!Enabled() ? clGrayText : focused && !DroppedDown() ? clHighlightText : Font()->Color());
  } else {
    canvas->Brush()->SetColor(selected ? clHighlight : clWindow);
    canvas->Font()->SetColor(selected ? clHighlightText : clWindowText);
  }
  canvas->FillRect(rect);
  RECT image = ImageRect(item, !face);
  const int dx = face ? rect.left - 3 : rect.left;
  image = RECT{image.left + dx, rect.top + (rect.bottom - rect.top - (image.bottom - image.top)) / 2,
               image.right + dx, 0};
  image.bottom = image.top + (item && FImages ? FImages->Height() : 0);
  if (item != nullptr && image.right > image.left) DrawImage(canvas, *item, image, selected, face);
  const int textLeft = image.right > image.left ? image.right + CaptionGap : rect.left + 2;
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  WriteCentred(canvas, RECT{textLeft, rect.top, rect.right, rect.bottom}, text);
}

int TsCustomComboBoxEx::PaintFaceImage(TCanvas* canvas, int index) {
  const TsComboItem* item = FItemsEx.Find(index);
  if (item == nullptr) return -1;
  const RECT image = ImageRect(item, false);
  if (image.right <= image.left) return -1;
  DrawImage(canvas, *item, image, false, true);
  return image.right + CaptionGap;
}

// A skinned list item: highlight colours when selected, the image with its indentation, the text.
void TsCustomComboBoxEx::DrawSkinnedItem(TMessage& message) {
  const auto& dis = *reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
  const int index = int(dis.itemID);
  const bool selected = (dis.itemState & ODS_SELECTED) != 0;
  TCanvasDC bound(static_cast<TControlCanvas&>(*Canvas()), dis.hDC);
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(TBrushStyle::Solid);
  canvas->Brush()->SetColor(selected ? clHighlight : clWindow);
  canvas->Font()->SetColor(selected ? clHighlightText : clWindowText);
  const RECT& rect = dis.rcItem;
  canvas->FillRect(rect);
  if (selected) DrawFocusRect(dis.hDC, &rect);
  int textLeft = rect.left + 2;
  if (const TsComboItem* item = FItemsEx.Find(index)) {
    RECT image = ImageRect(item, true);
    if (image.right > image.left) {
      const int h = image.bottom - image.top;
      image = RECT{rect.left + image.left, rect.top + (rect.bottom - rect.top - h) / 2, rect.left + image.right, 0};
      image.bottom = image.top + h;
      DrawImage(canvas, *item, image, selected, false);
      textLeft = image.right + CaptionGap;
    }
  }
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  WriteCentred(canvas, RECT{textLeft, rect.top, rect.right, rect.bottom}, ComboSkin::ItemText(Handle(), index));
}
