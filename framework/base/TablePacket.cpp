#include "framework/base/TablePacket.h"

#include <array>

#include "framework/base/AnsiStrings.h"
#include "framework/base/Exception.h"

namespace {

std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}

}  // namespace

void ChargeTableRows(TLoadBudget& budget, std::size_t rows, std::size_t dataFields) {
  const std::size_t each = sizeof(void*) + TLoadBudget::BlockSize(sizeof(TTableRow)) +
                           TLoadBudget::BlockSize(dataFields * sizeof(TVariant));
  if (!budget.ChargeEach(rows, each)) throw EDatabaseError(budget.RefusalText());
}

void ChargeTableText(TLoadBudget& budget, std::size_t length, std::size_t unitSize) {
  if (!budget.ChargeText(length, unitSize)) throw EDatabaseError(budget.RefusalText());
}

std::uint32_t TableCrc32(const void* data, std::size_t size, std::uint32_t crc) {
  static const std::array<std::uint32_t, 256> table = MakeCrcTable();
  const auto* p = static_cast<const std::uint8_t*>(data);
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void ValidateTablePacket(const TTablePacket& packet) {
  if (packet.Fields.empty() || packet.Fields.size() > kMaxTableFields)
    throw EDatabaseError("the table has no fields or too many");
  std::vector<TFieldType> dataTypes;
  std::vector<int> dataSizes;
  for (std::size_t i = 0; i < packet.Fields.size(); ++i) {
    const TTableFieldDesc& f = packet.Fields[i];
    if (f.Name.empty() || f.Name.size() > kMaxFieldNameLength)
      throw EDatabaseError("a field name is empty or too long");
    for (std::size_t k = 0; k < i; ++k)
      if (SameText(packet.Fields[k].Name, f.Name)) throw EDatabaseError("duplicate field name '" + f.Name + "'");
    if (f.Type == TFieldType::ftInteger ? f.Size != 0 : (f.Size < 1 || f.Size > kMaxStringFieldSize))
      throw EDatabaseError("field '" + f.Name + "' has an invalid size");
    if (f.Kind == TFieldKind::fkData) {
      dataTypes.push_back(f.Type);
      dataSizes.push_back(f.Size);
    }
  }
  if (dataTypes.empty()) throw EDatabaseError("the table has no data fields");
  std::uint64_t lastId = 0;
  for (const auto& row : packet.Rows) {
    if (row->Id <= lastId) throw EDatabaseError("row identities are out of order");
    lastId = row->Id;
    if (row->Values.size() != dataTypes.size()) throw EDatabaseError("a row has the wrong number of values");
    for (std::size_t k = 0; k < dataTypes.size(); ++k) {
      const TVariant& v = row->Values[k];
      if (v.IsNull()) continue;
      bool ok = false;
      switch (dataTypes[k]) {
        case TFieldType::ftInteger:
          ok = v.Type() == TVarType::varInteger;
          break;
        case TFieldType::ftString:
          ok = v.Type() == TVarType::varString && !v.String().empty() &&
               v.String().size() <= static_cast<std::size_t>(dataSizes[k]);
          break;
        case TFieldType::ftWideString:
          ok = v.Type() == TVarType::varWideString && !v.Wide().empty() &&
               v.Wide().size() <= static_cast<std::size_t>(dataSizes[k]);
          break;
      }
      if (!ok) throw EDatabaseError("a value does not fit its field");
    }
  }
  if (lastId == UINT64_MAX) throw EDatabaseError("row identities are out of range");
}
