#include "framework/base/TableXmlFormat.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "framework/base/AnsiStrings.h"
#include "framework/base/Exception.h"

namespace {

constexpr std::string_view kRootOpen = "<TARVEXTABLE";
constexpr std::string_view kRootClose = "</TARVEXTABLE>";

const char* TypeName(TFieldType type) {
  switch (type) {
    case TFieldType::ftInteger:
      return "integer";
    case TFieldType::ftString:
      return "string";
    case TFieldType::ftWideString:
      return "widestring";
  }
  return "";
}

void AppendCharRef(std::string& out, std::uint32_t cp) { out += "&#x" + IntToHex(cp, 1) + ";"; }

// Strict: overlong forms, encoded surrogates and values past U+10FFFF are refused.
bool DecodeUtf8(std::string_view in, WideString& out) {
  std::size_t i = 0;
  while (i < in.size()) {
    auto b = static_cast<unsigned char>(in[i]);
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    }
    std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
    if (length == 0 || i + length > in.size()) return false;
    std::uint32_t cp = b & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      auto c = static_cast<unsigned char>(in[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr std::uint32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return false;
    AppendUtf16(out, cp);
    i += length;
  }
  return true;
}

void AppendEscaped(std::string& out, const WideString& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t u = text[i];
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (u < 0x20 || (u >= 0xD800 && u < 0xE000) || u >= 0xFFFE) {
      AppendCharRef(out, u);
    } else if (u == '&') {
      out += "&amp;";
    } else if (u == '<') {
      out += "&lt;";
    } else if (u == '>') {
      out += "&gt;";
    } else if (u == '"') {
      out += "&quot;";
    } else {
      AppendUtf8(out, u);
    }
  }
}

[[noreturn]] void Corrupt(const std::string& what) { throw EDatabaseError(what); }

// The root carries its version and checksum, with room for what a later version may add; a field
// definition its name, type, size and kind.
constexpr std::size_t kMaxRootAttributes = 8;
constexpr std::size_t kMaxFieldAttributes = 8;

struct TAttribute {
  std::string_view Name;
  WideString Value;
};

struct TElement {
  std::string_view Name;
  std::vector<TAttribute> Attributes;
  bool SelfClosing = false;
  bool Closing = false;

  const WideString* Find(std::string_view name) const {
    for (const TAttribute& a : Attributes)
      if (a.Name == name) return &a.Value;
    return nullptr;
  }
};

// A strict reader for the element-only documents this form writes: elements with attributes,
// whitespace and comments between them, and no text content.
class TXmlReader {
public:
  explicit TXmlReader(std::string_view text) : FText(text) {}
  std::size_t Position() const { return FPos; }

  bool AtEnd() {
    SkipMisc();
    return FPos >= FText.size();
  }

  // Reads the next tag; one with more than maxAttributes attributes is refused as soon as it has.
  TElement Next(std::size_t maxAttributes) {
    SkipMisc();
    if (FPos >= FText.size() || FText[FPos] != '<') Corrupt("text where an element was expected");
    ++FPos;
    TElement e;
    if (FPos < FText.size() && FText[FPos] == '/') {
      e.Closing = true;
      ++FPos;
    }
    e.Name = Name();
    for (std::size_t guard = 0;; ++guard) {
      if (guard > FText.size()) Corrupt("a malformed element");
      SkipBlanks();
      if (FPos >= FText.size()) Corrupt("an unfinished element");
      char c = FText[FPos];
      if (c == '>') {
        ++FPos;
        CheckUnique(e);
        return e;
      }
      if (c == '/' && !e.Closing && FPos + 1 < FText.size() && FText[FPos + 1] == '>') {
        FPos += 2;
        e.SelfClosing = true;
        CheckUnique(e);
        return e;
      }
      if (e.Closing) Corrupt("attributes in an end tag");
      if (e.Attributes.size() >= maxAttributes) Corrupt("an element with too many attributes");
      TAttribute a;
      a.Name = Name();
      SkipBlanks();
      if (FPos >= FText.size() || FText[FPos] != '=') Corrupt("an attribute without a value");
      ++FPos;
      SkipBlanks();
      a.Value = Value();
      e.Attributes.push_back(std::move(a));
    }
  }

private:
  // Sorted, so that an element of many attributes costs no comparison of each with every other.
  static void CheckUnique(const TElement& e) {
    if (e.Attributes.size() < 2) return;
    std::vector<std::string_view> names;
    names.reserve(e.Attributes.size());
    for (const TAttribute& a : e.Attributes) names.push_back(a.Name);
    std::sort(names.begin(), names.end());
    if (std::adjacent_find(names.begin(), names.end()) != names.end()) Corrupt("a repeated attribute");
  }

