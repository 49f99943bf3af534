#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The strings, selection and top row of a native list box or combo box, for a wrapper whose items
// live only in the window: SaveNativeState saves them, RestoreNativeState puts them into the new
// window. (A wrapper that keeps its own item list, as TComboBox does, restores from that instead.)
class TNativeItems {
public:
  enum class TKind { ListBox, ComboBox };

  explicit TNativeItems(TKind kind) : FKind(kind) {}

  // Owner-drawn lists without strings hold only item data, which the wrapper itself restores:
  // nothing is saved for them.
  void Save(HWND window);
  // Puts what Save took into window, once.
  void Restore(HWND window);

private:
  TKind FKind;
  bool FSaved = false;
  std::vector<std::string> FItems;
  LRESULT FSelection = -1, FTopIndex = 0;
};
