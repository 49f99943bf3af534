#include "framework/base/TableBinaryFormat.h"

#include <cstring>

#include "framework/base/ByteOrder.h"
#include "framework/base/Exception.h"

namespace {

constexpr char kMagic[8] = {'T', 'V', 'X', 'T', 'A', 'B', 'L', 'E'};

class TWriter {
public:
  void U8(std::uint8_t v) { FOut += static_cast<char>(v); }
  void U16(std::uint16_t v) { Le(v, 2); }
  void U32(std::uint32_t v) { Le(v, 4); }
  void U64(std::uint64_t v) { Le(v, 8); }
  void Bytes(const void* p, std::size_t n) { FOut.append(static_cast<const char*>(p), n); }
  std::string& Out() { return FOut; }

private:
  void Le(std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) FOut += static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  std::string FOut;
};

// Reads with a bound check before every access.
class TReader {
public:
  TReader(const std::uint8_t* data, std::size_t size) : FData(data), FSize(size) {}
  std::size_t Left() const { return FSize - FPos; }
  void Need(std::size_t n) const {
    if (n > Left()) throw EDatabaseError("the data ends too early");
  }
  std::uint64_t Le(int n) {
    Need(static_cast<std::size_t>(n));
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= static_cast<std::uint64_t>(FData[FPos + i]) << (8 * i);
    FPos += static_cast<std::size_t>(n);
    return v;
  }
  std::uint8_t U8() { return static_cast<std::uint8_t>(Le(1)); }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Le(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Le(4)); }
  std::uint64_t U64() { return Le(8); }
  const std::uint8_t* Take(std::size_t n) {
    Need(n);
    const std::uint8_t* p = FData + FPos;
    FPos += n;
    return p;
  }

private:
  const std::uint8_t* FData;
  std::size_t FSize;
  std::size_t FPos = 0;
};

}  // namespace

std::string WriteBinaryTable(const std::vector<TTableFieldDesc>& fields,
                             const std::vector<std::unique_ptr<TTableRow>>& rows) {
  TWriter w;
  w.Bytes(kMagic, sizeof kMagic);
  w.U16(kTableFormatVersion);
  w.U16(0);
  w.U32(static_cast<std::uint32_t>(fields.size()));
  std::vector<TFieldType> dataTypes;
  for (const TTableFieldDesc& f : fields) {
    w.U8(static_cast<std::uint8_t>(f.Type));
    w.U8(static_cast<std::uint8_t>(f.Kind));
    w.U32(static_cast<std::uint32_t>(f.Size));
    w.U16(static_cast<std::uint16_t>(f.Name.size()));
    w.Bytes(f.Name.data(), f.Name.size());
    if (f.Kind == TFieldKind::fkData) dataTypes.push_back(f.Type);
  }
  w.U32(static_cast<std::uint32_t>(rows.size()));
  for (const auto& row : rows) {
    w.U64(row->Id);
    for (std::size_t k = 0; k < dataTypes.size(); ++k) {
      const TVariant& v = row->Values[k];
      if (v.IsNull()) {
        w.U8(0);
        continue;
      }
      w.U8(1);
      switch (v.Type()) {
        case TVarType::varInteger:
          w.U32(static_cast<std::uint32_t>(v.Integer()));
          break;
        case TVarType::varString:
          w.U32(static_cast<std::uint32_t>(v.String().size()));
          w.Bytes(v.String().data(), v.String().size());
          break;
        case TVarType::varWideString:
          w.U32(static_cast<std::uint32_t>(v.Wide().size()));
          for (char16_t u : v.Wide()) w.U16(u);
          break;
        case TVarType::varNull:
          break;
      }
    }
  }
  w.U32(TableCrc32(w.Out().data(), w.Out().size()));
  return std::move(w.Out());
}

bool LooksLikeBinaryTable(const std::uint8_t* data, std::size_t size) {
  return size >= sizeof kMagic && std::memcmp(data, kMagic, sizeof kMagic) == 0;
}

TTablePacket ReadBinaryTable(const std::uint8_t* data, std::size_t size) {
  TLoadBudget budget(size);
  return ReadBinaryTable(data, size, budget);
}

