#include "skin/engine/core/TsIniText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdlib>

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool IsSectionHeader(std::string_view line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

// Calls f with each line that carries something: trimmed, neither blank nor a comment.
template <typename TLine>
void ForEachLine(std::string_view text, TLine f) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t eol = text.find('\n', pos);
    if (eol == std::string_view::npos) eol = text.size();
    std::string_view line = TrimBlanks(text.substr(pos, eol - pos));
    pos = eol + 1;
    if (!line.empty() && line.front() != ';') f(line);
  }
}

}  // namespace

std::optional<std::int32_t> ParseIniInteger(std::string_view text) {
  std::string_view s = TrimBlanks(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  int base = 10;
  if (s.front() == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty() || s.size() > 20) return std::nullopt;
  std::uint64_t v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  if (base == 16) {
    if (v > 0xFFFFFFFFull) return std::nullopt;
    auto r = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(r)) : r;
  }
  if (negative) {
    if (v > 2147483648ull) return std::nullopt;
    return static_cast<std::int32_t>(-static_cast<std::int64_t>(v));
  }
  if (v > 2147483647ull) return std::nullopt;
  return static_cast<std::int32_t>(v);
}

std::optional<double> ParseIniFloat(std::string_view text) {
  std::string_view s = TrimBlanks(text);
  if (s.empty() || s.size() > 63) return std::nullopt;
  for (char c : s)
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' || c == 'e' ||
          c == 'E'))
      return std::nullopt;
  std::string copy(s);
  char* end = nullptr;
  double v = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size()) return std::nullopt;
  return v;
}

TsIniText TsIniText::FromLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) {
    text += line;
    text += '\n';
  }
  return FromText(std::move(text));
}

TsIniText TsIniText::FromText(std::string text) {
  TsIniText ini;
  ini.FText = std::move(text);
  ini.Parse();
  return ini;
}

TsIniText::TCounts TsIniText::Count(std::string_view text) {
  TCounts counts;
  ForEachLine(text, [&](std::string_view line) {
    if (IsSectionHeader(line))
      ++counts.Sections;
    else if (counts.Sections > 0)
      ++counts.Keys;
  });
  return counts;
}

void TsIniText::SetText(std::string_view text) {
  FText.assign(text);
  Parse();
}

void TsIniText::Parse() {
  FSections.clear();
  FIndex.clear();
  // Places in the text are 32-bit; a longer text is not an ini file this program reads.
  if (FText.size() > UINT32_MAX) FText.clear();
  const std::string_view text(FText);
  auto at = [&](std::string_view part) { return static_cast<std::uint32_t>(part.data() - text.data()); };
  TSection* current = nullptr;
  ForEachLine(text, [&](std::string_view line) {
    if (IsSectionHeader(line)) {
      std::string name(TrimBlanks(line.substr(1, line.size() - 2)));
      auto [it, added] = FIndex.emplace(UpperCase(name), FSections.size());
      if (added) FSections.push_back({name, {}, {}});
      current = &FSections[it->second];
      return;
    }
    if (!current) return;
    const std::size_t eq = line.find('=');
    const std::string_view key = TrimBlanks(eq == std::string_view::npos ? line : line.substr(0, eq));
    const std::string_view value =
        eq == std::string_view::npos ? line.substr(line.size()) : TrimBlanks(line.substr(eq + 1));
    if (key.empty()) return;
    current->Entries.push_back({at(key), static_cast<std::uint32_t>(key.size()), at(value),
                                static_cast<std::uint32_t>(value.size())});
  });
  for (TSection& section : FSections) IndexKeys(section);
}

// Sorts the keys of a section for lookups and drops each repeated key after its first.
void TsIniText::IndexKeys(TSection& section) {
  auto& entries = section.Entries;
  std::vector<std::uint32_t> order(entries.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
  // Equal keys stay in file order, so the first of them is the one kept.
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    const int c = CompareText(KeyOf(entries[a]), KeyOf(entries[b]));
    return c < 0 || (c == 0 && a < b);
  });
  std::vector<bool> repeated(entries.size(), false);
  for (std::size_t i = 1; i < order.size(); ++i)
    if (SameText(KeyOf(entries[order[i]]), KeyOf(entries[order[i - 1]]))) repeated[order[i]] = true;
  // New places of the entries that stay, in file order.
  std::vector<std::uint32_t> place(entries.size());
  std::size_t kept = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    place[i] = static_cast<std::uint32_t>(kept);
    if (!repeated[i]) entries[kept++] = entries[i];
  }
  entries.resize(kept);
  entries.shrink_to_fit();
  section.Index.clear();
  section.Index.reserve(kept);
  for (std::uint32_t i : order)
    if (!repeated[i]) section.Index.push_back(place[i]);
}

const TsIniText::TSection* TsIniText::FindSection(std::string_view name) const {
  auto it = FIndex.find(UpperCase(name));
  return it == FIndex.end() ? nullptr : &FSections[it->second];
}

const TsIniText::TEntry* TsIniText::Find(const TSection& section, std::string_view key) const {
  auto it = std::lower_bound(section.Index.begin(), section.Index.end(), key, [&](std::uint32_t e, std::string_view k) {
    return CompareText(KeyOf(section.Entries[e]), k) < 0;
  });
  if (it == section.Index.end() || !SameText(KeyOf(section.Entries[*it]), key)) return nullptr;
  return &section.Entries[*it];
}

std::optional<std::string> TsIniText::Value(std::string_view section, std::string_view key) const {
  const TSection* s = FindSection(section);
  if (!s) return std::nullopt;
  const TEntry* e = Find(*s, key);
  if (!e) return std::nullopt;
  return std::string(ValueOf(*e));
}

bool TsIniText::ValueExists(std::string_view section, std::string_view key) const {
  return Value(section, key).has_value();
}

std::string TsIniText::ReadString(std::string_view section, std::string_view key,
                                  const std::string& def) const {
  auto v = Value(section, key);
  return v ? *v : def;
}

std::int32_t TsIniText::ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const {
  auto v = Value(section, key);
  if (!v) return def;
  auto n = ParseIniInteger(*v);
  return n ? *n : def;
}

double TsIniText::ReadFloat(std::string_view section, std::string_view key, double def) const {
  auto v = Value(section, key);
  if (!v) return def;
  auto n = ParseIniFloat(*v);
  return n ? *n : def;
}
