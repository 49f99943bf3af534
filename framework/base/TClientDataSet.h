#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "framework/base/DataSetTypes.h"
#include "framework/base/TIntegerField.h"
#include "framework/base/TObject.h"
#include "framework/base/TStringField.h"
#include "framework/base/TVariant.h"
#include "framework/base/TWideStringField.h"

class TStream;
struct TTableRow;
struct TTablePacket;

// Names one row for as long as the row exists, across index changes, and across saving and
// loading the table (rows keep their identity in the saved forms).
class TBookmark {
public:
  TBookmark() = default;
  bool IsNull() const { return FId == 0; }
  friend bool operator==(const TBookmark&, const TBookmark&) = default;

private:
  friend class TClientDataSet;
  explicit TBookmark(std::uint64_t id) : FId(id) {}
  std::uint64_t FId = 0;
};

// The in-memory record table. Fields are defined while the table is closed; the table is then
// opened (CreateDataSet, Open or a load). Rows are kept in insertion order, and in every index
// (one field, ascending, empty before any value, equal keys in insertion order). The cursor's
// row is the current row; its calculated fields are filled by OnCalcFields when one of them is
// first read after the cursor reached the row or an edit changed it, so rows passed over cost
// nothing. Index definitions belong to the table: they outlive Close and loads and are not part
// of the saved forms. Edits are applied at once: there is no change log to
// merge or undo beyond Cancel of the pending edit. Every failure raises EDatabaseError (or
// EConvertError for a value a field cannot hold) and leaves the table as it was.
class TClientDataSet : public TObject {
public:
  TClientDataSet();
  ~TClientDataSet() override;
  TClientDataSet(const TClientDataSet&) = delete;
  TClientDataSet& operator=(const TClientDataSet&) = delete;

  // Field definitions, in order; only while closed. Names are unique without regard to case.
  TIntegerField* AddIntegerField(const std::string& name, TFieldKind kind = TFieldKind::fkData);
  TStringField* AddStringField(const std::string& name, int size, TFieldKind kind = TFieldKind::fkData);
  TWideStringField* AddWideStringField(const std::string& name, int size, TFieldKind kind = TFieldKind::fkData);
  int FieldCount() const { return static_cast<int>(FFields.size()); }
  TField* Fields(int index) const;
  // Matched without regard to case; FieldByName raises EDatabaseError for an unknown name.
  TField* FieldByName(const std::string& name) const;
  TField* FindField(const std::string& name) const;

  // Open and empty; AfterOpen runs. A table that is open is closed first.
  void CreateDataSet();
  // Loads FileName when it names an existing file, else opens empty (fields must be defined).
  void Open();
  // Cancels a pending edit and discards the rows; AfterClose runs.
  void Close();
  bool Active() const { return FState != TDataSetState::dsInactive; }
  void SetActive(bool value);
  TDataSetState State() const { return FState; }
  // An open table can always be changed (there is no read-only mode).
  bool CanModify() const { return Active(); }
  // Posts a pending edit and tells data-aware controls to redraw everything.
  void Refresh();

  // An index over one data field, ascending. Adding a name that exists redefines it. A unique
  // index refuses a second row with the same key (an empty key counts as a key).
  void AddIndex(const std::string& name, const std::string& fieldName,
                TIndexOptions options = TIndexOptions::ixNone);
  void DeleteIndex(const std::string& name);
  // "" = insertion order. The current row stays current.
  const std::string& IndexName() const { return FIndexName; }
  void SetIndexName(const std::string& name);

  // Navigation posts a pending edit first.
  void First();
  void Last();
  void Next();
  void Prior();
  int MoveBy(int distance);
  bool Bof() const { return FBof; }
  bool Eof() const { return FEof; }
  bool IsEmpty() const;
  int RecordCount() const;
  // 1-based position in the current index order; 0 when there is no current row.
  int RecNo() const;
  void SetRecNo(int value);
  // First row, in the current order, whose field equals value exactly (case-sensitive, whole
  // value; the value is converted to the field's type first, and one it cannot take matches
  // nothing). Found: it becomes current.
  bool Locate(const std::string& fieldName, const TVariant& value);

  TBookmark GetBookmark() const;
  // The bookmark of the row at recNo (1-based, current order) without moving the cursor; a null
  // bookmark when there is no such row.
  TBookmark RowBookmark(int recNo) const;
  // Raises EDatabaseError when the row no longer exists.
  void GotoBookmark(const TBookmark& bookmark);
  void FreeBookmark(TBookmark& bookmark) { bookmark = TBookmark(); }
  bool BookmarkValid(const TBookmark& bookmark) const;

  // Insert adds a row as Append does: new rows join the end of the insertion order.
  void Append();
  void Insert() { Append(); }
  // Edit needs a current row (an empty table raises).
  void Edit();
  void Post();
  void Cancel();
  void Delete();
  // Appends and posts one row from values for the data fields in definition order; missing
  // values leave their fields empty, more values than data fields raise.
  void AppendRecord(std::initializer_list<TVariant> values);
  void AppendRecord(const std::vector<TVariant>& values);

  // Kept for callers; edits are always applied at once and saved as plain rows.
  bool LogChanges() const { return FLogChanges; }
  void SetLogChanges(bool value) { FLogChanges = value; }

  // The value of a field on the row at recNo (1-based, current order) without moving the cursor
  // or running AfterScroll: for data-aware controls that draw rows other than the current one.
  // Calculated fields are computed for that row.
  TVariant RowValue(int recNo, const TField& field);

