#pragma once

#include <functional>
#include <string>
#include <vector>

#include "workbench/core/TSuperfileHost.h"

// A host without a window for drivers, fuzz targets and benchmarks: keeps the rows the split adds,
// answers the save dialog with SaveName and passes error boxes to OnError.
class TCollectingHost : public TSuperfileHost {
public:
  std::vector<TCodeGroupRow> Rows;
  std::string SaveName;
  std::function<void(const std::string&)> OnError;

  void ResetRows() override { Rows.clear(); }
  void AddRow(const TCodeGroupRow& row) override { Rows.push_back(row); }
  void SelectLastRow() override {}
  void SetStatus(const std::string&) override {}
  void SetGaugeRange(int64_t, int64_t) override {}
  void SetGaugeProgress(int64_t) override {}
  void ShowError(const std::string& text) override {
    if (OnError) OnError(text);
  }
  void BringToFront() override {}
  bool AskSaveFileName(const std::string&, std::string& fileName) override {
    fileName = SaveName;
    return true;
  }
  void SetBusyCursor(bool) override {}
  void ProcessMessages() override {}
};
