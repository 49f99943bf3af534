#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/base/TObject.h"
#include "workbench/core/TCodeGroupRow.h"

class TClientDataSet;

// The code-group rows of the main window's grid on its record table: the fields CG, Name, Type,
// A1, A2, size and the calculated A1Str, A2Str; the indexes "by_cg" and "by_a1", added on every
// open; the add-row rule (one row per type); and the grid handling around a single-group combine.
class TCodeGroupTable : public TObject {
public:
  static constexpr int kMaxNameLength = 255;

  // Defines the fields on a closed table without fields and takes over its after-open,
  // after-close and calc-fields events.
  explicit TCodeGroupTable(TClientDataSet& dataSet);

  TClientDataSet& DataSet() const { return FDataSet; }

  // "Show ordered by": 0 by code group, 1 by start address; selected at once when open.
  int Order() const { return FOrder; }
  void SetOrder(int itemIndex);

  // Closes the table and creates it anew, empty.
  void Reset();
  // Appends a row and makes it current, unless a row of the same type exists: then OnWarning gets
  // the type in double quotes, a blank and "already exists!", and nothing is appended. A path
  // longer than the Name field raises, rather than being cut to a name that is not the file.
  bool AddCGRecord(int cg, int64_t size, const std::string& fileName, uint32_t a1, uint32_t a2);
  bool AddRow(const TCodeGroupRow& row) {
    return AddCGRecord(RowCG(row), row.Size, row.Name, row.A1, row.A2);
  }
  void SelectLast();

  // The outcome of the "Add" dialog's answer.
  enum class TAddOutcome { Ignored, Invalid, Added, Refused };
  // The "Add" dialog's image as a row: the code group empty (the RAM downloader) or a decimal
  // number, the start address in hex; the row ends at the image's last byte. Ignored for a missing
  // file or an empty address, Invalid for input the grid cannot hold (nothing is added), Refused
  // when a row of the type exists (see AddCGRecord).
  TAddOutcome AddImage(const std::string& fileName, const std::string& codeGroup, const std::string& address);
  // Every row but the RAM downloader's may be deleted; false without a current row.
  bool CanDeleteCurrent() const;
  // The current row takes another image file: its start address stays, its size and end follow the
  // file. A text to show when the row is left as it was (a path longer than the Name field, a file
  // that is not there), else empty.
  std::string ReplaceCurrentImage(const std::string& fileName);

  TCodeGroupRow CurrentRow() const;
  // Every row in "by_cg" order; the index and the current row are kept.
  std::vector<TCodeGroupRow> RowsByCG();

  // The grid handling of the single-group combine: the grid is saved to tempFile, cut down to its
  // RAM-downloader row, given the row of the image, combined (combine gets the save dialog's
  // initial name) and restored as it was, also when the combine raises. A closed grid is created
  // with just the image's row.
  void CombineSingleCG(int cg, const std::string& fileName, uint32_t addr, int64_t size,
                       const std::function<void(const std::string& initialName)>& combine,
                       const std::string& tempFile = "Tarvex.tmp");

  std::function<void(const std::string& text)> OnWarning;

private:
  static int RowCG(const TCodeGroupRow& row);
  void AfterOpen(TClientDataSet* dataSet);
  void AfterClose(TClientDataSet* dataSet);
  void CalcFields(TClientDataSet* dataSet);
  void SelectOrderIndex();

  TClientDataSet& FDataSet;
  int FOrder = 0;
};
