#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "framework/base/TClientDataSet.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TDataSource.h"
#include "skin/controls/TsScrollBar.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/windows/TsGridAdapter.h"
#include "tests/framework/win/TGuiCensus.h"
#include "tests/skin/controls/ControlPixels.h"

// The grid adapter on a data grid over a table of 10,000 rows, driven by real messages.

namespace {

constexpr int kRows = 10000;

void FillTable(TClientDataSet& table, int rows) {
  table.AddIntegerField("ID");
  table.AddStringField("Name", 40);
  table.AddStringField("Note", 60);
  table.CreateDataSet();
  table.DisableControls();
  for (int i = 1; i <= rows; ++i) table.AppendRecord({i, "Row " + std::to_string(i), "note"});
  table.EnableControls();
  table.First();
}

// A grid that carries the name of the one grid class the adapter refuses.
class TDBGridEh : public TDBGrid {
public:
  using TDBGrid::TDBGrid;
};

void Send(TWinControl* c, UINT msg, WPARAM w, LPARAM l) { SendMessageA(c->Handle(), msg, w, l); }
void Click(TWinControl* c, int x, int y) {
  Send(c, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  Send(c, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

class GridAdapter : public TSkinnedFormTest {
protected:
  static void SetUpTestSuite() {
    Table = new TClientDataSet;
    FillTable(*Table, kRows);
  }
  static void TearDownTestSuite() {
    delete Table;
    Table = nullptr;
  }
  void SetUp() override {
    TSkinnedFormTest::SetUp();
    Form->SetBounds(40, 40, 520, 360);
    Table->First();
    Source = NewComponent<TDataSource>(Form);
    Source->SetDataSet(Table);
    Grid = PutGrid<TDBGrid>("Grid1", RECT{10, 10, 410, 300});
    // Columns that fit the grid's width: no horizontal bar.
    Grid->AddColumn("ID", "ID", 60);
    Grid->AddColumn("Name", "Name", 150);
    Grid->AddColumn("Note", "Note", 100);
    Pump();
  }
  void TearDown() override {
    Source->SetDataSet(nullptr);
    TSkinnedFormTest::TearDown();
  }
  template <typename T>
  T* PutGrid(const std::string& name, const RECT& r, TDataSource* source = nullptr) {
    T* grid = NewControl<T>(Form, Form, r);
    grid->SetName(name);
    grid->SetDataSource(source != nullptr ? source : Source);
    Pump();
    return grid;
  }
  TsGridAdapter* Adapt() {
    auto* adapter = NewComponent<TsGridAdapter>(Form);
    Pump();
    return adapter;
  }
  static TsGridItem* Item(TsGridAdapter* adapter, int i) { return adapter->Controls()->Items(i); }

  static TClientDataSet* Table;
  TDataSource* Source = nullptr;
  TDBGrid* Grid = nullptr;
};
TClientDataSet* GridAdapter::Table = nullptr;

TEST_F(GridAdapter, TheBarsComeAndGoWithTheSkinTheRowsAndTheSetting) {
  TsGridAdapter* adapter = Adapt();
  ASSERT_EQ(adapter->Count(), 1);
  TsGridItem* item = Item(adapter, 0);
  EXPECT_EQ(item->Grid(), Grid);
  EXPECT_EQ(item->CtrlName(), "Grid1");
  EXPECT_EQ(item->SkinData()->SkinSection(), "EDIT");
  // No skin: the grid's own bars only.
  EXPECT_EQ(item->VertBar(), nullptr);

  LoadSkin("Desert");
  Pump();
  TsScrollBar* vert = item->VertBar();
  ASSERT_NE(vert, nullptr);
  EXPECT_TRUE(vert->Visible());
  EXPECT_EQ(vert->Kind(), sbVertical);
  EXPECT_EQ(vert->Parent(), Form);
  EXPECT_EQ(vert->Min(), 1);
  EXPECT_EQ(vert->Max(), kRows);
  EXPECT_EQ(vert->Position(), 1);
  EXPECT_EQ(vert->PageSize(), Grid->VisibleRowCount());
  // Inside the 2-pixel frame along the right edge, as wide as the system's bar.
  EXPECT_EQ(vert->Left() + vert->Width(), Grid->Left() + Grid->Width() - 2);
  EXPECT_EQ(vert->Top(), Grid->Top() + 2);
  EXPECT_EQ(vert->Width(), GetSystemMetrics(SM_CXVSCROLL));
  // Three columns fit: no horizontal bar.
  EXPECT_TRUE(item->HorzBar() == nullptr || !item->HorzBar()->Visible());
  EXPECT_EQ(Grid->FixedColor(), GlobalSectionColor());

  // Without its table the grid has nothing to scroll; with it again the bar is back.
  Grid->SetDataSource(nullptr);
  Pump();
  EXPECT_FALSE(vert->Visible());
  Grid->SetDataSource(Source);
  Pump();
  EXPECT_TRUE(vert->Visible());
  // A grid set to show no bars gets none.
  Grid->SetScrollBars(ssNone);
  Pump();
  EXPECT_FALSE(item->VertBar() != nullptr && item->VertBar()->Visible());
  Grid->SetScrollBars(ssBoth);
  Pump();
  ASSERT_NE(item->VertBar(), nullptr);
  EXPECT_TRUE(item->VertBar()->Visible());

  // A small table: the bar comes with the row that no longer fits, and goes with it.
  TClientDataSet small;
  FillTable(small, 2);
  auto* smallSource = NewComponent<TDataSource>(Form);
  smallSource->SetDataSet(&small);
  Grid->SetDataSource(smallSource);
  Pump();
  EXPECT_FALSE(item->VertBar()->Visible());
  const int fit = Grid->VisibleRowCount();
  while (small.RecordCount() < fit) small.AppendRecord({small.RecordCount() + 1, "more", "x"});
  Pump();
  EXPECT_FALSE(item->VertBar()->Visible());
  small.AppendRecord({fit + 1, "one too many", "x"});
  Pump();
  EXPECT_TRUE(item->VertBar()->Visible());
  EXPECT_EQ(item->VertBar()->Max(), fit + 1);
  small.Delete();
  Pump();
  EXPECT_FALSE(item->VertBar()->Visible());

  // Columns wider than the grid bring the horizontal bar, beside the vertical one.
  Grid->SetDataSource(Source);
  Grid->ClearColumns();
  Grid->AddColumn("ID", "ID", 200);
  Grid->AddColumn("Name", "Name", 200);
  Grid->AddColumn("Note", "Note", 200);
  Pump();
  ASSERT_NE(item->HorzBar(), nullptr);
  EXPECT_TRUE(item->HorzBar()->Visible());
  EXPECT_EQ(item->HorzBar()->Left() + item->HorzBar()->Width(), item->VertBar()->Left());
  EXPECT_EQ(item->VertBar()->Top() + item->VertBar()->Height(), item->HorzBar()->Top());

  // The skin goes: the bars go, the fixed cells take the button face again.
  Manager->SetActive(false);
  Pump();
  EXPECT_EQ(item->VertBar(), nullptr);
  EXPECT_EQ(item->HorzBar(), nullptr);
  EXPECT_EQ(Grid->FixedColor(), clBtnFace);
  Source->SetDataSet(Table);
  smallSource->SetDataSet(nullptr);
}

TEST_F(GridAdapter, TheSkinnedBarMovesTheRecordAndFollowsIt) {
  TsGridAdapter* adapter = Adapt();
  LoadSkin("Desert");
  Pump();
  TsScrollBar* bar = Item(adapter, 0)->VertBar();
  ASSERT_NE(bar, nullptr);
  const int w = bar->Width(), h = bar->Height(), arrow = GetSystemMetrics(SM_CYVSCROLL);
  // The lower arrow: one record on.
  Click(bar, w / 2, h - arrow / 2);
  Pump();
  EXPECT_EQ(Table->RecNo(), 2);
  EXPECT_EQ(bar->Position(), 2);
  // The track below the slider: a page of visible rows on.
  const int page = Grid->VisibleRowCount();
  Click(bar, w / 2, h - arrow - 3);
  Pump();
  EXPECT_EQ(Table->RecNo(), 2 + page);
  EXPECT_EQ(bar->Position(), 2 + page);
  // The grid shows the record.
  EXPECT_LE(Grid->TopRow(), Table->RecNo());
  EXPECT_GT(Grid->TopRow() + page, Table->RecNo());
  // The slider dragged to the bottom: the last record.
  const int sliderY = arrow + 8;
  Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(w / 2, sliderY));
  Send(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(w / 2, h + 50));
  Send(bar, WM_LBUTTONUP, 0, MAKELPARAM(w / 2, h + 50));
  Pump();
  EXPECT_EQ(Table->RecNo(), kRows);
  EXPECT_EQ(bar->Position(), bar->Max());

  // The other way: keys on the grid move the record, and the bar follows at the next paint.
  Grid->SetFocus();
  Send(Grid, WM_KEYDOWN, VK_HOME, 0);
  Send(Grid, WM_KEYDOWN, VK_NEXT, 0);
  Pump();
  EXPECT_GT(Table->RecNo(), 1);
  EXPECT_EQ(bar->Position(), Table->RecNo());
  // The grid's own bar scrolled by a message: the record stays, and so does the bar.
  const int recNo = Table->RecNo();
  Send(Grid, WM_VSCROLL, SB_PAGEDOWN, 0);
  Pump();
  EXPECT_EQ(Table->RecNo(), recNo);
  EXPECT_EQ(bar->Position(), recNo);
}

TEST_F(GridAdapter, AGridIsAdaptedOnceAndTheRefusedClassNever) {
  TsGridAdapter* first = Adapt();
  ASSERT_EQ(first->Count(), 1);
  const TWndMethod hooked = Grid->WindowProc();
  EXPECT_TRUE(AskControl(Grid, SkinCommand::IsSkinned));
  // The adapted grid answers as a skinned control: neither this adapter nor a second one takes it.
  first->AddControl(Grid);
  EXPECT_EQ(first->Count(), 1);
  TsGridAdapter* second = Adapt();
  EXPECT_EQ(second->Count(), 0);
  second->AddItem(Grid, "EDIT");
  EXPECT_EQ(second->Count(), 0);
  EXPECT_TRUE(Grid->WindowProc() == hooked);
  // A grid placed later is taken by the first adapter that looks (both search).
  TDBGrid* later = PutGrid<TDBGrid>("Grid2", RECT{10, 310, 200, 350});
  EXPECT_EQ(first->Count() + second->Count(), 2);
  EXPECT_EQ(first->IndexOfGrid(later) >= 0, second->IndexOfGrid(later) < 0);
  // The refused class is left alone, placed before or after.
  TDBGridEh* refused = PutGrid<TDBGridEh>("Grid3", RECT{220, 310, 400, 350});
  first->AddControl(refused);
  EXPECT_LT(first->IndexOfGrid(refused), 0);
  EXPECT_LT(second->IndexOfGrid(refused), 0);
  EXPECT_FALSE(AskControl(refused, SkinCommand::IsSkinned));
  TsGridAdapter* third = Adapt();
  EXPECT_EQ(third->Count(), 0);
}

TEST_F(GridAdapter, AGridRemovedAtRunTimeGetsItsProcedureAndFixedColourBack) {
  const TWndMethod own = Grid->WindowProc();
  TsGridAdapter* adapter = Adapt();
  LoadSkin("Desert");
  Pump();
  ASSERT_EQ(adapter->Count(), 1);
  EXPECT_FALSE(Grid->WindowProc() == own);
  EXPECT_EQ(Grid->FixedColor(), GlobalSectionColor());
  ASSERT_NE(Item(adapter, 0)->VertBar(), nullptr);

  Form->RemoveComponent(Grid);
  EXPECT_EQ(adapter->Count(), 0);
  EXPECT_TRUE(Grid->WindowProc() == own);
  EXPECT_EQ(Grid->FixedColor(), clBtnFace);
  EXPECT_EQ(Grid->FixedFontColor(), clDefault);
  EXPECT_FALSE(AskControl(Grid, SkinCommand::IsSkinned));
  Form->InsertComponent(Grid);
  Pump();
  ASSERT_EQ(adapter->Count(), 1);  // back on the form, adapted again

  // A procedure put over the adapter's later is the grid's after the grid leaves the adapter, and
  // still reaches the grid's own through the adapter's, which stays with the grid.
  struct TOver {
    TWndMethod Old;
    int Seen = 0;
    void Proc(TMessage& m) {
      ++Seen;
      Old(m);
    }
  } over;
  over.Old = Grid->WindowProc();
  Grid->SetWindowProc(TWndMethod(&over, &TOver::Proc));
  Form->RemoveComponent(Grid);
  EXPECT_EQ(adapter->Count(), 0);
  EXPECT_TRUE(Grid->WindowProc() == TWndMethod(&over, &TOver::Proc));
  EXPECT_EQ(Grid->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS);
  EXPECT_GT(over.Seen, 0);
  EXPECT_FALSE(AskControl(Grid, SkinCommand::IsSkinned));
  Grid->SetWindowProc(over.Old);
  Grid->Free();
  Grid = nullptr;
  Pump();

  // Freed while adapted: the item goes with it.
  TDBGrid* other = PutGrid<TDBGrid>("Grid4", RECT{10, 10, 300, 200});
  ASSERT_EQ(adapter->Count(), 1);
  other->Free();
  EXPECT_EQ(adapter->Count(), 0);
  Pump();
}

TEST_F(GridAdapter, WithoutAutoSearchTheNamedGridsAreBoundInOrderUpToAnEmptyName) {
  TDBGrid* second = PutGrid<TDBGrid>("Grid2", RECT{10, 310, 200, 350});
  TDBGrid* third = PutGrid<TDBGrid>("Grid3", RECT{220, 310, 400, 350});
  // Made by hand so that it loads once its items are set, as a stored form would load it.
  auto* adapter = new TsGridAdapter(Form);
  adapter->SetAutoSearch(false);
  adapter->Controls()->Add()->SetCtrlName("grid2");  // names compare without regard to case
  adapter->Controls()->Add()->SetCtrlName("Missing");
  adapter->Controls()->Add()->SetCtrlName("Grid1");
  adapter->Controls()->Add()->SetCtrlName("");
  adapter->Controls()->Add()->SetCtrlName("Grid3");
  adapter->FinishCreation();
  Pump();
  EXPECT_EQ(Item(adapter, 0)->Grid(), second);
  EXPECT_EQ(Item(adapter, 1)->Grid(), nullptr);
  EXPECT_EQ(Item(adapter, 2)->Grid(), Grid);
  EXPECT_EQ(Item(adapter, 4)->Grid(), nullptr);
  EXPECT_FALSE(AskControl(third, SkinCommand::IsSkinned));
  EXPECT_EQ(adapter->IndexOf("GRID1"), 2);
  // A grid placed later is not searched for.
  TDBGrid* later = PutGrid<TDBGrid>("Grid5", RECT{10, 200, 100, 250});
  EXPECT_LT(adapter->IndexOfGrid(later), 0);
  // Switched on, the search takes the rest, the refused class aside.
  adapter->SetAutoSearch(true);
  EXPECT_GE(adapter->IndexOfGrid(third), 0);
  EXPECT_GE(adapter->IndexOfGrid(later), 0);
}

TEST_F(GridAdapter, TheFrameOnTheWindowIsTheSkinsEditFrame) {
  // Wide columns: both bars, and the square between them.
  Grid->AddColumn("ID", "Again", 200);
  TsGridAdapter* adapter = Adapt();
  TsGridItem* item = Item(adapter, 0);
  const TPixels plain = Captured(Grid, true);
  // As the skin leaves it: the bars came after the grid's frame was painted.
  LoadSkin("Desert");
  Pump();
  const int w = Grid->Width(), h = Grid->Height(), f = item->FrameWidth();
  ASSERT_EQ(f, 2);
  ASSERT_TRUE(item->VertBar() != nullptr && item->VertBar()->Visible());
  ASSERT_TRUE(item->HorzBar() != nullptr && item->HorzBar()->Visible());
  TBitmap* cache = item->SkinData()->CacheBitmap();
  ASSERT_NE(cache, nullptr);
  ASSERT_EQ(cache->Width(), w);
  // Where the bars' windows lie over the grid, in the grid's coordinates.
  auto underBar = [&](int x, int y) {
    for (TsScrollBar* bar : {item->VertBar(), item->HorzBar()}) {
      const int bx = bar->Left() - Grid->Left(), by = bar->Top() - Grid->Top();
      if (x >= bx && x < bx + bar->Width() && y >= by && y < by + bar->Height()) return true;
    }
    return false;
  };
  const int cx = item->VertBar()->Width(), cy = item->HorzBar()->Height();
  // The frame on the screen against the adapter's cache, and how much of it the skin changed.
  struct TFrameCount {
    int Compared = 0, Differing = 0, Changed = 0;
  };
  auto countFrame = [&] {
    const TPixels screen = Captured(Grid, true), frame = PixelsOf(*item->SkinData()->CacheBitmap());
    TFrameCount n;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const bool strip = x < f || x >= w - f || y < f || y >= h - f;
        const bool corner = x >= w - f - cx && x < w - f && y >= h - f - cy && y < h - f;
        if ((!strip && !corner) || underBar(x, y)) continue;
        ++n.Compared;
        const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
        if (screen[i] != frame[i]) ++n.Differing;
        if (screen[i] != plain[i]) ++n.Changed;
      }
    return n;
  };
  const TFrameCount desert = countFrame();
  EXPECT_GE(desert.Compared, 2 * (w + h) * f);
  EXPECT_EQ(desert.Differing, 0);
  EXPECT_GT(desert.Changed, 0);  // not the native sunken edge

  // A new skin paints a new frame on the window, with nothing more asked.
  const TPixels desertFrame = PixelsOf(*cache);
  Manager->SetSkinName("Nocturne");
  Pump();
  EXPECT_NE(PixelsOf(*item->SkinData()->CacheBitmap()), desertFrame);
  EXPECT_EQ(countFrame().Differing, 0);
  EXPECT_EQ(Grid->FixedColor(), GlobalSectionColor());
}

TEST_F(GridAdapter, HandlesStayFlatOverBindsAndSkinSwitches) {
  LoadSkin("Desert");
  TsGridAdapter* adapter = Adapt();
  adapter->SetAutoSearch(false);
  adapter->RemoveItem(0);
  const TGuiCensus binds = TGuiCensus::ChangeOver(kCensusCycles, [&] {
    adapter->AddControl(Grid);
    Pump();
    adapter->RemoveItem(0);
  });
  EXPECT_EQ(binds, TGuiCensus());
  adapter->AddControl(Grid);
  Pump();
  int round = 0;
  const TGuiCensus switches = TGuiCensus::ChangeOver(20, [&] {
    Manager->SetSkinName(++round % 2 ? "Nocturne" : "Desert");
    Pump();
  });
  EXPECT_EQ(switches, TGuiCensus());
  ASSERT_NE(Item(adapter, 0)->VertBar(), nullptr);
  EXPECT_TRUE(Item(adapter, 0)->VertBar()->Visible());
}

}  // namespace
