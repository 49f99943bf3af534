#include "framework/base/TClientDataSet.h"

#include <algorithm>
#include <filesystem>

#include "framework/base/AnsiStrings.h"
#include "framework/base/Exception.h"
#include "framework/base/TAtomicFileStream.h"
#include "framework/base/TField.h"
#include "framework/base/TIntegerField.h"
#include "framework/base/TStream.h"
#include "framework/base/TStringField.h"
#include "framework/base/TWideStringField.h"
#include "framework/base/TableBinaryFormat.h"
#include "framework/base/TableXmlFormat.h"
#include "framework/base/TablePacket.h"

struct TClientDataSet::TIndex {
  std::string Name;
  std::string FieldName;
  int DataIndex = -1;
  TIndexOptions Options = TIndexOptions::ixNone;
  std::vector<TTableRow*> Rows;  // ordered by (key, id)

  bool Unique() const {
    return HasOption(Options, TIndexOptions::ixUnique) || HasOption(Options, TIndexOptions::ixPrimary);
  }
};

namespace {

const TVariant kNull;

// Empty sorts before every value; values of one field always share a type.
int CompareKeys(const TVariant& a, const TVariant& b) {
  if (a.IsNull() || b.IsNull()) return a.IsNull() == b.IsNull() ? 0 : a.IsNull() ? -1 : 1;
  switch (a.Type()) {
    case TVarType::varInteger:
      return a.Integer() < b.Integer() ? -1 : a.Integer() > b.Integer() ? 1 : 0;
    case TVarType::varString:
      return a.String().compare(b.String()) < 0 ? -1 : a.String() == b.String() ? 0 : 1;
    case TVarType::varWideString:
      return a.Wide().compare(b.Wide()) < 0 ? -1 : a.Wide() == b.Wide() ? 0 : 1;
    case TVarType::varNull:
      break;
  }
  return 0;
}

struct TKeyLess {
  int DataIndex;
  bool operator()(const TTableRow* a, const TTableRow* b) const {
    int c = CompareKeys(a->Values[static_cast<std::size_t>(DataIndex)], b->Values[static_cast<std::size_t>(DataIndex)]);
    return c < 0 || (c == 0 && a->Id < b->Id);
  }
};

// Restores a state value when a scope ends, also by an exception from an event handler.
class TStateGuard {
public:
  TStateGuard(TDataSetState& state, TDataSetState& outer, TDataSetState now)
      : FState(state), FOuter(outer), FSavedState(state), FSavedOuter(outer) {
    outer = state;
    state = now;
  }
  ~TStateGuard() {
    FState = FSavedState;
    FOuter = FSavedOuter;
  }
  TStateGuard(const TStateGuard&) = delete;
  TStateGuard& operator=(const TStateGuard&) = delete;

private:
  TDataSetState& FState;
  TDataSetState& FOuter;
  TDataSetState FSavedState, FSavedOuter;
};

[[noreturn]] void DatabaseError(const std::string& message) { throw EDatabaseError(message); }

}  // namespace

TClientDataSet::TClientDataSet() = default;
TClientDataSet::~TClientDataSet() {
  // Also while controls are disabled: nobody may keep a pointer to a freed table.
  std::vector<TDataEventHandler> handlers = FDataHandlers;
  for (const TDataEventHandler& h : handlers) h(this, TDataEvent::deDataSetDestroying);
}

// ---- fields -----------------------------------------------------------------------------------

template <typename T>
T* TClientDataSet::AddField(std::unique_ptr<T> field) {
  CheckInactive();
  if (field->FieldName().empty() || field->FieldName().size() > kMaxFieldNameLength)
    DatabaseError("Invalid field name '" + field->FieldName() + "'");
  if (FindField(field->FieldName()) != nullptr) DatabaseError("Duplicate field name '" + field->FieldName() + "'");
  if (FFields.size() >= kMaxTableFields) DatabaseError("Too many fields");
  if (field->DataType() != TFieldType::ftInteger && (field->Size() < 1 || field->Size() > kMaxStringFieldSize))
    DatabaseError("Invalid size for field '" + field->FieldName() + "'");
  if (FFieldsFromFile) {
    // Fields that came with a loaded file make way for fields defined in code.
    FFields.clear();
    FDataFieldCount = 0;
    FFieldsFromFile = false;
  }
  if (!field->Calculated()) field->FDataIndex = FDataFieldCount++;
  field->FIndex = static_cast<int>(FFields.size());
  T* result = field.get();
  FFields.push_back(std::move(field));
  return result;
}

