#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Opens a file, program or address through the shell: verb "open", a normal window. The result is
// the shell's: above 32 on success, else the reason.
std::intptr_t ShellOpen(const std::string& file, const std::string& parameters);

// Tests put a recorder in place of the shell; an empty function puts the shell back.
using TShellOpenFunc = std::function<std::intptr_t(const std::string& file, const std::string& parameters)>;
void SetShellOpen(TShellOpenFunc open);
