#include "framework/win/TDBGrid.h"

#include <algorithm>

#include "framework/base/TField.h"
#include "framework/win/TApplication.h"
#include "framework/win/GdiScopes.h"
#include "framework/win/TDataSource.h"

namespace {

constexpr UINT kTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;

std::wstring AnsiToWide(const std::string& text) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(size_t(std::max(n, 0)), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), n);
  return wide;
}

std::string WideToAnsi(const std::wstring& text) {
  if (text.empty()) return std::string();
  int n = WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string ansi(size_t(std::max(n, 0)), '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), ansi.data(), n, nullptr, nullptr);
  return ansi;
}

// The text of a field value as the grid shows it.
std::wstring DisplayText(const TVariant& value) {
  switch (value.Type()) {
    case TVarType::varInteger: return std::to_wstring(value.Integer());
    case TVarType::varString: return AnsiToWide(value.String());
    case TVarType::varWideString: {
      const WideString& w = value.Wide();
      return std::wstring(w.begin(), w.end());
    }
    default: return std::wstring();
  }
}

}  // namespace

TDBGrid::TDBGrid(TComponent* owner)
    : TCustomControl(owner), FLink(this), FEditorHook(TWndMethod(this, &TDBGrid::EditorWndProc), this) {
  SetControlStyle(csCaptureMouse | csOpaque | csDoubleClicks | csClickEvents);
  SetTabStop(true);
  SetColor(clWindow);
  SetBounds(0, 0, 320, 120);
}

TDBGrid::~TDBGrid() { DestroyEditor(); }

void TDBGrid::SetDataSource(TDataSource* source) {
  if (source == FLink.DataSource()) return;
  FLink.SetDataSource(source);
}

void TDBGrid::LinkActiveChanged() {
  HideEditor();
  FSelectedRows.clear();
  FTopRow = 1;
  if (FDefaultColumns || FColumns.empty()) BuildDefaultColumns();
  ScrollToCurrent();
  UpdateScrollBars();
  Invalidate();
}

void TDBGrid::BuildDefaultColumns() {
  FColumns.clear();
  FDefaultColumns = true;
  TClientDataSet* table = DataSet();
  if (table == nullptr) return;
  for (int i = 0; i < table->FieldCount(); ++i) {
    TField* field = table->Fields(i);
    int chars = field->DataType() == TFieldType::ftInteger ? 8 : std::clamp(field->Size(), 4, 40);
    FColumns.push_back(TColumn{field->FieldName(), field->FieldName(), chars * 7 + 4, false,
                               field->DataType() == TFieldType::ftInteger ? taRightJustify : taLeftJustify});
  }
}

TColumn& TDBGrid::AddColumn(const std::string& fieldName, const std::string& title, int width) {
  if (FDefaultColumns) {
    FColumns.clear();
    FDefaultColumns = false;
  }
  TColumn column;
  column.FieldName = fieldName;
  column.Title = title.empty() ? fieldName : title;
  if (width >= 0) column.Width = width;
  FColumns.push_back(column);
  UpdateScrollBars();
  Invalidate();
  return FColumns.back();
}

void TDBGrid::ClearColumns() {
  HideEditor();
  FColumns.clear();
  FDefaultColumns = false;
  FLeftCol = FSelectedIndex = 0;
  Invalidate();
}

TField* TDBGrid::ColumnField(int index) const {
  TClientDataSet* table = DataSet();
  if (table == nullptr || index < 0 || index >= int(FColumns.size())) return nullptr;
  return table->FindField(FColumns[size_t(index)].FieldName);
}

void TDBGrid::SetOptions(TDBGridOptions value) {
  if (value == FOptions) return;
  FOptions = value;
  if (value & dgRowSelect) HideEditor();
  if (!(value & dgMultiSelect)) FSelectedRows.clear();
  FTextHeight = 0;
  ScrollToCurrent();
  UpdateScrollBars();
  Invalidate();
}

void TDBGrid::SetFixedColor(TColor value) {
  if (value == FFixedColor) return;
  FFixedColor = value;
  Invalidate();
}

void TDBGrid::SetFixedFontColor(TColor value) {
  if (value == FFixedFontColor) return;
  FFixedFontColor = value;
  Invalidate();
}

