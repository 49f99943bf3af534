#include <windows.h>

#include <algorithm>
#include <vector>

#include "ControlTestSupport.h"
#include "framework/base/TClientDataSet.h"
#include "framework/win/GdiScopes.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TDBNavigator.h"
#include "framework/win/TDataSource.h"

namespace {

// A table of rows (ID, Name, Wide) with an index on Name, shown in a grid.
class DBGridTest : public ControlTest {
protected:
  void SetUp() override {
    ControlTest::SetUp();
    Table.AddIntegerField("ID");
    Table.AddStringField("Name", 20);
    Table.AddWideStringField("Wide", 20);
    Table.CreateDataSet();
    Table.AddIndex("by_name", "Name");
    for (int i = 1; i <= 50; ++i) Table.AppendRecord({i, "row" + std::to_string(1000 - i), u"w"});
    Table.First();
    Source = new TDataSource(Form);
    Source->SetDataSet(&Table);
    Grid = Make<TDBGrid>();
    Grid->SetBounds(0, 0, 400, 200);
    Grid->SetDataSource(Source);
    Pump();
  }
  void TearDown() override {
    Source->SetDataSet(nullptr);
    ControlTest::TearDown();
  }

  int CurrentId() { return Table.FieldByName("ID")->AsInteger(); }
  int IdOf(const TBookmark& bookmark) {
    TBookmark here = Table.GetBookmark();
    Table.GotoBookmark(bookmark);
    int id = CurrentId();
    Table.GotoBookmark(here);
    return id;
  }
  // Clicks the middle of the cell of column col on record recNo with the keys held.
  void ClickRow(int recNo, WPARAM keys = 0, int col = 0) {
    RECT r = Grid->CellRect(col, recNo);
    ASSERT_FALSE(IsRectEmpty(&r)) << "record " << recNo << " is not in view";
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    Grid->Perform(WM_LBUTTONUP, keys, at);
  }
  void Key(WORD key) { Grid->Perform(CN_KEYDOWN, key, 0); }

