#pragma once

#include "framework/base/Delegate.h"

class TClientDataSet;
class TField;

enum class TFieldType { ftInteger, ftString, ftWideString };
// Calculated fields are filled by the table's OnCalcFields and are never stored.
enum class TFieldKind { fkData, fkCalculated };
enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsCalcFields };
enum class TDataPacketFormat { dfBinary, dfXML };

// What a data-aware control is told: rows or their order changed (deDataSetChange), the cursor
// moved (deDataSetScroll), a field of the current row changed while editing (deFieldChange),
// the state changed (deUpdateState), the fields were replaced by a load (deLayoutChange).
// deDataSetDestroying: the table is being freed; whoever keeps it lets go.
enum class TDataEvent { deDataSetChange, deDataSetScroll, deFieldChange, deUpdateState, deLayoutChange, deDataSetDestroying };

enum class TIndexOptions : unsigned { ixNone = 0, ixPrimary = 1, ixUnique = 2 };
constexpr TIndexOptions operator|(TIndexOptions a, TIndexOptions b) {
  return static_cast<TIndexOptions>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool HasOption(TIndexOptions set, TIndexOptions option) {
  return (static_cast<unsigned>(set) & static_cast<unsigned>(option)) != 0;
}

using TDataSetNotifyEvent = TDelegate<void(TClientDataSet* DataSet)>;
using TFieldNotifyEvent = TDelegate<void(TField* Sender)>;
using TDataEventHandler = TDelegate<void(TClientDataSet* DataSet, TDataEvent Event)>;
