#pragma once

// How a disabled control's cache is altered: blended with what lies below it, greyed, or both.
// The published default is blended only.
struct TsDisabledKind {
  bool Blended = true;
  bool Grayed = false;

  bool IsEmpty() const { return !Blended && !Grayed; }
  bool operator==(const TsDisabledKind&) const = default;
};
