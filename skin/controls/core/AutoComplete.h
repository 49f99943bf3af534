#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Type-ahead of the skinned combo boxes, without a window: one typed character against the combo's
// text, edit selection and items, with the filter kept between keys. Editable combos (an edit child)
// complete the text in place; list-only combos select the item that begins with the keys typed
// within the reset interval of each other.
struct TAutoCompleteState {
  bool Editable = true;
  std::string Text;
  // The edit selection; equal ends are the caret. A combo without an edit has an empty one.
  int SelStart = 0;
  int SelEnd = 0;
  int ItemIndex = -1;
  // What the keys typed so far select by; kept by the control between keys.
  std::string Filter;
  // Tick of the previous key (list-only combos).
  std::uint32_t LastTick = 0;
};

// What the combo does with the key.
struct TAutoCompleteResult {
  static constexpr int NoChange = -2;
  // The key goes no further (the native control never sees it).
  bool Consumed = false;
  // Write Text to the control.
  bool SetText = false;
  std::string Text;
  // Set the edit selection to SelStart..SelEnd.
  bool SetSelection = false;
  int SelStart = 0;
  int SelEnd = 0;
  // The list's new selection (-1 none), or NoChange.
  int Select = NoChange;
  // The control's Change runs (after a Backspace).
  bool Change = false;
  // The selected item differs from the one before: Click and Select run.
  bool Clicked = false;
  std::string Filter;
  std::uint32_t LastTick = 0;
};

// Keys of a list-only combo further apart than this start a new search.
constexpr std::uint32_t kAutoCompleteResetMs = 500;

// The index of the first item that begins with prefix, ignoring case; -1 when none does.
int FindItemPrefix(const std::vector<std::string>& items, const std::string& prefix);

// key typed into a combo in state, with items in the list, at tick (milliseconds, wrapping).
TAutoCompleteResult AutoCompleteKey(const TAutoCompleteState& state, const std::vector<std::string>& items, char key,
                                    std::uint32_t tick);
