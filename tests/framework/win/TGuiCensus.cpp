#include "TGuiCensus.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <vector>

namespace {

// One entry of the GDI handle table the PEB points to, as Windows x64 and Wine lay it out.
struct TGdiHandleEntry {
  std::uint64_t Object;
  std::uint16_t ProcessId;  // Wine leaves it 0: its table belongs to the process alone
  std::uint16_t Count;
  std::uint16_t Upper;  // the handle's upper word: its type and reuse counter
  std::uint8_t Type;    // 0 for a free entry
  std::uint8_t Flags;
  std::uint64_t UserData;
};
static_assert(sizeof(TGdiHandleEntry) == 24);
static_assert(sizeof(void*) == 8, "the PEB offset below is the 64-bit one");

constexpr std::size_t PebGdiSharedHandleTable = 0xF8;
constexpr unsigned GdiHandleCount = 0x10000;
constexpr std::uintptr_t StockObjectBit = 0x00800000;

// The low byte of a handle's upper word names its kind in full (the entry's Type lumps pens and
// brushes together); the stock bit sits in it too.
constexpr std::uint16_t StockObjectType = StockObjectBit >> 16;
constexpr std::uint16_t HandleTypeMask = 0x7F;
enum : std::uint16_t {
  HandleDC = 0x01,
  HandleRegion = 0x04,
  HandlePalette = 0x08,
  HandleBitmap = 0x09,
  HandleFont = 0x0A,
  HandleBrush = 0x10,
  HandleEnhMetafileDC = 0x21,
  HandlePen = 0x30,
  HandleMemoryDC = 0x41,
  HandleExtPen = 0x50,
  HandleMetafileDC = 0x66,
};

// Wine numbers user handles from 0x20 in steps of 2 and accepts any reuse counter in a handle
// whose upper word is 0, so probing these values finds every live menu of the process.
constexpr unsigned FirstUserHandle = 0x20;
constexpr unsigned LastUserHandle = 0xFFEF;

const TGdiHandleEntry* GdiHandleTable() {
  PROCESS_BASIC_INFORMATION info{};
  const TGdiHandleEntry* table = nullptr;
  if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr) ==
      0) {
    auto* peb = reinterpret_cast<const std::uint8_t*>(info.PebBaseAddress);
    table = *reinterpret_cast<const TGdiHandleEntry* const*>(peb + PebGdiSharedHandleTable);
  }
  if (table == nullptr) throw std::runtime_error("TGuiCensus: the process has no GDI handle table");
  return table;
}

// The windows of one process: its top-level and message-only windows and their descendants.
struct TWindowSearch {
  DWORD Process;
  int Windows = 0;
  int MenuBars = 0;
};

bool BelongsTo(HWND window, DWORD process) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return owner == process;
}

BOOL CALLBACK CountChildWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TWindowSearch*>(data);
  if (BelongsTo(window, search->Process)) ++search->Windows;
  return TRUE;
}

void CountWindowAndDescendants(HWND window, TWindowSearch& search) {
  if (!BelongsTo(window, search.Process)) return;
  ++search.Windows;
  if (GetMenu(window) != nullptr) ++search.MenuBars;
  EnumChildWindows(window, CountChildWindow, reinterpret_cast<LPARAM>(&search));
}

BOOL CALLBACK CountTopLevelWindow(HWND window, LPARAM data) {
  CountWindowAndDescendants(window, *reinterpret_cast<TWindowSearch*>(data));
  return TRUE;
}

TWindowSearch CountWindows(DWORD process) {
  TWindowSearch search{process};
  EnumWindows(CountTopLevelWindow, reinterpret_cast<LPARAM>(&search));
  // EnumWindows leaves out message-only windows.
  for (HWND w = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w != nullptr;
       w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr)) {
    CountWindowAndDescendants(w, search);
  }
  return search;
}

int CountMenus() {
  int count = 0;
  for (unsigned h = FirstUserHandle; h <= LastUserHandle; h += 2) {
    if (IsMenu(reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(h)))) ++count;
  }
  return count;
}

}  // namespace

