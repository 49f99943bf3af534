#pragma once

#include <string>

// Paths the system hands out through a caller's buffer, in the ANSI code page. The buffer grows
// until the whole path fits, so a program installed or started in a folder longer than MAX_PATH
// gets its real path, never a cut one. A path the system cannot give raises EInOutError with the
// system's reason.

// The full name of the running program's executable.
std::string ModuleFileName();
// The process's current folder.
std::string CurrentDirectory();
