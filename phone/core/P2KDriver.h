#pragma once

#include <cstdint>
#include <string>

// What the program relies on from the phone maker's USB driver.
namespace P2KDriver {

inline constexpr const char* ClassGuid = "{4e1e1e15-52d7-11d4-852d-00105aa6f80b}";

// I/O control codes.
inline constexpr std::uint32_t IoInterfaceName = 0x80002010;
inline constexpr std::uint32_t IoControlTransfer = 0x80002014;
inline constexpr std::uint32_t IoBulkWrite = 0x80002018;
inline constexpr std::uint32_t IoBulkRead = 0x8000201C;

// Returned by a detail query without buffer when the interface is usable.
inline constexpr std::uint32_t ErrorInsufficientBuffer = 122;

inline constexpr const char* SerialCommKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
inline constexpr const char* ModemValueTag = "\\Device\\USBSER";

// The key the driver keeps under HKLM while the interface at DevicePath exists; empty when the
// path is too short to name one.
std::string DeviceKeyPath(const std::string& devicePath);

}  // namespace P2KDriver
