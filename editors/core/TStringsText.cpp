#include "editors/core/TStringsText.h"

#include "editors/core/EditorHex.h"
#include "framework/base/AnsiStrings.h"

std::string TStringsText::Export(const std::vector<TStringRow>& rows) const {
  std::string out;
  for (const TStringRow& row : rows) {
    out += IntToHex(row.ID, 4);
    out += " | ";
    out += FToAnsi(row.Text);
    out += "\r\n";
  }
  return out;
}

std::vector<TStringRow> TStringsText::Import(const std::string& text) const {
  std::vector<TStringRow> rows;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') {
      ++pos;
      if (pos < text.size() && text[pos] == '\n') ++pos;
    } else if (pos < text.size()) {
      ++pos;
    }

    const size_t bar = line.find('|');
    const size_t from = bar == std::string::npos ? 1 : bar + 2;
    TStringRow row;
    row.ID = EditorHex::HexToInt(line.substr(0, 4));
    row.Text = from < line.size() ? FFromAnsi(line.substr(from)) : std::u16string();
    rows.push_back(std::move(row));
  }
  return rows;
}
