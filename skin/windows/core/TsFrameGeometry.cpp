#include "skin/windows/core/TsFrameGeometry.h"

#include <algorithm>

namespace {

bool IsTool(const TsFrameFacts& f) {
  return f.Window.Border == TsBorderKind::ToolWindow || f.Window.Border == TsBorderKind::SizeToolWin;
}

bool FixedFrame(const TsFrameFacts& f) {
  const TsBorderKind b = f.Window.Border;
  return b == TsBorderKind::Single || b == TsBorderKind::ToolWindow || (b == TsBorderKind::Dialog && !f.MdiChild);
}

bool Inside(int v, int lo, int hi) { return v >= lo && v <= hi; }

}  // namespace

int TitleBarHeight(const TsFrameFacts& f, const TsSystemSizes& s) { return IsTool(f) ? s.SmallCaption : s.Caption; }

int FrameBorderWidth(const TsFrameFacts& f, const TsSystemSizes& s) { return FixedFrame(f) ? s.FixedFrameX : s.FrameX; }

int FrameBorderHeight(const TsFrameFacts& f, const TsSystemSizes& s) {
  return FixedFrame(f) ? s.FixedFrameY : s.FrameY;
}

int MenuLineHeight(const TsFrameFacts& f, const TsSystemSizes& s) { return f.HasMenu ? s.Menu - 1 : 0; }

bool HasMenuBand(const TsFrameFacts& f) {
  return f.HasMenu && f.MenuItemsVisible && f.Window.Border != TsBorderKind::Dialog && !f.MdiChild;
}

int TopBandHeight(const TsFrameFacts& f, const TsSystemSizes& s) {
  return f.Height - f.ClientHeight - FrameBorderHeight(f, s);
}

bool HasSkinFrame(const TsWindowFacts& w) { return w.Border != TsBorderKind::None || w.ThickFrame; }

bool BorderlessSizingFrame(const TsFrameFacts& f) {
  return f.Window.Border == TsBorderKind::None && f.Window.ThickFrame;
}

TsSize ButtonSize(const TsFrameFacts& f) {
  if (f.CloseMask.Width <= 0 || f.CloseMask.Height <= 0) return {21, 21};
  return f.CloseMask;
}

bool IconShown(const TsFrameFacts& f) {
  return (f.Window.Border == TsBorderKind::Single || f.Window.Border == TsBorderKind::Sizeable) && f.ShowAppIcon;
}

int IconSizeByCaption(int h) {
  if (h < 9) return 0;
  if (h <= 16) return 8;
  if (h <= 24) return 16;
  if (h <= 32) return 24;
  return 32;
}

TRect IconRect(const TsFrameFacts& f, const TsSystemSizes& s) {
  int w = 0, h = 0;
  if (IconShown(f)) {
    const int bySize = IconSizeByCaption(TitleBarHeight(f, s));
    w = f.TitleIcon.Width != 0 ? f.TitleIcon.Width : bySize;
    h = f.TitleIcon.Height != 0 ? f.TitleIcon.Height : bySize;
  }
  TRect r;
  r.Left = FrameBorderWidth(f, s);
  r.Right = r.Left + w;
  r.Top = (TitleBarHeight(f, s) + FrameBorderHeight(f, s) - h) / 2;
  r.Bottom = r.Top + h;
  return r;
}

int ClientOffsetX(const TsFrameFacts& f) { return (f.Width - f.ClientWidth) / 2; }

int ClientOffsetY(const TsFrameFacts& f, const TsSystemSizes& s) {
  return f.Height - f.ClientHeight - FrameBorderHeight(f, s) - f.BorderWidth;
}

int FrameTopHeight(const TsFrameFacts& f, const TsSystemSizes& s) {
  const int menu = HasMenuBand(f) ? f.MenuRows * MenuLineHeight(f, s) : 0;
  return menu + FrameBorderHeight(f, s) + TitleBarHeight(f, s) + (f.Window.Iconic ? 1 : 0);
}

