#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/controls/core/AutoComplete.h"

namespace {

const std::vector<std::string> kItems{"Alpha", "Beta", "beam", "Gamma", "Gate"};

// A list-only combo fed keys at given ticks, carrying filter and tick between them as the control does.
struct TListCombo {
  TAutoCompleteState State{false, "", 0, 0, -1, "", 0};
  TAutoCompleteResult Type(char key, std::uint32_t tick) {
    TAutoCompleteResult r = AutoCompleteKey(State, kItems, key, tick);
    State.Filter = r.Filter;
    State.LastTick = r.LastTick;
    if (r.Select != TAutoCompleteResult::NoChange) State.ItemIndex = r.Select;
    return r;
  }
};

TAutoCompleteState Editable(const std::string& text, int start, int end) {
  TAutoCompleteState s;
  s.Text = text;
  s.SelStart = start;
  s.SelEnd = end;
  return s;
}

TEST(AutoComplete, ListOnlyKeysWithinTheIntervalSearchTogetherAndAPauseStartsAgain) {
  TListCombo c;
  c.State.LastTick = 10'000;
  auto r = c.Type('g', 20'000);
  EXPECT_TRUE(r.Consumed);
  EXPECT_EQ(r.Select, 3);
  EXPECT_TRUE(r.Clicked);
  r = c.Type('A', 20'499);  // "ga" still Gamma: no new click
  EXPECT_EQ(r.Select, 3);
  EXPECT_FALSE(r.Clicked);
  r = c.Type('t', 20'900);  // "gat"
  EXPECT_EQ(r.Select, 4);
  EXPECT_EQ(r.Filter, "gAt");  // as typed
  r = c.Type('b', 21'400);  // exactly 500 ms: a new search with "b"
  EXPECT_EQ(r.Filter, "b");
  EXPECT_EQ(r.Select, 1);
  // The tick wraps: the unsigned difference still counts 20 ms.
  c.State.LastTick = 0xFFFFFFF0u;
  r = c.Type('e', 0x4u);
  EXPECT_EQ(r.Filter, "be");
  EXPECT_EQ(r.Select, 1);
}

TEST(AutoComplete, AKeyNoItemBeginsWithGoesOnAndChangesNothing) {
  TListCombo c;
  c.Type('b', 1000);
  const auto r = c.Type('x', 1100);
  EXPECT_FALSE(r.Consumed);
  EXPECT_EQ(r.Select, TAutoCompleteResult::NoChange);
  EXPECT_EQ(r.Filter, "b");
  EXPECT_FALSE(r.SetText);

  const auto e = AutoCompleteKey(Editable("Al", 2, 2), kItems, 'z', 0);
  EXPECT_FALSE(e.Consumed);
  EXPECT_FALSE(e.SetText);
  EXPECT_EQ(e.Select, TAutoCompleteResult::NoChange);
  // Escape and Tab always go on.
  for (char k : {'\x1b', '\t'}) {
    EXPECT_FALSE(AutoCompleteKey(Editable("Al", 2, 2), kItems, k, 0).Consumed);
    EXPECT_FALSE(c.Type(k, 1200).Consumed);
  }
}

TEST(AutoComplete, EditableCompletesAndSelectsTheAppendedPart) {
  auto r = AutoCompleteKey(Editable("b", 1, 1), kItems, 'E', 0);
  EXPECT_TRUE(r.Consumed);
  EXPECT_EQ(r.Text, "bEta");  // the typed part keeps its case
  EXPECT_EQ(r.Select, 1);
  EXPECT_EQ(r.SelStart, 2);
  EXPECT_EQ(r.SelEnd, 4);
  // Typing over the completed part searches by what precedes the selection.
  r = AutoCompleteKey(Editable("bEta", 2, 4), kItems, 'a', 0);
  EXPECT_EQ(r.Text, "bEam");
  EXPECT_EQ(r.Select, 2);
  EXPECT_EQ(r.SelStart, 3);
}

TEST(AutoComplete, ASelectionBeyondTheFilterIsClamped) {
  // A stale selection reaching past the text: the search text is the whole filter and the key.
  TAutoCompleteState s{false, "", 7, 9, -1, "ga", 100};
  const auto r = AutoCompleteKey(s, kItems, 'm', 200);
  EXPECT_EQ(r.Filter, "gam");
  EXPECT_EQ(r.Select, 3);
  // A list-only combo reports no edit selection: start 0, end 0.
  TAutoCompleteState list{false, "Gamma", 0, 0, 3, "g", 100};
  EXPECT_EQ(AutoCompleteKey(list, kItems, 'a', 200).Filter, "ga");
}

TEST(AutoComplete, BackspaceRemovesTheSelectionOrTheCharacterBeforeTheCaret) {
  auto r = AutoCompleteKey(Editable("Gamma", 1, 4), kItems, '\b', 0);
  EXPECT_TRUE(r.Consumed);
  EXPECT_TRUE(r.Change);
  EXPECT_EQ(r.Text, "Ga");
  EXPECT_EQ(r.Select, -1);
  EXPECT_EQ(r.SelStart, 1);
  EXPECT_EQ(r.SelEnd, 1);

  r = AutoCompleteKey(Editable("Gamma", 3, 3), kItems, '\b', 0);
  EXPECT_EQ(r.Text, "Gama");
  EXPECT_EQ(r.SelStart, 2);
  EXPECT_EQ(r.Filter, "Gama");
  EXPECT_EQ(r.Select, -1);
}

TEST(AutoComplete, BackspaceAtTheStartKeepsTheTextAndClearsTheListSelection) {
  auto s = Editable("Gamma", 0, 0);
  s.ItemIndex = 3;
  const auto r = AutoCompleteKey(s, kItems, '\b', 0);
  EXPECT_TRUE(r.Consumed);
  EXPECT_TRUE(r.Change);
  EXPECT_EQ(r.Text, "Gamma");
  EXPECT_EQ(r.Select, -1);
  EXPECT_TRUE(r.SetSelection);
  EXPECT_EQ(r.SelStart, 0);
  EXPECT_EQ(r.SelEnd, 0);
  EXPECT_EQ(r.Filter, "Gamma");
}

TEST(AutoComplete, BackspaceInAListOnlyComboShortensTheFilterAndSelectsNothing) {
  TListCombo c;
  c.Type('g', 100);
  c.Type('a', 200);
  auto r = c.Type('\b', 300);
  EXPECT_TRUE(r.Consumed);
  EXPECT_TRUE(r.Change);
  EXPECT_EQ(r.Filter, "g");
  EXPECT_EQ(r.Select, TAutoCompleteResult::NoChange);
  EXPECT_FALSE(r.SetText);
  // An empty filter stays empty; an editable combo with empty text behaves the same.
  c.State.Filter.clear();
  EXPECT_EQ(c.Type('\b', 400).Filter, "");
  r = AutoCompleteKey(Editable("", 0, 0), kItems, '\b', 0);
  EXPECT_TRUE(r.Consumed);
  EXPECT_FALSE(r.SetText);
  EXPECT_EQ(r.Filter, "");
}

TEST(AutoComplete, PrefixSearchIgnoresCaseAndTakesTheFirstMatch) {
  EXPECT_EQ(FindItemPrefix(kItems, "BE"), 1);
  EXPECT_EQ(FindItemPrefix(kItems, "bea"), 2);
  EXPECT_EQ(FindItemPrefix(kItems, "Gammas"), -1);
  EXPECT_EQ(FindItemPrefix({}, "a"), -1);
}

}  // namespace
