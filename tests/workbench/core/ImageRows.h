#pragma once

#include <string>
#include <vector>

#include "TRecordingHost.h"
#include "shx-generator.h"
#include "workbench/core/CodeGroups.h"

// Writes each group's image into dir and returns its row as the split would list it.
inline std::vector<TCodeGroupRow> Rows(const TTempFolder& dir, const std::vector<TShxGroup>& groups) {
  std::vector<TCodeGroupRow> rows;
  for (const TShxGroup& g : groups) {
    TCodeGroupRow row;
    if (g.CG >= 0) row.CG = g.CG;
    row.Type = GetCGName(g.CG);
    row.Name = dir / ("img" + std::to_string(g.CG + 2) + ".smg");
    row.A1 = g.Start;
    row.A2 = static_cast<uint32_t>(g.Start + g.Data.size() - 1);
    row.Size = static_cast<int64_t>(g.Data.size());
    WriteFileBytes(row.Name, g.Data);
    rows.push_back(row);
  }
  return rows;
}
