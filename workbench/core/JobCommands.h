#pragma once

#include <vector>

// The main window's commands: its buttons, edits and menu items.
enum class TWorkbenchCommand {
  OpenProject,
  SaveProject,
  Add,
  Delete,
  OpenBy,
  Edit,
  Replace,
  Flash,
  ClearAll,
  Combine,
  Split,
  SuperfileName,
  BufferSize,
  SeparateMemoryMap,
  ShowOrderedBy,
  OpenAndSplitMenu,
  FlasherMenu,
  LangpackEditorMenu,
  DRMEditorMenu,
  FlexEditorMenu,
  EnvironmentMenu,
  ExitMenu,
  HelpMenu,
  AboutMenu,
};

// The commands a running split or combine disables; they are enabled again at its end.
const std::vector<TWorkbenchCommand>& CommandsOffDuringJob();
bool IsOffDuringJob(TWorkbenchCommand command);
