#include "framework/win/TDataLink.h"

#include "framework/base/TClientDataSet.h"
#include "framework/win/TDataSource.h"

TDataLink::~TDataLink() {
  if (FDataSource != nullptr) FDataSource->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource* source) {
  if (source == FDataSource) return;
  if (FDataSource != nullptr) FDataSource->RemoveLink(this);
  FDataSource = source;
  if (source != nullptr) source->AddLink(this);
  ActiveChanged();
}

TClientDataSet* TDataLink::DataSet() const { return FDataSource != nullptr ? FDataSource->DataSet() : nullptr; }

bool TDataLink::Active() const {
  TClientDataSet* table = DataSet();
  return table != nullptr && FDataSource->Enabled() && table->Active();
}

bool TDataLink::Editing() const {
  if (!Active()) return false;
  TDataSetState state = DataSet()->State();
  return state == TDataSetState::dsEdit || state == TDataSetState::dsInsert;
}
