#include "TableFuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzTableLoad(data, size, TDataPacketFormat::dfXML);
  return 0;
}
