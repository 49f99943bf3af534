#pragma once

#include <cstdint>
#include <string>

// Code-group number from the digits before the last dot of the name and, for code groups whose
// images carry it, the start address from the contents. False when the name carries no number.
bool DetectSMG(const std::string& fileName, int& cg, int32_t& addr, int64_t& size);
