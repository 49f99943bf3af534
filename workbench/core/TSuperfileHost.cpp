#include "workbench/core/TSuperfileHost.h"

#include "framework/base/Exception.h"

std::tm TSuperfileHost::LocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return local;
}

size_t IOBufferBytes(int kiloBytes) {
  constexpr int kMaxKiloBytes = 1024 * 1024;
  if (kiloBytes < 1 || kiloBytes > kMaxKiloBytes)
    throw Exception("The I/O buffer size must lie between 1 and " + std::to_string(kMaxKiloBytes) +
                    " kB, not " + std::to_string(kiloBytes) + ".");
  return static_cast<size_t>(kiloBytes) * 1024;
}

void TSuperfileHost::ShowWarning(const std::string& text) { ShowError(text); }
