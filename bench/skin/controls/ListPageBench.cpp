// The skinned list view and page control against the same form without a skin, under Wine:
//  - a report list view filled with 5,000 items and painted;
//  - a tab switch on a page control whose pages hold 30 skinned controls each.
// Goal: each at most 2 times the unskinned time.
//
// Checks first: without a skin, the list view and the page control show what the framework's own
// controls show; skinned, the page control's strip and the sheet show the page control's cache and
// the list's frame shows the list's cache. TARVEX_BENCH_CORRUPT=listview or =pages spoils one byte
// of our side's screen read, which must fail the check (exit code 2).
//
//   wine build/win/bench/skin/controls/skin_listpage_bench.exe [--pairs N] [--check-only]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TButton.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCheckBox.h"
#include "framework/win/TCustomEdit.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TListView.h"
#include "framework/win/TPageControl.h"
#include "framework/win/TTabSheet.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsListView.h"
#include "skin/controls/TsPageControl.h"
#include "skin/controls/TsScrollBar.h"
#include "bench/support/WineBench.h"
#include "skin/engine/TsSkinManager.h"

namespace {

using namespace winbench;

// --- screens ---

using TPixels = std::vector<std::uint8_t>;

TPixels Read(HDC dc, const RECT& r) {
  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::Bit24);
  bmp.SetSize(r.right - r.left, r.bottom - r.top);
  BitBlt(bmp.Canvas()->Handle(), 0, 0, r.right - r.left, r.bottom - r.top, dc, r.left, r.top, SRCCOPY);
  TPixels pixels;
  for (int row = 0; row < bmp.Height(); ++row)
    pixels.insert(pixels.end(), bmp.ScanLine(row), bmp.ScanLine(row) + 3 * bmp.Width());
  return pixels;
}

TPixels WholeWindow(TWinControl* c) {
  const TWindowDC dc(c->Handle(), TWindowDC::Whole);
  return Read(dc.Handle(), RECT{0, 0, c->Width(), c->Height()});
}

TPixels Client(TWinControl* c, const RECT& r) {
  const TWindowDC dc(c->Handle(), TWindowDC::Client);
  return Read(dc.Handle(), r);
}

TPixels CacheArea(TsSkinnedControl* s, const RECT& r) { return Read(s->SkinData().CacheBitmap()->Canvas()->Handle(), r); }

void Spoil(TPixels& p, const std::string& key) {
  if (CorruptionAsked(key) && !p.empty()) p[p.size() / 2] ^= 0xFF;
}

void Pump() { Application->ProcessMessages(); }

TsSkinManager* Manager = nullptr;

void UseSkin(bool skinned) {
  Manager->SetActive(skinned);
  Pump();
}

TForm* ShowForm(int width, int height) {
  TForm* form = NewComponent<TForm>(Application);
  form->SetBounds(0, 0, width, height);
  form->Show();
  SetForegroundWindow(form->Handle());
  ::SetFocus(form->Handle());
  Pump();
  return form;
}

// --- the list view ---

template <typename TList>
TList* MakeList(TForm* form) {
  auto* list = NewControl<TList>(form, form, RECT{8, 8, 408, 308});
  list->SetViewStyle(vsReport);
  list->AddColumn("Name", 160);
  list->AddColumn("Size", 90, 1);
  list->AddColumn("Type", 220);
  return list;
}