std::vector<TsCaptionSlot> CaptionSlots(const TsFrameFacts& f, const TsSystemSizes& s) {
  std::vector<TsCaptionSlot> slots;
  const TsSize b = ButtonSize(f);
  const int fbw = FrameBorderWidth(f, s);
  int top = (TitleBarHeight(f, s) - b.Height + FrameBorderHeight(f, s)) / 2;
  if (b.Height < 16) top += 2;
  auto add = [&](int code, TsButtonGlyph glyph, bool enabled, bool answers) {
    TsCaptionSlot slot;
    slot.Code = code;
    slot.Slot = static_cast<int>(slots.size()) + 1;
    slot.Rect.Left = f.Width - fbw - slot.Slot * (b.Width + 1);
    slot.Rect.Right = slot.Rect.Left + b.Width;
    slot.Rect.Top = top;
    slot.Rect.Bottom = top + b.Height;
    slot.Glyph = glyph;
    slot.Enabled = enabled;
    slot.Answers = answers;
    slots.push_back(slot);
  };
  const TsWindowFacts& w = f.Window;
  if (w.Icons & kIconSystemMenu) {
    add(TsHit::Close, TsButtonGlyph::Close, true, true);
    if (MaximizeVisible(w)) {
      const bool anyEnabled = MaximizeEnabled(w) || RestoreEnabled(w);
      if (w.State == TsShowState::Maximized)
        add(TsHit::MaxButton, TsButtonGlyph::Restore, RestoreEnabled(w), anyEnabled);
      else
        add(TsHit::MaxButton, TsButtonGlyph::Maximize, MaximizeEnabled(w), anyEnabled);
    }
    if (MinimizeVisible(w)) {
      if (w.Iconic)
        add(TsHit::MinButton, TsButtonGlyph::Restore, RestoreEnabled(w), true);
      else
        add(TsHit::MinButton, TsButtonGlyph::Minimize, MinimizeEnabled(w), MinimizeEnabled(w));
    }
    if (w.Icons & kIconHelp) add(TsHit::Help, TsButtonGlyph::Help, true, true);
  }
  for (std::size_t i = 0; i < f.UserButtonsEnabled.size(); ++i) {
    const bool enabled = f.UserButtonsEnabled[i];
    add(TsHit::FirstUser + static_cast<int>(i), TsButtonGlyph::User, enabled, enabled);
  }
  return slots;
}

std::vector<TsCaptionSlot> ChildButtonSlots(const TsFrameFacts& f, const TsSystemSizes& s) {
  std::vector<TsCaptionSlot> slots;
  if (!f.ChildButtonsShown) return slots;
  const TsSize b = f.CloseMask.Width > 0 && f.CloseMask.Height > 0 ? f.CloseMask : TsSize{16, 16};
  const int top = TitleBarHeight(f, s) + FrameBorderHeight(f, s) + (MenuLineHeight(f, s) - b.Height) / 2;
  const int right = f.Width - FrameBorderWidth(f, s) - 1;
  const struct {
    int Code;
    TsButtonGlyph Glyph;
  } buttons[] = {{TsHit::ChildClose, TsButtonGlyph::Close},
                 {TsHit::ChildRestore, TsButtonGlyph::Restore},
                 {TsHit::ChildMinimize, TsButtonGlyph::Minimize}};
  for (const auto& button : buttons) {
    TsCaptionSlot slot;
    slot.Code = button.Code;
    slot.Slot = static_cast<int>(slots.size()) + 1;
    slot.Rect.Right = right - (slot.Slot - 1) * (b.Width + 1);
    slot.Rect.Left = slot.Rect.Right - b.Width;
    slot.Rect.Top = top;
    slot.Rect.Bottom = top + b.Height;
    slot.Glyph = button.Glyph;
    slots.push_back(slot);
  }
  return slots;
}

TRect CaptionTextRect(const TsFrameFacts& f, const TsSystemSizes& s, int slotCount) {
  const TRect icon = IconRect(f, s);
  const TsSize b = ButtonSize(f);
  TRect r;
  r.Left = icon.Width() + FrameBorderWidth(f, s) + 4;
  r.Right = f.Width - slotCount * (b.Width + 1) - 6;
  r.Top = FrameBorderHeight(f, s);
  r.Bottom = TitleBarHeight(f, s);
  if (r.Right < r.Left) r.Right = r.Left;
  return r;
}

TRect GripRect(const TsFrameFacts& f, const TsSystemSizes& s) {
  TRect r;
  r.Left = f.Width - f.Grip.Width - FrameBorderWidth(f, s);
  r.Top = f.Height - f.Grip.Height - FrameBorderHeight(f, s);
  r.Right = r.Left + f.Grip.Width;
  r.Bottom = r.Top + f.Grip.Height;
  return r;
}

TsHitResult FrameHitTest(const TsFrameFacts& f, const TsSystemSizes& s, const std::vector<TsCaptionSlot>& slots, int x,
                         int y) {
  const TsSize b = ButtonSize(f);
  int top = (TitleBarHeight(f, s) - b.Height + FrameBorderHeight(f, s)) / 2;
  if (b.Height < 16) top += 2;
  const int fbw = FrameBorderWidth(f, s);
  if (Inside(y, top, top + b.Height) && Inside(x, fbw, f.Width - fbw - 1)) {
    const TRect icon = IconRect(f, s);
    if (Inside(x, fbw, fbw + icon.Width())) return {TsHit::SysMenu, true};
    // Slots share no pixel: the one past a slot's right edge belongs to it, the rightmost first.
    for (const TsCaptionSlot& slot : slots)
      if (Inside(x, slot.Rect.Left, slot.Rect.Right)) {
        if (!slot.Answers) return {TsHit::Caption, false};
        return {slot.Code, true};
      }
    return {TsHit::Caption, false};
  }
  if (f.GripShown) {
    const TRect g = GripRect(f, s);
    if (x >= g.Left && y >= g.Top) return {TsHit::BottomRight, false};
  }
  for (const TsCaptionSlot& slot : ChildButtonSlots(f, s))
    if (Inside(x, slot.Rect.Left, slot.Rect.Right) && Inside(y, slot.Rect.Top, slot.Rect.Bottom))
      return {slot.Code, true};
  if (f.Window.State == TsShowState::Maximized && (x < 2 || y < 2 || x >= f.Width - 2 || y >= f.Height - 2))
    return {TsHit::Transparent, false};
  return {TsHit::Nowhere, false};
}