TGuiCensus TGuiCensus::Now() {
  TGuiCensus c;
  const TGdiHandleEntry* table = GdiHandleTable();
  for (unsigned i = 0; i < GdiHandleCount; ++i) {
    const TGdiHandleEntry& entry = table[i];
    if (entry.Type == 0) continue;
    std::uintptr_t handle = i | (std::uintptr_t{entry.Upper} << 16);
    if (handle & StockObjectBit) continue;
    // GetObjectType names what the handle is (the entry's own type does not tell a pen from a
    // brush); it answers 0 for the DCs' internal objects.
    switch (GetObjectType(reinterpret_cast<HGDIOBJ>(handle))) {
      case 0:
        break;
      case OBJ_BITMAP:
        ++c.FBitmaps;
        break;
      case OBJ_DC:
        // A released window DC stays in the cache but no longer knows its window.
        if (WindowFromDC(reinterpret_cast<HDC>(handle)) != nullptr) ++c.FDCs;
        break;
      case OBJ_MEMDC:
      case OBJ_METADC:
      case OBJ_ENHMETADC:
        ++c.FDCs;
        break;
      case OBJ_FONT:
        ++c.FFonts;
        break;
      case OBJ_BRUSH:
        ++c.FBrushes;
        break;
      case OBJ_PEN:
      case OBJ_EXTPEN:
        ++c.FPens;
        break;
      case OBJ_REGION:
        ++c.FRegions;
        break;
      case OBJ_PAL:
        ++c.FPalettes;
        break;
      default:
        ++c.FOtherGdi;
        break;
    }
  }
  c.FWindows = CountWindows(GetCurrentProcessId()).Windows;
  c.FMenus = CountMenus();
  return c;
}

TGuiCensus TGuiCensus::OfProcess(HANDLE process) {
  PROCESS_BASIC_INFORMATION info{};
  std::uint64_t tableAddress = 0;
  SIZE_T read = 0;
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof info, nullptr) != 0 ||
      !ReadProcessMemory(process, reinterpret_cast<const std::uint8_t*>(info.PebBaseAddress) + PebGdiSharedHandleTable,
                         &tableAddress, sizeof tableAddress, &read) ||
      tableAddress == 0)
    throw std::runtime_error("TGuiCensus: the other process's GDI handle table cannot be found");
  std::vector<TGdiHandleEntry> table(GdiHandleCount);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(tableAddress), table.data(),
                         table.size() * sizeof(TGdiHandleEntry), &read))
    throw std::runtime_error("TGuiCensus: the other process's GDI handle table cannot be read");

  TGuiCensus c;
  for (const TGdiHandleEntry& entry : table) {
    if (entry.Type == 0 || (entry.Upper & StockObjectType)) continue;
    switch (entry.Upper & HandleTypeMask) {
      case HandleBitmap:
        ++c.FBitmaps;
        break;
      case HandleDC:
      case HandleMemoryDC:
      case HandleMetafileDC:
      case HandleEnhMetafileDC:
        ++c.FDCs;
        break;
      case HandleFont:
        ++c.FFonts;
        break;
      case HandleBrush:
        ++c.FBrushes;
        break;
      case HandlePen:
      case HandleExtPen:
        ++c.FPens;
        break;
      case HandleRegion:
        ++c.FRegions;
        break;
      case HandlePalette:
        ++c.FPalettes;
        break;
      default:
        ++c.FOtherGdi;
        break;
    }
  }
  const TWindowSearch windows = CountWindows(GetProcessId(process));
  c.FWindows = windows.Windows;
  c.FMenus = windows.MenuBars;
  return c;
}

TGuiCensus TGuiCensus::ChangeOver(int cycles, const std::function<void()>& cycle) {
  cycle();
  TGuiCensus before = Now();
  for (int i = 0; i < cycles; ++i) cycle();
  return Now() - before;
}

// The kinds in the order they are printed.
struct TGuiCensus::TField {
  const char* Name;
  int TGuiCensus::*Count;
};

const TGuiCensus::TField TGuiCensus::Fields[] = {
    {"bitmaps", &TGuiCensus::FBitmaps},   {"DCs", &TGuiCensus::FDCs},
    {"fonts", &TGuiCensus::FFonts},       {"brushes", &TGuiCensus::FBrushes},
    {"pens", &TGuiCensus::FPens},         {"regions", &TGuiCensus::FRegions},
    {"palettes", &TGuiCensus::FPalettes}, {"other GDI objects", &TGuiCensus::FOtherGdi},
    {"windows", &TGuiCensus::FWindows},   {"menus", &TGuiCensus::FMenus},
};

int TGuiCensus::Gdi() const {
  return Bitmaps() + DCs() + Fonts() + Brushes() + Pens() + Regions() + Palettes() + OtherGdi();
}

TGuiCensus operator-(const TGuiCensus& a, const TGuiCensus& b) {
  TGuiCensus d;
  for (const auto& f : TGuiCensus::Fields) d.*f.Count = a.*f.Count - b.*f.Count;
  return d;
}

std::ostream& operator<<(std::ostream& out, const TGuiCensus& census) {
  const char* separator = "{";
  for (const auto& f : TGuiCensus::Fields) {
    if (census.*f.Count == 0) continue;
    out << separator << f.Name << ": " << census.*f.Count;
    separator = ", ";
  }
  return out << (*separator == '{' ? "{none}" : "}");
}