  static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  static bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.' || c == ':';
  }

  void SkipBlanks() {
    while (FPos < FText.size() && IsBlank(FText[FPos])) ++FPos;
  }

  void SkipMisc() {
    for (;;) {
      SkipBlanks();
      if (FText.substr(FPos, 4) != "<!--") return;
      std::size_t end = FText.find("-->", FPos + 4);
      if (end == std::string_view::npos) Corrupt("an unfinished comment");
      FPos = end + 3;
    }
  }

  std::string_view Name() {
    std::size_t start = FPos;
    while (FPos < FText.size() && IsNameChar(FText[FPos])) ++FPos;
    if (FPos == start) Corrupt("a missing name");
    return FText.substr(start, FPos - start);
  }

  WideString Value() {
    if (FPos >= FText.size() || (FText[FPos] != '"' && FText[FPos] != '\'')) Corrupt("an unquoted value");
    char quote = FText[FPos++];
    std::size_t end = FText.find(quote, FPos);
    if (end == std::string_view::npos) Corrupt("an unfinished value");
    std::string_view raw = FText.substr(FPos, end - FPos);
    FPos = end + 1;
    return Decode(raw);
  }

  static WideString Decode(std::string_view raw) {
    WideString out;
    std::size_t i = 0;
    while (i < raw.size()) {
      std::size_t amp = raw.find('&', i);
      std::size_t stop = amp == std::string_view::npos ? raw.size() : amp;
      if (stop > i) {
        std::string_view chunk = raw.substr(i, stop - i);
        if (chunk.find('<') != std::string_view::npos) Corrupt("a \"<\" inside a value");
        if (!DecodeUtf8(chunk, out)) Corrupt("malformed UTF-8");
      }
      if (amp == std::string_view::npos) break;
      std::size_t semi = raw.find(';', amp);
      if (semi == std::string_view::npos || semi - amp > 10) Corrupt("a malformed reference");
      std::string_view ref = raw.substr(amp + 1, semi - amp - 1);
      if (ref == "amp") out += u'&';
      else if (ref == "lt") out += u'<';
      else if (ref == "gt") out += u'>';
      else if (ref == "quot") out += u'"';
      else if (ref == "apos") out += u'\'';
      else if (ref.size() >= 2 && ref[0] == '#') {
        std::uint32_t cp = 0;
        bool hex = ref[1] == 'x';
        std::size_t k = hex ? 2 : 1;
        if (k >= ref.size()) Corrupt("a malformed reference");
        for (; k < ref.size(); ++k) {
          char c = ref[k];
          int d = c >= '0' && c <= '9' ? c - '0'
                  : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                  : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                : -1;
          if (d < 0) Corrupt("a malformed reference");
          cp = cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
          if (cp > 0x10FFFF) Corrupt("a reference out of range");
        }
        AppendUtf16(out, cp);
      } else {
        Corrupt("an unknown entity");
      }
      i = semi + 1;
    }
    return out;
  }

  std::string_view FText;
  std::size_t FPos = 0;
};

std::uint64_t ParseNumber(const WideString* text, std::uint64_t max, const char* what) {
  if (text == nullptr || text->empty() || text->size() > 20) Corrupt(std::string("a missing or invalid ") + what);
  std::uint64_t v = 0;
  for (char16_t c : *text) {
    if (c < u'0' || c > u'9') Corrupt(std::string("an invalid ") + what);
    std::uint64_t d = static_cast<std::uint64_t>(c - u'0');
    if (d > max || v > (max - d) / 10) Corrupt(std::string("an out-of-range ") + what);
    v = v * 10 + d;
  }
  return v;
}

std::string Narrow(const WideString& text) {
  std::string out;
  for (char16_t c : text) {
    if (c < 0x20 || c > 0x7E) Corrupt("a name with unexpected characters");
    out += static_cast<char>(c);
  }
  return out;
}

}  // namespace

