#pragma once

#include <string>
#include <typeinfo>

// What `action` throws as exactly TError: its text; "" when it throws nothing. A kind derived from
// TError gives its type's name instead, so a test sees the kind change; other exceptions escape.
template <typename TError, typename TAction>
std::string ThrownText(TAction&& action) {
  try {
    action();
  } catch (const TError& e) {
    if (typeid(e) != typeid(TError)) return std::string("an exception of type ") + typeid(e).name();
    return e.what();
  }
  return "";
}