  TClientDataSet Table;
  TDataSource* Source = nullptr;
  TDBGrid* Grid = nullptr;
};

TEST_F(DBGridTest, DefaultColumnsShowEveryFieldAndTheScrollBarCoversTheTable) {
  ASSERT_EQ(Grid->ColumnCount(), 3);
  EXPECT_EQ(Grid->Columns(1).Title, "Name");
  EXPECT_EQ(Grid->RowCount(), 50);
  EXPECT_GT(Grid->VisibleRowCount(), 2);
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(Grid->Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nMax, 50);
  EXPECT_EQ(int(si.nPage), Grid->VisibleRowCount());
  // Defined columns replace the default ones.
  Grid->AddColumn("Name", "Name of row", 120);
  EXPECT_EQ(Grid->ColumnCount(), 1);
  EXPECT_EQ(Grid->ColumnField(0), Table.FieldByName("Name"));
}

TEST_F(DBGridTest, KeyboardMovesTheTableAndTheViewFollows) {
  Key(VK_DOWN);
  EXPECT_EQ(Table.RecNo(), 2);
  Key(VK_NEXT);
  EXPECT_EQ(Table.RecNo(), 2 + Grid->VisibleRowCount());
  Key(VK_END);  // whole-row keys need Ctrl unless rows are selected whole
  Grid->SetOptions(Grid->Options() | dgRowSelect);
  Key(VK_END);
  EXPECT_EQ(Table.RecNo(), 50);
  EXPECT_EQ(Grid->TopRow(), 50 - Grid->VisibleRowCount() + 1);
  Key(VK_HOME);
  EXPECT_EQ(Table.RecNo(), 1);
  EXPECT_EQ(Grid->TopRow(), 1);
  // Moving the table elsewhere scrolls the grid to it.
  Table.SetRecNo(30);
  EXPECT_LE(Grid->TopRow(), 30);
  EXPECT_GE(Grid->TopRow() + Grid->VisibleRowCount(), 31);
}

TEST_F(DBGridTest, ClicksFollowTheOrderOfTheTablesIndex) {
  Table.SetIndexName("by_name");
  Grid->SetTopRow(1);
  ClickRow(1);
  // "row950" sorts first by name.
  EXPECT_EQ(CurrentId(), 50);
  ClickRow(3);
  EXPECT_EQ(CurrentId(), 48);
  Table.SetIndexName("");
  EXPECT_EQ(CurrentId(), 48);
  EXPECT_EQ(Table.RecNo(), 48);
}

TEST_F(DBGridTest, MultiSelectKeepsTheBookmarksOfTheSelectedRows) {
  Grid->SetOptions(Grid->Options() | dgMultiSelect | dgRowSelect);
  ClickRow(2, MK_CONTROL);
  ClickRow(5, MK_CONTROL);
  ClickRow(4, MK_CONTROL);
  ASSERT_EQ(Grid->SelectedRows().size(), 3u);
  EXPECT_EQ(IdOf(Grid->SelectedRows()[0]), 2);
  EXPECT_EQ(IdOf(Grid->SelectedRows()[1]), 5);
  EXPECT_EQ(IdOf(Grid->SelectedRows()[2]), 4);
  // Ctrl-clicking a selected row takes it out.
  ClickRow(5, MK_CONTROL);
  ASSERT_EQ(Grid->SelectedRows().size(), 2u);
  EXPECT_FALSE(Grid->CurrentRowSelected());
  // The bookmarks name rows, not places: a new order keeps them.
  Table.SetIndexName("by_name");
  EXPECT_EQ(IdOf(Grid->SelectedRows()[1]), 4);
  // A shift-click selects the range from the last plain click.
  Table.SetIndexName("");
  Grid->SetTopRow(1);
  ClickRow(3);
  EXPECT_TRUE(Grid->SelectedRows().empty());
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  ClickRow(6, MK_SHIFT);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(Grid->SelectedRows().size(), 4u);
  EXPECT_EQ(Table.RecNo(), 6);
}

TEST_F(DBGridTest, SelectionFollowsDeletesAndAppends) {
  Grid->SetOptions(Grid->Options() | dgMultiSelect);
  ClickRow(2, MK_CONTROL);
  ClickRow(3, MK_CONTROL);
  Table.SetRecNo(2);
  Table.Delete();
  ASSERT_EQ(Grid->SelectedRows().size(), 1u);
  EXPECT_EQ(IdOf(Grid->SelectedRows()[0]), 3);
  EXPECT_EQ(Grid->RowCount(), 49);
  Table.AppendRecord({99, "new", u"n"});
  EXPECT_EQ(Grid->RowCount(), 50);
  EXPECT_EQ(CurrentId(), 99);
  // The appended row is current and in view.
  EXPECT_GE(Grid->TopRow() + Grid->VisibleRowCount() - 1, Table.RecNo());
  SCROLLINFO si{sizeof si, SIF_RANGE, 0, 0, 0, 0, 0};
  GetScrollInfo(Grid->Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nMax, 50);
  // Emptying the table leaves nothing selected and a top row of 1.
  Table.DisableControls();
  while (!Table.IsEmpty()) Table.Delete();
  Table.EnableControls();
  EXPECT_TRUE(Grid->SelectedRows().empty());
  EXPECT_EQ(Grid->TopRow(), 1);
}

TEST_F(DBGridTest, EditorPostsTextAndWideTextIntoTheCurrentRow) {
  Grid->SetSelectedIndex(1);
  Table.SetRecNo(3);
  Grid->SetEditorMode(true);
  ASSERT_TRUE(Grid->EditorMode());
  EXPECT_EQ(Table.State(), TDataSetState::dsEdit);
  HWND editor = Grid->EditorHandle();
  EXPECT_TRUE(IsWindowUnicode(editor));
  // It covers the cell from its first showing on.
  RECT placed{}, cell = Grid->CellRect(1, 3);
  GetWindowRect(editor, &placed);
  MapWindowPoints(nullptr, Grid->Handle(), reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.left, cell.left + 1);
  EXPECT_EQ(placed.right, cell.right);
  EXPECT_GT(placed.bottom - placed.top, 0);
  SetWindowTextW(editor, L"renamed");
  SendMessageW(editor, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(Table.State(), TDataSetState::dsBrowse);
  EXPECT_FALSE(Grid->EditorMode());
  EXPECT_EQ(Table.FieldByName("Name")->AsString(), "renamed");

  // Characters outside the ANSI code page survive in a wide column.
  Grid->SetSelectedIndex(2);
  Grid->SetEditorMode(true);
  const wchar_t wide[] = L"\x4E2D\x6587\x0416";
  SetWindowTextW(Grid->EditorHandle(), wide);
  // Moving to another row posts the edit.
  SendMessageW(Grid->EditorHandle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(Table.RecNo(), 4);
  Table.SetRecNo(3);
  EXPECT_EQ(Table.FieldByName("Wide")->AsWideString(), u"\x4E2D\x6587\x0416");
  // The editor shows a wide value as it is.
  Grid->SetEditorMode(true);
  wchar_t shown[16] = {};
  GetWindowTextW(Grid->EditorHandle(), shown, 16);
  EXPECT_STREQ(shown, wide);
  // Escape throws the edit away.
  SetWindowTextW(Grid->EditorHandle(), L"zzz");
  SendMessageW(Grid->EditorHandle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(Table.FieldByName("Wide")->AsWideString(), u"\x4E2D\x6587\x0416");
}

TEST_F(DBGridTest, NoEditorOnReadOnlyColumnsOrWholeRowSelection) {
  Grid->AddColumn("ID");
  Grid->AddColumn("Name").ReadOnly = true;
  Grid->SetSelectedIndex(1);
  Grid->SetEditorMode(true);
  EXPECT_FALSE(Grid->EditorMode());
  Grid->SetSelectedIndex(0);
  Grid->SetOptions(Grid->Options() | dgRowSelect);
  Grid->SetEditorMode(true);
  EXPECT_FALSE(Grid->EditorMode());
  EXPECT_EQ(Table.State(), TDataSetState::dsBrowse);
}

TEST_F(DBGridTest, DeleteAsksFirstAndCancelKeepsTheRow) {
  Table.SetRecNo(5);
  std::string text;
  OnNextModal([&] { AnswerDialog(IDCANCEL, &text); });
  Grid->Perform(CN_KEYDOWN, VK_DELETE, 0);  // without Ctrl: nothing
  EXPECT_EQ(Table.RecordCount(), 50);
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  Grid->DeleteRecords();
  EXPECT_EQ(text, "Delete record?");
  EXPECT_EQ(Table.RecordCount(), 50);
  OnNextModal([] { AnswerDialog(IDOK); });
  Key(VK_DELETE);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(Table.RecordCount(), 49);
  EXPECT_NE(CurrentId(), 5);
  // Selected rows go together, after one question.
  Grid->SetOptions(Grid->Options() | dgMultiSelect);
  ClickRow(1, MK_CONTROL);
  ClickRow(2, MK_CONTROL);
  text.clear();
  OnNextModal([&] { AnswerDialog(IDOK, &text); });
  Grid->DeleteRecords();
  EXPECT_EQ(text, "Delete all selected records?");
  EXPECT_EQ(Table.RecordCount(), 47);
  EXPECT_TRUE(Grid->SelectedRows().empty());
}

TEST_F(DBGridTest, DoubleClickFiresTheEventAndTheScrollBarMovesTheView) {
  int clicks = 0;
  Grid->SetOnDblClick(Counter(clicks));
  RECT r = Grid->CellRect(0, 2);
  Grid->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(r.left + 2, r.top + 2));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Table.RecNo(), 2);
  SendMessageA(Grid->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(Grid->TopRow(), 1 + Grid->VisibleRowCount());
  SendMessageA(Grid->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(Grid->TopRow(), 50 - Grid->VisibleRowCount() + 1);
  EXPECT_EQ(GetScrollPos(Grid->Handle(), SB_VERT), Grid->TopRow());
  // Scrolling the view does not move the table.
  EXPECT_EQ(Table.RecNo(), 2);
  // Columns wider than the grid scroll sideways; the cell cursor pulls its column into view.
  Grid->Columns(1).Width = 350;
  Grid->Columns(2).Width = 350;
  Grid->SetSelectedIndex(2);
  EXPECT_GT(Grid->LeftCol(), 0);
  r = Grid->CellRect(2, Grid->TopRow());
  EXPECT_FALSE(IsRectEmpty(&r));
  SendMessageA(Grid->Handle(), WM_HSCROLL, SB_LEFT, 0);
  EXPECT_EQ(Grid->LeftCol(), 0);
}

// Paints the grid into a bitmap of ours, the size of its client area.
class TGridPicture {
public:
  explicit TGridPicture(TDBGrid* grid) : FDc(nullptr, grid->ClientWidth(), grid->ClientHeight()) {
    grid->Perform(WM_PAINT, reinterpret_cast<WPARAM>(FDc.Handle()), 0);
    GdiFlush();
  }
  COLORREF Pixel(int x, int y) const { return GetPixel(FDc.Handle(), x, y); }

private:
  TMemoryDC FDc;
};

// Logs the cells drawn; with OwnColumn set, draws that column's data cells black itself.
struct TCellLog {
  std::vector<TGridCell> Cells;
  int OwnColumn = -1;
  void Draw(TObject* sender, const TGridCell& cell, bool& defaultDrawing) {
    Cells.push_back(cell);
    if (cell.Kind != gcData || cell.Col != OwnColumn) return;
    TCanvas* canvas = static_cast<TDBGrid*>(sender)->Canvas();
    canvas->Brush()->SetColor(clBlack);
    canvas->FillRect(cell.Rect);
    defaultDrawing = false;
  }
  int Count(TGridCellKind kind) const {
    return int(std::count_if(Cells.begin(), Cells.end(), [kind](const TGridCell& c) { return c.Kind == kind; }));
  }
};

TEST_F(DBGridTest, EveryVisibleCellTitleAndIndicatorIsDrawnThroughTheHook) {
  TCellLog log;
  Grid->SetOnDrawCell(TDrawGridCellEvent(&log, &TCellLog::Draw));
  Grid->SetOptions(Grid->Options() | dgAlwaysShowSelection);
  Grid->SetFocus();
  Table.SetRecNo(3);
  Grid->SetSelectedIndex(1);
  ASSERT_EQ(Grid->VisibleColCount(), Grid->ColumnCount());
  TGridPicture picture(Grid);
  int rows = std::min(Table.RecordCount(), Grid->TopRow() + Grid->VisibleRowCount()) - Grid->TopRow() + 1;
  int columns = Grid->ColumnCount();
  bool focused = Grid->Focused();
  EXPECT_EQ(log.Count(gcTitle), columns + 1);  // and the corner over the indicator
  EXPECT_EQ(log.Count(gcIndicator), rows);
  EXPECT_EQ(log.Count(gcData), rows * columns);
  for (const TGridCell& cell : log.Cells) {
    if (cell.Kind != gcData) {
      EXPECT_TRUE(cell.State & gdFixed);
      if (cell.Kind == gcIndicator) {
        EXPECT_EQ(bool(cell.State & gdCurrentRow), cell.RecNo == 3);
      }
      continue;
    }
    EXPECT_FALSE(cell.State & gdFixed);
    RECT r = Grid->CellRect(cell.Col, cell.RecNo);
    EXPECT_EQ(r.left, cell.Rect.left);
    EXPECT_EQ(r.top, cell.Rect.top);
    bool cursor = cell.RecNo == 3 && cell.Col == 1;
    EXPECT_EQ(bool(cell.State & gdSelected), cursor) << cell.RecNo << " " << cell.Col;
    EXPECT_EQ(bool(cell.State & gdFocused), cursor && focused) << cell.RecNo << " " << cell.Col;
    EXPECT_EQ(bool(cell.State & gdCurrentRow), cell.RecNo == 3);
  }
  // A handler that draws a cell itself replaces the default drawing of that cell only.
  log.OwnColumn = 1;
  TGridPicture custom(Grid);
  RECT own = Grid->CellRect(1, 3), other = Grid->CellRect(0, 3);
  EXPECT_EQ(custom.Pixel(own.right - 2, own.top + 2), RGB(0, 0, 0));
  EXPECT_EQ(custom.Pixel(other.right - 2, other.top + 2), ColorToRGB(Grid->Color()));
}

// A cursor moved while the controls were held (a table refilled, then gone to its first row) is
// the row the next scroll repaints as left, so no second current-row mark stays behind.
TEST_F(DBGridTest, AScrollAfterAChangeRepaintsTheRowTheCursorLeft) {
  Table.DisableControls();
  Table.SetRecNo(5);
  Table.EnableControls();
  Pump();
  ValidateRect(Grid->Handle(), nullptr);
  Table.SetRecNo(2);
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(Grid->Handle(), update, FALSE);
  const RECT left = Grid->CellRect(0, 5), gained = Grid->CellRect(0, 2);
  EXPECT_TRUE(PtInRegion(update, (left.left + left.right) / 2, (left.top + left.bottom) / 2));
  EXPECT_TRUE(PtInRegion(update, (gained.left + gained.right) / 2, (gained.top + gained.bottom) / 2));
  DeleteObject(update);
}

TEST_F(DBGridTest, DefaultDrawingFillsTitlesIndicatorAndTheCursorAndDrawsTheLines) {
  Grid->SetFixedColor(clAqua);
  Grid->SetOptions(Grid->Options() | dgAlwaysShowSelection);
  Table.SetRecNo(2);
  Grid->SetSelectedIndex(1);
  TGridPicture picture(Grid);
  RECT cursor = Grid->CellRect(1, 2), plain = Grid->CellRect(1, 3);
  // Right-hand ends of cells hold no text.
  EXPECT_EQ(picture.Pixel(cursor.right - 2, cursor.top + 1), ColorToRGB(clHighlight));
  EXPECT_EQ(picture.Pixel(plain.right - 2, plain.top + 1), ColorToRGB(Grid->Color()));
  EXPECT_EQ(picture.Pixel(cursor.right - 2, 1), ColorToRGB(clAqua));
  // Lines after each column and under each row and the title.
  EXPECT_EQ(picture.Pixel(plain.right, plain.top + 2), ColorToRGB(clBtnShadow));
  EXPECT_EQ(picture.Pixel(plain.left + 2, plain.bottom), ColorToRGB(clBtnShadow));
  EXPECT_EQ(picture.Pixel(plain.left + 2, Grid->TitleHeight() - 1), ColorToRGB(clBtnShadow));
  // The indicator marks the current row only: a triangle, a bar while the row is edited.
  int mid2 = (cursor.top + cursor.bottom) / 2, mid3 = (plain.top + plain.bottom) / 2;
  EXPECT_EQ(picture.Pixel(4, mid2), RGB(0, 0, 0));
  EXPECT_EQ(picture.Pixel(4, mid3), ColorToRGB(clAqua));
  Table.Edit();
  TGridPicture editing(Grid);
  EXPECT_EQ(editing.Pixel(4, mid2), ColorToRGB(clAqua));
  EXPECT_EQ(editing.Pixel(5, mid2), RGB(0, 0, 0));
  Table.Cancel();
}

class NavigatorTest : public DBGridTest {
protected:
  void SetUp() override {
    DBGridTest::SetUp();
    Nav = Make<TDBNavigator>();
    Nav->SetBounds(420, 250, 240, 25);
    Nav->SetDataSource(Source);
  }
  void Press(TNavigateBtn b) {
    TNavButton* button = Nav->Buttons(b);
    button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  }
  TDBNavigator* Nav = nullptr;
};

TEST_F(NavigatorTest, ButtonsMoveTheTableAndFollowItsPosition) {
  EXPECT_FALSE(Nav->Buttons(nbFirst)->Enabled());
  EXPECT_TRUE(Nav->Buttons(nbNext)->Enabled());
  Press(nbNext);
  EXPECT_EQ(Table.RecNo(), 2);
  EXPECT_TRUE(Nav->Buttons(nbPrior)->Enabled());
  Press(nbLast);
  EXPECT_EQ(Table.RecNo(), 50);
  EXPECT_FALSE(Nav->Buttons(nbNext)->Enabled());
  EXPECT_FALSE(Nav->Buttons(nbLast)->Enabled());
  Press(nbEdit);
  EXPECT_TRUE(Nav->Buttons(nbPost)->Enabled());
  EXPECT_FALSE(Nav->Buttons(nbEdit)->Enabled());
  Press(nbCancel);
  EXPECT_EQ(Table.State(), TDataSetState::dsBrowse);
  Source->SetDataSet(nullptr);
  EXPECT_FALSE(Nav->Buttons(nbPrior)->Enabled());
}

TEST_F(NavigatorTest, HeldPriorAndNextRepeat) {
  TNavButton* next = Nav->Buttons(nbNext);
  next->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  next->RepeatTick();
  next->RepeatTick();
  EXPECT_EQ(Table.RecNo(), 3);
  next->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(Table.RecNo(), 4);
  // Other buttons do not repeat.
  EXPECT_FALSE(Nav->Buttons(nbLast)->Repeats());
}

TEST_F(NavigatorTest, DeleteAnsweredWithCancelKeepsTheRecord) {
  Table.SetRecNo(10);
  std::string text;
  OnNextModal([&] { AnswerDialog(IDCANCEL, &text); });
  Nav->BtnClick(nbDelete);
  EXPECT_EQ(text, "Delete record?");
  EXPECT_EQ(Table.RecordCount(), 50);
  OnNextModal([] { AnswerDialog(IDOK); });
  Nav->BtnClick(nbDelete);
  EXPECT_EQ(Table.RecordCount(), 49);
}

TEST_F(NavigatorTest, FourVisibleButtonsShareTheWidth) {
  Nav->SetVisibleButtons(NavButton(nbFirst) | NavButton(nbPrior) | NavButton(nbNext) | NavButton(nbLast));
  for (TNavigateBtn b : {nbFirst, nbPrior, nbNext, nbLast}) EXPECT_EQ(Nav->Buttons(b)->Width(), 60);
  EXPECT_EQ(Nav->Buttons(nbLast)->Left(), 180);
  EXPECT_FALSE(Nav->Buttons(nbInsert)->Visible());
  // The focus stays on the last visible button.
  Nav->Perform(CN_KEYDOWN, VK_RIGHT, 0);
  for (int i = 0; i < 5; ++i) Nav->Perform(CN_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(Nav->FocusedButton(), nbLast);
  Nav->Perform(CN_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(Table.RecNo(), 50);
}

TEST_F(NavigatorTest, HidingTheFocusedButtonMovesTheFocusSoSpaceNeverPressesAHiddenButton) {
  for (int i = 0; i < 3; ++i) Nav->Perform(CN_KEYDOWN, VK_RIGHT, 0);
  ASSERT_EQ(Nav->FocusedButton(), nbLast);
  Nav->SetVisibleButtons(NavButton(nbFirst) | NavButton(nbPrior) | NavButton(nbNext));
  EXPECT_EQ(Nav->FocusedButton(), nbNext);
  Nav->Perform(CN_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(Table.RecNo(), 2);
}

TEST_F(NavigatorTest, AllButtonsFillTheWholeHeightAndSpreadTheLeftover) {
  Nav->SetBounds(420, 250, 243, 31);
  int x = 0, wider = 0;
  for (int i = 0; i < 10; ++i) {
    TNavButton* button = Nav->Buttons(TNavigateBtn(i));
    EXPECT_EQ(button->Left(), x);
    EXPECT_EQ(button->Top(), 0);
    EXPECT_EQ(button->Height(), 31);
    wider += button->Width() == 25;
    x += button->Width();
  }
  EXPECT_EQ(x, 243);
  EXPECT_EQ(wider, 3);
  EXPECT_EQ(Nav->Buttons(nbFirst)->Width(), 24);  // the wider ones are spread, not all at the start
  EXPECT_EQ(Nav->Width(), 243);
}

}  // namespace

namespace {

TEST_F(NavigatorTest, GlyphsAreDrawnWithoutTheirKeyColour) {
  RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  TNavButton* next = Nav->Buttons(nbNext);
  HDC dc = GetDC(Nav->Handle());
  int magenta = 0, dark = 0;
  for (int y = 0; y < next->Height(); ++y) {
    for (int x = 0; x < next->Width(); ++x) {
      COLORREF c = GetPixel(dc, next->Left() + x, next->Top() + y);
      if (c == RGB(255, 0, 255)) ++magenta;
      if (c == RGB(0, 0, 0)) ++dark;
    }
  }
  ReleaseDC(Nav->Handle(), dc);
  EXPECT_EQ(magenta, 0);
  EXPECT_GT(dark, 10);  // the arrow itself
}

}  // namespace

namespace {

// A table shared by two windows may be freed first: the sources let go and the grids go blank.
TEST_F(ControlTest, ATableFreedBeforeItsSourcesLeavesThemEmpty) {
  auto table = std::make_unique<TClientDataSet>();
  table->AddIntegerField("ID");
  table->CreateDataSet();
  table->AppendRecord({1});
  TDataSource* sources[2] = {NewComponent<TDataSource>(Form), NewComponent<TDataSource>(Form)};
  auto* grid = Make<TDBGrid>();
  for (TDataSource* source : sources) source->SetDataSet(table.get());
  grid->SetDataSource(sources[1]);
  Pump();
  table.reset();
  for (TDataSource* source : sources) {
    EXPECT_EQ(source->DataSet(), nullptr);
    EXPECT_EQ(source->State(), TDataSetState::dsInactive);
  }
  grid->Repaint();
  Pump();
}

}  // namespace
