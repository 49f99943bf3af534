#include "workbench/core/JobCommands.h"

#include <algorithm>

const std::vector<TWorkbenchCommand>& CommandsOffDuringJob() {
  using C = TWorkbenchCommand;
  // Exit, Help and About stay on: a close asked for during a job happens at its end.
  static const std::vector<TWorkbenchCommand> commands = {
      C::OpenProject,      C::SaveProject,       C::Add,           C::Delete,
      C::OpenBy,           C::Edit,              C::Replace,       C::Flash,
      C::ClearAll,         C::Combine,           C::Split,         C::SuperfileName,
      C::BufferSize,       C::SeparateMemoryMap, C::ShowOrderedBy, C::OpenAndSplitMenu,
      C::FlasherMenu,      C::LangpackEditorMenu, C::DRMEditorMenu, C::FlexEditorMenu,
      C::EnvironmentMenu,
  };
  return commands;
}

bool IsOffDuringJob(TWorkbenchCommand command) {
  const auto& commands = CommandsOffDuringJob();
  return std::find(commands.begin(), commands.end(), command) != commands.end();
}
