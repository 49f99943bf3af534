#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "framework/base/TObject.h"
#include "phone/core/FlashSequence.h"

class TClientDataSet;

// The flasher's list of images on its record table: the fields CG, Name, Type, A1, size and the
// calculated A1Str (eight hex digits, empty for an empty A1). The window guards every change while
// a run is in progress.
class TFlashList : public TObject {
public:
  // Defines the fields on a closed table without fields and takes over its calc-fields event.
  explicit TFlashList(TClientDataSet& dataSet);
  // Takes its calc-fields event back from the table, which may outlive the list.
  ~TFlashList() override;
  TFlashList(const TFlashList&) = delete;
  TFlashList& operator=(const TFlashList&) = delete;

  TClientDataSet& DataSet() const { return FDataSet; }

  // The list closed, created anew empty and opened.
  void Reset();
  // Appends a row and makes it current; an empty CG stays empty.
  void AppendRow(std::optional<int32_t> cg, const std::string& name, const std::string& type, int32_t a1,
                 int32_t size);
  // An image file as a row, whatever DetectSMG makes of its name: a name without a number gives the
  // file's own size, so that the row can be flashed once its address is set.
  void AddImageFile(const std::string& fileName);
  // The current row goes; false without one.
  bool DeleteCurrent();
  // The rows in the list's order, as a run takes them (an empty A1 is FFFFFFFF, an empty size -1).
  std::vector<TFlashRow> Rows() const;

private:
  void CalcFields(TClientDataSet* dataSet);

  TClientDataSet& FDataSet;
};
