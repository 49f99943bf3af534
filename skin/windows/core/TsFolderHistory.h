#pragma once

#include <optional>
#include <string>
#include <vector>

// The folders the open dialog window has left, oldest first, for its Back button and history menu.
// Each entry keeps its path; the menu shows it through MenuCaption.
class TsFolderHistory {
public:
  void Clear() { FFolders.clear(); }
  bool Empty() const { return FFolders.empty(); }
  int Count() const { return int(FFolders.size()); }
  const std::string& Folder(int index) const { return FFolders.at(size_t(index)); }

  // The folder being left.
  void Record(const std::string& folder);
  // Back from current: the latest entry that is not current (entries equal to it are dropped on
  // the way), taken out of the history; none when the history runs out.
  std::optional<std::string> Back(const std::string& current);
  // The entry at index, taken out of the history; none for an index outside it or an entry equal to
  // current (which is dropped).
  std::optional<std::string> Take(int index, const std::string& current);

  // The menu caption of a path: every "&" doubled, so the menu shows it and marks no accelerator.
  static std::string MenuCaption(const std::string& path);

private:
  std::vector<std::string> FFolders;
};
