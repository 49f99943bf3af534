#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/base/TClientDataSet.h"
#include "framework/win/StdControlTypes.h"
#include "framework/win/TCustomControl.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TDataLink.h"
#include "framework/win/TWindowHook.h"

class TDataSource;
class TField;

using TDBGridOptions = uint16_t;
constexpr TDBGridOptions dgEditing = 1 << 0, dgAlwaysShowEditor = 1 << 1, dgTitles = 1 << 2, dgIndicator = 1 << 3,
                         dgColumnResize = 1 << 4, dgColLines = 1 << 5, dgRowLines = 1 << 6, dgTabs = 1 << 7,
                         dgRowSelect = 1 << 8, dgAlwaysShowSelection = 1 << 9, dgConfirmDelete = 1 << 10,
                         dgCancelOnExit = 1 << 11, dgMultiSelect = 1 << 12;

// One column of a data grid: the field it shows (by name), its title and width.
struct TColumn {
  std::string FieldName;
  std::string Title;
  int Width = 64;
  bool ReadOnly = false;
  TAlignment Alignment = taLeftJustify;
};

// What a cell of the grid is: a data cell, a column title, or the cell of the indicator column on
// a row (the corner above the indicator column is a title with Col -1).
enum class TGridCellKind { gcData, gcTitle, gcIndicator };
using enum TGridCellKind;
// How a cell is drawn (a set): highlighted, holding the cell cursor, fixed (titles and the
// indicator), on the current record's row (where the indicator shows its mark).
using TGridDrawState = uint8_t;
constexpr TGridDrawState gdSelected = 1, gdFocused = 2, gdFixed = 4, gdCurrentRow = 8;

// One cell about to be drawn on the grid's canvas.
struct TGridCell {
  TGridCellKind Kind;
  int Col;    // the column; -1 in the indicator column
  int RecNo;  // the record number of the row; 0 in the title row
  RECT Rect;
  TGridDrawState State;
};

// Draws a cell on Sender's canvas; leaving DefaultDrawing true lets the grid draw it afterwards.
using TDrawGridCellEvent = TDelegate<void(TObject* Sender, const TGridCell& Cell, bool& DefaultDrawing)>;

// A grid over a record table, drawn by itself: a title row, one line per row of the table in the
// table's current order, and an in-place editor (Unicode, so wide text keeps every character).
// It draws only the rows in view, reading them with RowValue, so its cost does not grow with the
// table. With dgMultiSelect it keeps a list of the bookmarks of the selected rows. Every cell, title
// and indicator cell is drawn through DrawCell (and OnDrawCell), so a skin can paint them; lines
// between the cells and the empty area are the grid's own.
class TDBGrid : public TCustomControl {
public:
  explicit TDBGrid(TComponent* owner);
  ~TDBGrid() override;

  TDataSource* DataSource() const { return FLink.DataSource(); }
  void SetDataSource(TDataSource* source);
  TClientDataSet* DataSet() const { return FLink.DataSet(); }

  // Columns; with none defined, every field of the table gets one.
  int ColumnCount() const { return int(FColumns.size()); }
  TColumn& Columns(int index) { return FColumns.at(size_t(index)); }
  TColumn& AddColumn(const std::string& fieldName, const std::string& title = "", int width = -1);
  void ClearColumns();
  // The field column index shows, nullptr when the table has no such field.
  TField* ColumnField(int index) const;

