#pragma once

#include <string>

// The accelerator of a caption: the character after a single '&' ("&&" is a literal '&'), 0 when none.
char AcceleratorChar(const std::string& caption);
// True when key (any case) is the accelerator of caption.
bool IsAccel(char key, const std::string& caption);
