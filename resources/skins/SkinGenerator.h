#pragma once

#include <string>

namespace skingen {

// Draws every bundled skin into one folder per skin under skinsDir (which must exist).
// Returns false when a file cannot be written.
bool GenerateSkins(const std::string& skinsDir);

}  // namespace skingen
