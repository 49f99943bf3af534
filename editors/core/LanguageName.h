#pragma once

#include <cstdint>
#include <string>

// The display name of a language-pack language ID; "Unknown" for IDs the table does not hold.
std::string LanguageName(uint32_t id);
