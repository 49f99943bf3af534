#include "app/ShellOpen.h"

#include <windows.h>
#include <shellapi.h>

namespace {

TShellOpenFunc& Replacement() {
  static TShellOpenFunc open;
  return open;
}

}  // namespace

std::intptr_t ShellOpen(const std::string& file, const std::string& parameters) {
  if (Replacement()) return Replacement()(file, parameters);
  HINSTANCE result = ShellExecuteA(nullptr, "open", file.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                                   nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<std::intptr_t>(result);
}

void SetShellOpen(TShellOpenFunc open) { Replacement() = std::move(open); }
