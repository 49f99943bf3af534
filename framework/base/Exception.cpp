#include "framework/base/Exception.h"

#include <cstring>

std::string FileErrorText(const std::string& what, const std::string& fileName, int code) {
  std::string text = what + " \"" + fileName + "\"";
  if (code != 0) text += std::string(". ") + std::strerror(code);
  return text;
}
