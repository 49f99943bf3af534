#include "editors/core/DRMNames.h"

#include "editors/core/TDRMImage.h"

#include <cstring>

namespace {

std::optional<int> ParseBound(const std::string& text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > 0xFFFF) return std::nullopt;
  return value;
}

}  // namespace

std::string PictureFileName(const TDRMPicture& picture) {
  std::string type = picture.Type;
  for (char& c : type) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 32 || u == 127 || std::strchr("\\/:*?\"<>|", c) != nullptr) c = '_';
  }
  // The file system drops trailing blanks and dots, which would change the extension.
  for (size_t i = type.size(); i > 0 && (type[i - 1] == ' ' || type[i - 1] == '.'); --i) type[i - 1] = '_';
  return std::to_string(picture.No) + "(" + std::to_string(picture.Width) + "x" +
         std::to_string(picture.Height) + ")." + type;
}

std::optional<std::pair<int, int>> ParseRawBounds(const std::string& path) {
  const size_t slash = path.find_last_of("\\/:");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t open = name.find('(');
  if (open == std::string::npos) return std::nullopt;
  const size_t x = name.find('x', open);
  if (x == std::string::npos) return std::nullopt;
  const size_t close = name.find(')', x);
  if (close == std::string::npos) return std::nullopt;
  const auto width = ParseBound(name.substr(open + 1, x - open - 1));
  const auto height = ParseBound(name.substr(x + 1, close - x - 1));
  if (!width || !height) return std::nullopt;
  return std::make_pair(*width, *height);
}
