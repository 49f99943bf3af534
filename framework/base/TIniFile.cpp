#include "framework/base/TIniFile.h"

#include "framework/base/AnsiStrings.h"
#include "framework/base/Exception.h"
#include "framework/base/TAtomicFileStream.h"
#include "framework/base/TStream.h"
#include "framework/base/TStringList.h"

namespace {

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

TIniFile::TIniFile(const std::string& fileName) : FFileName(fileName) {
  std::string text;
  try {
    TMemoryStream data;
    data.LoadFromFile(fileName);
    text.assign(reinterpret_cast<const char*>(data.Memory()), static_cast<std::size_t>(data.Size()));
  } catch (const Exception&) {
    return;  // as the platform's ini functions: no file, no values
  }
  Parse(text);
}

void TIniFile::Parse(const std::string& text) {
  std::size_t i = 0, n = text.size();
  if (n >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    i = 3;
    FByteOrderMark = true;
  }
  TSection* current = nullptr;
  while (i < n) {
    std::size_t start = i;
    while (i < n && text[i] != '\r' && text[i] != '\n') ++i;
    std::string line = text.substr(start, i - start);
    if (i < n && text[i] == '\r') ++i;
    if (i < n && text[i] == '\n') ++i;

    std::string trimmed = Trim(line);
    if (!trimmed.empty() && trimmed.front() == '[') {
      std::size_t close = trimmed.find(']');
      if (close != std::string::npos) {
        current = &AddSection(Trim(trimmed.substr(1, close - 1)));
        continue;
      }
    }
    TLine entry;
    std::size_t eq = line.find('=');
    bool comment = !trimmed.empty() && trimmed.front() == ';';
    if (!comment && eq != std::string::npos && !Trim(line.substr(0, eq)).empty()) {
      entry.Key = Trim(line.substr(0, eq));
      entry.Value = line.substr(eq + 1);
    } else {
      entry.Raw = line;
    }
    if (current != nullptr) current->Lines.push_back(std::move(entry));
    else FPrelude.push_back(line);
  }
  for (TSection& section : FSections) IndexKeys(section);
}

TIniFile::TSection& TIniFile::AddSection(const std::string& name) {
  const bool first = FSectionIndex.emplace(UpperCase(name), FSections.size()).second;
  FSections.push_back(TSection{name, {}, {}, first});
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
  section.Keys.emplace(UpperCase(section.Lines[line].Key), line);
}

// Marks the first line of each key; a short section is compared in place, a long one indexed.
void TIniFile::IndexKeys(TSection& section) {
  section.Keys.clear();
  std::vector<TLine>& lines = section.Lines;
  if (lines.size() <= kUnindexedLines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      lines[i].First = !lines[i].Key.empty();
      for (std::size_t j = 0; j < i && lines[i].First; ++j)
        if (SameText(lines[j].Key, lines[i].Key)) lines[i].First = false;
    }
    return;
  }
  section.Keys.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i)
    lines[i].First = !lines[i].Key.empty() && section.Keys.emplace(UpperCase(lines[i].Key), i).second;
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
  if (section.Lines.size() <= kUnindexedLines) {
    for (const TLine& line : section.Lines)
      if (!line.Key.empty() && SameText(line.Key, wanted)) return &line;
    return nullptr;
  }
  const auto found = section.Keys.find(UpperCase(wanted));
  return found != section.Keys.end() ? &section.Lines[found->second] : nullptr;
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
  while (at > 0 && s->Lines[at - 1].Key.empty() && Trim(s->Lines[at - 1].Raw).empty()) --at;
  s->Lines.insert(s->Lines.begin() + static_cast<std::ptrdiff_t>(at), TLine{key, clean(value), "", true});
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
  std::string out = FByteOrderMark ? "\xEF\xBB\xBF" : "";
  for (const std::string& line : FPrelude) out += line + "\r\n";
  for (const TSection& s : FSections) {
    out += "[" + s.Name + "]\r\n";
    for (const TLine& line : s.Lines) out += (line.Key.empty() ? line.Raw : line.Key + "=" + line.Value) + "\r\n";
  }
  return out;
}

void TIniFile::UpdateFile() {
  const std::string text = Text();
  TAtomicFileStream::WriteFile(FFileName, text.data(), text.size());
}
