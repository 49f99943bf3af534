#include "skin/engine/core/GradientText.h"

#include "skin/engine/core/TsIniText.h"

std::vector<TsGradientStop> ParseGradientData(std::string_view text) {
  std::vector<TsGradientStop> stops;
  if (text.empty()) return stops;
  std::vector<std::string_view> words;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = text.find(';', pos);
    if (end == std::string_view::npos) end = text.size();
    if (end > pos) words.push_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
  const std::size_t count = words.size() / 5;
  stops.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    auto word = [&](std::size_t k) { return ParseIniInteger(words[5 * i + k - 1]); };
    auto c1 = word(1), c2 = word(2), percent = word(3), mode = word(4);
    if (!c1 || !c2 || !percent || !mode) return {};
    TsGradientStop s;
    s.Color1 = *c1;
    s.Color2 = *c2;
    s.Percent = static_cast<std::uint8_t>(*percent < 0 ? 0 : (*percent > 100 ? 100 : *percent));
    s.Mode = *mode;
    stops.push_back(s);
  }
  return stops;
}
