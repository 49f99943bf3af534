#include "skin/engine/core/SkinKinds.h"

#include <iterator>

namespace {

using K = TsControlKind;
constexpr bool NoHot = true;

constexpr TsKindTraits KindTable[] = {
    {K::MaskEdit, "", false},
    {K::ListControl, "", false},
    {K::ListBox, "EDIT", false},
    {K::Edit, "EDIT", false},
    {K::CheckListBox, "EDIT", false},
    {K::TreeView, "EDIT", false},
    {K::HotKey, "EDIT", false},
    {K::Memo, "EDIT", false},
    {K::Calendar, "EDIT", false},
    {K::ListView, "EDIT", false},
    {K::DriveComboBox, "COMBOBOX", false},
    {K::ColorComboBox, "COMBOBOX", false},
    {K::FontComboBox, "COMBOBOX", false},
    {K::ImageComboBox, "COMBOBOX", false},
    {K::DBComboBox, "COMBOBOX", false},
    {K::DBLookupComboBox, "COMBOBOX", false},
    {K::CheckComboBox, "COMBOBOX", false},
    {K::TreeComboBox, "COMBOBOX", false},
    {K::Bar, "BAR", false},
    {K::BarTitle, "BARTITLE", false},
    {K::CheckBox, "CHECKBOX", false},
    {K::RadioButton, "RADIOBUTTON", false},
    {K::CurrencyEdit, "EDIT", false},
    {K::Panel, "PANEL", NoHot},
    {K::PanelLow, "PANEL_LOW", NoHot},
    {K::ToolBar, "TOOLBAR", NoHot},
    {K::DragBar, "DRAGBAR", NoHot},
    {K::TabSheet, "TABSHEET", NoHot},
    {K::ScrollBox, "PANEL_LOW", NoHot},
    {K::Frame, "PANEL", NoHot},
    {K::ControlBar, "TOOLBAR", NoHot},
    {K::FlowPanel, "PANEL", NoHot},
    {K::GridPanel, "PANEL", NoHot},
    {K::GroupBox, "GROUPBOX", NoHot},
    {K::Splitter, "SPLITTER", false},
    {K::MonthCalendar, "EDIT", false},
    {K::IPAddressEdit, "EDIT", false},
    {K::ColorBox, "COMBOBOX", false},
    {K::HistoryComboBox, "COMBOBOX", false},
    {K::DateEdit, "EDIT", false},
    {K::TimeEdit, "EDIT", false},
    {K::SpeedButton, "SPEEDBUTTON", false},
    {K::Button, "BUTTON", false},
    {K::BitBtn, "BUTTON", false},
    {K::ArrowButton, "SPEEDBUTTON", false},
    {K::DBEdit, "EDIT", false},
    {K::DBMemo, "EDIT", false},
    {K::ToolButton, "TOOLBUTTON", false},
    {K::PaintBox, "", NoHot},
    {K::DirectoryEdit, "EDIT", false},
    {K::FileDirEdit, "", false},
    {K::FilenameEdit, "", false},
    {K::ComboEdit, "", false},
    {K::DateTimePicker, "EDIT", false},
    {K::PageControl, "PAGECONTROL", NoHot},
    {K::ScrollBar, "", false},
    {K::TabControl, "TABCONTROL", NoHot},
    {K::StatusBar, "STATUSBAR", NoHot},
    {K::Gauge, "GAUGE", NoHot},
    {K::TrackBar, "TRACKBAR", false},
    {K::SkinProvider, "", false},
    {K::RadioGroup, "GROUPBOX", NoHot},
    {K::GridItem, "EDIT", false},
};

// The no-hover kinds by number, first to last, numbers without a name included.
constexpr struct {
  TsControlKind First, Last;
} NoHoverRanges[] = {{K::Panel, K::GroupBox}, {K::PaintBox, K::PaintBox}, {K::PageControl, K::Gauge}};

constexpr bool Ascending() {
  for (std::size_t i = 1; i < std::size(KindTable); ++i)
    if (KindTable[i - 1].Kind >= KindTable[i].Kind) return false;
  return true;
}
static_assert(Ascending(), "the kind table lists each kind once, by number");

const TsKindTraits* RowOf(TsControlKind kind) {
  for (const TsKindTraits& row : KindTable)
    if (row.Kind == kind) return &row;
  return nullptr;
}

}  // namespace

std::span<const TsKindTraits> ControlKindTable() {
  return KindTable;
}

bool IsNoHoverKind(TsControlKind kind) {
  for (const auto& range : NoHoverRanges)
    if (kind >= range.First && kind <= range.Last) return true;
  return false;
}

bool IsNoHotTransparencyKind(TsControlKind kind) {
  const TsKindTraits* row = RowOf(kind);
  return row && row->NoHotTransparency;
}

std::string DefaultSectionOfKind(TsControlKind kind) {
  const TsKindTraits* row = RowOf(kind);
  return row ? row->Section : "";
}
