#pragma once

#include <cstdint>
#include <string>

// The kind a skinned control states in its constructor: it selects the default skin section and
// whether hovering and hot transparency apply. The numbers are part of the skin protocol. Kinds no
// control of ours takes are named after their default section and their number.
enum class TsControlKind : std::int32_t {
  MaskEdit = 0,  // named by its class, as every kind without a default section
  ListControl = 1,
  Edit2 = 2,
  Edit = 3,  // also the custom combo box
  Edit4 = 4,
  Edit5 = 5,
  Edit6 = 6,
  Memo = 7,  // also the rich edit
  Edit8 = 8,
  ListView = 10,
  ComboBox11 = 11,
  ComboBox12 = 12,
  ComboBox13 = 13,
  ComboBox14 = 14,
  ComboBox15 = 15,
  ComboBox16 = 16,
  ComboBox17 = 17,
  ComboBox18 = 18,
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
  PanelLow58 = 58,
  Panel59 = 59,
  ToolBar60 = 60,
  Panel68 = 68,
  Panel73 = 73,
  GroupBox = 74,
  Splitter = 75,
  Edit76 = 76,
  Edit78 = 78,
  ComboBox81 = 81,
  ComboBox82 = 82,
  Edit83 = 83,
  Edit84 = 84,
  SpeedButton = 92,
  Button = 93,
  BitBtn = 94,
  SpeedButton95 = 95,
  Edit96 = 96,
  Edit97 = 97,
  ToolButton = 98,
  NoHover110 = 110,  // no default section; neither hovers nor turns hot-transparent
  Edit131 = 131,
  FileDirEdit = 132,
  FilenameEdit = 133,
  ComboEdit = 138,
  Edit140 = 140,
  PageControl = 141,
  ScrollBar = 142,
  TabControl = 143,
  StatusBar = 151,
  Gauge = 161,
  TrackBar = 165,
  SkinProvider = 224,
  GroupBox226 = 226,
  GridItem = 227,
};

// Mouse enter and leave do not make these kinds hot.
bool IsNoHoverKind(TsControlKind kind);
// These kinds use their section's TRANSPARENCY in every state (others HOTTRANSPARENCY when hot).
bool IsNoHotTransparencyKind(TsControlKind kind);
// The section a kind looks up when its SkinSection is empty; empty for kinds named by their class.
std::string DefaultSectionOfKind(TsControlKind kind);
