#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "framework/win/TWindowHook.h"
#include "skin/controls/TsComboBoxBase.h"

// The skin layer of the combo family with its own child handling: focus, hot and size changes
// repaint the face.
class TsCustomListControl : public TsComboBoxBase {
public:
  explicit TsCustomListControl(TComponent* owner);
  ~TsCustomListControl() override;

  // A bevel drawn around the face while unskinned (none by default).
  TBevelKind BevelKind() const { return FBevelKind; }
  void SetBevelKind(TBevelKind value);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut value);
  TBevelEdges BevelEdges() const { return FBevelEdges; }
  void SetBevelEdges(TBevelEdges value);

  void WndProc(TMessage& message) override;

protected:
  bool SkinnedMessage(TMessage& message) override;

private:
  void PaintBevel();
  void BevelChanged();

  TBevelKind FBevelKind = bkNone;
  TBevelCut FBevelInner = bvRaised;
  TBevelCut FBevelOuter = bvLowered;
  TBevelEdges FBevelEdges = AllBevelEdges;
};

// The combo window with its edit and list children, each subclassed by this object alone: keys typed
// there reach the combo's key events (and its type-ahead), Enter and Escape close a dropped list, a
// right click opens the combo's popup menu. Hooks come off with the window, each only if it was set,
// in any order with other hooks on the same child.
class TsCommonCombo : public TsCustomListControl {
public:
  explicit TsCommonCombo(TComponent* owner);
  ~TsCommonCombo() override;

  // The list child of a simple combo, nullptr otherwise or before the window exists.
  HWND ListHandle() const { return FListHook.Window(); }
  // The drop-down button area in client coordinates: one frame of the section's GLYPHMASK at the
  // right end, vertically centred, kept from the edge by its top margin; empty without one.
  RECT ButtonArea();

  // Under dmAutomatic a press on a list-only combo away from its button starts a drag once the mouse
  // moves, and so does a press in the edit child (after the edit has taken it as a click).
  void WndProc(TMessage& message) override;

protected:
  void CreateWnd() override;
  void DestroyWnd() override;
  bool SkinnedMessage(TMessage& message) override;
  void PaintSkin() override;
  void PaintClient(HDC dc) override;
  // The current item on the face while skinned, over the cache; none by default (the edit shows it).
  virtual void PaintFace(HDC /*dc*/) {}
  // CN_DRAWITEM of a list item (index >= 0) while skinned; by default the framework's drawing.
  virtual void DrawSkinnedItem(TMessage& message) { InheritedWndProc(message); }
  // The combo window is made as tall as the list it drops: DropDownCount items at most, one at least.
  void AdjustDropDown() override;

private:
  void EditWndProc(TMessage& message);
  void ListWndProc(TMessage& message);
  // The rules both children share; true when the message ended there.
  bool ChildMessage(TMessage& message, HWND child, bool fromList);
  // Where a press drops the list: the skin's button area, else the native button.
  RECT DropButtonRect();

  bool FSizingList = false;

  TWindowHook FEditHook;
  TWindowHook FListHook;
};

class TsCommonComboBox;

// The combo's items as strings, read from and written to the window's list.
class TsComboBoxStrings {
public:
  explicit TsComboBoxStrings(TsCommonComboBox* combo) : FCombo(combo) {}

  int Count() const;
  // The item's text ("" for an index without one); at most 4095 characters are kept per item.
  std::string Strings(int index) const;
  int Add(const std::string& text);
  void Insert(int index, const std::string& text);
  void Delete(int index);
  // Empties the list; the control's text stays.
  void Clear();
  int IndexOf(const std::string& text) const;
  // The item's data; throws EStringListError for an index the list does not have.
  std::intptr_t Objects(int index) const;
  void SetObjects(int index, std::intptr_t data);

private:
  TsCommonComboBox* FCombo;
};

// The string combo of the family, with type-ahead: an editable combo completes its text from the
// first item beginning with what was typed and selects the completion; a list-only combo selects the
// first item beginning with the keys typed within 500 ms of each other.
class TsCommonComboBox : public TsCommonCombo {
public:
  explicit TsCommonComboBox(TComponent* owner);

  TsComboBoxStrings& ItemStrings() { return FStrings; }
  // The milliseconds clock of the type-ahead (GetTickCount unless replaced).
  using TTickSource = std::uint32_t (*)();
  void SetTickSource(TTickSource source) { FTick = source; }
  const std::string& Filter() const { return FFilter; }

protected:
  void KeyPress(char& key) override;
  void Change() override;
  // A list-only combo's face while skinned: a highlight bar while focused where the section shows
  // focus, else the item's text in the section's colours.
  void PaintFace(HDC dc) override;
  // The item's image on the face; the left of its caption, or -1 without an image.
  virtual int PaintFaceImage(TCanvas* /*canvas*/, int /*index*/) { return -1; }
  // Width of the drop-down button.
  int ButtonWidth();

private:
  TsComboBoxStrings FStrings{this};
  std::string FFilter;
  std::uint32_t FLastKey = 0;
  TTickSource FTick = nullptr;
};
