#include "framework/win/Messages.h"

#include <cstdio>

#include "framework/base/MessageNames.h"

std::string MessageName(UINT msg) {
  if (const char* name = MessageNameOf(msg)) return name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%04X", static_cast<unsigned>(msg));
  return buf;
}