TIntegerField* TClientDataSet::AddIntegerField(const std::string& name, TFieldKind kind) {
  return AddField(std::unique_ptr<TIntegerField>(new TIntegerField(this, name, kind, 0)));
}

TStringField* TClientDataSet::AddStringField(const std::string& name, int size, TFieldKind kind) {
  return AddField(std::unique_ptr<TStringField>(new TStringField(this, name, size, kind, 0)));
}

TWideStringField* TClientDataSet::AddWideStringField(const std::string& name, int size, TFieldKind kind) {
  return AddField(std::unique_ptr<TWideStringField>(new TWideStringField(this, name, size, kind, 0)));
}

TField* TClientDataSet::Fields(int index) const {
  if (index < 0 || index >= FieldCount()) DatabaseError("Field index out of range (" + IntToStr(index) + ")");
  return FFields[static_cast<std::size_t>(index)].get();
}

TField* TClientDataSet::FindField(const std::string& name) const {
  for (const auto& f : FFields)
    if (SameText(f->FieldName(), name)) return f.get();
  return nullptr;
}

TField* TClientDataSet::FieldByName(const std::string& name) const {
  TField* f = FindField(name);
  if (f == nullptr) DatabaseError("Field '" + name + "' not found");
  return f;
}

const std::vector<TVariant>* TClientDataSet::ActiveValues() const {
  if (FReadRow != nullptr) return FReadRow;
  TDataSetState state = FState == TDataSetState::dsCalcFields ? FCalcOuterState : FState;
  if (state == TDataSetState::dsEdit || state == TDataSetState::dsInsert) return &FEditBuffer;
  TTableRow* row = CurrentRow();
  return row != nullptr ? &row->Values : nullptr;
}

const TVariant& TClientDataSet::FieldValue(const TField& field) const {
  if (!Active()) return kNull;
  if (field.Calculated()) {
    if (FReadRow != nullptr) return FReadCalcValues[static_cast<std::size_t>(field.Index())];
    // Calculated on first read of the row, so rows passed over cost no handler call.
    if (!FCalcValid && FState != TDataSetState::dsCalcFields)
      const_cast<TClientDataSet*>(this)->RunCalc(ActiveValues());
    return FCalcValues.empty() ? kNull : FCalcValues[static_cast<std::size_t>(field.Index())];
  }
  const std::vector<TVariant>* values = ActiveValues();
  return values != nullptr ? (*values)[static_cast<std::size_t>(field.FDataIndex)] : kNull;
}

void TClientDataSet::SetFieldValue(const TField& field, TVariant value) {
  CheckActive();
  if (field.Calculated()) {
    if (FState != TDataSetState::dsCalcFields) DatabaseError("Field '" + field.FieldName() + "' cannot be modified");
    std::vector<TVariant>& calc = FReadRow != nullptr ? FReadCalcValues : FCalcValues;
    calc[static_cast<std::size_t>(field.Index())] = std::move(value);
    return;
  }
  if (FState != TDataSetState::dsEdit && FState != TDataSetState::dsInsert)
    DatabaseError("Dataset not in edit or insert mode");
  FEditBuffer[static_cast<std::size_t>(field.FDataIndex)] = std::move(value);
  TField* self = FFields[static_cast<std::size_t>(field.Index())].get();
  if (self->OnChange()) self->OnChange()(self);
  CalcCurrent();
  Notify(TDataEvent::deFieldChange);
}

// ---- state ------------------------------------------------------------------------------------

void TClientDataSet::CheckInactive() const {
  if (Active()) DatabaseError("Cannot perform this operation on an open dataset");
}

void TClientDataSet::CheckActive() const {
  if (!Active()) DatabaseError("Cannot perform this operation on a closed dataset");
}

void TClientDataSet::CheckNotInCalc() const {
  if (FState == TDataSetState::dsCalcFields || FReadRow != nullptr)
    DatabaseError("Cannot move or change the table while its calculated fields are being computed");
}

void TClientDataSet::CheckBrowseMode() {
  CheckActive();
  CheckNotInCalc();
  if (FState == TDataSetState::dsEdit || FState == TDataSetState::dsInsert) Post();
}

void TClientDataSet::Notify(TDataEvent event) {
  if (FDisableCount > 0) return;
  // A handler may add or remove handlers.
  std::vector<TDataEventHandler> handlers = FDataHandlers;
  for (const TDataEventHandler& h : handlers) h(this, event);
}

void TClientDataSet::EnableControls() {
  if (FDisableCount > 0 && --FDisableCount == 0) Notify(TDataEvent::deDataSetChange);
}

