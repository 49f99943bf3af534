#pragma once

#include <string>
#include <vector>

#include "skin/controls/TsComboBox.h"
#include "skin/windows/core/FileComboRules.h"

// A drop-down list of the descriptions of a file-dialog filter ("Description|mask|..."); GetMask
// gives the mask of the chosen one. The items and the choice live on when the window is rebuilt
// (a skin change does that).
class TsFilterComboBox : public TsCustomComboBox {
public:
  explicit TsFilterComboBox(TComponent* owner);

  static constexpr const char* DefaultFilter = "All files (*.*)|*.*";

  const std::string& Filter() const { return FFilter; }
  // Rebuilds the items (item 0 selected), then OnChange.
  void SetFilter(const std::string& value);
  // The mask of the selected item; with none selected the last item is selected first; "*.*" for
  // an empty list.
  std::string GetMask();
  // The masks, one per item.
  const std::vector<TFilterEntry>& Entries() const { return FEntries; }

private:
  void BuildItems();

  std::string FFilter = DefaultFilter;
  std::vector<TFilterEntry> FEntries;
};