void TDBGrid::SetBorderStyle(TFormBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  RecreateWnd();
}

void TDBGrid::SetScrollBars(TScrollStyle value) {
  if (value == FScrollBars) return;
  FScrollBars = value;
  RecreateWnd();
}

void TDBGrid::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (FBorderStyle != bsNone) params.ExStyle |= WS_EX_CLIENTEDGE;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) params.Style |= WS_VSCROLL;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) params.Style |= WS_HSCROLL;
}

void TDBGrid::CreateWnd() {
  // An editor still hooked belongs to an old window of the grid.
  DestroyEditor();
  TCustomControl::CreateWnd();
  UpdateScrollBars();
}

int TDBGrid::DefaultRowHeight() {
  if (FTextHeight == 0) {
    TScreenDC screen;
    TSelectObject font(screen.Handle(), Font()->Handle());
    TEXTMETRICA tm{};
    GetTextMetricsA(screen.Handle(), &tm);
    FTextHeight = std::max<int>(tm.tmHeight, 1);
  }
  return FTextHeight + 4;
}

int TDBGrid::TitleHeight() { return (FOptions & dgTitles) ? DefaultRowHeight() + 1 : 0; }

int TDBGrid::IndicatorWidth() const { return (FOptions & dgIndicator) ? 12 : 0; }

int TDBGrid::RowCount() const {
  TClientDataSet* table = DataSet();
  return FLink.Active() ? table->RecordCount() : 0;
}

int TDBGrid::VisibleRowCount() {
  RECT client = ClientRect();
  return std::max(0, int(client.bottom - TitleHeight()) / DefaultRowHeight());
}

int TDBGrid::VisibleColCount() {
  RECT client = ClientRect();
  int x = IndicatorWidth(), count = 0;
  for (int c = FLeftCol; c < ColumnCount(); ++c) {
    x += FColumns[size_t(c)].Width + 1;
    if (x > client.right) break;
    ++count;
  }
  return count;
}

void TDBGrid::SetTopRow(int value) {
  int last = std::max(1, RowCount() - std::max(1, VisibleRowCount()) + 1);
  value = std::clamp(value, 1, last);
  if (value == FTopRow) return;
  FTopRow = value;
  UpdateScrollBars();
  PlaceEditor();
  Invalidate();
}

void TDBGrid::SetLeftCol(int value) {
  value = std::clamp(value, 0, std::max(0, ColumnCount() - 1));
  if (value == FLeftCol) return;
  FLeftCol = value;
  UpdateScrollBars();
  PlaceEditor();
  Invalidate();
}

void TDBGrid::SetSelectedIndex(int value) {
  if (ColumnCount() == 0) return;
  value = std::clamp(value, 0, ColumnCount() - 1);
  if (value == FSelectedIndex) return;
  if (EditorMode() && !UpdateData()) return;
  HideEditor();
  FSelectedIndex = value;
  // Keep the cell cursor in view.
  if (value < FLeftCol) SetLeftCol(value);
  while (value >= FLeftCol + std::max(1, VisibleColCount()) && FLeftCol < value) SetLeftCol(FLeftCol + 1);
  Invalidate();
}

void TDBGrid::ScrollToCurrent() {
  TClientDataSet* table = DataSet();
  int count = RowCount();
  int visible = std::max(1, VisibleRowCount());
  int current = FLink.Active() ? table->RecNo() : 0;
  if (current > 0) {
    if (current < FTopRow) FTopRow = current;
    if (current >= FTopRow + visible) FTopRow = current - visible + 1;
  }
  FTopRow = std::clamp(FTopRow, 1, std::max(1, count - visible + 1));
}

void TDBGrid::UpdateScrollBars() {
  if (!HandleAllocated()) return;
  HWND h = Handle();
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) {
    int visible = std::max(1, VisibleRowCount());
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 1, std::max(1, RowCount()), UINT(visible), FTopRow, 0};
    SetScrollInfo(h, SB_VERT, &si, TRUE);
  }
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) {
    int total = IndicatorWidth();
    for (const TColumn& c : FColumns) total += c.Width + 1;
    RECT client = ClientRect();
    bool fits = total <= client.right && FLeftCol == 0;
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, fits ? 0 : std::max(0, ColumnCount() - 1),
                  fits ? 0u : 1u, FLeftCol, 0};
    SetScrollInfo(h, SB_HORZ, &si, TRUE);
  }
}