// Fills the list with 5,000 items and paints it.
void Fill(TListView* list) {
  list->ClearItems();
  list->BeginUpdate();
  for (int i = 0; i < 5000; ++i) {
    TListItem* item = list->AddItem();
    item->SetCaption("File " + std::to_string(i) + ".smg");
    item->AddSubItem(std::to_string(i * 131 % 65536));
    item->AddSubItem("Code group image");
  }
  list->EndUpdate();
  RedrawWindow(list->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
  Pump();
}

void ListWork(const TOptions& options) {
  TForm* form = ShowForm(440, 360);
  auto* ours = MakeList<TsCustomListView>(form);
  UseSkin(false);
  Fill(ours);
  TPixels shown = WholeWindow(ours);
  ours->Hide();
  auto* twin = MakeList<TListView>(form);
  Fill(twin);
  Spoil(shown, "listview");
  if (shown != WholeWindow(twin)) CheckFailed("list view: without a skin it differs from the framework's list view");
  twin->Free();
  ours->Show();
  UseSkin(true);
  Fill(ours);
  if (!ours->IsSkinned() || !ours->VScrollBar() || !ours->VScrollBar()->Visible())
    CheckFailed("list view: skinned, it has no skinned vertical bar");
  TPixels frame = WholeWindow(ours);
  frame.resize(std::size_t(3 * ours->Width() * 2));
  Spoil(frame, "listview");
  if (frame != CacheArea(ours, RECT{0, 0, ours->Width(), 2})) CheckFailed("list view: the frame is not the cache's");
  if (options.CheckOnly) {
    form->Free();
    return;
  }
  AddPairRow("list view: fill and paint vs unskinned", "report, 5,000 items",
             RunPairs(
                 options.Pairs,
                 [&] {
                   UseSkin(true);
                   return TimeOne([&] { Fill(ours); });
                 },
                 [&] {
                   UseSkin(false);
                   return TimeOne([&] { Fill(ours); });
                 }));
  form->Free();
}

// --- the page control ---

struct TPages {
  TPageControl* Control = nullptr;
  std::vector<TControl*> Controls;
};

// Two pages of 30 controls each (edits, buttons, check boxes).
template <typename TControlOf, typename TSheetOf>
TPages MakePages(TForm* form, bool skinned) {
  TPages p;
  p.Control = skinned ? static_cast<TPageControl*>(NewControl<TsPageControl>(form, form, RECT{8, 8, 628, 308}))
                      : NewControl<TPageControl>(form, form, RECT{8, 8, 628, 308});
  for (int page = 0; page < 2; ++page) {
    TTabSheet* sheet = skinned ? static_cast<TTabSheet*>(NewComponent<TsTabSheet>(form)) : NewComponent<TTabSheet>(form);
    sheet->SetCaption("Page " + std::to_string(page + 1));
    sheet->SetPageControl(p.Control);
    for (int i = 0; i < 30; ++i) {
      const RECT r{8 + (i % 5) * 120, 8 + (i / 5) * 40, 118 + (i % 5) * 120, 32 + (i / 5) * 40};
      TControl* c = TControlOf{}(sheet, form, r, i % 3);
      c->SetText("Control " + std::to_string(i));
      p.Controls.push_back(c);
    }
  }
  p.Control->SetActivePageIndex(0);
  return p;
}

struct TSkinnedKinds {
  TControl* operator()(TTabSheet* sheet, TForm* form, const RECT& r, int kind) const {
    if (kind == 0) return NewControl<TsEdit>(form, sheet, r);
    if (kind == 1) return NewControl<TsButton>(form, sheet, r);
    return NewControl<TsCheckBox>(form, sheet, r);
  }
};

struct TPlainKinds {
  TControl* operator()(TTabSheet* sheet, TForm* form, const RECT& r, int kind) const {
    if (kind == 0) return NewControl<TEdit>(form, sheet, r);
    if (kind == 1) return NewControl<TButton>(form, sheet, r);
    return NewControl<TCheckBox>(form, sheet, r);
  }
};

// A switch to the other page as the user makes it, painted.
void Switch(TPageControl* control) {
  const int next = 1 - control->ActivePageIndex();
  RECT r{};
  SendMessageA(control->Handle(), TCM_GETITEMRECT, WPARAM(next), reinterpret_cast<LPARAM>(&r));
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageA(control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(control->Handle(), WM_LBUTTONUP, 0, at);
  RedrawWindow(control->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump();
}

void PagesWork(const TOptions& options) {
  TForm* form = ShowForm(660, 360);
  UseSkin(false);
  TPages ours = MakePages<TSkinnedKinds, TsTabSheet>(form, true);
  Pump();
  TPixels shown = Client(ours.Control, RECT{0, 0, ours.Control->Width(), ours.Control->Height()});
  ours.Control->Hide();
  TPages twin = MakePages<TPlainKinds, TTabSheet>(form, false);
  Pump();
  Spoil(shown, "pages");
  if (shown != Client(twin.Control, RECT{0, 0, twin.Control->Width(), twin.Control->Height()}))
    CheckFailed("page control: without a skin it differs from the framework's page control");
  twin.Control->Free();
  ours.Control->Show();
  UseSkin(true);
  Switch(ours.Control);
  auto* skinned = static_cast<TsPageControl*>(ours.Control);
  if (!skinned->IsSkinned() || skinned->ActivePageIndex() != 1) CheckFailed("page control: the skinned switch failed");
  const RECT strip = skinned->TabsArea();
  TPixels tabs = Client(skinned, strip);
  Spoil(tabs, "pages");
  if (tabs != CacheArea(skinned, strip)) CheckFailed("page control: the tab strip is not the cache's");
  if (options.CheckOnly) {
    form->Free();
    return;
  }
  AddPairRow("page control: tab switch vs unskinned", "2 pages of 30 controls",
             RunPairs(
                 options.Pairs,
                 [&] {
                   UseSkin(true);
                   Switch(ours.Control);
                   return TimeOne([&] { Switch(ours.Control); });
                 },
                 [&] {
                   UseSkin(false);
                   Switch(ours.Control);
                   return TimeOne([&] { Switch(ours.Control); });
                 }));
  form->Free();
}

}  // namespace

int main(int argc, char** argv) {
  return winbench::Main(argc, argv, [](const TOptions& options) {
    Application->Initialize();
    Manager = NewComponent<TsSkinManager>(Application);
    Manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
    Manager->SetSkinName("Desert");
    ListWork(options);
    PagesWork(options);
  });
}
