#include "skin/engine/core/SkinKinds.h"

#include <initializer_list>

namespace {

// The sets and the section table hold unnamed kinds too, so they compare numbers.
bool In(std::int32_t kind, std::initializer_list<std::int32_t> kinds) {
  for (std::int32_t k : kinds)
    if (k == kind) return true;
  return false;
}

}  // namespace

bool IsNoHoverKind(TsControlKind kind) {
  const auto k = static_cast<std::int32_t>(kind);
  return (k >= 51 && k <= 74) || k == 110 || (k >= 141 && k <= 161);
}

bool IsNoHotTransparencyKind(TsControlKind kind) {
  return In(static_cast<std::int32_t>(kind),
            {51, 52, 54, 56, 57, 58, 59, 60, 68, 73, 74, 110, 141, 143, 151, 161, 226});
}

std::string DefaultSectionOfKind(TsControlKind kind) {
  const auto k = static_cast<std::int32_t>(kind);
  if ((k >= 2 && k <= 8) || In(k, {10, 41, 76, 78, 83, 84, 96, 97, 131, 140, 227})) return "EDIT";
  if ((k >= 11 && k <= 18) || k == 81 || k == 82) return "COMBOBOX";
  struct TEntry {
    std::initializer_list<std::int32_t> Kinds;
    const char* Section;
  };
  static const TEntry table[] = {
      {{19}, "BAR"},           {{20}, "BARTITLE"},          {{32}, "CHECKBOX"},
      {{33}, "RADIOBUTTON"},   {{51, 59, 68, 73}, "PANEL"}, {{52, 58}, "PANEL_LOW"},
      {{54, 60}, "TOOLBAR"},   {{56}, "DRAGBAR"},           {{57}, "TABSHEET"},
      {{74, 226}, "GROUPBOX"}, {{75}, "SPLITTER"},          {{92, 95}, "SPEEDBUTTON"},
      {{93, 94}, "BUTTON"},    {{98}, "TOOLBUTTON"},        {{141}, "PAGECONTROL"},
      {{143}, "TABCONTROL"},   {{151}, "STATUSBAR"},        {{161}, "GAUGE"},
      {{165}, "TRACKBAR"}};
  for (const auto& e : table)
    if (In(k, e.Kinds)) return e.Section;
  return {};
}
