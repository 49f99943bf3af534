#include "workbench/core/JobCommands.h"

#include <gtest/gtest.h>

#include <set>

// What a running split or combine leaves the user: nothing that changes the grid, the split's
// settings or starts another window's work; only leaving, help and about.
TEST(JobCommands, ARunningJobDisablesEveryCommandButExitHelpAndAbout) {
  using C = TWorkbenchCommand;
  for (C command : {C::OpenProject, C::SaveProject, C::Add, C::Delete, C::OpenBy, C::Edit, C::Replace, C::Flash,
                    C::ClearAll, C::Combine, C::Split, C::SuperfileName, C::BufferSize, C::SeparateMemoryMap,
                    C::ShowOrderedBy, C::OpenAndSplitMenu, C::FlasherMenu, C::LangpackEditorMenu, C::DRMEditorMenu,
                    C::FlexEditorMenu, C::EnvironmentMenu})
    EXPECT_TRUE(IsOffDuringJob(command)) << static_cast<int>(command);
  for (C command : {C::ExitMenu, C::HelpMenu, C::AboutMenu})
    EXPECT_FALSE(IsOffDuringJob(command)) << static_cast<int>(command);
  const auto& list = CommandsOffDuringJob();
  EXPECT_EQ(std::set<C>(list.begin(), list.end()).size(), list.size()) << "a command listed twice";
}
