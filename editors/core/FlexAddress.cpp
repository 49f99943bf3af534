#include "editors/core/FlexAddress.h"

#include "editors/core/EditorHex.h"

int32_t GetFlexAddress(const std::string& addressText, const std::string& fileName, bool fileExists,
                       std::optional<int32_t> gridA1) {
  const int32_t typed = EditorHex::HexToInt(addressText);
  if (typed != 0) return typed;
  if (!fileExists) return 0;
  if (gridA1) return *gridA1;
  const size_t tag = fileName.find("{@0x");
  if (tag == std::string::npos) return 0;
  return EditorHex::HexToInt(fileName.substr(tag + 4, 8));
}