void TClientDataSet::AddDataEventHandler(const TDataEventHandler& handler) {
  if (std::find(FDataHandlers.begin(), FDataHandlers.end(), handler) == FDataHandlers.end())
    FDataHandlers.push_back(handler);
}

void TClientDataSet::RemoveDataEventHandler(const TDataEventHandler& handler) {
  std::erase(FDataHandlers, handler);
}

void TClientDataSet::RunCalc(const std::vector<TVariant>* values) {
  std::vector<TVariant>& calc = FReadRow != nullptr ? FReadCalcValues : FCalcValues;
  if (FReadRow == nullptr) FCalcValid = true;
  calc.assign(FFields.size(), TVariant());
  if (values == nullptr || !FOnCalcFields || FDataFieldCount == FieldCount()) return;
  TStateGuard guard(FState, FCalcOuterState, TDataSetState::dsCalcFields);
  FOnCalcFields(this);
}

void TClientDataSet::CalcCurrent() { FCalcValid = false; }

void TClientDataSet::Scrolled() {
  CalcCurrent();
  Notify(TDataEvent::deDataSetScroll);
  if (FAfterScroll) FAfterScroll(this);
}

void TClientDataSet::OpenRows() {
  FState = TDataSetState::dsBrowse;
  FCursor = FRows.empty() ? -1 : 0;
  FBof = true;
  FEof = FRows.empty();
  CalcCurrent();
  Notify(TDataEvent::deUpdateState);
  Notify(TDataEvent::deDataSetChange);
  if (FAfterOpen) FAfterOpen(this);
  if (FAfterScroll && Active()) FAfterScroll(this);
}

void TClientDataSet::CreateDataSet() {
  if (FDataFieldCount == 0) DatabaseError("Cannot create a table without data fields");
  Close();
  FRows.clear();
  for (TIndex& index : FIndexes) index.Rows.clear();
  FNextId = 1;
  OpenRows();
}

void TClientDataSet::Open() {
  if (Active()) return;
  std::error_code error;
  if (!FFileName.empty() && std::filesystem::exists(std::filesystem::path(FFileName), error)) {
    LoadFromFile(FFileName);
    return;
  }
  CreateDataSet();
}

void TClientDataSet::Close() {
  if (!Active()) return;
  CheckNotInCalc();
  FEditBuffer.clear();
  FState = TDataSetState::dsInactive;
  FRows.clear();
  for (TIndex& index : FIndexes) index.Rows.clear();
  FCursor = -1;
  FBof = FEof = true;
  FCalcValues.clear();
  Notify(TDataEvent::deUpdateState);
  Notify(TDataEvent::deDataSetChange);
  if (FAfterClose) FAfterClose(this);
}

void TClientDataSet::Refresh() {
  CheckBrowseMode();
  CalcCurrent();
  Notify(TDataEvent::deDataSetChange);
}

void TClientDataSet::SetActive(bool value) {
  if (value) Open();
  else Close();
}

// ---- rows and indexes ---------------------------------------------------------------------------

TTableRow* TClientDataSet::RowAt(int position) const {
  if (position < 0 || position >= static_cast<int>(FRows.size())) return nullptr;
  if (FActiveIndex < 0) return FRows[static_cast<std::size_t>(position)].get();
  return FIndexes[static_cast<std::size_t>(FActiveIndex)].Rows[static_cast<std::size_t>(position)];
}

TTableRow* TClientDataSet::FindRow(std::uint64_t id) const {
  auto it = std::lower_bound(FRows.begin(), FRows.end(), id,
                             [](const std::unique_ptr<TTableRow>& r, std::uint64_t v) { return r->Id < v; });
  return it != FRows.end() && (*it)->Id == id ? it->get() : nullptr;
}

int TClientDataSet::PositionOf(const TTableRow* row) const {
  if (!FRows.empty() && RowAt(static_cast<int>(FRows.size()) - 1) == row) return static_cast<int>(FRows.size()) - 1;
  if (FActiveIndex < 0) {
    auto it = std::lower_bound(FRows.begin(), FRows.end(), row->Id,
                               [](const std::unique_ptr<TTableRow>& r, std::uint64_t v) { return r->Id < v; });
    return static_cast<int>(it - FRows.begin());
  }
  const TIndex& index = FIndexes[static_cast<std::size_t>(FActiveIndex)];
  auto it = std::lower_bound(index.Rows.begin(), index.Rows.end(), row, TKeyLess{index.DataIndex});
  return static_cast<int>(it - index.Rows.begin());
}

TClientDataSet::TIndex* TClientDataSet::FindIndex(const std::string& name) {
  for (TIndex& index : FIndexes)
    if (SameText(index.Name, name)) return &index;
  return nullptr;
}

