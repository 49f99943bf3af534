// Times the data grid on a table of a language's size: the first paint after binding, a scroll
// through the whole table page by page, and the cursor walked row by row; each paints for real.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/base/TClientDataSet.h"
#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TDataSource.h"

namespace {

// Rows of the table; the first argument changes it, to show the cost does not grow with it.
int kRows = 10000;

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

void Fill(TClientDataSet& table) {
  table.AddIntegerField("ID");
  table.AddStringField("Text", 200);
  table.AddWideStringField("Wide", 200);
  table.CreateDataSet();
  table.DisableControls();
  for (int i = 1; i <= kRows; ++i)
    table.AppendRecord({i, "String number " + std::to_string(i) + " of the language", u"\x4E2D\x6587 text"});
  table.EnableControls();
  table.First();
}

void PaintNow(TDBGrid* grid) { RedrawWindow(grid->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) kRows = std::max(100, std::atoi(argv[1]));
  Application->Initialize();
  TForm* form = NewComponent<TForm>(nullptr);
  form->SetBounds(0, 0, 800, 600);
  form->Show();
  Application->ProcessMessages();

  TClientDataSet table;
  Fill(table);
  auto* source = new TDataSource(form);
  source->SetDataSet(&table);

  std::vector<double> firstPaint, repaint;
  for (int run = 0; run < 5; ++run) {
    auto* grid = new TDBGrid(form);
    grid->SetAlign(alClient);
    double start = NowMs();
    grid->SetParent(form);
    grid->SetDataSource(source);
    grid->AddColumn("ID", "ID", 60);
    grid->AddColumn("Text", "Text", 400);
    grid->AddColumn("Wide", "Wide", 200);
    PaintNow(grid);
    firstPaint.push_back(NowMs() - start);
    start = NowMs();
    PaintNow(grid);
    repaint.push_back(NowMs() - start);
    grid->Free();
  }

  auto* grid = new TDBGrid(form);
  grid->SetAlign(alClient);
  grid->SetParent(form);
  grid->SetDataSource(source);
  PaintNow(grid);

  int pages = 0;
  double start = NowMs();
  while (grid->TopRow() + grid->VisibleRowCount() <= kRows && pages < kRows) {
    SendMessageA(grid->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    UpdateWindow(grid->Handle());
    ++pages;
  }
  double pageScroll = NowMs() - start;

  table.First();
  PaintNow(grid);
  start = NowMs();
  const int kWalk = std::min(2000, kRows - 1);
  for (int i = 1; i <= kWalk; ++i) {
    grid->Perform(CN_KEYDOWN, VK_DOWN, 0);
    UpdateWindow(grid->Handle());
  }
  double rowWalk = NowMs() - start;

  std::sort(firstPaint.begin(), firstPaint.end());
  std::sort(repaint.begin(), repaint.end());
  std::printf("rows %d, visible rows %d\n", kRows, grid->VisibleRowCount());
  std::printf("first paint: best %.2f ms, median %.2f ms\n", firstPaint.front(), firstPaint[firstPaint.size() / 2]);
  std::printf("repaint of the whole grid: best %.2f ms, median %.2f ms\n", repaint.front(), repaint[repaint.size() / 2]);
  std::printf("scroll to the end page by page: %d pages in %.1f ms (%.3f ms per page)\n", pages, pageScroll,
              pageScroll / std::max(pages, 1));
  std::printf("cursor walked down %d rows: %.1f ms (%.3f ms per row), now on row %d\n", kWalk, rowWalk,
              rowWalk / kWalk, table.RecNo());
  source->SetDataSet(nullptr);
  form->Free();
  return 0;
}
