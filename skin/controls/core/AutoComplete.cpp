#include "skin/controls/core/AutoComplete.h"

#include <algorithm>
#include <cstddef>

namespace {

char Lower(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<char>(u + ('a' - 'A')) : c;
}

bool BeginsWith(const std::string& s, const std::string& prefix) {
  if (prefix.size() > s.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (Lower(s[i]) != Lower(prefix[i])) return false;
  return true;
}

// Selection ends clamped into the text, in order.
void ClampSelection(int length, int& start, int& end) {
  start = std::clamp(start, 0, length);
  end = std::clamp(end, 0, length);
  if (end < start) std::swap(start, end);
}

void Backspace(const TAutoCompleteState& s, int start, int end, TAutoCompleteResult& r) {
  r.Consumed = true;
  r.Change = true;
  if (end > start) {
    r.SetText = true;
    r.Text = s.Text.substr(0, std::size_t(start)) + s.Text.substr(std::size_t(end));
    r.Select = -1;
    r.SetSelection = true;
    r.SelStart = r.SelEnd = start;
    return;
  }
  if (s.Editable && !s.Text.empty()) {
    // At the very start nothing precedes the caret: the text stays, the caret stays at 0.
    const int p = start;
    r.SetText = true;
    r.Text = p >= 1 ? s.Text.substr(0, std::size_t(p - 1)) + s.Text.substr(std::size_t(p)) : s.Text;
    r.Select = -1;
    r.SetSelection = true;
    r.SelStart = r.SelEnd = std::max(p - 1, 0);
    r.Filter = r.Text;
    return;
  }
  if (!r.Filter.empty()) r.Filter.pop_back();
}

}  // namespace

int FindItemPrefix(const std::vector<std::string>& items, const std::string& prefix) {
  for (std::size_t i = 0; i < items.size(); ++i)
    if (BeginsWith(items[i], prefix)) return static_cast<int>(i);
  return -1;
}

TAutoCompleteResult AutoCompleteKey(const TAutoCompleteState& s, const std::vector<std::string>& items, char key,
                                    std::uint32_t tick) {
  TAutoCompleteResult r;
  r.Filter = s.Filter;
  r.LastTick = s.LastTick;
  if (s.Editable) {
    r.Filter = s.Text;
  } else {
    // Unsigned difference: the tick wraps.
    if (tick - s.LastTick >= kAutoCompleteResetMs) r.Filter.clear();
    r.LastTick = tick;
  }
  int start = s.SelStart, end = s.SelEnd;
  ClampSelection(static_cast<int>(s.Text.size()), start, end);

  if (key == '\x1b' || key == '\t') return r;
  if (key == '\b') {
    Backspace(s, start, end, r);
    return r;
  }
  std::string search = r.Filter;
  if (end > start) search = search.substr(0, std::min(std::size_t(start), search.size()));
  search += key;
  const int found = FindItemPrefix(items, search);
  if (found < 0) return r;
  r.Consumed = true;
  r.Select = found;
  if (s.Editable) {
    const std::string& item = items[std::size_t(found)];
    r.SetText = true;
    r.Text = search + item.substr(std::min(search.size(), item.size()));
    r.SetSelection = true;
    r.SelStart = static_cast<int>(search.size());
    r.SelEnd = static_cast<int>(r.Text.size());
  } else {
    r.Filter = search;
  }
  r.Clicked = found != s.ItemIndex;
  return r;
}
