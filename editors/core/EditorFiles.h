#pragma once

#include "editors/core/TEditorHost.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Whole-file access of the editor models. Failures other than a missing file raise the file
// layer's errors.
namespace EditorFiles {

bool FileExists(const std::string& fileName);
std::vector<uint8_t> ReadWholeFile(const std::string& fileName);
// Replaces the file whole; when that fails the old file stays as it was.
void WriteWholeFile(const std::string& fileName, const std::vector<uint8_t>& data);
// The flasher row of an image file: its length, and the big-endian word at `addressOffset` with the
// low 8 bits cleared as the start address; none when the file does not exist.
std::optional<TFlasherRow> FlasherRowOf(const std::string& fileName, int32_t cg, const std::string& type,
                                        uint32_t addressOffset);

}  // namespace EditorFiles
