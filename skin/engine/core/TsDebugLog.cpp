#include "skin/engine/core/TsDebugLog.h"

#include <cstdio>
#include <map>

#include "framework/base/MessageNames.h"
#include "skin/engine/core/SkinUtils.h"
#include "skin/engine/core/TsSkinFiles.h"

const char* const DebugLogFileName = "c:\\zovarori.txt";

namespace {

// Names given while the program runs (the registered skin message); they come before the table.
std::map<std::uint32_t, std::string>& Registered() {
  static std::map<std::uint32_t, std::string> names;
  return names;
}

std::string Piece(const char* label, std::uint32_t value) {
  return PadWithChar(' ', std::string(label) + std::to_string(value), 18);
}

}  // namespace

std::string DebugMessageName(std::uint32_t msg) {
  std::string name;
  if (const auto it = Registered().find(msg); it != Registered().end()) {
    name = it->second;
  } else if (msg == 0x0146 || msg == 0x0157) {
    name = "NO";  // the log's own name for two combo-box messages
  } else {
    const char* known = MessageNameOf(msg);
    name = known ? known : "UNKNOWN";
  }
  return name + " (" + std::to_string(msg) + ")";
}

void RegisterMessageName(std::uint32_t msg, const std::string& name) {
  Registered()[msg] = name;
}

std::string FormatMessageLine(const TsLogMessage& m, const std::string& prefix, const TsDrawItemInfo* d) {
  std::string line = prefix.empty() ? "?" : prefix + " - ";
  if (m.Msg == CN_DRAWITEM_NUMBER && d) {
    line += DebugMessageName(m.Msg) + ", CtlType=" + std::to_string(d->CtlType) +
            ", CtlID=" + std::to_string(d->CtlID) + ", itemID=" + std::to_string(d->ItemID) +
            ", itemAction=" + std::to_string(d->ItemAction) + ", itemState=" + std::to_string(d->ItemState) +
            ", hwndItem=" + std::to_string(d->HwndItem) + ", hDC=" + std::to_string(d->HDC) + ", rcItem=(" +
            std::to_string(d->Left) + ", " + std::to_string(d->Top) + ", " + std::to_string(d->Right) + ", " +
            std::to_string(d->Bottom) + "), itemData=" + std::to_string(d->ItemData);
    return line;
  }
  const auto w = static_cast<std::uint32_t>(m.WParam);
  const auto l = static_cast<std::uint32_t>(m.LParam);
  line += PadWithChar(' ', DebugMessageName(m.Msg), 28);
  line += Piece(", WParamHi=", w >> 16);
  line += Piece(", WParamLo=", w & 0xFFFF);
  line += Piece(", LParamHi=", l >> 16);
  line += Piece(", LParamLo=", l & 0xFFFF);
  return line;
}

void TsDebugLog::Add(std::string line) {
  // Bounded: a long session keeps only the newest lines.
  if (FLines.size() >= MaxLines) FLines.pop_front();
  FLines.push_back(std::move(line));
}

bool TsDebugLog::SaveToFile(const std::string& path) const noexcept {
  std::FILE* f = std::fopen(TsDiskFiles::NativePath(path).c_str(), "wb");
  if (!f) return false;
  bool ok = true;
  for (const auto& line : FLines) {
    ok =
        ok && std::fwrite(line.data(), 1, line.size(), f) == line.size() && std::fwrite("\r\n", 1, 2, f) == 2;
    if (!ok) break;
  }
  return std::fclose(f) == 0 && ok;
}

TsDebugLog& DebugLog() {
  static TsDebugLog log;
  return log;
}

void FormatMessageText(const TsLogMessage& message, const std::string& prefix,
                       const TsDrawItemInfo* drawItem) {
  DebugLog().Add(FormatMessageLine(message, prefix, drawItem));
}