void TDBGrid::Scroll(int bar, int code) {
  SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
  GetScrollInfo(Handle(), bar, &si);
  if (bar == SB_VERT) {
    int page = std::max(1, VisibleRowCount());
    switch (code) {
      case SB_LINEUP: SetTopRow(FTopRow - 1); break;
      case SB_LINEDOWN: SetTopRow(FTopRow + 1); break;
      case SB_PAGEUP: SetTopRow(FTopRow - page); break;
      case SB_PAGEDOWN: SetTopRow(FTopRow + page); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: SetTopRow(si.nTrackPos); break;
      case SB_TOP: SetTopRow(1); break;
      case SB_BOTTOM: SetTopRow(RowCount()); break;
      default: break;
    }
  } else {
    switch (code) {
      case SB_LINELEFT:
      case SB_PAGELEFT: SetLeftCol(FLeftCol - 1); break;
      case SB_LINERIGHT:
      case SB_PAGERIGHT: SetLeftCol(FLeftCol + 1); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: SetLeftCol(si.nTrackPos); break;
      case SB_LEFT: SetLeftCol(0); break;
      case SB_RIGHT: SetLeftCol(ColumnCount() - 1); break;
      default: break;
    }
  }
}

int TDBGrid::ColumnLeft(int col) {
  int x = IndicatorWidth();
  for (int c = FLeftCol; c < col && c < ColumnCount(); ++c) x += FColumns[size_t(c)].Width + 1;
  return x;
}

RECT TDBGrid::CellRect(int col, int recNo) {
  RECT empty{0, 0, 0, 0};
  if (col < FLeftCol || col >= ColumnCount() || recNo < FTopRow || recNo > RowCount()) return empty;
  int row = recNo - FTopRow;
  if (row >= VisibleRowCount() + 1) return empty;
  int rowH = DefaultRowHeight();
  int left = ColumnLeft(col), top = TitleHeight() + row * rowH;
  return RECT{left, top, left + FColumns[size_t(col)].Width, top + rowH - 1};
}

bool TDBGrid::CellAt(POINT p, int& recNo, int& col) {
  int titleH = TitleHeight();
  if (p.y < titleH || p.x < 0) return false;
  recNo = FTopRow + (p.y - titleH) / DefaultRowHeight();
  if (recNo > RowCount()) return false;
  col = -1;
  int x = IndicatorWidth();
  for (int c = FLeftCol; c < ColumnCount() && x <= p.x; ++c) {
    x += FColumns[size_t(c)].Width + 1;
    if (p.x < x) {
      col = c;
      break;
    }
  }
  return true;
}

bool TDBGrid::RowSelected(const TBookmark& bookmark) const {
  return !bookmark.IsNull() && std::find(FSelectedRows.begin(), FSelectedRows.end(), bookmark) != FSelectedRows.end();
}

void TDBGrid::SelectRow(const TBookmark& bookmark, bool select) {
  if (bookmark.IsNull() || !(FOptions & dgMultiSelect)) return;
  auto it = std::find(FSelectedRows.begin(), FSelectedRows.end(), bookmark);
  if (select && it == FSelectedRows.end()) FSelectedRows.push_back(bookmark);
  if (!select && it != FSelectedRows.end()) FSelectedRows.erase(it);
  Invalidate();
}

bool TDBGrid::CurrentRowSelected() const {
  return FLink.Active() && RowSelected(DataSet()->GetBookmark());
}

void TDBGrid::SetCurrentRowSelected(bool value) {
  if (FLink.Active()) SelectRow(DataSet()->GetBookmark(), value);
}

void TDBGrid::ClearSelection() {
  if (FSelectedRows.empty()) return;
  FSelectedRows.clear();
  Invalidate();
}

void TDBGrid::PurgeSelection() {
  TClientDataSet* table = DataSet();
  if (!FLink.Active()) {
    FSelectedRows.clear();
    return;
  }
  FSelectedRows.erase(std::remove_if(FSelectedRows.begin(), FSelectedRows.end(),
                                     [table](const TBookmark& b) { return !table->BookmarkValid(b); }),
                      FSelectedRows.end());
}