void TClientDataSet::BuildIndex(TIndex& index) const {
  index.Rows.clear();
  index.Rows.reserve(FRows.size());
  for (const auto& row : FRows) index.Rows.push_back(row.get());
  std::sort(index.Rows.begin(), index.Rows.end(), TKeyLess{index.DataIndex});
  if (!index.Unique()) return;
  for (std::size_t i = 1; i < index.Rows.size(); ++i) {
    const auto k = static_cast<std::size_t>(index.DataIndex);
    if (CompareKeys(index.Rows[i - 1]->Values[k], index.Rows[i]->Values[k]) == 0) {
      index.Rows.clear();
      DatabaseError("Key violation in index '" + index.Name + "'");
    }
  }
}

void TClientDataSet::AddIndex(const std::string& name, const std::string& fieldName, TIndexOptions options) {
  if (name.empty()) DatabaseError("An index needs a name");
  TField* field = FieldByName(fieldName);
  if (field->Calculated()) DatabaseError("Field '" + field->FieldName() + "' cannot be indexed");
  CheckNotInCalc();
  if (FState == TDataSetState::dsEdit || FState == TDataSetState::dsInsert) Post();
  TIndex index;
  index.Name = name;
  index.FieldName = field->FieldName();
  index.DataIndex = field->FDataIndex;
  index.Options = options;
  BuildIndex(index);  // raises on a key violation before anything changes
  TTableRow* current = CurrentRow();
  if (TIndex* existing = FindIndex(name)) {
    *existing = std::move(index);
  } else {
    FIndexes.push_back(std::move(index));
  }
  if (current != nullptr) FCursor = PositionOf(current);
  if (FActiveIndex >= 0) Notify(TDataEvent::deDataSetChange);
}

void TClientDataSet::DeleteIndex(const std::string& name) {
  TIndex* index = FindIndex(name);
  if (index == nullptr) DatabaseError("Index '" + name + "' not found");
  CheckNotInCalc();
  auto position = static_cast<int>(index - FIndexes.data());
  TTableRow* current = CurrentRow();
  if (position == FActiveIndex) {
    FActiveIndex = -1;
    FIndexName.clear();
  } else if (position < FActiveIndex) {
    --FActiveIndex;
  }
  FIndexes.erase(FIndexes.begin() + position);
  if (current != nullptr) FCursor = PositionOf(current);
  Notify(TDataEvent::deDataSetChange);
}

void TClientDataSet::SetIndexName(const std::string& name) {
  int wanted = -1;
  if (!name.empty()) {
    TIndex* index = FindIndex(name);
    if (index == nullptr) DatabaseError("Index '" + name + "' not found");
    wanted = static_cast<int>(index - FIndexes.data());
  }
  if (Active()) CheckBrowseMode();
  TTableRow* current = CurrentRow();
  FActiveIndex = wanted;
  FIndexName = wanted < 0 ? std::string() : FIndexes[static_cast<std::size_t>(wanted)].Name;
  if (current != nullptr) FCursor = PositionOf(current);
  if (Active()) Notify(TDataEvent::deDataSetChange);
}

void TClientDataSet::InsertIntoIndexes(TTableRow* row) {
  for (TIndex& index : FIndexes) {
    if (index.Rows.empty() || TKeyLess{index.DataIndex}(index.Rows.back(), row)) {
      index.Rows.push_back(row);  // rows arriving in key order
      continue;
    }
    auto it = std::upper_bound(index.Rows.begin(), index.Rows.end(), row, TKeyLess{index.DataIndex});
    index.Rows.insert(it, row);
  }
}

void TClientDataSet::CheckUnique(const std::vector<TVariant>& values, const TTableRow* self) const {
  TTableRow probe;
  for (const TIndex& index : FIndexes) {
    if (!index.Unique()) continue;
    const auto k = static_cast<std::size_t>(index.DataIndex);
    probe.Values.assign(values.size(), TVariant());
    probe.Values[k] = values[k];
    probe.Id = 0;
    auto it = std::lower_bound(index.Rows.begin(), index.Rows.end(), &probe, TKeyLess{index.DataIndex});
    for (; it != index.Rows.end() && CompareKeys((*it)->Values[k], values[k]) == 0; ++it)
      if (*it != self) DatabaseError("Key violation in index '" + index.Name + "'");
  }
}

// ---- navigation -------------------------------------------------------------------------------

bool TClientDataSet::IsEmpty() const { return FRows.empty(); }

int TClientDataSet::RecordCount() const { return static_cast<int>(FRows.size()); }

