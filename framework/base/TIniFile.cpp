#include "framework/base/TIniFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string_view>

#include "framework/base/AnsiStrings.h"
#include "framework/base/Exception.h"
#include "framework/base/TAtomicFileStream.h"
#include "framework/base/TLoadBudget.h"
#include "framework/base/TStream.h"
#include "framework/base/TStringList.h"

namespace {

// An ini file refused for its size: the constructor keeps the message.
class ETooLarge : public Exception {
public:
  using Exception::Exception;
};

[[noreturn]] void TooLarge(const std::string& fileName, const TLoadBudget& budget) {
  throw ETooLarge("Cannot read ini file \"" + fileName + "\": " + budget.RefusalText());
}

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

TIniFile::TIniFile(const std::string& fileName) : FFileName(fileName) {
  std::string text;
  std::int64_t size = 0;
  try {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    size = file.Size();
    // A file past the largest budget is not read: its size alone refuses it.
    if (size >= 0 && static_cast<std::uint64_t>(size) <= TLoadBudget::kMaxLoadBudget) {
      text.resize(static_cast<std::size_t>(size));
      if (size > 0) file.ReadBuffer(text.data(), size);
    }
  } catch (const Exception&) {
    return;  // as the platform's ini functions: no file, no values
  }
  TLoadBudget budget(size < 0 ? SIZE_MAX : static_cast<std::size_t>(size));
  try {
    if (!budget.FileFits()) TooLarge(fileName, budget);
    Parse(text, budget);
  } catch (const ETooLarge& e) {
    FLoadError = e.what();
    FPrelude.clear();
    FSections.clear();
    FSectionIndex.clear();
  }
}


namespace {

// The line that starts at i (without its line end); i moves to the next line.
std::string_view NextLine(std::string_view text, std::size_t& i) {
  const std::size_t start = i;
  while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
  const std::string_view line = text.substr(start, i - start);
  if (i < text.size() && text[i] == '\r') ++i;
  if (i < text.size() && text[i] == '\n') ++i;
  return line;
}

// "[name]" with blanks around it and anything after the bracket.
bool IsSectionLine(const std::string& trimmed, std::string& name) {
  if (trimmed.empty() || trimmed.front() != '[') return false;
  const std::size_t close = trimmed.find(']');
  if (close == std::string::npos) return false;
  name = Trim(trimmed.substr(1, close - 1));
  return true;
}

}  // namespace

void TIniFile::Parse(const std::string& text, TLoadBudget& budget) {
  std::size_t start = 0;
  if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    start = 3;
    FByteOrderMark = true;
  }
  auto charge = [&](std::size_t count, std::size_t each) {
    if (!budget.ChargeEach(count, each)) TooLarge(FFileName, budget);
  };
  auto chargeText = [&](std::size_t length) {
    if (!budget.ChargeText(length, 1)) TooLarge(FFileName, budget);
  };
  // The lines of each section are counted first, so that every list is made once at its size and
  // what cannot be held is refused before it is built.
  std::vector<std::size_t> counts;
  std::size_t preludeLines = 0;
  std::string name;
  for (std::size_t i = start; i < text.size();) {
    const std::string_view line = NextLine(text, i);
    if (IsSectionLine(Trim(std::string(line)), name)) {
      charge(1, sizeof(std::size_t));
      counts.push_back(0);
    } else {
      ++(counts.empty() ? preludeLines : counts.back());
    }
  }
  charge(counts.size(), sizeof(TSection));
  charge(preludeLines, sizeof(std::string));
  FSections.reserve(counts.size());
  FPrelude.reserve(preludeLines);
  // A name's node in a name index, and its bucket.
  const std::size_t nameNode =
      TLoadBudget::BlockSize(sizeof(std::string) + sizeof(std::size_t) + 2 * sizeof(void*)) + sizeof(void*);
  // A key's slots in its section's index (at most half full, grown by doubling), in a section
  // long enough to be indexed.
  const std::size_t keyIndex = 4 * sizeof(std::uint32_t);
  TSection* current = nullptr;
  std::size_t section = 0;
  bool indexed = false;
  for (std::size_t i = start; i < text.size();) {
    std::string line(NextLine(text, i));
    std::string trimmed = Trim(line);
    if (IsSectionLine(trimmed, name)) {
      charge(1, nameNode);
      chargeText(name.size());
      chargeText(name.size());  // the index's upper-case copy
      current = &AddSection(name);
      if (!budget.ChargeBlock(counts[section] * sizeof(TLine))) TooLarge(FFileName, budget);
      indexed = counts[section] > kUnindexedLines;
      current->Lines.reserve(counts[section++]);
      continue;
    }
    if (current == nullptr) {
      chargeText(line.size());
      FPrelude.push_back(std::move(line));
      continue;
    }
    TLine entry;
    std::size_t eq = line.find('=');
    bool comment = !trimmed.empty() && trimmed.front() == ';';
    if (!comment && eq != std::string::npos && !Trim(line.substr(0, eq)).empty()) {
      entry.Key = Trim(line.substr(0, eq));
      entry.Value = line.substr(eq + 1);
      if (indexed) charge(1, keyIndex);
      chargeText(entry.Key.size());
    } else {
      entry.Value = std::move(line);
    }
    chargeText(entry.Value.size());
    current->Lines.push_back(std::move(entry));
  }
  for (TSection& s : FSections) IndexKeys(s);
}

