#include "editors/core/EditorFiles.h"

#include "editors/core/TEditorHost.h"
#include "framework/base/ByteOrder.h"
#include "framework/base/Exception.h"
#include "framework/base/TAtomicFileStream.h"
#include "framework/base/TStream.h"

#include <filesystem>

bool EditorFiles::FileExists(const std::string& fileName) {
  std::error_code error;
  return !fileName.empty() && std::filesystem::is_regular_file(std::filesystem::path(fileName), error);
}

std::vector<uint8_t> EditorFiles::ReadWholeFile(const std::string& fileName) {
  TMemoryStream stream;
  stream.LoadFromFile(fileName);
  return std::vector<uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

void EditorFiles::WriteWholeFile(const std::string& fileName, const std::vector<uint8_t>& data) {
  TAtomicFileStream::WriteFile(fileName, data.data(), data.size());
}

std::optional<TFlasherRow> EditorFiles::FlasherRowOf(const std::string& fileName, int32_t cg,
                                                     const std::string& type, uint32_t addressOffset) {
  if (!FileExists(fileName)) return std::nullopt;
  const std::vector<uint8_t> data = ReadWholeFile(fileName);
  if (data.size() > 0x7FFFFFFF) throw EInOutError("The file is too large: " + fileName, 27);
  TFlasherRow row;
  row.CG = cg;
  row.Name = fileName;
  row.Type = type;
  if (ByteOrder::Inside(addressOffset, 4, data.size())) {
    row.A1 = static_cast<int32_t>(ByteOrder::ReadBE32(&data[addressOffset]) & 0xFFFFFF00u);
  }
  row.Size = static_cast<int32_t>(data.size());
  return row;
}