std::string WriteXmlTable(const std::vector<TTableFieldDesc>& fields,
                          const std::vector<std::unique_ptr<TTableRow>>& rows) {
  std::string body = "\r\n<FIELDS>\r\n";
  std::vector<TFieldType> dataTypes;
  for (const TTableFieldDesc& f : fields) {
    body += "<FIELD name=\"";
    AppendEscaped(body, AnsiToWide(f.Name));
    body += "\" type=\"";
    body += TypeName(f.Type);
    body += "\"";
    if (f.Type != TFieldType::ftInteger) body += " size=\"" + IntToStr(f.Size) + "\"";
    body += f.Kind == TFieldKind::fkData ? " kind=\"data\"/>\r\n" : " kind=\"calculated\"/>\r\n";
    if (f.Kind == TFieldKind::fkData) dataTypes.push_back(f.Type);
  }
  body += "</FIELDS>\r\n<ROWS>\r\n";
  for (const auto& row : rows) {
    body += "<ROW id=\"" + std::to_string(row->Id) + "\"";
    for (std::size_t k = 0; k < dataTypes.size(); ++k) {
      const TVariant& v = row->Values[k];
      if (v.IsNull()) continue;
      body += " f" + std::to_string(k) + "=\"";
      switch (v.Type()) {
        case TVarType::varInteger:
          body += IntToStr(v.Integer());
          break;
        case TVarType::varString:
          AppendEscaped(body, AnsiToWide(v.String()));
          break;
        case TVarType::varWideString:
          AppendEscaped(body, v.Wide());
          break;
        case TVarType::varNull:
          break;
      }
      body += "\"";
    }
    body += "/>\r\n";
  }
  body += "</ROWS>\r\n";
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
  out += std::string(kRootOpen) + " version=\"" + IntToStr(kTableFormatVersion) + "\" crc=\"" +
         IntToHex(TableCrc32(body.data(), body.size()), 8) + "\">";
  out += body;
  out += std::string(kRootClose) + "\r\n";
  return out;
}

bool LooksLikeXmlTable(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::size_t i = text.find_first_not_of(" \t\r\n");
  return i != std::string_view::npos && text[i] == '<';
}

TTablePacket ReadXmlTable(const std::uint8_t* data, std::size_t size) {
  TLoadBudget budget(size);
  return ReadXmlTable(data, size, budget);
}

TTablePacket ReadXmlTable(const std::uint8_t* data, std::size_t size, TLoadBudget& budget) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  // Before the root only blanks, comments and the XML declaration may stand.
  std::size_t root = text.find_first_not_of(" \t\r\n");
  if (root != std::string_view::npos && text.substr(root, 5) == "<?xml") {
    std::size_t end = text.find("?>", root);
    if (end == std::string_view::npos) Corrupt("it is not a table file");
    root = end + 2;
  }
  for (;;) {
    root = text.find_first_not_of(" \t\r\n", root == std::string_view::npos ? text.size() : root);
    if (root == std::string_view::npos || text.substr(root, 4) != "<!--") break;
    std::size_t end = text.find("-->", root + 4);
    if (end == std::string_view::npos) Corrupt("it is not a table file");
    root = end + 3;
  }
  if (root == std::string_view::npos || text.substr(root, kRootOpen.size()) != kRootOpen)
    Corrupt("it is not a table file");
  // The end is checked before the root tag is read.
  std::size_t bodyEnd = text.rfind(kRootClose);
  if (bodyEnd == std::string_view::npos || bodyEnd < root) Corrupt("it is truncated");
  if (text.substr(bodyEnd + kRootClose.size()).find_first_not_of(" \t\r\n") != std::string_view::npos)
    Corrupt("it has data after its end");
  TXmlReader rootReader(text.substr(root, bodyEnd - root));
  TElement rootElement = rootReader.Next(kMaxRootAttributes);
  if (rootElement.Name != kRootOpen.substr(1) || rootElement.SelfClosing) Corrupt("it is not a table file");
  std::uint64_t version = ParseNumber(rootElement.Find("version"), 65535, "version");
  if (version > kTableFormatVersion) Corrupt("it was written by a newer version of the program");
  if (version == 0) Corrupt("its version is invalid");

  std::size_t bodyStart = root + rootReader.Position();
  std::string_view body = text.substr(bodyStart, bodyEnd - bodyStart);
  const WideString* crcText = rootElement.Find("crc");
  if (crcText == nullptr || crcText->size() != 8) Corrupt("its checksum is missing");
  std::int32_t crc;
  if (!TryStrToInt("$" + Narrow(*crcText), crc)) Corrupt("its checksum is invalid");
#ifndef TARVEX_FUZZING
  if (TableCrc32(body.data(), body.size()) != static_cast<std::uint32_t>(crc))
    Corrupt("it is corrupt or truncated (checksum mismatch)");
