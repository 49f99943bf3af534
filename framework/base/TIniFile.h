#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/base/TObject.h"

class TLoadBudget;
class TStringList;

// An ini file held in memory: read when the object is made (a missing or unreadable file reads as
// empty), written only by UpdateFile. A file too large to hold, by the measure of TLoadBudget, is
// refused before it is held: it reads as empty, LoadError says why, and it is never written over
// (Text and UpdateFile raise that error), so that a file that was not read is not lost. Sections
// and keys are matched without regard to ASCII case, the first of equal names wins, and order is
// kept. Lines that are neither "[section]" nor
// "key=value" (comments, blank or malformed lines) are skipped when reading values but written
// back unchanged, so a hand-edited file loses nothing.
class TIniFile : public TObject {
public:
  explicit TIniFile(const std::string& fileName);

  const std::string& FileName() const { return FFileName; }
  // Why the file was refused; empty when it was read (or did not exist).
  const std::string& LoadError() const { return FLoadError; }

  // A value is read with the blanks around it removed and one pair of enclosing quotes stripped.
  std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) const;
  // Decimal, or hex after "$" or "0x"; anything else gives the default.
  std::int32_t ReadInteger(const std::string& section, const std::string& ident, std::int32_t def) const;
  // An integer: 0 is false, any other number true.
  bool ReadBool(const std::string& section, const std::string& ident, bool def) const;
  void WriteString(const std::string& section, const std::string& ident, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& ident, std::int32_t value);
  // Written as 1 and 0.
  void WriteBool(const std::string& section, const std::string& ident, bool value);

  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& ident) const;
  void ReadSections(TStringList& sections) const;
  void ReadSection(const std::string& section, TStringList& idents) const;
  // "key=value" lines of the section.
  void ReadSectionValues(const std::string& section, TStringList& values) const;
  void EraseSection(const std::string& section);
  void DeleteKey(const std::string& section, const std::string& ident);

  // Replaces the whole file (CR LF line ends); raises the file layer's errors when it cannot, and
  // the old file then stays as it was.
  void UpdateFile();
  // The text UpdateFile writes.
  std::string Text() const;

private:
  struct TLine {
    std::string Key;    // empty: a line kept as it was, in Value
    std::string Value;
    bool First = false;  // the first key of its name in its section
  };
  // Names are looked up by their ASCII upper-case form, so that no lookup walks the file.
  using TIndex = std::unordered_map<std::string, std::size_t>;
  struct TSection {
    std::string Name;
    std::vector<TLine> Lines;
    // The first line of each key, kept for sections of more than kUnindexedLines lines: open
    // addressing over line numbers plus one (0 a free slot), hashed on the upper-case name, so
    // that a key costs a few bytes of index.
    std::vector<std::uint32_t> Keys;
    std::size_t KeyCount = 0;
    bool First = false;  // the first section of its name
  };
  static constexpr std::size_t kUnindexedLines = 16;
  // Raises when the lines would exceed the budget; the constructor takes that as the refusal.
  void Parse(const std::string& text, TLoadBudget& budget);
  const TSection* FindSection(const std::string& name) const;
  TSection* FindSection(const std::string& name);
  static const TLine* FindKey(const TSection& section, const std::string& ident);
  TSection& AddSection(const std::string& name);
  // Enters a new key, one that the section did not hold yet.
  static void AddKey(TSection& section, std::size_t line);
  static void IndexKeys(TSection& section);
  // The index slot that holds ident's first line, or the free slot where it would go.
  static std::size_t KeySlot(const TSection& section, const std::string& ident);
  static void IndexKey(TSection& section, std::size_t line);
  void IndexSections();

  std::string FFileName;
  std::string FLoadError;
  bool FByteOrderMark = false;         // a UTF-8 mark at the start is kept as it was
  std::vector<std::string> FPrelude;  // lines before the first section
  std::vector<TSection> FSections;
  TIndex FSectionIndex;  // the first section of each name
};
