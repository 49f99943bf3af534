#pragma once

#include <vector>

#include "framework/base/DataSetTypes.h"
#include "framework/win/TComponent.h"

class TClientDataSet;
class TDataLink;

// Connects a record table to the data-aware controls: every event of the table reaches each link.
// The table is not owned; when it is freed the source lets go of it (DataSet becomes nullptr).
class TDataSource : public TComponent {
public:
  explicit TDataSource(TComponent* owner);
  ~TDataSource() override;

  TClientDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TClientDataSet* dataSet);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  TDataSetState State() const;

  const TNotifyEvent& OnDataChange() const { return FOnDataChange; }
  void SetOnDataChange(const TNotifyEvent& e) { FOnDataChange = e; }
  const TNotifyEvent& OnStateChange() const { return FOnStateChange; }
  void SetOnStateChange(const TNotifyEvent& e) { FOnStateChange = e; }

private:
  friend class TDataLink;
  void AddLink(TDataLink* link);
  void RemoveLink(TDataLink* link);
  void DataEvent(TClientDataSet* dataSet, TDataEvent event);
  void NotifyActiveChanged();

  TClientDataSet* FDataSet = nullptr;
  bool FEnabled = true;
  std::vector<TDataLink*> FLinks;
  TNotifyEvent FOnDataChange, FOnStateChange;
};