#endif

  TTablePacket packet;
  TXmlReader reader(body);
  TElement e = reader.Next(kMaxFieldAttributes);
  if (e.Name != "FIELDS" || e.SelfClosing || e.Closing) Corrupt("its field list is missing");
  std::vector<TFieldType> dataTypes;
  for (;;) {
    e = reader.Next(kMaxFieldAttributes);
    if (e.Closing && e.Name == "FIELDS") break;
    if (e.Name != "FIELD" || !e.SelfClosing) Corrupt("its field list is malformed");
    if (packet.Fields.size() >= kMaxTableFields) Corrupt("it has too many fields");
    TTableFieldDesc f;
    const WideString* name = e.Find("name");
    const WideString* type = e.Find("type");
    const WideString* kind = e.Find("kind");
    if (name == nullptr || type == nullptr || kind == nullptr) Corrupt("a field definition is incomplete");
    if (name->size() > kMaxFieldNameLength) Corrupt("a field name is too long");
    f.Name = WideToAnsi(*name);
    if (*type == u"integer") f.Type = TFieldType::ftInteger;
    else if (*type == u"string") f.Type = TFieldType::ftString;
    else if (*type == u"widestring") f.Type = TFieldType::ftWideString;
    else Corrupt("a field type is unknown");
    if (*kind == u"data") f.Kind = TFieldKind::fkData;
    else if (*kind == u"calculated") f.Kind = TFieldKind::fkCalculated;
    else Corrupt("a field kind is unknown");
    if (f.Type != TFieldType::ftInteger)
      f.Size = static_cast<int>(ParseNumber(e.Find("size"), kMaxStringFieldSize, "field size"));
    else if (e.Find("size") != nullptr)
      Corrupt("an integer field with a size");
    if (f.Kind == TFieldKind::fkData) dataTypes.push_back(f.Type);
    packet.Fields.push_back(std::move(f));
  }
  // A row holds its id and a value for each data field.
  const std::size_t maxRowAttributes = dataTypes.size() + 1;
  e = reader.Next(maxRowAttributes);
  if (e.Name != "ROWS" || e.Closing) Corrupt("its row list is missing");
  if (!e.SelfClosing) {
    // The rows are counted first, so that a table too large to hold is refused before any row
    // is built, and the row list is made once at its size.
    const std::string_view rest = body.substr(reader.Position());
    std::size_t rows = 0;
    for (std::size_t at = rest.find("<ROW"); at != std::string_view::npos; at = rest.find("<ROW", at + 4)) ++rows;
    ChargeTableRows(budget, rows, dataTypes.size());
    packet.Rows.reserve(rows);
    for (;;) {
      e = reader.Next(maxRowAttributes);
      if (e.Closing && e.Name == "ROWS") break;
      if (e.Name != "ROW" || !e.SelfClosing) Corrupt("its row list is malformed");
      auto row = std::make_unique<TTableRow>();
      row->Values.resize(dataTypes.size());
      bool haveId = false;
      for (const TAttribute& a : e.Attributes) {
        if (a.Name == "id") {
          row->Id = ParseNumber(&a.Value, UINT64_MAX - 1, "row id");
          haveId = true;
          continue;
        }
        if (a.Name.size() < 2 || a.Name[0] != 'f') Corrupt("a row has an unknown attribute");
        WideString number(a.Name.begin() + 1, a.Name.end());
        std::uint64_t k = ParseNumber(&number, dataTypes.size() - 1 + (dataTypes.empty() ? 1 : 0), "field number");
        if (k >= dataTypes.size() || (a.Name.size() > 2 && a.Name[1] == '0')) Corrupt("a row names an unknown field");
        switch (dataTypes[k]) {
          case TFieldType::ftInteger: {
            std::int32_t v;
            if (a.Value.empty() || !TryStrToInt(WideToAnsi(a.Value), v) || AnsiToWide(IntToStr(v)) != a.Value)
              Corrupt("an integer value is invalid");
            row->Values[k] = TVariant(v);
            break;
          }
          case TFieldType::ftString: {
            std::string ansi = WideToAnsi(a.Value);
            if (AnsiToWide(ansi) != a.Value) Corrupt("a text holds characters the code page lacks");
            ChargeTableText(budget, ansi.size(), 1);
            row->Values[k] = TVariant(std::move(ansi));
            break;
          }
          case TFieldType::ftWideString:
            ChargeTableText(budget, a.Value.size(), 2);
            row->Values[k] = TVariant(a.Value);
            break;
        }
      }
      if (!haveId) Corrupt("a row has no id");
      packet.Rows.push_back(std::move(row));
    }
  }
  if (!reader.AtEnd()) Corrupt("it has data after its row list");
  ValidateTablePacket(packet);
  return packet;
}