  TDBGridOptions Options() const { return FOptions; }
  void SetOptions(TDBGridOptions value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }
  TColor FixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor value);
  // The colour of the titles' text and the current row's mark; clDefault: the grid's font colour
  // (titles) and black (mark).
  TColor FixedFontColor() const { return FFixedFontColor; }
  void SetFixedFontColor(TColor value);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  int DefaultRowHeight();
  int TitleHeight();

  // Rows: record numbers of the table (1-based) in its current order.
  int RowCount() const;
  int TopRow() const { return FTopRow; }
  void SetTopRow(int value);
  int VisibleRowCount();
  int LeftCol() const { return FLeftCol; }
  void SetLeftCol(int value);
  int VisibleColCount();
  // The column with the cell cursor (when not selecting whole rows).
  int SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(int value);
  // Client rectangle of the cell of column col on record recNo (empty when out of view).
  RECT CellRect(int col, int recNo);
  // The record number and column at a client point; false when not on a data cell.
  bool CellAt(POINT p, int& recNo, int& col);

  // Selected rows (dgMultiSelect), in the order they were selected.
  const std::vector<TBookmark>& SelectedRows() const { return FSelectedRows; }
  bool RowSelected(const TBookmark& bookmark) const;
  void SelectRow(const TBookmark& bookmark, bool select);
  bool CurrentRowSelected() const;
  void SetCurrentRowSelected(bool value);
  void ClearSelection();

  // In-place editing of the selected cell.
  bool EditorMode() const { return EditorHandle() != nullptr && IsWindowVisible(EditorHandle()); }
  void SetEditorMode(bool value);
  // The cell editor's window, nullptr before the first edit and after the editor is gone.
  HWND EditorHandle() const { return FEditorHook.Window(); }
  bool CanEditCell(int col) const;
  // Deletes the selected rows (or the current one) after the confirmation when dgConfirmDelete.
  void DeleteRecords();

  // The text a data cell of column col on record recNo shows.
  std::wstring CellText(int col, int recNo) const;
  // Draws cell as the grid does without a handler: background, then title text, field text or the
  // current row's mark.
  void DefaultDrawCell(const TGridCell& cell);
  const TDrawGridCellEvent& OnDrawCell() const { return FOnDrawCell; }
  void SetOnDrawCell(const TDrawGridCellEvent& e) { FOnDrawCell = e; }

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Paint() override;
  // Draws one cell: OnDrawCell first, then DefaultDrawCell unless the handler did it all.
  virtual void DrawCell(const TGridCell& cell);
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void Resize() override;
  void DoExit() override;

private:
  class TGridLink : public TDataLink {
  public:
    explicit TGridLink(TDBGrid* grid) : FGrid(grid) {}

  protected:
    void DataEvent(TDataEvent event) override { FGrid->DataEvent(event); }
    void ActiveChanged() override { FGrid->LinkActiveChanged(); }

  private:
    TDBGrid* FGrid;
  };

  void DataEvent(TDataEvent event);
  void LinkActiveChanged();
  void BuildDefaultColumns();
  void ScrollToCurrent();
  void InvalidateRow(int recNo);
  void UpdateScrollBars();
  void Scroll(int bar, int code);
  void MoveTo(int recNo, TShiftState shift);
  void PurgeSelection();
  bool Confirm(const std::string& text);
  int ColumnLeft(int col);
  int IndicatorWidth() const;
  void PaintTitles(const RECT& client, int titleH, int ind);
  void PaintRows(const RECT& client, int titleH, int ind);

  // The editor.
  void EditorWndProc(TMessage& message);
  void ShowEditor(const wchar_t* initial);
  void PlaceEditor();
  // Writes the editor's text into the field; false when the field refused it (the editor stays).
  bool UpdateData();
  void HideEditor();
  void DestroyEditor();

  TGridLink FLink;
  std::vector<TColumn> FColumns;
  bool FDefaultColumns = false;
  TDBGridOptions FOptions = dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgTabs |
                            dgConfirmDelete | dgCancelOnExit;
  bool FReadOnly = false;
  TColor FFixedColor = clBtnFace;
  TColor FFixedFontColor = clDefault;
  TFormBorderStyle FBorderStyle = bsSingle;
  TScrollStyle FScrollBars = ssBoth;
  int FTopRow = 1;
  int FLeftCol = 0;
  int FSelectedIndex = 0;
  int FLastRecNo = 0;
  int FAnchorRecNo = 0;  // where a shift selection started
  std::vector<TBookmark> FSelectedRows;
  TWindowHook FEditorHook;  // on the cell editor; lets go of it when the editor window is destroyed
  bool FInEditorUpdate = false;
  int FTextHeight = 0;
  TDrawGridCellEvent FOnDrawCell;
};
