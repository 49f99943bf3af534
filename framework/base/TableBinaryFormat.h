#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/base/TablePacket.h"

// The binary saved form, little-endian:
//   "TVXTABLE"  u16 version  u16 flags (0)
//   u32 field count, per field: u8 type (0 integer, 1 string, 2 wide string), u8 kind (0 data,
//       1 calculated), u32 size, u16 name length, name bytes
//   u32 row count, per row: u64 id, per data field: u8 0 (empty) or 1 then the value:
//       i32 | u32 length + ANSI bytes | u32 length + UTF-16LE code units
//   u32 CRC-32 of every byte before it
std::string WriteBinaryTable(const std::vector<TTableFieldDesc>& fields,
                             const std::vector<std::unique_ptr<TTableRow>>& rows);
bool LooksLikeBinaryTable(const std::uint8_t* data, std::size_t size);
// Raises EDatabaseError naming what is wrong, or when the rows exceed the budget (by default,
// the one of a table without indexes).
TTablePacket ReadBinaryTable(const std::uint8_t* data, std::size_t size, TLoadBudget& budget);
TTablePacket ReadBinaryTable(const std::uint8_t* data, std::size_t size);
