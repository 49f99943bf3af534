// Installs the simulated phone driver into the Wine prefix as a root-enumerated device:
//   wine InstallPhoneDriver.exe INF-PATH
// The driver starts when Wine next enumerates its devices (a restart of the wineserver).
#include <windows.h>

#include <newdev.h>
#include <setupapi.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: InstallPhoneDriver INF-PATH\n");
    return 2;
  }
  GUID systemClass;
  DWORD count = 0;
  if (!SetupDiClassGuidsFromNameA("System", &systemClass, 1, &count) || count == 0) {
    std::fprintf(stderr, "the System device class is unknown (%lu)\n", GetLastError());
    return 1;
  }
  HDEVINFO set = SetupDiCreateDeviceInfoList(&systemClass, nullptr);
  if (set == INVALID_HANDLE_VALUE) return 1;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  static const char hardwareIds[] = "Root\\tarvexphone\0";
  bool ok = SetupDiCreateDeviceInfoA(set, "System", &systemClass, nullptr, nullptr, DICD_GENERATE_ID, &device) &&
            SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID,
                                              reinterpret_cast<const BYTE*>(hardwareIds), sizeof hardwareIds) &&
            SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &device);
  BOOL reboot = FALSE;
  ok = ok && UpdateDriverForPlugAndPlayDevicesA(nullptr, "Root\\tarvexphone", argv[1], INSTALLFLAG_FORCE, &reboot);
  if (!ok) std::fprintf(stderr, "installing the phone driver failed (%lu)\n", GetLastError());
  SetupDiDestroyDeviceInfoList(set);
  return ok ? 0 : 1;
}
