// Test driver on the language-pack core:
//   lp-tool list IMAGE
//   lp-tool dump IMAGE SLOT                  strings as "IDStr | text" lines in UTF-8
//   lp-tool pack IMAGE SLOT STRINGS OUT      strings from such a UTF-8 file into language SLOT
//   lp-tool delete IMAGE SLOT OUT
//   lp-tool insert IMAGE LNG OUT
#include "editors/core/EditorHex.h"
#include "editors/core/LanguageName.h"
#include "editors/core/TLanguagePack.h"
#include "editors/core/TStringsText.h"
#include "framework/base/AnsiStrings.h"
#include "tests/tools/lp-tool/lp-files.h"
#include "tests/tools/ToolSignals.h"

#include <cstdio>
#include <iostream>

namespace {

int Usage() {
  std::cerr << "usage: lp-tool list IMAGE | dump IMAGE SLOT | pack IMAGE SLOT STRINGS OUT | "
               "delete IMAGE SLOT OUT | insert IMAGE LNG OUT\n";
  return 2;
}

void Save(const TLanguagePack& pack, const std::string& path) {
  lp::WriteFile(path, pack.Image().data(), pack.Image().size());
}

}  // namespace

int main(int argc, char** argv) {
  IgnoreFileSizeSignal();
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() < 2) return Usage();
  const TStringsText text(lp::ToUtf8, lp::FromUtf8);
  try {
    TLanguagePack pack(lp::ReadFile(args[1]));
    const std::string& command = args[0];
    if (command == "list") {
      for (int slot = 0; slot < pack.Count(); ++slot) {
        const TLanguageInfo info = pack.Language(slot);
        std::cout << slot << " " << IntToHex(info.ID, 2) << " " << LanguageName(info.ID) << " "
                  << IntToHex(info.Address, 8) << " " << IntToHex(info.ITapAddress, 8) << "\n";
      }
    } else if (command == "dump" && args.size() == 3) {
      const auto strings = pack.Decode(std::stoi(args[2]));
      std::vector<TStringRow> rows;
      for (size_t i = 0; i < strings.size(); ++i) rows.push_back({int32_t(i + 1), strings[i]});
      std::cout << text.Export(rows);
    } else if (command == "pack" && args.size() == 5) {
      const auto bytes = lp::ReadFile(args[3]);
      std::vector<std::u16string> strings;
      for (const TStringRow& row : text.Import(std::string(bytes.begin(), bytes.end())))
        strings.push_back(row.Text);
      const TPackResult result = pack.Pack(std::stoi(args[2]), strings);
      Save(pack, args[4]);
      std::cout << "packed " << strings.size() << " strings, " << result.DroppedUnits
                << " characters dropped\n";
    } else if (command == "delete" && args.size() == 4) {
      pack.Delete(std::stoi(args[2]));
      Save(pack, args[3]);
    } else if (command == "insert" && args.size() == 4) {
      pack.Insert(lp::ReadFile(args[2]));
      Save(pack, args[3]);
    } else {
      return Usage();
    }
  } catch (const std::exception& e) {
    std::cerr << "lp-tool: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
