#pragma once

#include "framework/base/DataSetTypes.h"

class TClientDataSet;
class TDataSource;

// What a data-aware control keeps to follow a table through a data source. The control derives
// from it and answers the table's events.
class TDataLink {
public:
  TDataLink() = default;
  virtual ~TDataLink();
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* source);
  // The table, nullptr without a source.
  TClientDataSet* DataSet() const;
  // A source with an open table and enabled.
  bool Active() const;
  bool Editing() const;

protected:
  friend class TDataSource;
  virtual void DataEvent(TDataEvent event) = 0;
  // The source or its table changed (or went away).
  virtual void ActiveChanged() {}

private:
  TDataSource* FDataSource = nullptr;
};
