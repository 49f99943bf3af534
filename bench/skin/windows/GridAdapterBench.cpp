// Times the data grid skinned by the grid adapter against the same grid left alone, in one run
// under one skin: a table of 10,000 rows scrolled to its end page by page with the grid's scroll
// message, and walked to its end a page of records at a time with the Page Down key. Each paints
// for real. Both grids must end every page on the same top row and record; the adapted grid's
// bar must show the record. Runs under Wine (tools/bench runs host benchmarks only):
//   wine build/win/bench/skin/windows/grid_adapter_bench.exe SKINS-FOLDER [--pairs N] [--check-only]
// TARVEX_BENCH_CORRUPT=grid-scroll shifts one of the adapted grid's results, which must fail the
// check; TARVEX_BENCH_ROWS names a file the table's rows are appended to.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "bench/support/WineBench.h"
#include "framework/base/TClientDataSet.h"
#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TDataSource.h"
#include "skin/controls/TsScrollBar.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/windows/TsGridAdapter.h"

using winbench::CorruptionAsked;
using winbench::NowMs;

namespace {

constexpr int kRows = 10000;

// Where each page ended: the grid's top row and the current record.
using TTrace = std::vector<std::pair<int, int>>;

TTrace ScrollPages(TDBGrid* grid, TClientDataSet& table) {
  TTrace trace;
  table.First();
  grid->SetTopRow(1);
  UpdateWindow(grid->Handle());
  for (int pages = 0; grid->TopRow() + grid->VisibleRowCount() <= kRows && pages < kRows; ++pages) {
    SendMessageA(grid->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    UpdateWindow(grid->Handle());
    trace.emplace_back(grid->TopRow(), table.RecNo());
  }
  return trace;
}

TTrace WalkPages(TDBGrid* grid, TClientDataSet& table) {
  TTrace trace;
  table.First();
  UpdateWindow(grid->Handle());
  for (int pages = 0; table.RecNo() < kRows && pages < kRows; ++pages) {
    grid->Perform(CN_KEYDOWN, VK_NEXT, 0);
    UpdateWindow(grid->Handle());
    trace.emplace_back(grid->TopRow(), table.RecNo());
  }
  return trace;
}

std::string Ms(double ms) {
  char text[32];
  std::snprintf(text, sizeof text, ms >= 1000 ? "%.2f s" : "%.1f ms", ms >= 1000 ? ms / 1000 : ms);
  return text;
}

struct TRow {
  std::string Work, Size, Ours, Peer, Ratio, Memory;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "error: usage: grid_adapter_bench SKINS-FOLDER [--pairs N] [--check-only]\n");
    return 1;
  }
  int pairs = 5;
  bool checkOnly = false;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--pairs") == 0 && i + 1 < argc) pairs = std::max(5, std::atoi(argv[++i]));
    else if (std::strcmp(argv[i], "--check-only") == 0) checkOnly = true;
  }
  Application->Initialize();
  TForm* form = NewComponent<TForm>(Application);
  form->SetBounds(0, 0, 800, 600);
  auto* manager = NewComponent<TsSkinManager>(form);
  manager->SetSkinDirectory(argv[1]);
  manager->SetSkinName("Desert");
  manager->SetActive(true);

  TClientDataSet table;
  table.AddIntegerField("ID");
  table.AddStringField("Text", 200);
  table.CreateDataSet();
  table.DisableControls();
  for (int i = 1; i <= kRows; ++i) table.AppendRecord({i, "Code group number " + std::to_string(i)});
  table.EnableControls();
  auto* source = NewComponent<TDataSource>(form);
  source->SetDataSet(&table);

  // The peer: the grid alone. Ours: the grid with the adapter.
  TDBGrid* grids[2];
  for (TDBGrid*& grid : grids) {
    grid = NewControl<TDBGrid>(form, form, RECT{10, 10, 760, 540});
    grid->SetDataSource(source);
  }
  auto* adapter = NewComponent<TsGridAdapter>(form);
  adapter->SetAutoSearch(false);
  adapter->RemoveItem(adapter->IndexOfGrid(grids[0]));
  if (adapter->IndexOfGrid(grids[1]) < 0 || adapter->IndexOfGrid(grids[0]) >= 0) {
    std::fprintf(stderr, "error: the adapter did not take the one grid\n");
    return 1;
  }
  form->Show();
  Application->ProcessMessages();
  auto use = [&](int side) {
    grids[1 - side]->SetVisible(false);
    grids[side]->SetVisible(true);
    Application->ProcessMessages();
  };

  using TWork = TTrace (*)(TDBGrid*, TClientDataSet&);
  struct TCase {
    const char* Name;
    TWork Work;
  } cases[] = {{"grid: scroll page by page", &ScrollPages}, {"grid: Page Down record by page", &WalkPages}};

  std::vector<TRow> rows;
  for (const TCase& c : cases) {
    use(0);
    const TTrace peer = c.Work(grids[0], table);
    use(1);
    TTrace ours = c.Work(grids[1], table);
    if (CorruptionAsked("grid-scroll") && !ours.empty()) ++ours[ours.size() / 2].first;
    TsScrollBar* bar = adapter->Controls()->Items(0)->VertBar();
    if (ours != peer) {
      std::fprintf(stderr, "MISMATCH: %s: the adapted grid ends its pages elsewhere\n", c.Name);
      return 2;
    }
    if (bar == nullptr || !bar->Visible() || bar->Position() != table.RecNo()) {
      std::fprintf(stderr, "MISMATCH: %s: the skinned bar does not show the record\n", c.Name);
      return 2;
    }
    if (checkOnly) continue;
    std::vector<double> oursMs, peerMs, ratios;
    for (int p = 0; p < pairs; ++p) {
      double t[2];
      // Ours first in even pairs, the peer first in odd ones.
      for (int k = 0; k < 2; ++k) {
        const int side = (p % 2 == 0) == (k == 0) ? 1 : 0;
        use(side);
        const double start = NowMs();
        c.Work(grids[side], table);
        t[side] = NowMs() - start;
      }
      oursMs.push_back(t[1]);
      peerMs.push_back(t[0]);
      ratios.push_back(t[0] / t[1]);
    }
    std::sort(oursMs.begin(), oursMs.end());
    std::sort(peerMs.begin(), peerMs.end());
    std::sort(ratios.begin(), ratios.end());
    char ratio[64];
    std::snprintf(ratio, sizeof ratio, "%.2f [%.2f-%.2f]", ratios[ratios.size() / 2], ratios.front(), ratios.back());
    rows.push_back({c.Name, std::to_string(peer.size()) + " pages of " + std::to_string(kRows) + " rows",
                    Ms(oursMs[oursMs.size() / 2]), Ms(peerMs[peerMs.size() / 2]), ratio, "-"});
  }
  source->SetDataSet(nullptr);
  form->Free();

  for (const TRow& r : rows)
    std::printf("%s | %s | ours %s | peer (no adapter) %s | ratio %s\n", r.Work.c_str(), r.Size.c_str(),
                r.Ours.c_str(), r.Peer.c_str(), r.Ratio.c_str());
  if (const char* path = std::getenv("TARVEX_BENCH_ROWS")) {
    if (FILE* f = std::fopen(path, "a")) {
      for (const TRow& r : rows)
        std::fprintf(f, "%s\t%s\t%s\t%s\t%s\t%s\n", r.Work.c_str(), r.Size.c_str(), r.Ours.c_str(), r.Peer.c_str(),
                     r.Ratio.c_str(), r.Memory.c_str());
      std::fclose(f);
    }
  }
  return 0;
}