bool TDBGrid::Confirm(const std::string& text) {
  std::string title = Application != nullptr ? Application->Title() : "";
  int answer = Application != nullptr ? Application->MessageBox(text, title, MB_OKCANCEL | MB_ICONQUESTION)
                                      : MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OKCANCEL | MB_ICONQUESTION);
  return answer == IDOK;
}

void TDBGrid::DeleteRecords() {
  TClientDataSet* table = DataSet();
  if (!FLink.Active() || FReadOnly || table->IsEmpty()) return;
  HideEditor();
  PurgeSelection();
  if ((FOptions & dgMultiSelect) && !FSelectedRows.empty()) {
    if ((FOptions & dgConfirmDelete) && !Confirm("Delete all selected records?")) return;
    std::vector<TBookmark> rows;
    rows.swap(FSelectedRows);
    table->DisableControls();
    try {
      for (const TBookmark& b : rows) {
        if (!table->BookmarkValid(b)) continue;
        table->GotoBookmark(b);
        table->Delete();
      }
    } catch (...) {
      table->EnableControls();
      throw;
    }
    table->EnableControls();
    return;
  }
  if ((FOptions & dgConfirmDelete) && !Confirm("Delete record?")) return;
  if (table->State() != TDataSetState::dsBrowse) table->Cancel();
  table->Delete();
}

void TDBGrid::MoveTo(int recNo, TShiftState shift) {
  TClientDataSet* table = DataSet();
  int count = RowCount();
  if (count == 0) return;
  recNo = std::clamp(recNo, 1, count);
  bool multi = (FOptions & dgMultiSelect) != 0;
  int current = table->RecNo();
  if (multi && (shift & ssShift)) {
    if (FAnchorRecNo < 1 || FAnchorRecNo > count) FAnchorRecNo = current;
    // The rows between the anchor and the target become the selection.
    FSelectedRows.clear();
    int from = std::min(FAnchorRecNo, recNo), to = std::max(FAnchorRecNo, recNo);
    for (int r = from; r <= to; ++r) FSelectedRows.push_back(table->RowBookmark(r));
  } else if (multi && !(shift & ssCtrl)) {
    FSelectedRows.clear();
    FAnchorRecNo = recNo;
  } else {
    FAnchorRecNo = recNo;
  }
  if (EditorMode() && !UpdateData()) return;
  HideEditor();
  if (recNo != current) table->SetRecNo(recNo);
  Invalidate();
}

void TDBGrid::DataEvent(TDataEvent event) {
  switch (event) {
    case TDataEvent::deLayoutChange:
      if (FDefaultColumns) BuildDefaultColumns();
      [[fallthrough]];
    case TDataEvent::deDataSetChange:
      // The row the next scroll repaints as left: the cursor may have moved while controls were held.
      FLastRecNo = FLink.Active() ? DataSet()->RecNo() : 0;
      PurgeSelection();
      ScrollToCurrent();
      UpdateScrollBars();
      if (!FLink.Editing()) HideEditor();
      Invalidate();
      break;
    case TDataEvent::deDataSetScroll: {
      int current = DataSet()->RecNo();
      int previous = FLastRecNo, top = FTopRow;
      if (current != previous) HideEditor();
      FLastRecNo = current;
      ScrollToCurrent();
      UpdateScrollBars();
      // With the view still in place only the rows that lost and gained the cursor are repainted.
      if (FTopRow == top && HandleAllocated()) {
        InvalidateRow(previous);
        InvalidateRow(current);
      } else {
        Invalidate();
      }
      break;
    }
    case TDataEvent::deUpdateState:
      if (!FLink.Editing() && !FInEditorUpdate) HideEditor();
      Invalidate();
      break;
    case TDataEvent::deFieldChange:
      Invalidate();
      break;
    case TDataEvent::deDataSetDestroying:
      break;  // the data source lets go and reports the table inactive
  }
}

void TDBGrid::InvalidateRow(int recNo) {
  if (recNo < FTopRow || recNo > FTopRow + VisibleRowCount()) return;
  RECT client = ClientRect();
  int top = TitleHeight() + (recNo - FTopRow) * DefaultRowHeight();
  RECT r{0, top, client.right, top + DefaultRowHeight()};
  InvalidateRect(Handle(), &r, FALSE);
}