TIniFile::TSection& TIniFile::AddSection(const std::string& name) {
  const bool first = FSectionIndex.emplace(UpperCase(name), FSections.size()).second;
  FSections.push_back(TSection{name, {}, {}, 0, first});
  return FSections.back();
}

void TIniFile::IndexSections() {
  FSectionIndex.clear();
  for (std::size_t i = 0; i < FSections.size(); ++i)
    FSections[i].First = FSectionIndex.emplace(UpperCase(FSections[i].Name), i).second;
}

void TIniFile::AddKey(TSection& section, std::size_t line) {
  section.Lines[line].First = true;
  if (section.Lines.size() <= kUnindexedLines) return;
  if (section.Keys.empty()) return IndexKeys(section);
  IndexKey(section, line);
}

std::size_t TIniFile::KeySlot(const TSection& section, const std::string& ident) {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a over the upper-case name
  for (const char c : ident) {
    hash ^= static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    hash *= 1099511628211ull;
  }
  const std::size_t mask = section.Keys.size() - 1;
  for (std::size_t slot = static_cast<std::size_t>(hash) & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t entry = section.Keys[slot];
    if (entry == 0 || SameText(section.Lines[entry - 1].Key, ident)) return slot;
  }
}

// Enters a line whose key the index does not hold; the table stays at most half full.
void TIniFile::IndexKey(TSection& section, std::size_t line) {
  if (2 * (section.KeyCount + 1) > section.Keys.size()) {
    std::vector<std::uint32_t> old(std::max<std::size_t>(16, 2 * section.Keys.size()), 0);
    old.swap(section.Keys);
    for (const std::uint32_t entry : old)
      if (entry != 0) section.Keys[KeySlot(section, section.Lines[entry - 1].Key)] = entry;
  }
  section.Keys[KeySlot(section, section.Lines[line].Key)] = static_cast<std::uint32_t>(line + 1);
  ++section.KeyCount;
}

// Marks the first line of each key; a short section is compared in place, a long one indexed.
void TIniFile::IndexKeys(TSection& section) {
  section.Keys.clear();
  section.KeyCount = 0;
  std::vector<TLine>& lines = section.Lines;
  if (lines.size() <= kUnindexedLines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      lines[i].First = !lines[i].Key.empty();
      for (std::size_t j = 0; j < i && lines[i].First; ++j)
        if (SameText(lines[j].Key, lines[i].Key)) lines[i].First = false;
    }
    return;
  }
  std::size_t keys = 0;
  for (const TLine& line : lines) keys += line.Key.empty() ? 0 : 1;
  std::size_t size = 16;
  while (size < 2 * keys) size *= 2;
  section.Keys.assign(size, 0);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    lines[i].First = !lines[i].Key.empty() && section.Keys[KeySlot(section, lines[i].Key)] == 0;
    if (lines[i].First) {
      section.Keys[KeySlot(section, lines[i].Key)] = static_cast<std::uint32_t>(i + 1);
      ++section.KeyCount;
    }
  }
}

const TIniFile::TSection* TIniFile::FindSection(const std::string& name) const {
  const auto found = FSectionIndex.find(UpperCase(Trim(name)));
  return found != FSectionIndex.end() ? &FSections[found->second] : nullptr;
}

TIniFile::TSection* TIniFile::FindSection(const std::string& name) {
  return const_cast<TSection*>(static_cast<const TIniFile*>(this)->FindSection(name));
}

