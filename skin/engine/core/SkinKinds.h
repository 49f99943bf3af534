#pragma once

#include <cstdint>
#include <span>
#include <string>

// The kind a skinned control states in its constructor: it selects the default skin section and
// whether hovering and hot transparency apply. The numbers are part of the skin protocol. Kinds no
// control of ours takes are named after the control they stand for in other skinned windows; here
// only their section and sets mean anything.
enum class TsControlKind : std::int32_t {
  MaskEdit = 0,  // named by its class, as every kind without a default section
  ListControl = 1,
  ListBox = 2,
  Edit = 3,  // also the custom combo box
  CheckListBox = 4,
  TreeView = 5,
  HotKey = 6,
  Memo = 7,  // also the rich edit
  Calendar = 8,
  ListView = 10,
  DriveComboBox = 11,
  ColorComboBox = 12,
  FontComboBox = 13,
  ImageComboBox = 14,
  DBComboBox = 15,
  DBLookupComboBox = 16,
  CheckComboBox = 17,
  TreeComboBox = 18,
  Bar = 19,
  BarTitle = 20,
  CheckBox = 32,
  RadioButton = 33,
  CurrencyEdit = 41,
  Panel = 51,
  PanelLow = 52,
  ToolBar = 54,
  DragBar = 56,
  TabSheet = 57,
  ScrollBox = 58,
  Frame = 59,
  ControlBar = 60,
  FlowPanel = 68,
  GridPanel = 73,
  GroupBox = 74,
  Splitter = 75,
  MonthCalendar = 76,
  IPAddressEdit = 78,
  ColorBox = 81,
  HistoryComboBox = 82,
  DateEdit = 83,
  TimeEdit = 84,
  SpeedButton = 92,
  Button = 93,
  BitBtn = 94,
  ArrowButton = 95,
  DBEdit = 96,
  DBMemo = 97,
  ToolButton = 98,
  PaintBox = 110,  // no default section; neither hovers nor turns hot-transparent
  DirectoryEdit = 131,
  FileDirEdit = 132,
  FilenameEdit = 133,
  ComboEdit = 138,
  DateTimePicker = 140,
  PageControl = 141,
  ScrollBar = 142,
  TabControl = 143,
  StatusBar = 151,
  Gauge = 161,
  TrackBar = 165,
  SkinProvider = 224,
  RadioGroup = 226,
  GridItem = 227,
};

// A kind's row of the kind table. Hovering is by number range (IsNoHoverKind), so that numbers
// without a name between two named ones keep their place.
struct TsKindTraits {
  TsControlKind Kind;
  const char* Section;     // the default section; "" for a kind named by its owner's class
  bool NoHotTransparency;  // TRANSPARENCY in every state, never HOTTRANSPARENCY
};

// Every named kind once, by ascending number.
std::span<const TsKindTraits> ControlKindTable();

// Mouse enter and leave do not make these kinds hot.
bool IsNoHoverKind(TsControlKind kind);
// These kinds use their section's TRANSPARENCY in every state (others HOTTRANSPARENCY when hot).
bool IsNoHotTransparencyKind(TsControlKind kind);
// The section a kind looks up when its SkinSection is empty; empty for kinds named by their class.
std::string DefaultSectionOfKind(TsControlKind kind);