std::wstring TDBGrid::CellText(int col, int recNo) const {
  TField* field = ColumnField(col);
  if (field == nullptr || recNo < 1 || recNo > RowCount()) return std::wstring();
  return DisplayText(DataSet()->RowValue(recNo, *field));
}

void TDBGrid::DrawCell(const TGridCell& cell) {
  bool defaultDrawing = true;
  if (FOnDrawCell) FOnDrawCell(this, cell, defaultDrawing);
  if (defaultDrawing) DefaultDrawCell(cell);
}

void TDBGrid::DefaultDrawCell(const TGridCell& cell) {
  TCanvas* canvas = Canvas();
  const RECT& r = cell.Rect;
  bool highlight = (cell.State & gdSelected) != 0;
  canvas->Brush()->SetColor(cell.Kind != gcData ? FFixedColor : highlight ? clHighlight : Color());
  canvas->FillRect(r);
  switch (cell.Kind) {
    case gcTitle:
      if (cell.Col < 0 || cell.Col >= ColumnCount()) return;
      canvas->Font()->SetColor(FFixedFontColor == clDefault ? Font()->Color() : FFixedFontColor);
      canvas->DrawText(FColumns[size_t(cell.Col)].Title, RECT{r.left + 2, r.top, r.right - 2, r.bottom}, kTextFormat);
      return;
    case gcData: {
      std::wstring text = CellText(cell.Col, cell.RecNo);
      if (text.empty()) return;
      canvas->Font()->SetColor(highlight ? clHighlightText : Font()->Color());
      TAlignment alignment = FColumns[size_t(cell.Col)].Alignment;
      UINT align = alignment == taRightJustify ? DT_RIGHT : alignment == taCenter ? DT_CENTER : DT_LEFT;
      canvas->DrawText(text, RECT{r.left + 2, r.top, r.right - 2, r.bottom}, kTextFormat | align);
      return;
    }
    case gcIndicator: {
      if (!(cell.State & gdCurrentRow)) return;
      // The current row's mark: a triangle, or a bar while the row is edited.
      const TColor mark = FFixedFontColor == clDefault ? clBlack : FFixedFontColor;
      canvas->Brush()->SetColor(mark);
      canvas->Pen()->SetColor(mark);
      int mid = (r.left + r.right + 1) / 2, cy = r.top + (r.bottom - r.top) / 2;
      if (FLink.Editing()) {
        canvas->FillRect(RECT{mid - 1, r.top + 3, mid + 1, r.bottom - 3});
      } else {
        POINT tri[3] = {{r.left + 3, cy - 4}, {r.left + 7, cy}, {r.left + 3, cy + 4}};
        canvas->Polygon(tri, 3);
      }
      return;
    }
  }
}

void TDBGrid::Paint() {
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  RECT client = ClientRect();
  int titleH = TitleHeight(), ind = IndicatorWidth();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(client);
  canvas->Brush()->SetColor(FFixedColor);
  if (titleH > 0) canvas->FillRect(RECT{0, 0, client.right, titleH});
  if (ind > 0) canvas->FillRect(RECT{0, titleH, ind, client.bottom});
  // The cells first, then the lines between them, so that the brush changes only for the odd cell.
  if (titleH > 0) PaintTitles(client, titleH, ind);
  PaintRows(client, titleH, ind);
}

void TDBGrid::PaintTitles(const RECT& client, int titleH, int ind) {
  if (ind > 0) DrawCell(TGridCell{gcTitle, -1, 0, RECT{0, 0, ind - 1, titleH - 1}, gdFixed});
  int x = ind;
  for (int c = FLeftCol; c < ColumnCount() && x < client.right; ++c) {
    int width = FColumns[size_t(c)].Width;
    DrawCell(TGridCell{gcTitle, c, 0, RECT{x, 0, x + width, titleH - 1}, gdFixed});
    x += width + 1;
  }
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(clBtnShadow);
  x = ind;
  for (int c = FLeftCol; c < ColumnCount() && x < client.right; ++c) {
    x += FColumns[size_t(c)].Width;
    canvas->FillRect(RECT{x, 0, x + 1, titleH});
    ++x;
  }
  canvas->FillRect(RECT{0, titleH - 1, client.right, titleH});
}

