#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/TTempFolder.h"
#include "workbench/core/Messages.h"
#include "workbench/core/TSuperfileHost.h"

// Records what the engines show, in order, and answers the save dialog.
class TRecordingHost : public TSuperfileHost {
public:
  std::vector<TCodeGroupRow> Rows;
  // "status:", "error:", "warning:", "row:", "reset", "last", "front", "busy:"
  std::vector<std::string> Events;
  std::string SaveAnswer;
  bool SaveAccepted = true;
  int64_t GaugeMax = -1;
  int64_t GaugeProgress = -1;

  void ResetRows() override {
    Rows.clear();
    Events.push_back("reset");
  }
  void AddRow(const TCodeGroupRow& row) override {
    for (const TCodeGroupRow& r : Rows)
      if (r.Type == row.Type) return;
    Rows.push_back(row);
    Events.push_back("row:" + row.Type);
  }
  void SelectLastRow() override { Events.push_back("last"); }
  void SetStatus(const std::string& text) override { Events.push_back("status:" + text); }
  void SetGaugeRange(int64_t max, int64_t progress) override {
    GaugeMax = max;
    GaugeProgress = progress;
  }
  void SetGaugeProgress(int64_t progress) override { GaugeProgress = progress; }
  void ShowError(const std::string& text) override { Events.push_back("error:" + text); }
  void ShowWarning(const std::string& text) override { Events.push_back("warning:" + text); }
  void BringToFront() override { Events.push_back("front"); }
  bool AskSaveFileName(const std::string& filter, std::string& fileName) override {
    Events.push_back("save:" + filter + ":" + fileName);
    fileName = SaveAnswer;
    return SaveAccepted;
  }
  void SetBusyCursor(bool busy) override { Events.push_back(busy ? "busy:on" : "busy:off"); }
  void ProcessMessages() override {}
  std::tm LocalTime() override {
    std::tm t{};
    t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 5, t.tm_wday = 6;
    t.tm_hour = 20, t.tm_min = 3, t.tm_sec = 13;
    return t;
  }

  std::string LastStatus() const {
    for (auto it = Events.rbegin(); it != Events.rend(); ++it)
      if (it->rfind("status:", 0) == 0) return it->substr(7);
    return "";
  }
  std::vector<std::string> Errors() const {
    std::vector<std::string> out;
    for (const std::string& e : Events)
      if (e.rfind("error:", 0) == 0) out.push_back(e.substr(6));
    return out;
  }
};

// Compares two byte sequences, reporting the first difference instead of the whole content.
inline ::testing::AssertionResult SameBytes(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i)
    if (a[i] != b[i])
      return ::testing::AssertionFailure()
             << "first difference at " << i << ": " << int(a[i]) << " vs " << int(b[i]);
  if (a.size() != b.size())
    return ::testing::AssertionFailure() << "sizes " << a.size() << " vs " << b.size();
  return ::testing::AssertionSuccess();
}