std::vector<TsMenuSource> MergeMenuBar(const std::vector<TsMenuEntry>& form, const std::vector<TsMenuEntry>& child) {
  std::vector<TsMenuSource> out;
  std::size_t nextChild = 0;
  auto childHasGroup = [&](int g) {
    return std::any_of(child.begin(), child.end(), [g](const TsMenuEntry& e) { return e.Group == g; });
  };
  auto placeChildUpTo = [&](int g) {
    while (nextChild < child.size() && child[nextChild].Group <= g) {
      if (child[nextChild].Counted) out.push_back({true, static_cast<int>(nextChild)});
      ++nextChild;
    }
  };
  for (std::size_t i = 0; i < form.size(); ++i) {
    placeChildUpTo(form[i].Group);
    if (childHasGroup(form[i].Group) || !form[i].Counted) continue;
    out.push_back({false, static_cast<int>(i)});
  }
  placeChildUpTo(0x7FFFFFFF);
  return out;
}

std::vector<TsMenuPlace> PlaceMenuBar(const std::vector<int>& widths, int x0, int limit) {
  std::vector<TsMenuPlace> places;
  int x = x0, row = 0;
  for (int w : widths) {
    if (x > x0 && limit < x + w) {
      ++row;
      x = x0;
    }
    places.push_back({x, row, w});
    x += w;
  }
  return places;
}

int MenuBarRows(const std::vector<TsMenuPlace>& places) { return places.empty() ? 1 : places.back().Row + 1; }

int MenuBarLimit(const TsFrameFacts& f, const TsSystemSizes& s) {
  return f.Width - 2 * FrameBorderWidth(f, s) - 6 - 2 * f.BorderWidth;
}

int* TsCaptionButtonStates::Slot(int code) {
  switch (code) {
    case TsHit::MinButton: return &FSystem[0];
    case TsHit::MaxButton: return &FSystem[1];
    case TsHit::Close: return &FSystem[2];
    case TsHit::Help: return &FSystem[3];
    case TsHit::ChildClose: return &FSystem[4];
    case TsHit::ChildRestore: return &FSystem[5];
    case TsHit::ChildMinimize: return &FSystem[6];
    default: break;
  }
  const int i = code - TsHit::FirstUser;
  if (i >= 0 && i < static_cast<int>(FUser.size())) return &FUser[static_cast<std::size_t>(i)];
  return nullptr;
}

void TsCaptionButtonStates::SetUserCount(int count) {
  FUser.resize(static_cast<std::size_t>(std::max(count, 0)), 0);
  // A hot user button that no longer exists is forgotten.
  if (FHot >= TsHit::FirstUser && !HasButton(FHot)) FHot = 0;
}

bool TsCaptionButtonStates::HasButton(int code) const {
  return const_cast<TsCaptionButtonStates*>(this)->Slot(code) != nullptr;
}

int TsCaptionButtonStates::State(int code) const {
  const int* p = const_cast<TsCaptionButtonStates*>(this)->Slot(code);
  return p ? *p : 0;
}

void TsCaptionButtonStates::Put(int code, int state, std::vector<int>& changed) {
  int* p = Slot(code);
  if (!p) return;
  *p = state;
  changed.push_back(code);
}

std::vector<int> TsCaptionButtonStates::SetHot(int code) {
  std::vector<int> changed;
  if (code == FHot) return changed;
  Put(FHot, 0, changed);
  FHot = code;
  Put(code, 1, changed);
  return changed;
}

std::vector<int> TsCaptionButtonStates::Press(int code) {
  std::vector<int> changed;
  if (code != FHot) Put(FHot, 0, changed);
  FHot = code;
  Put(code, 2, changed);
  return changed;
}

bool TsCaptionButtonStates::Release(int code, std::vector<int>& changed) {
  int pressed = 0;
  for (int c : {TsHit::MinButton, TsHit::MaxButton, TsHit::Close, TsHit::Help, TsHit::ChildClose, TsHit::ChildRestore,
                TsHit::ChildMinimize})
    if (State(c) == 2) pressed = c;
  for (int i = 0; i < UserCount(); ++i)
    if (FUser[static_cast<std::size_t>(i)] == 2) pressed = TsHit::FirstUser + i;
  if (pressed == 0) return false;
  const bool acts = pressed == code;
  Put(pressed, acts ? 1 : 0, changed);
  return acts;
}
