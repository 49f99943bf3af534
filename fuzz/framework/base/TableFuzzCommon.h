#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/base/DataSetTypes.h"

// Loads the bytes into a table that takes its fields from the file and into one with fields of
// its own; whatever loads must read, navigate and save back to the same rows.
void FuzzTableLoad(const std::uint8_t* data, std::size_t size, TDataPacketFormat format);
