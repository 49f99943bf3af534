#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "framework/base/AnsiStrings.h"

// Ini text held in memory: sections and keys in file order, looked up ignoring case.
// A repeated section continues the first one; a repeated key keeps its first value. The text is
// kept once; keys and values are places in it, so a parsed skin costs little beyond its text.
class TsIniText {
public:
  struct TEntry {
    std::uint32_t KeyAt = 0;
    std::uint32_t KeySize = 0;
    std::uint32_t ValueAt = 0;
    std::uint32_t ValueSize = 0;
  };
  struct TSection {
    std::string Name;
    std::vector<TEntry> Entries;
    std::vector<std::uint32_t> Index;  // entries sorted by key, ignoring case
  };

  TsIniText() = default;
  explicit TsIniText(std::string_view text) { SetText(text); }
  static TsIniText FromLines(const std::vector<std::string>& lines);
  // Parses text without copying it.
  static TsIniText FromText(std::string text);

  // Section headers and key lines of a text, counted without building anything (a repeated
  // section or key counts each time), so that a caller can refuse a text before parsing it.
  struct TCounts {
    std::size_t Sections = 0;
    std::size_t Keys = 0;
  };
  static TCounts Count(std::string_view text);

  // Lines may end in CR LF or LF; blank lines and lines starting with ';' are skipped; lines
  // before the first section are dropped. Keys and values lose surrounding blanks.
  void SetText(std::string_view text);

  const std::vector<TSection>& Sections() const { return FSections; }
  const TSection* FindSection(std::string_view name) const;
  bool SectionExists(std::string_view name) const { return FindSection(name) != nullptr; }
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::string_view KeyOf(const TEntry& e) const { return std::string_view(FText).substr(e.KeyAt, e.KeySize); }
  std::string_view ValueOf(const TEntry& e) const {
    return std::string_view(FText).substr(e.ValueAt, e.ValueSize);
  }
  // The entry of key in section (ignoring case), or null.
  const TEntry* Find(const TSection& section, std::string_view key) const;

  std::optional<std::string> Value(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key, const std::string& def) const;
  // Decimal, "$hex" or "0xhex"; a value that is not a number gives def.
  std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const;
  // '.' is the decimal separator; a value that is not a number gives def.
  double ReadFloat(std::string_view section, std::string_view key, double def) const;

private:
  void Parse();
  void IndexKeys(TSection& section);

  std::string FText;
  std::vector<TSection> FSections;
  std::unordered_map<std::string, std::size_t> FIndex;  // upper-case name -> section
};

// The integer syntax of ini files: optional blanks, sign, then decimal digits, or "$" / "0x"
// followed by hex digits (up to 8, wrapping into the sign bit). Nothing when not a number or
// out of range.
std::optional<std::int32_t> ParseIniInteger(std::string_view text);
std::optional<double> ParseIniFloat(std::string_view text);