TTablePacket ReadBinaryTable(const std::uint8_t* data, std::size_t size, TLoadBudget& budget) {
  if (!LooksLikeBinaryTable(data, size)) throw EDatabaseError("it is not a table file");
  TReader r(data + sizeof kMagic, size - sizeof kMagic);
  std::uint16_t version = r.U16();
  if (version > kTableFormatVersion) throw EDatabaseError("it was written by a newer version of the program");
  if (version == 0 || r.U16() != 0) throw EDatabaseError("its header is corrupt");
  if (size < sizeof kMagic + 4 + 4) throw EDatabaseError("the data ends too early");
  std::uint32_t stored = 0;
  for (int i = 0; i < 4; ++i) stored |= static_cast<std::uint32_t>(data[size - 4 + i]) << (8 * i);
#ifdef TARVEX_FUZZING
  // Fuzzing reaches the parser past the checksum.
  static_cast<void>(stored);
#else
  if (TableCrc32(data, size - 4) != stored) throw EDatabaseError("it is corrupt or truncated (checksum mismatch)");
#endif
  TReader body(data + sizeof kMagic + 4, size - sizeof kMagic - 4 - 4);

  TTablePacket packet;
  std::uint32_t fieldCount = body.U32();
  if (fieldCount == 0 || fieldCount > kMaxTableFields) throw EDatabaseError("its field count is invalid");
  std::vector<TFieldType> dataTypes;
  for (std::uint32_t i = 0; i < fieldCount; ++i) {
    TTableFieldDesc f;
    std::uint8_t type = body.U8(), kind = body.U8();
    if (type > 2 || kind > 1) throw EDatabaseError("a field type is unknown");
    f.Type = static_cast<TFieldType>(type);
    f.Kind = static_cast<TFieldKind>(kind);
    std::uint32_t fieldSize = body.U32();
    if (fieldSize > static_cast<std::uint32_t>(kMaxStringFieldSize)) throw EDatabaseError("a field size is invalid");
    f.Size = static_cast<int>(fieldSize);
    std::uint16_t nameLength = body.U16();
    const std::uint8_t* name = body.Take(nameLength);
    f.Name.assign(reinterpret_cast<const char*>(name), nameLength);
    if (f.Kind == TFieldKind::fkData) dataTypes.push_back(f.Type);
    packet.Fields.push_back(std::move(f));
  }
  std::uint32_t rowCount = body.U32();
  // Every row takes at least its id and one tag byte per data field.
  if (rowCount > body.Left() / (8 + dataTypes.size())) throw EDatabaseError("its row count is invalid");
  ChargeTableRows(budget, rowCount, dataTypes.size());
  packet.Rows.reserve(rowCount);
  for (std::uint32_t i = 0; i < rowCount; ++i) {
    auto row = std::make_unique<TTableRow>();
    row->Id = body.U64();
    row->Values.resize(dataTypes.size());
    for (std::size_t k = 0; k < dataTypes.size(); ++k) {
      std::uint8_t tag = body.U8();
      if (tag == 0) continue;
      if (tag != 1) throw EDatabaseError("a value tag is invalid");
      switch (dataTypes[k]) {
        case TFieldType::ftInteger:
          row->Values[k] = TVariant(static_cast<std::int32_t>(body.U32()));
          break;
        case TFieldType::ftString: {
          std::uint32_t n = body.U32();
          const std::uint8_t* p = body.Take(n);
          ChargeTableText(budget, n, 1);
          row->Values[k] = TVariant(std::string(reinterpret_cast<const char*>(p), n));
          break;
        }
        case TFieldType::ftWideString: {
          std::uint32_t n = body.U32();
          if (n > body.Left() / 2) throw EDatabaseError("the data ends too early");
          const std::uint8_t* p = body.Take(std::size_t{n} * 2);
          ChargeTableText(budget, n, 2);
          WideString text(n, u'\0');
          for (std::uint32_t u = 0; u < n; ++u)
            text[u] = static_cast<char16_t>(ByteOrder::ReadLE16(p + 2 * u));
          row->Values[k] = TVariant(std::move(text));
          break;
        }
      }
    }
    packet.Rows.push_back(std::move(row));
  }
  if (body.Left() != 0) throw EDatabaseError("it has bytes after its last row");
  ValidateTablePacket(packet);
  return packet;
}
