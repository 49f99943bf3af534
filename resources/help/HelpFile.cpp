#include "HelpFile.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>
#include <stdexcept>

namespace {

using TBytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kNone = 0xFFFFFFFF;
// Topic blocks: 4 KB, uncompressed, each starting with a 12-byte header; positions in them are
// block << 14 plus the offset counted from the block's start.
constexpr std::size_t kBlockSize = 0x1000, kBlockHeader = 12, kBlockData = kBlockSize - kBlockHeader;
constexpr std::size_t kLinkHeader = 21;
constexpr std::uint8_t kTopicHeader = 0x02, kDisplay = 0x20;
// Paragraph commands.
constexpr std::uint8_t kFont = 0x80, kParagraphEnd = 0x82, kLinkEnd = 0x89, kJump = 0xE3, kEnd = 0xFF;
constexpr std::uint16_t kBodyFont = 0, kHeadingFont = 1;

void Put16(TBytes& out, std::uint32_t v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}
void Put32(TBytes& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void Set32(TBytes& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}
void PutText(TBytes& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}
// The variable-length numbers of paragraph records, always in their long forms (low bit set).
void PutCompressedLong(TBytes& out, std::int32_t v) { Put32(out, 0x80000000u + std::uint32_t(v) * 2 + 1); }
void PutCompressedUShort(TBytes& out, std::uint16_t v) { Put16(out, std::uint32_t(v) * 2 + 1); }
void PutCompressedShort(TBytes& out, std::int16_t v) { Put16(out, 0x8000u + std::uint32_t(v) * 2 + 1); }

[[noreturn]] void Fail(int line, const std::string& what) {
  throw std::runtime_error("line " + std::to_string(line) + ": " + what);
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// One record of the topic file: the link header's fields are filled in when the records are laid out.
struct TRecord {
  std::uint8_t Type = 0;
  TBytes Data1;  // after the 21-byte link header
  TBytes Data2;
  std::uint16_t Characters = 0;  // what the record adds to the topic offset
  std::size_t Topic = 0;
  std::uint32_t Pos = 0;  // block << 14 | offset from the block's start
  std::size_t Size() const { return kLinkHeader + Data1.size() + Data2.size(); }
};

// A paragraph's texts and the commands that follow each of them.
class TParagraphBuilder {
public:
  explicit TParagraphBuilder(std::uint16_t font) { Command({kFont, std::uint8_t(font), std::uint8_t(font >> 8)}); }
  void Text(std::string_view text) { FText += text; }
  void Command(std::initializer_list<std::uint8_t> command) {
    PutText(FTexts, FText);
    FCharacters += FText.size();
    FText.clear();
    FCommands.insert(FCommands.end(), command.begin(), command.end());
  }
  TRecord Finish() {
    Command({kParagraphEnd});
    ++FCharacters;
    TRecord record;
    record.Type = kDisplay;
    record.Characters = std::uint16_t(FCharacters);
    PutCompressedLong(record.Data1, std::int32_t(FTexts.size()));
    PutCompressedUShort(record.Data1, record.Characters);
    // Paragraph settings: two unknown bytes, the paragraph id, then the bits of what follows:
    // only the space after the paragraph.
    record.Data1.insert(record.Data1.end(), {0x00, 0x80, 0x00, 0x00});
    Put16(record.Data1, 0x0004);
    PutCompressedShort(record.Data1, 12);
    record.Data1.insert(record.Data1.end(), FCommands.begin(), FCommands.end());
    record.Data1.push_back(kEnd);
    record.Data2 = FTexts;
    return record;
  }

private:
  std::string FText;
  TBytes FTexts, FCommands;
  std::size_t FCharacters = 0;
};

// A B+ tree of one leaf page holding sorted entries.
TBytes BTree(const char* structure, std::uint16_t flags, std::size_t pageSize, const std::vector<TBytes>& entries) {
  std::size_t used = 8;
  for (const TBytes& e : entries) used += e.size();
  if (used > pageSize) throw std::runtime_error("too many entries for one index page");
  TBytes out;
  Put16(out, 0x293B);
  Put16(out, flags);
  Put16(out, std::uint32_t(pageSize));
  std::string kind(structure);
  kind.resize(16, '\0');
  out.insert(out.end(), kind.begin(), kind.end());
  Put16(out, 0);       // must be zero
  Put16(out, 0);       // page splits
  Put16(out, 0);       // root page
  Put16(out, 0xFFFF);  // must be -1
  Put16(out, 1);       // pages
  Put16(out, 1);       // levels
  Put32(out, std::uint32_t(entries.size()));
  const std::size_t page = out.size();
  Put16(out, std::uint32_t(pageSize - used));  // free bytes
  Put16(out, std::uint32_t(entries.size()));
  Put16(out, 0xFFFF);  // previous page
  Put16(out, 0xFFFF);  // next page
  for (const TBytes& e : entries) out.insert(out.end(), e.begin(), e.end());
  out.resize(page + pageSize, 0);
  return out;
}

// An internal file: its header (reserved and used sizes, flags) and its bytes.
TBytes InternalFile(const TBytes& data) {
  TBytes out;
  Put32(out, std::uint32_t(data.size() + 9));
  Put32(out, std::uint32_t(data.size()));
  out.push_back(4);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

// Reads the source line by line: directives, topics and their paragraphs; the links are checked
// once every topic is known.
class THelpParser {
public:
  THelpDocument Parse(std::string_view source) {
    int lineNumber = 0;
    std::size_t at = 0;
    while (at <= source.size()) {
      std::size_t end = source.find('\n', at);
      if (end == std::string_view::npos) end = source.size();
      const std::string_view line = Trim(source.substr(at, end - at));
      at = end + 1;
      ++lineNumber;
      Line(line, lineNumber);
    }
    Flush();
    CheckContexts();
    return std::move(FDocument);
  }

private:
  void Line(std::string_view line, int lineNumber) {
    if (!line.empty() && line.front() == '#') return;
    if (line.empty()) {
      Flush();
      return;
    }
    if (line.front() == '.') {
      Flush();
      Directive(line, lineNumber);
      return;
    }
    if (FDocument.Topics.empty()) Fail(lineNumber, "text outside a topic");
    if (FParagraph.empty()) FParagraphLine = lineNumber;
    else FParagraph += ' ';
    FParagraph += line;
  }

  void Directive(std::string_view line, int lineNumber) {
    const std::size_t blank = line.find(' ');
    const std::string_view word = line.substr(0, blank);
    const std::string_view rest = blank == std::string_view::npos ? "" : Trim(line.substr(blank));
    if (word == ".title") FDocument.Title = rest;
    else if (word == ".topic") Topic(rest, lineNumber);
    else if (word == ".map") Map(rest, lineNumber);
    else Fail(lineNumber, "unknown directive " + std::string(word));
  }

  void Topic(std::string_view rest, int lineNumber) {
    const std::size_t split = rest.find(' ');
    const std::string name(rest.substr(0, split));
    if (name.empty() || HelpContextHash(name) == 0) Fail(lineNumber, "a topic needs a context name");
    if (!FContextLines.emplace(name, lineNumber).second) Fail(lineNumber, "context " + name + " repeats");
    FDocument.Topics.push_back({name, std::string(split == std::string_view::npos ? "" : Trim(rest.substr(split))), {}, {}});
  }

  void Map(std::string_view rest, int lineNumber) {
    if (FDocument.Topics.empty()) Fail(lineNumber, ".map outside a topic");
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
    if (error != std::errc() || end != rest.data() + rest.size()) Fail(lineNumber, "bad context number");
    if (!FNumbers.insert(number).second) Fail(lineNumber, "context number repeats");
    FDocument.Topics.back().MapNumbers.push_back(number);
  }

  // The gathered paragraph into its spans: plain text and [[NAME|text]] links.
  void Flush() {
    if (FParagraph.empty()) return;
    std::vector<THelpSpan> spans;
    std::size_t at = 0;
    while (at < FParagraph.size()) {
      const std::size_t open = FParagraph.find("[[", at);
      if (open == std::string::npos) {
        spans.push_back({FParagraph.substr(at), ""});
        break;
      }
      if (open > at) spans.push_back({FParagraph.substr(at, open - at), ""});
      const std::size_t close = FParagraph.find("]]", open);
      const std::size_t bar = FParagraph.find('|', open);
      if (close == std::string::npos || bar == std::string::npos || bar > close)
        Fail(FParagraphLine, "a link is written [[NAME|text]]");
      std::string name(Trim(std::string_view(FParagraph).substr(open + 2, bar - open - 2)));
      spans.push_back({FParagraph.substr(bar + 1, close - bar - 1), name});
      FLinks.emplace_back(name, FParagraphLine);
      at = close + 2;
    }
    FDocument.Topics.back().Paragraphs.push_back(std::move(spans));
    FParagraph.clear();
  }

  void CheckContexts() {
    for (const auto& [name, line] : FLinks)
      if (!FContextLines.count(name)) Fail(line, "link to unknown topic " + name);
    // Distinct names must not share a hash, or a link would open the wrong topic.
    std::map<std::int32_t, std::string> hashes;
    for (const THelpTopic& topic : FDocument.Topics)
      if (!hashes.emplace(HelpContextHash(topic.Context), topic.Context).second)
        Fail(FContextLines[topic.Context], "context " + topic.Context + " hashes as " + hashes[HelpContextHash(topic.Context)]);
  }

  THelpDocument FDocument;
  std::map<std::string, int> FContextLines;
  std::set<std::uint32_t> FNumbers;
  std::vector<std::pair<std::string, int>> FLinks;
  std::string FParagraph;
  int FParagraphLine = 0;
};

// The records of one topic: its header, its heading and its paragraphs.
void AddTopicRecords(const THelpTopic& topic, std::size_t t, std::vector<TRecord>& records) {
  const auto add = [&](TRecord record) {
    record.Topic = t;
    records.push_back(std::move(record));
  };
  TRecord header;
  header.Type = kTopicHeader;
  header.Data1.resize(28, 0);
  header.Data2.assign(topic.Title.begin(), topic.Title.end());
  header.Data2.push_back(0);
  add(std::move(header));
  TParagraphBuilder heading(kHeadingFont);
  heading.Text(topic.Title);
  add(heading.Finish());
  for (const std::vector<THelpSpan>& spans : topic.Paragraphs) {
    TParagraphBuilder paragraph(kBodyFont);
    for (const THelpSpan& span : spans) {
      if (span.Link.empty()) {
        paragraph.Text(span.Text);
        continue;
      }
      const auto hash = std::uint32_t(HelpContextHash(span.Link));
      paragraph.Command({kJump, std::uint8_t(hash), std::uint8_t(hash >> 8), std::uint8_t(hash >> 16),
                         std::uint8_t(hash >> 24)});
      paragraph.Text(span.Text);
      paragraph.Command({kLinkEnd});
    }
    add(paragraph.Finish());
  }
}

// Where the records and topics lie in the topic file.
struct TTopicLayout {
  std::size_t Blocks = 0;
  std::vector<std::uint32_t> Pos, Offset, Size;
};

// A record never straddles two blocks. The topic offset of a topic is its block << 15 plus the
// characters of the paragraphs before it in that block.
TTopicLayout LayOutRecords(const THelpDocument& document, std::vector<TRecord>& records) {
  TTopicLayout layout;
  layout.Pos.resize(document.Topics.size());
  layout.Offset.resize(document.Topics.size());
  layout.Size.resize(document.Topics.size(), 0);
  std::size_t block = 0, used = 0, characters = 0;
  for (TRecord& r : records) {
    if (r.Size() > kBlockData) throw std::runtime_error("a paragraph of \"" + document.Topics[r.Topic].Title + "\" is too long");
    if (used + r.Size() > kBlockData) {
      ++block;
      used = 0;
    }
    if (used == 0) characters = 0;
    r.Pos = std::uint32_t(block << 14 | (kBlockHeader + used));
    used += r.Size();
    layout.Size[r.Topic] += std::uint32_t(r.Size());
    if (r.Type == kTopicHeader) {
      layout.Pos[r.Topic] = r.Pos;
      layout.Offset[r.Topic] = std::uint32_t(block << 15 | characters);
    } else {
      characters += r.Characters;
    }
  }
  layout.Blocks = block + 1;
  return layout;
}

// A topic header's fields: the topic's size, its neighbours and its first paragraph.
void FillTopicHeader(TRecord& r, const TTopicLayout& layout, std::uint32_t firstParagraph) {
  const std::size_t t = r.Topic;
  const bool last = t + 1 == layout.Offset.size();
  Set32(r.Data1, 0, layout.Size[t]);
  Set32(r.Data1, 4, t == 0 ? kNone : layout.Offset[t - 1]);
  Set32(r.Data1, 8, last ? kNone : layout.Offset[t + 1]);
  Set32(r.Data1, 12, std::uint32_t(t));
  Set32(r.Data1, 16, kNone);  // no non-scrolling region
  Set32(r.Data1, 20, firstParagraph);
  Set32(r.Data1, 24, last ? kNone : layout.Pos[t + 1]);
}

// The topic file: the blocks with their headers and the records chained by their link headers.
TBytes TopicFile(std::vector<TRecord>& records, const TTopicLayout& layout) {
  TBytes topicFile(layout.Blocks * kBlockSize, 0);
  std::uint32_t lastRecord = kNone, lastHeader = kNone;
  std::size_t headerBlock = kNone;
  for (std::size_t i = 0; i < records.size(); ++i) {
    TRecord& r = records[i];
    const std::size_t b = r.Pos >> 14, offset = (r.Pos & 0x3FFF);
    if (b != headerBlock) {
      const std::size_t start = b * kBlockSize;
      Set32(topicFile, start, lastRecord);
      Set32(topicFile, start + 4, r.Pos);
      Set32(topicFile, start + 8, lastHeader);
      headerBlock = b;
    }
    TBytes link;
    Put32(link, std::uint32_t(r.Size()));
    Put32(link, std::uint32_t(r.Data2.size()));
    Put32(link, lastRecord);
    Put32(link, i + 1 < records.size() ? records[i + 1].Pos : kNone);
    Put32(link, std::uint32_t(kLinkHeader + r.Data1.size()));
    link.push_back(r.Type);
    if (r.Type == kTopicHeader) {
      FillTopicHeader(r, layout, records[i + 1].Pos);
      lastHeader = r.Pos;
    }
    link.insert(link.end(), r.Data1.begin(), r.Data1.end());
    link.insert(link.end(), r.Data2.begin(), r.Data2.end());
    std::copy(link.begin(), link.end(), topicFile.begin() + std::ptrdiff_t(b * kBlockSize + offset));
    lastRecord = r.Pos;
  }
  return topicFile;
}

TBytes SystemFile(const THelpDocument& document, std::uint32_t contentsOffset) {
  TBytes system;
  Put16(system, 0x036C);  // magic
  Put16(system, 21);      // minor version: 3.1 and later
  Put16(system, 1);       // major version
  Put32(system, 0);       // generation date
  Put16(system, 0);       // flags: uncompressed 4 KB topic blocks
  Put16(system, 1);       // title
  Put16(system, std::uint32_t(document.Title.size() + 1));
  PutText(system, document.Title);
  Put16(system, 3);  // contents topic
  Put16(system, 4);
  Put32(system, contentsOffset);
  return system;
}

// Fonts: one face, body and heading descriptors (attributes, half points, family, face,
// foreground and background colours).
TBytes FontFile() {
  TBytes font;
  const std::size_t faceLength = 32;
  Put16(font, 1);
  Put16(font, 2);
  Put16(font, 8);
  Put16(font, std::uint32_t(8 + faceLength));
  std::string face = "Arial";
  face.resize(faceLength, '\0');
  font.insert(font.end(), face.begin(), face.end());
  for (const auto& [bold, halfPoints] : {std::pair{0, 20}, std::pair{1, 28}}) {
    font.push_back(std::uint8_t(bold));
    font.push_back(std::uint8_t(halfPoints));
    font.push_back(3);  // swiss
    Put16(font, 0);
    font.insert(font.end(), {0, 0, 0, 255, 255, 255});
  }
  return font;
}

// The context names' hashes, sorted, to the topics' offsets.
TBytes ContextFile(const THelpDocument& document, const std::vector<std::uint32_t>& topicOffset) {
  std::vector<std::pair<std::int32_t, std::uint32_t>> hashes;
  for (std::size_t t = 0; t < document.Topics.size(); ++t)
    hashes.emplace_back(HelpContextHash(document.Topics[t].Context), topicOffset[t]);
  std::sort(hashes.begin(), hashes.end());
  std::vector<TBytes> contextEntries;
  for (const auto& [hash, offset] : hashes) {
    TBytes e;
    Put32(e, std::uint32_t(hash));
    Put32(e, offset);
    contextEntries.push_back(std::move(e));
  }
  return BTree("L4", 0x0002, 0x0800, contextEntries);
}

// The numeric contexts to the topics' offsets.
TBytes MapFile(const THelpDocument& document, const std::vector<std::uint32_t>& topicOffset) {
  TBytes map;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> numbers;
  for (std::size_t t = 0; t < document.Topics.size(); ++t)
    for (const std::uint32_t n : document.Topics[t].MapNumbers) numbers.emplace_back(n, topicOffset[t]);
  Put16(map, std::uint32_t(numbers.size()));
  for (const auto& [number, offset] : numbers) {
    Put32(map, number);
    Put32(map, offset);
  }
  return map;
}

// The container: its header, the internal files and their directory.
TBytes FileSystem(const std::map<std::string, TBytes>& files) {
  TBytes out(16, 0);
  std::vector<TBytes> directory;  // std::map iterates in byte order, as the directory is searched
  for (const auto& [name, data] : files) {
    TBytes entry(name.begin(), name.end());
    entry.push_back(0);
    Put32(entry, std::uint32_t(out.size()));
    directory.push_back(std::move(entry));
    const TBytes file = InternalFile(data);
    out.insert(out.end(), file.begin(), file.end());
  }
  const std::size_t directoryStart = out.size();
  const TBytes directoryFile = InternalFile(BTree("z4", 0x0402, 0x0400, directory));
  out.insert(out.end(), directoryFile.begin(), directoryFile.end());
  Set32(out, 0, 0x00035F3F);
  Set32(out, 4, std::uint32_t(directoryStart));
  Set32(out, 8, kNone);  // no free block
  Set32(out, 12, std::uint32_t(out.size()));
  return out;
}

}  // namespace

std::int32_t HelpContextHash(std::string_view name) {
  std::uint32_t hash = 0;
  for (const char c : name) {
    std::uint32_t x = 0;
    if (c >= 'A' && c <= 'Z') x = std::uint32_t(c - 'A' + 17);
    else if (c >= 'a' && c <= 'z') x = std::uint32_t(c - 'a' + 17);
    else if (c >= '1' && c <= '9') x = std::uint32_t(c - '0');
    else if (c == '0') x = 10;
    else if (c == '.') x = 12;
    else if (c == '_') x = 13;
    if (x != 0) hash = hash * 43 + x;
  }
  return std::int32_t(hash);
}

THelpDocument ParseHelpSource(std::string_view source) { return THelpParser().Parse(source); }

std::vector<std::uint8_t> WriteHelpFile(const THelpDocument& document) {
  if (document.Topics.empty()) throw std::runtime_error("a help file needs a topic");
  std::vector<TRecord> records;
  for (std::size_t t = 0; t < document.Topics.size(); ++t) AddTopicRecords(document.Topics[t], t, records);
  const TTopicLayout layout = LayOutRecords(document, records);
  TBytes topicFile = TopicFile(records, layout);
  return FileSystem({{"|CONTEXT", ContextFile(document, layout.Offset)},
                     {"|CTXOMAP", MapFile(document, layout.Offset)},
                     {"|FONT", FontFile()},
                     {"|SYSTEM", SystemFile(document, layout.Offset[0])},
                     {"|TOPIC", std::move(topicFile)}});
}
