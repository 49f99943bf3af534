#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/base/DataSetTypes.h"
#include "framework/base/TLoadBudget.h"
#include "framework/base/TVariant.h"

// The neutral form of a whole table between the table and its saved forms.

struct TTableFieldDesc {
  std::string Name;
  TFieldType Type = TFieldType::ftInteger;
  int Size = 0;
  TFieldKind Kind = TFieldKind::fkData;
};

// One stored row: the values of the data fields in definition order.
struct TTableRow {
  std::uint64_t Id = 0;
  std::vector<TVariant> Values;
};

struct TTablePacket {
  std::vector<TTableFieldDesc> Fields;
  std::vector<std::unique_ptr<TTableRow>> Rows;  // ids strictly ascending
};

// Limits a saved table must keep; a file beyond them is refused as corrupt.
constexpr std::size_t kMaxTableFields = 1024;
constexpr std::size_t kMaxFieldNameLength = 255;
constexpr int kMaxStringFieldSize = 1 << 20;
constexpr std::uint16_t kTableFormatVersion = 1;

// The rows of a table load, charged to its budget before they are built: each row's pointer, its
// block and its values' block. Raises EDatabaseError when they do not fit.
void ChargeTableRows(TLoadBudget& budget, std::size_t rows, std::size_t dataFields);
// A text value of a loaded row; raises EDatabaseError when it does not fit.
void ChargeTableText(TLoadBudget& budget, std::size_t length, std::size_t unitSize);

std::uint32_t TableCrc32(const void* data, std::size_t size, std::uint32_t crc = 0);
// Checks what both loaders need of a packet (field names, types, sizes, row values and ids);
// raises EDatabaseError with the reason.
void ValidateTablePacket(const TTablePacket& packet);
