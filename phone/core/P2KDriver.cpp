#include "phone/core/P2KDriver.h"

namespace P2KDriver {

std::string DeviceKeyPath(const std::string& devicePath) {
  // The path starts with "\\?\"; the key repeats the rest of it up to its first zero character.
  const std::string path = devicePath.substr(0, devicePath.find('\0'));
  if (path.size() <= 4) return {};
  return std::string("SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\") + ClassGuid + "\\##?#" +
         path.substr(4) + "\\#\\Control";
}

}  // namespace P2KDriver
