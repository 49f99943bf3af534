#pragma once

#include "editors/core/TEditorHost.h"
#include "tests/support/TTempFolder.h"

#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// A scripted host: dialogs answer from queues, everything shown is recorded. Messages read "M<index>".
class TFakeEditorHost : public TEditorHost {
public:
  std::deque<bool> Answers;
  std::deque<std::string> OpenNames, SaveNames;
  std::vector<std::string> Infos, Errors, Warnings, Statuses, Questions, Proposed;
  std::deque<TSaveAnswer> SaveAnswers;  // to AskSaveChanges, which also records its question
  std::pair<int, int> RawBoundsOffered{-1, -1};
  std::optional<std::pair<int, int>> RawBoundsAnswer;
  std::map<int, TGridRow> Grid;
  struct TCombine {
    int CG;
    std::string FileName;
    int32_t Address, Size;
  };
  std::vector<TCombine> Combines;
  std::vector<std::pair<std::optional<TFlasherRow>, bool>> Flasher;

  std::string Message(TMsgId id) override { return "M" + std::to_string(static_cast<int>(id)); }
  bool AskYesNo(const std::string& text) override {
    Questions.push_back(text);
    if (Answers.empty()) return false;
    const bool a = Answers.front();
    Answers.pop_front();
    return a;
  }
  void ShowInfo(const std::string& text) override { Infos.push_back(text); }
  void ShowError(const std::string& text) override { Errors.push_back(text); }
  void ShowWarning(const std::string& text) override { Warnings.push_back(text); }
  TSaveAnswer AskSaveChanges(const std::string& text) override {
    Questions.push_back(text);
    if (SaveAnswers.empty()) return TSaveAnswer::Cancel;
    const TSaveAnswer a = SaveAnswers.front();
    SaveAnswers.pop_front();
    return a;
  }
  void SetStatus(const std::string& text) override { Statuses.push_back(text); }
  void SetProgress(int, int) override {}
  std::string OpenFileName(TFilterKind) override { return Pop(OpenNames); }
  std::string OpenFileNameWithLastFilter() override { return Pop(OpenNames); }
  std::string OpenPictureFileName() override { return Pop(OpenNames); }
  std::string SaveFileName(TFilterKind, const std::string& proposed) override {
    Proposed.push_back(proposed);
    return Pop(SaveNames);
  }
  std::string SaveFileNameUnfiltered(const std::string& proposed) override {
    Proposed.push_back(proposed);
    return Pop(SaveNames);
  }
  std::string SavePictureFileName(const std::string& proposed) override {
    Proposed.push_back(proposed);
    return Pop(SaveNames);
  }
  std::pair<int, int> AskRawBounds(int width, int height) override {
    RawBoundsOffered = {width, height};
    return RawBoundsAnswer.value_or(RawBoundsOffered);
  }
  std::optional<TGridRow> GridRow(int cg) override {
    const auto it = Grid.find(cg);
    if (it == Grid.end()) return std::nullopt;
    return it->second;
  }
  void CombineSingleCG(int cg, const std::string& fileName, int32_t address, int32_t size) override {
    Combines.push_back({cg, fileName, address, size});
  }
  void SendToFlasher(const std::optional<TFlasherRow>& row, bool show) override {
    Flasher.emplace_back(row, show);
  }

private:
  static std::string Pop(std::deque<std::string>& q) {
    if (q.empty()) return "";
    std::string s = q.front();
    q.pop_front();
    return s;
  }
};
