// Test driver for the superfile engine: drives exactly the split and combine the main window uses.
//   shx-tool split FILE OUTDIR [--separate] [--buffer-kb N]
//   shx-tool combine LIST OUT [--buffer-kb N]
// Rows are printed and read as CG|Type|A1|A2|size|file (addresses as 8 hex digits, an empty CG for
// the RAM downloader and the boot loader); the split then prints the status texts it showed.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/base/AnsiStrings.h"
#include "framework/base/Exception.h"
#include "tests/tools/ToolSignals.h"
#include "workbench/core/Messages.h"
#include "workbench/core/TSuperfileCombiner.h"
#include "workbench/core/TSuperfileSplitter.h"

namespace {

class TConsoleHost : public TSuperfileHost {
public:
  std::vector<TCodeGroupRow> Rows;
  std::vector<std::string> Statuses;
  std::string SaveName;

  void ResetRows() override { Rows.clear(); }
  void AddRow(const TCodeGroupRow& row) override {
    for (const TCodeGroupRow& r : Rows)
      if (r.Type == row.Type) {
        std::cerr << "warning: \"" << row.Type << "\" " << Msgs[TMsgId::AlreadyExists] << "\n";
        return;
      }
    Rows.push_back(row);
  }
  void SelectLastRow() override {}
  void SetStatus(const std::string& text) override { Statuses.push_back(text); }
  void SetGaugeRange(int64_t, int64_t) override {}
  void SetGaugeProgress(int64_t) override {}
  void ShowError(const std::string& text) override { std::cerr << "error: " << text << "\n"; }
  void BringToFront() override {}
  bool AskSaveFileName(const std::string&, std::string& fileName) override {
    fileName = SaveName;
    return true;
  }
  void SetBusyCursor(bool) override {}
  void ProcessMessages() override {}
};

std::string FormatRow(const TCodeGroupRow& row) {
  return (row.CG ? std::to_string(*row.CG) : std::string()) + "|" + row.Type + "|" + IntToHex(row.A1, 8) +
         "|" + IntToHex(row.A2, 8) + "|" + std::to_string(row.Size) + "|" + row.Name;
}

bool ParseRow(const std::string& line, TCodeGroupRow& row) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  for (int i = 0; i < 5 && std::getline(in, field, '|'); ++i) fields.push_back(field);
  std::getline(in, field);
  fields.push_back(field);
  if (fields.size() != 6) return false;
  char* end = nullptr;
  row = TCodeGroupRow{};
  if (!fields[0].empty()) {
    row.CG = static_cast<int>(std::strtol(fields[0].c_str(), &end, 10));
    if (*end != '\0') return false;
  }
  row.Type = fields[1];
  row.A1 = static_cast<uint32_t>(std::strtoul(fields[2].c_str(), &end, 16));
  if (fields[2].empty() || *end != '\0') return false;
  row.A2 = static_cast<uint32_t>(std::strtoul(fields[3].c_str(), &end, 16));
  if (fields[3].empty() || *end != '\0') return false;
  row.Size = std::strtoll(fields[4].c_str(), &end, 10);
  row.Name = fields[5];
  return true;
}

int Usage() {
  std::cerr << "usage: shx-tool split FILE OUTDIR [--separate] [--buffer-kb N]\n"
               "       shx-tool combine LIST OUT [--buffer-kb N]\n";
  return 3;
}

}  // namespace

int main(int argc, char** argv) {
  IgnoreFileSizeSignal();
  if (argc < 4) return Usage();
  const std::string command = argv[1];
  int bufferKB = 512;
  bool separate = false;
  for (int i = 4; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--separate") {
      separate = true;
    } else if (arg == "--buffer-kb" && i + 1 < argc) {
      bufferKB = std::atoi(argv[++i]);
    } else {
      return Usage();
    }
  }
  TConsoleHost host;
  try {
    if (command == "split") {
      TSuperfileSplitter splitter(host);
      const bool ok = splitter.Split(argv[2], TSplitOptions{bufferKB, separate, argv[3]});
      for (const TCodeGroupRow& row : host.Rows) std::cout << FormatRow(row) << "\n";
      for (const std::string& status : host.Statuses) std::cout << status << "\n";
      return ok ? 0 : 1;
    }
    if (command == "combine") {
      std::ifstream list(argv[2]);
      if (!list) {
        std::cerr << "error: cannot read " << argv[2] << "\n";
        return 2;
      }
      std::vector<TCodeGroupRow> rows;
      std::string line;
      while (std::getline(list, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        TCodeGroupRow row;
        if (!ParseRow(line, row)) {
          std::cerr << "error: bad row: " << line << "\n";
          return 3;
        }
        rows.push_back(row);
      }
      // The grid's "by_cg" order: an empty CG first, then ascending, insertion order among equals.
      std::stable_sort(rows.begin(), rows.end(), [](const TCodeGroupRow& a, const TCodeGroupRow& b) {
        if (!a.CG || !b.CG) return !a.CG && b.CG;
        return *a.CG < *b.CG;
      });
      host.SaveName = argv[3];
      TSuperfileCombiner combiner(host);
      const bool ok = combiner.Combine(rows, argv[3], bufferKB);
      for (const std::string& status : host.Statuses) std::cout << status << "\n";
      return ok ? 0 : 1;
    }
  } catch (const Exception& e) {
    std::cerr << "error: " << e.Message() << "\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "error: " << e.what() << "\n";
    return 2;
  }
  return Usage();
}