void TDBGrid::PaintRows(const RECT& client, int titleH, int ind) {
  TCanvas* canvas = Canvas();
  int rowH = DefaultRowHeight();
  TClientDataSet* table = DataSet();
  int current = FLink.Active() ? table->RecNo() : 0;
  bool showSelection = Focused() || EditorMode() || (FOptions & dgAlwaysShowSelection);
  bool rowSelect = (FOptions & dgRowSelect) != 0;
  bool focused = Focused();
  int lineH = (FOptions & dgRowLines) ? 1 : 0;
  int firstRow = FTopRow, lastRow = std::min(RowCount(), FTopRow + VisibleRowCount());
  for (int recNo = firstRow; recNo <= lastRow; ++recNo) {
    int top = titleH + (recNo - FTopRow) * rowH;
    bool isCurrent = recNo == current;
    bool selected = (FOptions & dgMultiSelect) && !FSelectedRows.empty() && RowSelected(table->RowBookmark(recNo));
    bool rowHighlight = selected || (isCurrent && rowSelect && showSelection);
    TGridDrawState rowState = isCurrent ? gdCurrentRow : 0;
    int x = ind;
    for (int c = FLeftCol; c < ColumnCount() && x < client.right; ++c) {
      int width = FColumns[size_t(c)].Width;
      bool cursor = isCurrent && !rowSelect && c == FSelectedIndex;
      TGridDrawState state = rowState;
      if (rowHighlight || (cursor && showSelection)) state |= gdSelected;
      if (cursor && focused) state |= gdFocused;
      DrawCell(TGridCell{gcData, c, recNo, RECT{x, top, x + width, top + rowH - lineH}, state});
      x += width + 1;
    }
    if (ind > 0) DrawCell(TGridCell{gcIndicator, -1, recNo, RECT{0, top, ind - 1, top + rowH}, TGridDrawState(gdFixed | rowState)});
  }
  canvas->Brush()->SetColor(clBtnShadow);
  if (ind > 0) canvas->FillRect(RECT{ind - 1, 0, ind, client.bottom});
  for (int recNo = firstRow; recNo <= lastRow; ++recNo) {
    int top = titleH + (recNo - FTopRow) * rowH;
    int x = ind;
    for (int c = FLeftCol; c < ColumnCount() && x < client.right; ++c) {
      x += FColumns[size_t(c)].Width;
      if (FOptions & dgColLines) canvas->FillRect(RECT{x, top, x + 1, top + rowH});
      ++x;
    }
    if (FOptions & dgRowLines) canvas->FillRect(RECT{ind, top + rowH - 1, x, top + rowH});
  }
}

bool TDBGrid::CanEditCell(int col) const {
  if (!(FOptions & dgEditing) || (FOptions & dgRowSelect) || FReadOnly || !FLink.Active()) return false;
  if (col < 0 || col >= int(FColumns.size()) || FColumns[size_t(col)].ReadOnly) return false;
  TField* field = ColumnField(col);
  return field != nullptr && !field->Calculated() && !DataSet()->IsEmpty();
}

void TDBGrid::SetEditorMode(bool value) {
  if (value) ShowEditor(nullptr);
  else if (EditorMode() && UpdateData()) HideEditor();
}

void TDBGrid::ShowEditor(const wchar_t* initial) {
  if (!CanEditCell(FSelectedIndex)) return;
  TClientDataSet* table = DataSet();
  if (table->State() == TDataSetState::dsBrowse) table->Edit();
  if (EditorHandle() == nullptr) {
    HWND created = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 0, 0, Handle(), nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    if (created == nullptr) throw EOutOfResources("Cannot create the cell editor");
    try {
      FEditorHook.Hook(created);
    } catch (...) {
      DestroyWindow(created);
      throw;
    }
  }
  HWND editor = EditorHandle();
  SendMessageW(editor, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), FALSE);
  std::wstring text = initial != nullptr ? std::wstring(initial) : DisplayText(ColumnField(FSelectedIndex)->Value());
  SetWindowTextW(editor, text.c_str());
  // Placed once shown (PlaceEditor moves only a visible editor); a cell out of view hides it again.
  ShowWindow(editor, SW_SHOW);
  PlaceEditor();
  if (!EditorMode()) return;
  ::SetFocus(editor);
  if (initial != nullptr) SendMessageW(editor, EM_SETSEL, text.size(), LPARAM(text.size()));
  else SendMessageW(editor, EM_SETSEL, 0, -1);
  Invalidate();
}

