#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The flasher as the main window hands it the grid's RAM downloader and rows before showing it.
class TFlasherHandOff {
public:
  virtual ~TFlasherHandOff() = default;

  // A run is in progress: the list and the loader must not change (hand-offs are refused).
  virtual bool Running() const = 0;
  // The list emptied. Nothing while a run is in progress.
  virtual void ResetList() = 0;
  // The RAM downloader's file and its start address in hex. Nothing while a run is in progress.
  virtual void SetRamDownloader(const std::string& fileName, const std::string& startAddress) = 0;
  // A list row; an empty CG stays empty. Nothing while a run is in progress.
  virtual void AppendRow(std::optional<int32_t> cg, const std::string& name, const std::string& type, int32_t a1,
                         int32_t size) = 0;
};
