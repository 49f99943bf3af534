#pragma once

#include <string>
#include <vector>

#include "workbench/core/TCodeGroupRow.h"
#include "workbench/core/TSuperfileHost.h"

// Combines code-group rows into one superfile: rebuilds the header and its code-group table,
// patches the RAM downloader's address table, splits a memory map off a flash given alone, and
// writes the S-records with their checksums. Images stream through the I/O buffer, so memory does
// not grow with their size; the file replaces the target only when complete.
class TSuperfileCombiner {
public:
  explicit TSuperfileCombiner(TSuperfileHost& host) : FHost(host) {}

  // rows: the grid's rows in "by_cg" order; initialName: the save dialog's initial name. True when a
  // superfile was written, FileName() then names it. Rows that cannot be combined, an image that
  // cannot be read among them, are refused through the host before the save dialog; an empty image
  // is left out, and named in the status line and a warning box. File errors, and an image that
  // changes while it is combined, raise EInOutError.
  bool Combine(const std::vector<TCodeGroupRow>& rows, const std::string& initialName, int bufferKB);
  const std::string& FileName() const { return FFileName; }
  // The rows (indexes into rows) the last superfile written was made without, their images empty.
  const std::vector<size_t>& LeftOut() const { return FLeftOut; }

private:
  bool Refuse(const std::string& text);

  TSuperfileHost& FHost;
  std::string FFileName;
  std::vector<size_t> FLeftOut;
};
