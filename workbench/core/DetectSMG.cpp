#include "workbench/core/DetectSMG.h"

#include <cctype>

#include "framework/base/ByteOrder.h"
#include "workbench/core/TRawFile.h"

bool DetectSMG(const std::string& fileName, int& cg, int32_t& addr, int64_t& size) {
  cg = -1;
  addr = -1;
  size = -1;
  const size_t dot = fileName.rfind('.');
  if (dot == std::string::npos) return false;
  size_t first = dot;
  while (first > 0 && std::isdigit(static_cast<unsigned char>(fileName[first - 1]))) --first;
  if (first == dot) return false;
  int64_t number = 0;
  for (size_t i = first; i < dot; ++i) {
    number = number * 10 + (fileName[i] - '0');
    if (number > INT32_MAX) return false;
  }
  cg = static_cast<int>(number);

  int offset = -1;
  switch (cg) {
    case 0:
      offset = 32;
      break;
    case 4:
      offset = 0;
      break;
    case 15:
      offset = 8;
      break;
    case 18:
      offset = 0;
      break;
    default:
      break;
  }
  TRawFile file(fileName, TRawFile::TMode::Read);
  size = file.Size();
  if (offset >= 0 && size >= offset + 4) {
    uint8_t head[36];
    if (file.Read(head, static_cast<size_t>(offset) + 4) == static_cast<size_t>(offset) + 4) {
      addr = static_cast<int32_t>(ByteOrder::ReadBE32(head + offset) & 0xFFFFFF00u);
    }
  }
  file.Close();
  return true;
}