int TClientDataSet::RecNo() const {
  if (FState == TDataSetState::dsInsert) return 0;
  return FCursor < 0 ? 0 : FCursor + 1;
}

void TClientDataSet::First() {
  CheckBrowseMode();
  FCursor = FRows.empty() ? -1 : 0;
  FBof = true;
  FEof = FRows.empty();
  Scrolled();
}

void TClientDataSet::Last() {
  CheckBrowseMode();
  FCursor = static_cast<int>(FRows.size()) - 1;
  FEof = true;
  FBof = FRows.empty();
  Scrolled();
}

int TClientDataSet::MoveBy(int distance) {
  CheckBrowseMode();
  if (distance == 0) return 0;
  int count = static_cast<int>(FRows.size());
  int moved = 0;
  if (count == 0) {
    FBof = FEof = true;
  } else if (distance > 0) {
    moved = std::min(distance, count - 1 - FCursor);
    FEof = moved < distance;
    FBof = false;
  } else {
    moved = std::max(distance, -FCursor);
    FBof = moved > distance;
    FEof = false;
  }
  FCursor += moved;
  Scrolled();
  return moved;
}

void TClientDataSet::Next() { MoveBy(1); }

void TClientDataSet::Prior() { MoveBy(-1); }

void TClientDataSet::SetRecNo(int value) {
  CheckBrowseMode();
  if (value < 1 || value > RecordCount() || value == RecNo()) return;
  MoveBy(value - RecNo());
}

bool TClientDataSet::Locate(const std::string& fieldName, const TVariant& value) {
  TField* field = FieldByName(fieldName);
  CheckBrowseMode();
  // A value the field cannot hold (not a number, a text longer than the field) equals none of
  // its values; the field's own conversion would cut such a text to a prefix.
  if (field->DataType() == TFieldType::ftString && value.Type() != TVarType::varNull &&
      VariantText(value).size() > static_cast<std::size_t>(field->Size()))
    return false;
  if (field->DataType() == TFieldType::ftWideString && value.Type() != TVarType::varNull &&
      (value.Type() == TVarType::varWideString ? value.Wide().size() : VariantText(value).size()) >
          static_cast<std::size_t>(field->Size()))
    return false;
  TVariant wanted;
  try {
    wanted = field->Convert(value);
  } catch (const EConvertError&) {
    return false;
  }
  if (!wanted.IsNull() && field->Calculated()) {
    // Calculated values exist only per row: compute them row by row.
    for (int p = 0; p < RecordCount(); ++p) {
      if (RowValue(p + 1, *field) == wanted) {
        FCursor = p;
        FBof = FEof = false;
        Scrolled();
        return true;
      }
    }
    return false;
  }
  if (field->Calculated()) return false;
  const auto k = static_cast<std::size_t>(field->FDataIndex);
  for (int p = 0; p < RecordCount(); ++p) {
    if (RowAt(p)->Values[k] == wanted) {
      FCursor = p;
      FBof = FEof = false;
      Scrolled();
      return true;
    }
  }
  return false;
}

TBookmark TClientDataSet::GetBookmark() const {
  if (FState == TDataSetState::dsInsert) return TBookmark();
  TTableRow* row = CurrentRow();
  return row != nullptr ? TBookmark(row->Id) : TBookmark();
}

TBookmark TClientDataSet::RowBookmark(int recNo) const {
  TTableRow* row = Active() ? RowAt(recNo - 1) : nullptr;
  return row != nullptr ? TBookmark(row->Id) : TBookmark();
}

bool TClientDataSet::BookmarkValid(const TBookmark& bookmark) const {
  return Active() && !bookmark.IsNull() && FindRow(bookmark.FId) != nullptr;
}

void TClientDataSet::GotoBookmark(const TBookmark& bookmark) {
  CheckBrowseMode();
  TTableRow* row = bookmark.IsNull() ? nullptr : FindRow(bookmark.FId);
  if (row == nullptr) DatabaseError("Record not found");
  FCursor = PositionOf(row);
  FBof = FEof = false;
  Scrolled();
}

TVariant TClientDataSet::RowValue(int recNo, const TField& field) {
  CheckActive();
  if (field.DataSet() != this) DatabaseError("Field '" + field.FieldName() + "' belongs to another table");
  TTableRow* row = RowAt(recNo - 1);
  if (row == nullptr) DatabaseError("Record " + IntToStr(recNo) + " not found");
  if (row == CurrentRow() && (FState == TDataSetState::dsEdit || FState == TDataSetState::dsCalcFields))
    return FieldValue(field);  // the pending edit, as the current row shows it
  if (!field.Calculated()) return row->Values[static_cast<std::size_t>(field.FDataIndex)];
  if (FReadRow != nullptr || FState == TDataSetState::dsCalcFields) return TVariant();
  FReadRow = &row->Values;
  struct TReset {
    const std::vector<TVariant>*& Row;
    ~TReset() { Row = nullptr; }
  } reset{FReadRow};
  RunCalc(FReadRow);
  return FReadCalcValues[static_cast<std::size_t>(field.Index())];
}