  // While disabled, data-aware controls get no events; the last EnableControls sends one
  // deDataSetChange.
  void DisableControls() { ++FDisableCount; }
  void EnableControls();
  bool ControlsDisabled() const { return FDisableCount > 0; }
  void AddDataEventHandler(const TDataEventHandler& handler);
  void RemoveDataEventHandler(const TDataEventHandler& handler);

  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& value) { FFileName = value; }
  // The whole table (field definitions and rows, in insertion order). An empty name means
  // FileName. Saving posts a pending edit. The file is replaced only when it was written whole.
  void SaveToFile(const std::string& fileName = "", TDataPacketFormat format = TDataPacketFormat::dfBinary);
  void SaveToStream(TStream& stream, TDataPacketFormat format = TDataPacketFormat::dfBinary);
  // Either form, told apart by content. The loaded rows replace the table's; a table whose
  // fields were defined in code keeps them and takes only a file with the same data fields
  // (by name and type), otherwise the file's fields replace the table's (pointers to replaced
  // fields become invalid: look them up again with FieldByName). The table is then open
  // (AfterClose and AfterOpen run). A file that cannot be read, is truncated, corrupt, of
  // another kind or of a newer version raises EDatabaseError and changes nothing.
  void LoadFromFile(const std::string& fileName = "");
  void LoadFromStream(TStream& stream);

  const TDataSetNotifyEvent& AfterOpen() const { return FAfterOpen; }
  void SetAfterOpen(const TDataSetNotifyEvent& handler) { FAfterOpen = handler; }
  const TDataSetNotifyEvent& AfterClose() const { return FAfterClose; }
  void SetAfterClose(const TDataSetNotifyEvent& handler) { FAfterClose = handler; }
  const TDataSetNotifyEvent& AfterScroll() const { return FAfterScroll; }
  void SetAfterScroll(const TDataSetNotifyEvent& handler) { FAfterScroll = handler; }
  const TDataSetNotifyEvent& OnCalcFields() const { return FOnCalcFields; }
  void SetOnCalcFields(const TDataSetNotifyEvent& handler) { FOnCalcFields = handler; }

private:
  friend class TField;
  struct TIndex;

  const TVariant& FieldValue(const TField& field) const;
  void SetFieldValue(const TField& field, TVariant value);

  template <typename T>
  T* AddField(std::unique_ptr<T> field);
  void CheckInactive() const;
  void CheckActive() const;
  void CheckBrowseMode();
  void CheckNotInCalc() const;
  int DataFieldCount() const { return FDataFieldCount; }
  const std::vector<TVariant>* ActiveValues() const;
  TTableRow* RowAt(int position) const;
  TTableRow* CurrentRow() const { return RowAt(FCursor); }
  int PositionOf(const TTableRow* row) const;
  TTableRow* FindRow(std::uint64_t id) const;
  TIndex* FindIndex(const std::string& name);
  void BuildIndex(TIndex& index) const;
  void InsertIntoIndexes(TTableRow* row);
  void CheckUnique(const std::vector<TVariant>& values, const TTableRow* self) const;
  void CalcCurrent();  // marks the current row's calculated values stale
  void AppendValues(const TVariant* values, std::size_t count);
  void RunCalc(const std::vector<TVariant>* values);
  void Scrolled();
  void Notify(TDataEvent event);
  void OpenRows();
  void Install(TTablePacket& packet);

  std::vector<std::unique_ptr<TField>> FFields;
  int FDataFieldCount = 0;
  bool FFieldsFromFile = false;
  std::vector<std::unique_ptr<TTableRow>> FRows;  // insertion order, ids ascending
  std::vector<TIndex> FIndexes;
  int FActiveIndex = -1;  // into FIndexes; -1 = insertion order
  std::string FIndexName;
  std::uint64_t FNextId = 1;

  TDataSetState FState = TDataSetState::dsInactive;
  TDataSetState FCalcOuterState = TDataSetState::dsInactive;
  int FCursor = -1;
  bool FBof = true;
  bool FEof = true;
  std::vector<TVariant> FEditBuffer;
  std::vector<TVariant> FCalcValues;                // calculated fields of the current row
  bool FCalcValid = false;
  const std::vector<TVariant>* FReadRow = nullptr;  // row that RowValue computes for
  std::vector<TVariant> FReadCalcValues;

  bool FLogChanges = true;
  std::string FFileName;
  int FDisableCount = 0;
  std::vector<TDataEventHandler> FDataHandlers;
  TDataSetNotifyEvent FAfterOpen, FAfterClose, FAfterScroll, FOnCalcFields;
};

// DisableControls for the life of the scope, EnableControls however it ends: a table filled or
// walked inside it never leaves its controls without events.
class TControlsDisabled {
public:
  explicit TControlsDisabled(TClientDataSet& dataSet)
      : FDataSet(dataSet), FUnwinding(std::uncaught_exceptions()) {
    FDataSet.DisableControls();
  }
  // The controls' refresh may raise; while an exception is already on its way, that one is kept.
  ~TControlsDisabled() noexcept(false) {
    if (std::uncaught_exceptions() == FUnwinding) {
      FDataSet.EnableControls();
      return;
    }
    try {
      FDataSet.EnableControls();
    } catch (...) {
    }
  }
  TControlsDisabled(const TControlsDisabled&) = delete;
  TControlsDisabled& operator=(const TControlsDisabled&) = delete;

private:
  TClientDataSet& FDataSet;
  int FUnwinding;
};
