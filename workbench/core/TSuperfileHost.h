#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "workbench/core/TCodeGroupRow.h"

// What the split and the combine need of the window that runs them: the grid, the status line,
// the gauge, message boxes, the save dialog, the cursor and message pumping. The main window
// implements it; tests and the command-line driver provide their own.
class TSuperfileHost {
public:
  virtual ~TSuperfileHost() = default;

  // Closes the grid and creates it anew, empty, in the chosen order.
  virtual void ResetRows() = 0;
  // Appends a row as the add-row rule does (a second row of the same type is refused with a warning).
  virtual void AddRow(const TCodeGroupRow& row) = 0;
  virtual void SelectLastRow() = 0;

  virtual void SetStatus(const std::string& text) = 0;
  // The gauge runs from 0 to max.
  virtual void SetGaugeRange(int64_t max, int64_t progress) = 0;
  virtual void SetGaugeProgress(int64_t progress) = 0;

  // An error box whose only button is Cancel.
  virtual void ShowError(const std::string& text) = 0;
  // A warning box whose only button is Cancel; by default the error box.
  virtual void ShowWarning(const std::string& text);
  virtual void BringToFront() = 0;
  // The save dialog with the given filter; fileName is the initial name and receives the choice.
  virtual bool AskSaveFileName(const std::string& filter, std::string& fileName) = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  virtual void ProcessMessages() = 0;
  // Local time of now; the combine writes it into the header.
  virtual std::tm LocalTime();
};

// The I/O buffer size in bytes for a size in kB as the user entered it. A size below 1 kB would
// never end the read loop, one above 1 GB cannot be allocated sensibly: both raise an Exception.
size_t IOBufferBytes(int kiloBytes);

// Sets the busy cursor for the life of the object.
class TBusyCursor {
public:
  explicit TBusyCursor(TSuperfileHost& host) : FHost(host) { FHost.SetBusyCursor(true); }
  ~TBusyCursor() { FHost.SetBusyCursor(false); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;

private:
  TSuperfileHost& FHost;
};