// ---- editing ----------------------------------------------------------------------------------

void TClientDataSet::Append() {
  CheckBrowseMode();
  FEditBuffer.assign(static_cast<std::size_t>(FDataFieldCount), TVariant());
  FState = TDataSetState::dsInsert;
  CalcCurrent();
  Notify(TDataEvent::deUpdateState);
}

void TClientDataSet::Edit() {
  CheckActive();
  CheckNotInCalc();
  if (FState == TDataSetState::dsEdit || FState == TDataSetState::dsInsert) return;
  TTableRow* row = CurrentRow();
  if (row == nullptr) DatabaseError("Cannot perform this operation on an empty dataset");
  FEditBuffer = row->Values;
  FState = TDataSetState::dsEdit;
  Notify(TDataEvent::deUpdateState);
}

void TClientDataSet::Post() {
  CheckActive();
  CheckNotInCalc();
  bool inserted = FState == TDataSetState::dsInsert;
  if (inserted) {
    if (FNextId == UINT64_MAX) DatabaseError("The table has run out of row identities");
    CheckUnique(FEditBuffer, nullptr);
    // Room first (growing geometrically), so the insertions below cannot fail half-way.
    auto makeRoom = [](auto& v) {
      if (v.size() == v.capacity()) v.reserve(std::max<std::size_t>(16, v.capacity() * 2));
    };
    makeRoom(FRows);
    for (TIndex& index : FIndexes) makeRoom(index.Rows);
    auto row = std::make_unique<TTableRow>();
    row->Id = FNextId;
    row->Values = std::move(FEditBuffer);
    TTableRow* added = row.get();
    // Nothing below can fail: the row joins every order at once.
    ++FNextId;
    FRows.push_back(std::move(row));
    InsertIntoIndexes(added);
    FEditBuffer.clear();
    FState = TDataSetState::dsBrowse;
    FCursor = PositionOf(added);
  } else if (FState == TDataSetState::dsEdit) {
    TTableRow* row = CurrentRow();
    CheckUnique(FEditBuffer, row);
    for (TIndex& index : FIndexes) {
      const auto k = static_cast<std::size_t>(index.DataIndex);
      if (row->Values[k] == FEditBuffer[k]) continue;  // key unchanged: the row stays in place
      auto it = std::lower_bound(index.Rows.begin(), index.Rows.end(), row, TKeyLess{index.DataIndex});
      index.Rows.erase(it);
      TTableRow probe{row->Id, {}};
      probe.Values.assign(FEditBuffer.size(), TVariant());
      probe.Values[k] = FEditBuffer[k];
      auto at = std::lower_bound(index.Rows.begin(), index.Rows.end(), &probe, TKeyLess{index.DataIndex});
      index.Rows.insert(at, row);
    }
    row->Values = std::move(FEditBuffer);
    FEditBuffer.clear();
    FState = TDataSetState::dsBrowse;
    FCursor = PositionOf(row);
  } else {
    return;
  }
  FBof = FEof = false;
  CalcCurrent();
  Notify(TDataEvent::deUpdateState);
  Notify(TDataEvent::deDataSetChange);
  if (inserted && FAfterScroll) FAfterScroll(this);  // the new row became current
}

void TClientDataSet::Cancel() {
  if (FState != TDataSetState::dsEdit && FState != TDataSetState::dsInsert) return;
  CheckNotInCalc();
  FEditBuffer.clear();
  FState = TDataSetState::dsBrowse;
  CalcCurrent();
  Notify(TDataEvent::deUpdateState);
  Notify(TDataEvent::deDataSetChange);
}

void TClientDataSet::Delete() {
  CheckActive();
  CheckNotInCalc();
  if (FState == TDataSetState::dsInsert) {
    Cancel();
    return;
  }
  if (FState == TDataSetState::dsEdit) Cancel();
  TTableRow* row = CurrentRow();
  if (row == nullptr) DatabaseError("Cannot perform this operation on an empty dataset");
  for (TIndex& index : FIndexes) {
    auto it = std::lower_bound(index.Rows.begin(), index.Rows.end(), row, TKeyLess{index.DataIndex});
    index.Rows.erase(it);
  }
  auto it = std::lower_bound(FRows.begin(), FRows.end(), row->Id,
                             [](const std::unique_ptr<TTableRow>& r, std::uint64_t v) { return r->Id < v; });
  FRows.erase(it);
  int count = static_cast<int>(FRows.size());
  if (FCursor >= count) FCursor = count - 1;
  FBof = FEof = count == 0;
  Notify(TDataEvent::deDataSetChange);
  Scrolled();
}

