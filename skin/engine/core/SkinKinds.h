#pragma once

#include <cstdint>
#include <string>

// The kind a skinned control states in its constructor: it selects the default skin section and
// whether hovering and hot transparency apply. The numbers are part of the skin protocol; kinds
// without a name here are numbers only a default section or a kind set gives a meaning to.
enum class TsControlKind : std::int32_t {
  MaskEdit = 0,  // named by its class, as every kind without a default section
  ListControl = 1,
  Edit = 3,  // also the custom combo box
  Memo = 7,  // also the rich edit
  ListView = 10,
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
  GroupBox = 74,
  Splitter = 75,
  SpeedButton = 92,
  Button = 93,
  BitBtn = 94,
  ToolButton = 98,
  FileDirEdit = 132,
  FilenameEdit = 133,
  ComboEdit = 138,
  PageControl = 141,
  ScrollBar = 142,
  TabControl = 143,
  StatusBar = 151,
  Gauge = 161,
  TrackBar = 165,
  SkinProvider = 224,
  GridItem = 227,
};

// Mouse enter and leave do not make these kinds hot.
bool IsNoHoverKind(TsControlKind kind);
// These kinds use their section's TRANSPARENCY in every state (others HOTTRANSPARENCY when hot).
bool IsNoHotTransparencyKind(TsControlKind kind);
// The section a kind looks up when its SkinSection is empty; empty for kinds named by their class.
std::string DefaultSectionOfKind(TsControlKind kind);
