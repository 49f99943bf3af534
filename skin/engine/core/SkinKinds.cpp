#include "skin/engine/core/SkinKinds.h"

#include <initializer_list>

namespace {

using K = TsControlKind;

bool In(TsControlKind kind, std::initializer_list<TsControlKind> kinds) {
  for (TsControlKind k : kinds)
    if (k == kind) return true;
  return false;
}

// first..last by number, kinds without a name included.
bool InRange(TsControlKind kind, TsControlKind first, TsControlKind last) {
  return kind >= first && kind <= last;
}

}  // namespace

bool IsNoHoverKind(TsControlKind kind) {
  return InRange(kind, K::Panel, K::GroupBox) || kind == K::NoHover110 || InRange(kind, K::PageControl, K::Gauge);
}

bool IsNoHotTransparencyKind(TsControlKind kind) {
  return In(kind, {K::Panel, K::PanelLow, K::ToolBar, K::DragBar, K::TabSheet, K::PanelLow58, K::Panel59,
                   K::ToolBar60, K::Panel68, K::Panel73, K::GroupBox, K::NoHover110, K::PageControl,
                   K::TabControl, K::StatusBar, K::Gauge, K::GroupBox226});
}

std::string DefaultSectionOfKind(TsControlKind kind) {
  struct TEntry {
    std::initializer_list<TsControlKind> Kinds;
    const char* Section;
  };
  static const TEntry table[] = {
      {{K::Edit2, K::Edit, K::Edit4, K::Edit5, K::Edit6, K::Memo, K::Edit8, K::ListView, K::CurrencyEdit,
        K::Edit76, K::Edit78, K::Edit83, K::Edit84, K::Edit96, K::Edit97, K::Edit131, K::Edit140, K::GridItem},
       "EDIT"},
      {{K::ComboBox11, K::ComboBox12, K::ComboBox13, K::ComboBox14, K::ComboBox15, K::ComboBox16, K::ComboBox17,
        K::ComboBox18, K::ComboBox81, K::ComboBox82},
       "COMBOBOX"},
      {{K::Bar}, "BAR"},
      {{K::BarTitle}, "BARTITLE"},
      {{K::CheckBox}, "CHECKBOX"},
      {{K::RadioButton}, "RADIOBUTTON"},
      {{K::Panel, K::Panel59, K::Panel68, K::Panel73}, "PANEL"},
      {{K::PanelLow, K::PanelLow58}, "PANEL_LOW"},
      {{K::ToolBar, K::ToolBar60}, "TOOLBAR"},
      {{K::DragBar}, "DRAGBAR"},
      {{K::TabSheet}, "TABSHEET"},
      {{K::GroupBox, K::GroupBox226}, "GROUPBOX"},
      {{K::Splitter}, "SPLITTER"},
      {{K::SpeedButton, K::SpeedButton95}, "SPEEDBUTTON"},
      {{K::Button, K::BitBtn}, "BUTTON"},
      {{K::ToolButton}, "TOOLBUTTON"},
      {{K::PageControl}, "PAGECONTROL"},
      {{K::TabControl}, "TABCONTROL"},
      {{K::StatusBar}, "STATUSBAR"},
      {{K::Gauge}, "GAUGE"},
      {{K::TrackBar}, "TRACKBAR"}};
  for (const auto& e : table)
    if (In(kind, e.Kinds)) return e.Section;
  return {};
}