void TDBGrid::PlaceEditor() {
  HWND editor = EditorHandle();
  if (editor == nullptr || !IsWindowVisible(editor)) return;
  RECT r = CellRect(FSelectedIndex, FLink.Active() ? DataSet()->RecNo() : 0);
  if (IsRectEmpty(&r)) {
    HideEditor();
    return;
  }
  MoveWindow(editor, r.left + 1, r.top + 1, r.right - r.left - 1, r.bottom - r.top - 1, TRUE);
}

bool TDBGrid::UpdateData() {
  HWND editor = EditorHandle();
  if (editor == nullptr || !FLink.Editing()) return true;
  TField* field = ColumnField(FSelectedIndex);
  if (field == nullptr) return true;
  int length = GetWindowTextLengthW(editor);
  std::wstring text(size_t(std::max(length, 0)) + 1, L'\0');
  GetWindowTextW(editor, text.data(), length + 1);
  text.resize(size_t(std::max(length, 0)));
  FInEditorUpdate = true;
  try {
    if (field->DataType() == TFieldType::ftWideString) field->SetAsWideString(WideString(text.begin(), text.end()));
    else field->SetAsString(WideToAnsi(text));
  } catch (...) {
    FInEditorUpdate = false;
    throw;
  }
  FInEditorUpdate = false;
  return true;
}

void TDBGrid::HideEditor() {
  HWND editor = EditorHandle();
  if (editor == nullptr || !IsWindowVisible(editor)) return;
  const bool hadFocus = GetFocus() == editor;
  FInEditorUpdate = true;
  ShowWindow(editor, SW_HIDE);
  FInEditorUpdate = false;
  if (hadFocus && HandleAllocated()) ::SetFocus(Handle());
  Invalidate();
}

void TDBGrid::DestroyEditor() {
  HWND editor = EditorHandle();
  if (editor == nullptr) return;
  FEditorHook.Unhook();
  if (IsWindow(editor)) DestroyWindow(editor);
}

void TDBGrid::EditorWndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_GETDLGCODE:
      message.Result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
      return;
    case WM_KEYDOWN: {
      WORD key = WORD(message.WParam);
      TShiftState shift = KeyDataToShiftState(message.LParam);
      switch (key) {
        case VK_RETURN:
          UpdateData();
          DataSet()->Post();
          HideEditor();
          return;
        case VK_ESCAPE:
          DataSet()->Cancel();
          HideEditor();
          return;
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_TAB:
          UpdateData();
          HideEditor();
          KeyDown(key, shift);
          return;
        default:
          break;
      }
      break;
    }
    case WM_CHAR:
      if (message.WParam == VK_RETURN || message.WParam == VK_ESCAPE || message.WParam == VK_TAB) return;
      break;
    case WM_KILLFOCUS:
      if (!FInEditorUpdate && EditorMode()) {
        FEditorHook.CallDefault(message);
        UpdateData();
        HideEditor();
        return;
      }
      break;
    default:
      break;
  }
  FEditorHook.CallDefault(message);
}

