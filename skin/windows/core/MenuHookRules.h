#pragma once

// A skinned menu takes an item's event only where the application left it empty, and gives back
// only what it took: another handler, set before or after, is never replaced nor cleared.
// Event is any comparable handler type (a delegate).
template <typename Event>
void HookMenuEvent(Event& event, const Event& ours, bool enable) {
  if (enable) {
    if (!event) event = ours;
  } else if (event && event == ours) {
    event = Event();
  }
}

// True when the event holds the painter's handler (one of its own).
template <typename Event>
bool IsOwnMenuEvent(const Event& event, const Event& ours) {
  return event && event == ours;
}
