#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What "Detect file" of the add dialog finds in a file's name and, for some code groups, in the file.
struct TAddDetection {
  // The run of digits that ends just before the name's last "."; empty: ask whether the file is the
  // RAM downloader.
  std::string Digits;
  // The address the address edit takes; none leaves the edit as it is.
  std::optional<std::uint32_t> Address;
};
TAddDetection DetectAddFile(const std::string& fileName);

// The add dialog's check of its edits before the row is added: the code group empty or a decimal
// number from -2 to 20, the address 1 to 8 hex digits, and the image (FileSize bytes; below 0 when
// not known) ending at FFFFFFFF at the latest.
bool AddInputValid(const std::string& codeGroup, const std::string& address, std::int64_t fileSize);

// The argument text the external viewer gets: the image's name, after a blank, the parameters and a
// blank when there are parameters; a name holding a blank is quoted.
std::string ViewerArguments(const std::string& parameters, const std::string& name);

// The message shown for a failed shell open (result 32 or below), or -1 for none.
int ShellErrorMessage(std::intptr_t result);
