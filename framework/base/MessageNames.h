#pragma once

#include <cstdint>

// The name of a window message by its number: the platform's window messages and those of its
// standard controls, the framework's control messages (CM_*, from $B000) and the notifications it
// reflects to controls (CN_*, $BC00 plus the window message). nullptr for a number without a name.
const char* MessageNameOf(std::uint32_t msg);
