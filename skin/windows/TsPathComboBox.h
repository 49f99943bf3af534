#pragma once

#include <string>

#include "skin/controls/TsComboBoxEx.h"

// The drives of the machine, each with its shell icon and display name, and under the drive of
// Directory the chain of folders down to it, indented by level. Choosing an item makes its folder
// the Directory; Updating is set meanwhile, so that a window following Directory does not feed
// the change back.
class TsPathComboBox : public TsCustomComboBoxEx {
public:
  explicit TsPathComboBox(TComponent* owner);
  ~TsPathComboBox() override;

  // The current folder with a trailing '\'; empty when nothing is selected.
  const std::string& Directory() const { return FDirectory; }
  // A folder that differs ignoring case rebuilds the items and selects its own.
  void SetDirectory(const std::string& value);
  // The upper-cased drive letter of Directory (at creation: of the current folder), 0 for none.
  char Drive() const { return FDrive; }
  // Set while a chosen item is being applied.
  bool Updating() const { return FUpdating; }

protected:
  // The shared small system images, unless the box has images of its own.
  void Loaded() override;
  void Select() override;

private:
  void BuildItems();

  std::string FDirectory;
  char FDrive = 0;
  bool FUpdating = false;
};