void TClientDataSet::AppendRecord(std::initializer_list<TVariant> values) {
  AppendValues(values.begin(), values.size());
}

void TClientDataSet::AppendRecord(const std::vector<TVariant>& values) { AppendValues(values.data(), values.size()); }

void TClientDataSet::AppendValues(const TVariant* values, std::size_t count) {
  CheckBrowseMode();
  if (count > static_cast<std::size_t>(FDataFieldCount))
    DatabaseError("More values than fields: " + IntToStr(static_cast<std::int64_t>(count)) + " for " +
                  IntToStr(FDataFieldCount));
  Append();
  try {
    std::size_t k = 0;
    for (const auto& field : FFields) {
      if (field->Calculated()) continue;
      if (k >= count) break;
      field->SetValue(values[k++]);
    }
    Post();
  } catch (...) {
    Cancel();
    throw;
  }
}

// ---- saving and loading -----------------------------------------------------------------------

void TClientDataSet::SaveToStream(TStream& stream, TDataPacketFormat format) {
  CheckBrowseMode();
  std::vector<TTableFieldDesc> fields;
  for (const auto& f : FFields) fields.push_back({f->FieldName(), f->DataType(), f->Size(), f->FieldKind()});
  std::string bytes =
      format == TDataPacketFormat::dfXML ? WriteXmlTable(fields, FRows) : WriteBinaryTable(fields, FRows);
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void TClientDataSet::SaveToFile(const std::string& fileName, TDataPacketFormat format) {
  std::string name = fileName.empty() ? FFileName : fileName;
  if (name.empty()) DatabaseError("No file name given for saving the table");
  TAtomicFileStream file(name);
  SaveToStream(file, format);
  file.Commit();
}

void TClientDataSet::LoadFromStream(TStream& stream) {
  CheckNotInCalc();
  std::int64_t size = stream.Size() - stream.Position();
  if (size < 0) size = 0;
  if (static_cast<std::uint64_t>(size) > SIZE_MAX) DatabaseError("The table data is too large to load");
  const auto length = static_cast<std::size_t>(size);
  TTablePacket packet;
  try {
    // A file too large to hold is refused before it is read.
    TLoadBudget budget(length);
    if (!budget.FileFits()) DatabaseError(budget.RefusalText());
    // A memory stream is read in place; other streams once into memory.
    std::vector<std::uint8_t> bytes;
    const std::uint8_t* data = nullptr;
    if (auto* memory = dynamic_cast<TMemoryStream*>(&stream)) {
      data = memory->Memory() + stream.Position();
    } else {
      bytes.resize(length);
      if (length > 0) stream.ReadBuffer(bytes.data(), size);
      data = bytes.data();
    }
    if (LooksLikeBinaryTable(data, length)) packet = ReadBinaryTable(data, length, budget);
    else if (LooksLikeXmlTable(data, length)) packet = ReadXmlTable(data, length, budget);
    else DatabaseError("it is not a table file");
    // The indexes rebuilt over the rows.
    if (!budget.ChargeEach(packet.Rows.size(), sizeof(void*) * FIndexes.size())) DatabaseError(budget.RefusalText());
  } catch (const std::bad_alloc&) {
    DatabaseError("The table data is too large to load");
  }
  if (dynamic_cast<TMemoryStream*>(&stream) != nullptr) stream.Seek(0, TSeekOrigin::soEnd);
  Install(packet);
}

void TClientDataSet::LoadFromFile(const std::string& fileName) {
  std::string name = fileName.empty() ? FFileName : fileName;
  if (name.empty()) DatabaseError("No file name given for loading the table");
  try {
    TFileStream file(name, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
  } catch (const EDatabaseError& e) {
    throw EDatabaseError("Cannot load table \"" + name + "\": " + e.Message());
  } catch (const EStreamError& e) {
    throw EDatabaseError("Cannot load table \"" + name + "\": " + e.Message());
  }
}

void TClientDataSet::Install(TTablePacket& packet) {
  // Everything that can fail happens before the table is touched.
  std::vector<std::unique_ptr<TField>> newFields;
  int newDataCount = 0;
  bool replaceFields = FFields.empty() || FFieldsFromFile;
  std::vector<int> slotOfFileData;  // file data field k -> data slot in the table
  if (replaceFields) {
    for (const TTableFieldDesc& d : packet.Fields) {
      std::unique_ptr<TField> f;
      int index = static_cast<int>(newFields.size());
      switch (d.Type) {
        case TFieldType::ftInteger:
          f.reset(new TIntegerField(this, d.Name, d.Kind, index));
          break;
        case TFieldType::ftString:
          f.reset(new TStringField(this, d.Name, d.Size, d.Kind, index));
          break;
        case TFieldType::ftWideString:
          f.reset(new TWideStringField(this, d.Name, d.Size, d.Kind, index));
          break;
      }
      if (d.Kind == TFieldKind::fkData) {
        f->FDataIndex = newDataCount++;
        slotOfFileData.push_back(f->FDataIndex);
      }
      newFields.push_back(std::move(f));
    }
  } else {
    for (const TTableFieldDesc& d : packet.Fields) {
      if (d.Kind != TFieldKind::fkData) continue;
      TField* f = FindField(d.Name);
      if (f == nullptr || f->Calculated()) DatabaseError("Field '" + d.Name + "' of the file is not in the table");
      if (f->DataType() != d.Type) DatabaseError("Field '" + d.Name + "' has another type in the file");
      if (std::find(slotOfFileData.begin(), slotOfFileData.end(), f->FDataIndex) != slotOfFileData.end())
        DatabaseError("Field '" + d.Name + "' appears twice in the file");
      slotOfFileData.push_back(f->FDataIndex);
    }
    if (static_cast<int>(slotOfFileData.size()) != FDataFieldCount) DatabaseError("The file lacks fields of the table");
  }
  const std::vector<std::unique_ptr<TField>>& layout = replaceFields ? newFields : FFields;
  std::vector<const TField*> bySlot(static_cast<std::size_t>(replaceFields ? newDataCount : FDataFieldCount));
  for (const auto& f : layout)
    if (!f->Calculated()) bySlot[static_cast<std::size_t>(f->FDataIndex)] = f.get();
  for (auto& row : packet.Rows) {
    std::vector<TVariant> values(bySlot.size());
    for (std::size_t k = 0; k < slotOfFileData.size(); ++k) {
      auto slot = static_cast<std::size_t>(slotOfFileData[k]);
      values[slot] = bySlot[slot]->Convert(row->Values[k]);  // a narrower field cuts long texts
    }
    row->Values = std::move(values);
  }
  // Indexes over fields that remain are rebuilt; a unique one refuses duplicate keys.
  std::vector<TIndex> newIndexes;
  std::vector<std::unique_ptr<TTableRow>>& rows = packet.Rows;
  for (const TIndex& old : FIndexes) {
    const TField* f = nullptr;
    for (const auto& candidate : layout)
      if (SameText(candidate->FieldName(), old.FieldName) && !candidate->Calculated()) f = candidate.get();
    if (f == nullptr) continue;
    TIndex index;
    index.Name = old.Name;
    index.FieldName = f->FieldName();
    index.DataIndex = f->FDataIndex;
    index.Options = old.Options;
    for (const auto& row : rows) index.Rows.push_back(row.get());
    std::sort(index.Rows.begin(), index.Rows.end(), TKeyLess{index.DataIndex});
    if (index.Unique())
      for (std::size_t i = 1; i < index.Rows.size(); ++i)
        if (CompareKeys(index.Rows[i - 1]->Values[static_cast<std::size_t>(index.DataIndex)],
                        index.Rows[i]->Values[static_cast<std::size_t>(index.DataIndex)]) == 0)
          DatabaseError("Key violation in index '" + index.Name + "'");
    newIndexes.push_back(std::move(index));
  }

  Close();
  if (replaceFields) {
    FFields = std::move(newFields);
    FDataFieldCount = newDataCount;
    FFieldsFromFile = true;
  }
  FRows = std::move(packet.Rows);
  FNextId = FRows.empty() ? 1 : FRows.back()->Id + 1;
  std::string activeName = FActiveIndex >= 0 ? FIndexName : std::string();
  FIndexes = std::move(newIndexes);
  FActiveIndex = -1;
  FIndexName.clear();
  for (std::size_t i = 0; i < FIndexes.size(); ++i) {
    if (!activeName.empty() && SameText(FIndexes[i].Name, activeName)) {
      FActiveIndex = static_cast<int>(i);
      FIndexName = FIndexes[i].Name;
    }
  }
  if (replaceFields) Notify(TDataEvent::deLayoutChange);
  OpenRows();
}
