#pragma once

#include <string>
#include <vector>

class TListView;

// One row of a list view: caption, the texts of the further report columns, an image and a
// pointer for the caller. Owned by its list view; changes repaint the row.
class TListItem {
public:
  TListItem(TListView* owner, int index) : FOwner(owner), FIndex(index) {}
  TListItem(const TListItem&) = delete;
  TListItem& operator=(const TListItem&) = delete;

  TListView* Owner() const { return FOwner; }
  int Index() const { return FIndex; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& value);
  const std::vector<std::string>& SubItems() const { return FSubItems; }
  void SetSubItems(const std::vector<std::string>& value);
  void AddSubItem(const std::string& value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value);
  void* Data() const { return FData; }
  void SetData(void* value) { FData = value; }
  bool Selected() const;
  void SetSelected(bool value);
  bool Focused() const;
  void SetFocused(bool value);
  // Starts editing the caption in place (the list view must allow it).
  void EditCaption();

private:
  friend class TListView;
  void Changed();

  TListView* FOwner;
  int FIndex;
  std::string FCaption;
  std::vector<std::string> FSubItems;
  int FImageIndex = -1;
  void* FData = nullptr;
};

// One column of the report view.
struct TListColumn {
  std::string Caption;
  int Width = 50;
  int Alignment = 0;  // 0 left, 1 right, 2 centre
  int ImageIndex = -1;  // in the small images; -1 none
};
