#include "workbench/core/SmallDialogRules.h"

#include <algorithm>
#include <cctype>

#include "framework/base/ByteOrder.h"
#include "workbench/core/CodeGroups.h"
#include "workbench/core/TRawFile.h"

namespace {

bool IsHexText(const std::string& text) {
  if (text.empty() || text.size() > 8) return false;
  for (const char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::uint32_t HexValue(const std::string& text) { return static_cast<std::uint32_t>(std::stoul(text, nullptr, 16)); }

// The offset of the address word in the image of the code groups that carry one; the digits are
// read as a number, so that "04" is code group 4.
std::optional<std::uint32_t> AddressWordOffset(const std::string& digits) {
  const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size() - 1);
  const std::string number = digits.substr(first);
  if (number == "0") return 32;
  if (number == "4" || number == "18") return 0;
  if (number == "15") return 8;
  return std::nullopt;
}

}  // namespace

TAddDetection DetectAddFile(const std::string& fileName) {
  TAddDetection found;
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string::npos) return found;
  std::size_t first = dot;
  while (first > 0 && std::isdigit(static_cast<unsigned char>(fileName[first - 1]))) --first;
  found.Digits = fileName.substr(first, dot - first);
  if (found.Digits.empty()) return found;

  if (const std::optional<std::uint32_t> offset = AddressWordOffset(found.Digits)) {
    // A file that cannot be read, or is too short for the word, leaves the address as it is.
    try {
      TRawFile file(fileName, TRawFile::TMode::Read);
      std::uint8_t head[36];
      if (file.Size() >= *offset + 4 && file.Read(head, *offset + 4) == *offset + 4) {
        found.Address = ByteOrder::ReadBE32(head + *offset) & 0xFFFFFF00u;
      }
    } catch (const std::exception&) {
    }
    return found;
  }
  const std::size_t tag = fileName.find("{@0x");
  if (tag != std::string::npos) {
    const std::string digits = fileName.substr(tag + 4, 8);
    if (digits.size() == 8 && IsHexText(digits)) found.Address = HexValue(digits);
  }
  return found;
}

bool AddInputValid(const std::string& codeGroup, const std::string& address, std::int64_t fileSize) {
  if (!codeGroup.empty()) {
    std::size_t i = codeGroup[0] == '-' ? 1 : 0;
    if (i == codeGroup.size() || codeGroup.size() > 4) return false;
    for (; i < codeGroup.size(); ++i) {
      if (!std::isdigit(static_cast<unsigned char>(codeGroup[i]))) return false;
    }
    if (!IsValidCodeGroup(std::stoi(codeGroup))) return false;
  }
  if (!IsHexText(address)) return false;
  return fileSize <= 0 || HexValue(address) + static_cast<std::uint64_t>(fileSize) - 1 <= 0xFFFFFFFFull;
}

std::string ViewerArguments(const std::string& parameters, const std::string& name) {
  const std::string quoted = name.find(' ') != std::string::npos ? "\"" + name + "\"" : name;
  return parameters.empty() ? quoted : " " + parameters + " " + quoted;
}

int ShellErrorMessage(std::intptr_t result) {
  switch (result) {
    case 0: return 1;
    case 2: return 2;
    case 3: return 3;
    case 5: return 5;
    case 8: return 12;
    case 11: return 4;
    case 26: return 13;
    case 27: return 6;
    case 28: return 9;
    case 29: return 8;
    case 30: return 7;
    case 31: return 11;
    case 32: return 10;
    default: return -1;
  }
}
