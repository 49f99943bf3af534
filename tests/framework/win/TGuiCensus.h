#pragma once

#include <windows.h>

#include <functional>
#include <iosfwd>

// The GDI and USER objects this process holds, counted by kind. Unlike GetGuiResources, which
// answers 0 under Wine, it reads the process's GDI handle table and enumerates windows and menus,
// so a leak check built on it can fail. Stock objects and the DCs' internal objects are not counted.
//
// A flat-over-N-cycles check:
//   EXPECT_EQ(TGuiCensus::ChangeOver(50, [&] { ... }), TGuiCensus());  // fails with "{bitmaps: 50}"
// or, by hand, after a first cycle:
//   TGuiCensus before = TGuiCensus::Now();
//   ...
//   EXPECT_EQ(TGuiCensus::Now() - before, TGuiCensus());
class TGuiCensus {
public:
  // Throws std::runtime_error where the GDI handle table cannot be found, rather than report 0.
  static TGuiCensus Now();
  // The census of another process, taken from outside (the handle needs PROCESS_QUERY_INFORMATION
  // and PROCESS_VM_READ): its GDI handle table read through its PEB, each entry counted by the type
  // its handle carries, and its windows. What it cannot tell apart, unlike Now():
  // - DCs: a released window DC Wine keeps in its cache for reuse counts as a DC, so a window DC
  //   taken and released leaves the count as it was, and the cache grows by one (with its region)
  //   whenever all are busy. The DCs' internal objects, which Now() leaves out, count among the DCs
  //   and regions, and a region a DC keeps changes with what was painted last: a flat check allows
  //   fewer of them.
  // - Menus: only the menu bars of its top-level windows; popup menus, the system menus and menus
  //   not attached to a window live in the other process's memory and are not seen.
  // Throws std::runtime_error where the table cannot be read.
  static TGuiCensus OfProcess(HANDLE process);
  // What cycles runs of cycle leave behind. A first run before the count lets class registrations,
  // lazily made objects and caches settle: Wine's cache of window DCs, for one, grows by a DC and
  // its region whenever all are busy, and keeps them.
  static TGuiCensus ChangeOver(int cycles, const std::function<void()>& cycle);

  int Bitmaps() const { return FBitmaps; }
  // Memory and metafile DCs, and screen and window DCs not yet released. A DC made by CreateDC is
  // not told apart from a released window DC Wine keeps for reuse, so it is not counted.
  int DCs() const { return FDCs; }
  int Fonts() const { return FFonts; }
  int Brushes() const { return FBrushes; }
  int Pens() const { return FPens; }
  int Regions() const { return FRegions; }
  int Palettes() const { return FPalettes; }
  // Metafiles and colour spaces.
  int OtherGdi() const { return FOtherGdi; }
  // Top-level, child and message-only windows of this process.
  int Windows() const { return FWindows; }
  // Live menus of this process, attached to a window or not.
  int Menus() const { return FMenus; }

  int Gdi() const;
  int User() const { return FWindows + FMenus; }

  friend TGuiCensus operator-(const TGuiCensus& a, const TGuiCensus& b);
  bool operator==(const TGuiCensus&) const = default;
  // The non-zero counts by name, "{bitmaps: 2, windows: -1}", or "{none}"; GoogleTest prints with it.
  friend std::ostream& operator<<(std::ostream& out, const TGuiCensus& census);

private:
  struct TField;
  static const TField Fields[];

  int FBitmaps = 0;
  int FDCs = 0;
  int FFonts = 0;
  int FBrushes = 0;
  int FPens = 0;
  int FRegions = 0;
  int FPalettes = 0;
  int FOtherGdi = 0;
  int FWindows = 0;
  int FMenus = 0;
};
