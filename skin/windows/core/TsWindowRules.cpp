#include "skin/windows/core/TsWindowRules.h"

namespace {

bool Has(const TsWindowFacts& f, TsIconSet icon) { return (f.Icons & icon) != 0; }
bool SingleOrSizeable(const TsWindowFacts& f) {
  return f.Border == TsBorderKind::Single || f.Border == TsBorderKind::Sizeable;
}

}  // namespace

bool CloseVisible(const TsWindowFacts& f) { return Has(f, kIconSystemMenu); }

bool MaximizeVisible(const TsWindowFacts& f) {
  return f.Iconic || (f.Border == TsBorderKind::Sizeable && Has(f, kIconSystemMenu));
}

bool MinimizeVisible(const TsWindowFacts& f) {
  return f.Iconic || (SingleOrSizeable(f) && Has(f, kIconSystemMenu));
}

bool RestoreVisible(const TsWindowFacts& f) { return SingleOrSizeable(f) && Has(f, kIconSystemMenu); }

bool SizeVisible(const TsWindowFacts& f) {
  return f.Border != TsBorderKind::None && f.Border != TsBorderKind::Dialog && f.Border != TsBorderKind::ToolWindow;
}

bool RestoreEnabled(const TsWindowFacts& f) {
  return (Has(f, kIconMaximize) && f.State != TsShowState::Normal) || f.State == TsShowState::Minimized;
}

bool MoveEnabled(const TsWindowFacts& f) { return f.State != TsShowState::Maximized; }

bool SizeEnabled(const TsWindowFacts& f) { return f.Border != TsBorderKind::Single && !f.Iconic; }

bool MinimizeEnabled(const TsWindowFacts& f) {
  return Has(f, kIconMinimize) && f.State != TsShowState::Minimized;
}

bool MaximizeEnabled(const TsWindowFacts& f) {
  if (f.Iconic) return true;
  return Has(f, kIconMaximize) && f.State != TsShowState::Maximized &&
         (f.Border == TsBorderKind::Sizeable || f.Border == TsBorderKind::SizeToolWin);
}

int SystemButtonCount(const TsWindowFacts& f) {
  if (!Has(f, kIconSystemMenu)) return 0;
  return 1 + (MaximizeVisible(f) ? 1 : 0) + (MinimizeVisible(f) ? 1 : 0) + (Has(f, kIconHelp) ? 1 : 0);
}
