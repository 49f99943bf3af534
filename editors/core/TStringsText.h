#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One row of a language's strings table.
struct TStringRow {
  int32_t ID = 0;
  std::u16string Text;
  bool operator==(const TStringRow&) const = default;
};

// The text form of a strings table: one line per row, "IDStr | Text", the text in the system's 8-bit
// code page. The code-page conversion is given by the caller.
class TStringsText {
public:
  using TToAnsi = std::function<std::string(const std::u16string&)>;
  using TFromAnsi = std::function<std::u16string(const std::string&)>;

  TStringsText(TToAnsi toAnsi, TFromAnsi fromAnsi)
      : FToAnsi(std::move(toAnsi)), FFromAnsi(std::move(fromAnsi)) {}

  // Lines end with "\r\n", the system's line break.
  std::string Export(const std::vector<TStringRow>& rows) const;
  // Lines may end with "\r\n", "\n" or "\r". The ID is the line's first four characters read as hex;
  // the text starts two characters after the first "|" (at the second character without one).
  std::vector<TStringRow> Import(const std::string& text) const;

private:
  TToAnsi FToAnsi;
  TFromAnsi FFromAnsi;
};