void TDBGrid::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == 0 || !FLink.Active()) return;
  TClientDataSet* table = DataSet();
  int current = table->RecNo();
  int page = std::max(1, VisibleRowCount());
  bool ctrl = (shift & ssCtrl) != 0;
  switch (key) {
    case VK_UP: MoveTo(current - 1, shift); break;
    case VK_DOWN: MoveTo(current + 1, shift); break;
    case VK_PRIOR: MoveTo(current - page, shift); break;
    case VK_NEXT: MoveTo(current + page, shift); break;
    case VK_HOME:
      if (ctrl || (FOptions & dgRowSelect)) MoveTo(1, shift);
      else SetSelectedIndex(0);
      break;
    case VK_END:
      if (ctrl || (FOptions & dgRowSelect)) MoveTo(RowCount(), shift);
      else SetSelectedIndex(ColumnCount() - 1);
      break;
    case VK_LEFT:
      if (FOptions & dgRowSelect) SetLeftCol(FLeftCol - 1);
      else SetSelectedIndex(FSelectedIndex - 1);
      break;
    case VK_RIGHT:
      if (FOptions & dgRowSelect) SetLeftCol(FLeftCol + 1);
      else SetSelectedIndex(FSelectedIndex + 1);
      break;
    case VK_TAB: {
      bool back = (shift & ssShift) != 0;
      bool atEdge = (FOptions & dgRowSelect) || (back ? FSelectedIndex == 0 : FSelectedIndex >= ColumnCount() - 1);
      if (atEdge) {
        // Past the last column the focus leaves the grid, as Tab does elsewhere.
        if (TCustomForm* form = GetParentForm(this)) form->SelectNext(this, !back, true);
      } else {
        SetSelectedIndex(FSelectedIndex + (back ? -1 : 1));
      }
      break;
    }
    case VK_F2:
    case VK_RETURN:
      if (CanEditCell(FSelectedIndex)) ShowEditor(nullptr);
      else return;
      break;
    case VK_ESCAPE:
      if (!FLink.Editing()) return;
      table->Cancel();
      break;
    case VK_DELETE:
      if (!ctrl) return;
      DeleteRecords();
      break;
    case VK_SPACE:
      if (!ctrl || !(FOptions & dgMultiSelect)) return;
      SetCurrentRowSelected(!CurrentRowSelected());
      break;
    default:
      return;
  }
  key = 0;
}

void TDBGrid::KeyPress(char& key) {
  TCustomControl::KeyPress(key);
  if (uint8_t(key) < 32 || !CanEditCell(FSelectedIndex)) return;
  // Typing into a cell starts the editor with what was typed.
  wchar_t typed[2] = {0, 0};
  MultiByteToWideChar(CP_ACP, 0, &key, 1, typed, 1);
  key = 0;
  ShowEditor(typed);
}

void TDBGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (CanFocus() && !Focused()) SetFocus();
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !FLink.Active()) return;
  int recNo = 0, col = -1;
  if (!CellAt(POINT{x, y}, recNo, col)) return;
  TClientDataSet* table = DataSet();
  bool sameCell = recNo == table->RecNo() && col == FSelectedIndex && !(shift & (ssShift | ssCtrl | ssDouble));
  if (col >= 0 && !(FOptions & dgRowSelect) && col != FSelectedIndex) SetSelectedIndex(col);
  MoveTo(recNo, shift);
  if ((FOptions & dgMultiSelect) && (shift & ssCtrl)) SetCurrentRowSelected(!CurrentRowSelected());
  if (sameCell && CanEditCell(col)) ShowEditor(nullptr);
}

void TDBGrid::Resize() {
  ScrollToCurrent();
  UpdateScrollBars();
  PlaceEditor();
  TCustomControl::Resize();
}

void TDBGrid::DoExit() {
  if (EditorMode() || (EditorHandle() != nullptr && GetFocus() == EditorHandle())) {
    TCustomControl::DoExit();
    return;
  }
  // Leaving the grid throws away an edit that changed nothing yet.
  if ((FOptions & dgCancelOnExit) && FLink.Active() && DataSet()->State() == TDataSetState::dsInsert)
    DataSet()->Cancel();
  TCustomControl::DoExit();
}

void TDBGrid::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_GETDLGCODE:
      message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | ((FOptions & dgTabs) ? DLGC_WANTTAB : 0);
      return;
    case CN_KEYDOWN:
    case CN_KEYUP:
    case CN_CHAR:
      // Keys typed into the cell editor belong to it, menu shortcuts aside.
      if (EditorHandle() != nullptr && GetFocus() == EditorHandle()) {
        message.Result = message.Msg == CN_KEYDOWN && IsMenuKey(message) ? 1 : 0;
        return;
      }
      break;
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (message.LParam == 0) {
        Scroll(message.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(message.WParam));
        message.Result = 0;
        return;
      }
      break;
    case WM_MOUSEWHEEL: {
      int delta = GET_WHEEL_DELTA_WPARAM(message.WParam);
      SetTopRow(FTopRow - delta / WHEEL_DELTA * 3);
      message.Result = 0;
      return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Invalidate();
      break;
    case CM_FONTCHANGED:
      FTextHeight = 0;
      break;
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    default:
      break;
  }
  TCustomControl::Dispatch(message);
}
