#pragma once

#include <cstdint>
#include <deque>
#include <string>

// A window message as the log sees it.
struct TsLogMessage {
  std::uint32_t Msg = 0;
  std::uintptr_t WParam = 0;
  std::intptr_t LParam = 0;
};

// The fields of an owner-draw request, logged for the reflected draw-item notification.
struct TsDrawItemInfo {
  std::uint32_t CtlType = 0;
  std::uint32_t CtlID = 0;
  std::uint32_t ItemID = 0;
  std::uint32_t ItemAction = 0;
  std::uint32_t ItemState = 0;
  std::uintptr_t HwndItem = 0;
  std::uintptr_t HDC = 0;
  std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  std::uintptr_t ItemData = 0;
};

constexpr std::uint32_t CN_DRAWITEM_NUMBER = 0xBC2B;

// The log's name of a message: "WM_PAINT (15)"; "UNKNOWN (n)" for a number without a name.
std::string DebugMessageName(std::uint32_t msg);
// Names a message number known only while the program runs (the registered skin message).
void RegisterMessageName(std::uint32_t msg, const std::string& name);

// One line of the log for a message (drawItem only for CN_DRAWITEM).
std::string FormatMessageLine(const TsLogMessage& message, const std::string& prefix,
                              const TsDrawItemInfo* drawItem = nullptr);

// The skin library's message log: the last MaxLines lines, written to a file at program end.
class TsDebugLog {
public:
  static constexpr std::size_t MaxLines = 10000;

  void Add(std::string line);
  const std::deque<std::string>& Lines() const { return FLines; }
  void Clear() { FLines.clear(); }
  // Writes every line (CR LF ends) replacing the file; false when the file cannot be written.
  bool SaveToFile(const std::string& path) const noexcept;

private:
  std::deque<std::string> FLines;
};

// The log of the process; saved to DebugLogFileName when the program ends.
TsDebugLog& DebugLog();
extern const char* const DebugLogFileName;

void FormatMessageText(const TsLogMessage& message, const std::string& prefix,
                       const TsDrawItemInfo* drawItem = nullptr);
inline void LogMessage(const TsLogMessage& message) {
  FormatMessageText(message, "");
}