const TIniFile::TLine* TIniFile::FindKey(const TSection& section, const std::string& ident) {
  const std::string wanted = Trim(ident);
  if (section.Lines.size() <= kUnindexedLines || section.Keys.empty()) {
    for (const TLine& line : section.Lines)
      if (!line.Key.empty() && SameText(line.Key, wanted)) return &line;
    return nullptr;
  }
  const std::uint32_t entry = section.Keys[KeySlot(section, wanted)];
  return entry != 0 ? &section.Lines[entry - 1] : nullptr;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& def) const {
  const TSection* s = FindSection(section);
  const TLine* line = s != nullptr ? FindKey(*s, ident) : nullptr;
  return line != nullptr ? Unquote(Trim(line->Value)) : def;
}

std::int32_t TIniFile::ReadInteger(const std::string& section, const std::string& ident, std::int32_t def) const {
  return StrToIntDef(ReadString(section, ident, ""), def);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) const {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  std::string key = Trim(ident);
  std::string name = Trim(section);
  // A line break inside a name or value would split the line and corrupt the file.
  auto clean = [](std::string s) {
    for (char& c : s)
      if (c == '\r' || c == '\n') c = ' ';
    return s;
  };
  key = clean(key);
  name = clean(name);
  if (key.empty() || key.find('=') != std::string::npos)
    throw Exception("Invalid ini key \"" + ident + "\"");
  TSection* s = FindSection(name);
  if (s == nullptr) s = &AddSection(name);
  if (const TLine* line = FindKey(*s, key)) {
    s->Lines[static_cast<std::size_t>(line - s->Lines.data())].Value = clean(value);
    return;
  }
  // New keys go after the last key of the section, before trailing blank lines, so no key moves.
  std::size_t at = s->Lines.size();
  while (at > 0 && s->Lines[at - 1].Key.empty() && Trim(s->Lines[at - 1].Value).empty()) --at;
  s->Lines.insert(s->Lines.begin() + static_cast<std::ptrdiff_t>(at), TLine{key, clean(value), true});
  AddKey(*s, at);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& ident, std::int32_t value) {
  WriteString(section, ident, IntToStr(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

bool TIniFile::SectionExists(const std::string& section) const { return FindSection(section) != nullptr; }

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) const {
  const TSection* s = FindSection(section);
  return s != nullptr && FindKey(*s, ident) != nullptr;
}

void TIniFile::ReadSections(TStringList& sections) const {
  sections.BeginUpdate();
  sections.Clear();
  for (const TSection& s : FSections)
    if (s.First) sections.Add(s.Name);
  sections.EndUpdate();
}

void TIniFile::ReadSection(const std::string& section, TStringList& idents) const {
  idents.BeginUpdate();
  idents.Clear();
  if (const TSection* s = FindSection(section))
    for (const TLine& line : s->Lines)
      if (line.First) idents.Add(line.Key);
  idents.EndUpdate();
}

void TIniFile::ReadSectionValues(const std::string& section, TStringList& values) const {
  values.BeginUpdate();
  values.Clear();
  if (const TSection* s = FindSection(section))
    for (const TLine& line : s->Lines)
      if (line.First) values.Add(line.Key + "=" + Unquote(Trim(line.Value)));
  values.EndUpdate();
}

void TIniFile::EraseSection(const std::string& section) {
  std::string wanted = Trim(section);
  std::erase_if(FSections, [&](const TSection& s) { return SameText(s.Name, wanted); });
  IndexSections();
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  TSection* s = FindSection(section);
  if (s == nullptr) return;
  const TLine* line = FindKey(*s, ident);
  if (line == nullptr) return;
  s->Lines.erase(s->Lines.begin() + (line - s->Lines.data()));
  IndexKeys(*s);
}

std::string TIniFile::Text() const {
  if (!FLoadError.empty()) throw EInOutError(FLoadError + "; it is left as it is", EFBIG);
  std::string out = FByteOrderMark ? "\xEF\xBB\xBF" : "";
  for (const std::string& line : FPrelude) out += line + "\r\n";
  for (const TSection& s : FSections) {
    out += "[" + s.Name + "]\r\n";
    for (const TLine& line : s.Lines) out += (line.Key.empty() ? line.Value : line.Key + "=" + line.Value) + "\r\n";
  }
  return out;
}

void TIniFile::UpdateFile() {
  const std::string text = Text();
  TAtomicFileStream::WriteFile(FFileName, text.data(), text.size());
}
