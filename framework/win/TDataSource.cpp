#include "framework/win/TDataSource.h"

#include <algorithm>

#include "framework/base/TClientDataSet.h"
#include "framework/win/TDataLink.h"

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
  SetDataSet(nullptr);
  // Links outlive the source only as empty links.
  for (TDataLink* link : FLinks) link->FDataSource = nullptr;
  std::vector<TDataLink*> links;
  links.swap(FLinks);
  for (TDataLink* link : links) link->ActiveChanged();
}

void TDataSource::SetDataSet(TClientDataSet* dataSet) {
  if (dataSet == FDataSet) return;
  TDataEventHandler handler(this, &TDataSource::DataEvent);
  if (FDataSet != nullptr) FDataSet->RemoveDataEventHandler(handler);
  FDataSet = dataSet;
  if (dataSet != nullptr) dataSet->AddDataEventHandler(handler);
  NotifyActiveChanged();
}

void TDataSource::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  NotifyActiveChanged();
}

TDataSetState TDataSource::State() const {
  return FDataSet != nullptr && FEnabled ? FDataSet->State() : TDataSetState::dsInactive;
}

void TDataSource::AddLink(TDataLink* link) {
  if (std::find(FLinks.begin(), FLinks.end(), link) == FLinks.end()) FLinks.push_back(link);
}

void TDataSource::RemoveLink(TDataLink* link) { FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), link), FLinks.end()); }

void TDataSource::NotifyActiveChanged() {
  std::vector<TDataLink*> links = FLinks;
  for (TDataLink* link : links)
    if (std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end()) link->ActiveChanged();
}

void TDataSource::DataEvent(TClientDataSet*, TDataEvent event) {
  if (event == TDataEvent::deDataSetDestroying) {
    SetDataSet(nullptr);
    return;
  }
  if (!FEnabled) return;
  std::vector<TDataLink*> links = FLinks;
  for (TDataLink* link : links)
    if (std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end()) link->DataEvent(event);
  if ((event == TDataEvent::deDataSetChange || event == TDataEvent::deDataSetScroll ||
       event == TDataEvent::deFieldChange) && FOnDataChange)
    FOnDataChange(this);
  if (event == TDataEvent::deUpdateState && FOnStateChange) FOnStateChange(this);
}
