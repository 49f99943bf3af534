#include "app/core/Utils.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "app/core/TRawFile.h"
#include "framework/base/FileSize.h"

namespace {

const std::vector<std::string>& MessageTable() {
  // Built on first use, so that units initialised before this one can read it too.
  static const std::vector<std::string> table = {
      "Open",
      "Out of memory or resources",
      "The specified file was not found",
      "The specified path was not found",
      "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image)",
      "The operating system denied access to the specified file",
      "The filename association is incomplete or invalid",
      "The DDE transaction could not be completed because other DDE transactions were being processed",
      "The DDE transaction failed",
      "The DDE transaction could not be completed because the request timed out",
      "The specified dynamic-link library was not found",
      "There is no application associated with the given filename extension",
      "There was not enough memory to complete the operation",
      "A sharing violation occurred",
      "Incorrect data!",
      "Was detect CG",
      "it is coorrect?",
      "This file is a RAM Downloader?",
      "Block DRM saved in file: ",
      "Structure saved in file: ",
      "Load structure from file: ",
      "File not found",
      "You are sure?",
      "Current picture saved in file",
      "All pictures saved in current folder.",
      "Current picture was replaced by picture from file",
      "Not connected",
      "Connected",
      "Enter new address of CG:",
      "Send RAMDLD...",
      "Loader sent.",
      "Erase Done",
      "jump fail!",
      "Send file",
      "sent",
      "\"POWER_DOWN\" done.",
      "Can't find RAMDLD.",
      "Please choose the necessary loader (*RAMDLD.smg)",
      "Current data saved in file",
      "Extract strings...",
      "Strings extracted.",
      "Langpack file not loaded or language not selected.",
      "Delete current lang?",
      "New lang is added from file",
      "In langpack there can not be more than 10 languages.",
      "pack strings ...",
      "strings packed.",
      "already exists!",
      "Extracting",
      "Disk write error!",
      "Extracting header...",
      "Corrupt file header!",
      "Invalid SHX file!",
      "S-Reord wrong checksum!",
      "S-Record of type #",
      "is not supported.",
      "Extracting done.",
      "It's impossible to delete the loader.",
      "Combine files to *.shx",
      "File done",
      "Necessary RAM Downloader not found!",
      "Currently, Langpack, DRM and Flex editors implemented only.",
      "Current CG will be replaced from file",
      "Continue?",
      "Current project saved in files",
      "Left out of the superfile, their image files being empty:",
  };
  return table;
}

constexpr std::array<const char*, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                     "May",       "June",     "July",     "August",
                                                     "September", "October",  "November", "December"};

}  // namespace

const TMessageList Msgs;

const std::string& TMessageList::operator[](int index) const {
  const auto& table = MessageTable();
  if (index < 0 || index >= static_cast<int>(table.size()))
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  return table[index];
}

int TMessageList::Count() const {
  return static_cast<int>(MessageTable().size());
}

std::string DayName(int day) {
  if (day < 1 || day > 7) throw Exception("Day of week out of range (" + std::to_string(day) + ")");
  return kDayNames[day - 1];
}

std::string MonthName(int month) {
  if (month < 1 || month > 12) throw Exception("Month out of range (" + std::to_string(month) + ")");
  return kMonthNames[month - 1];
}

int32_t HexToInt(const std::string& text) {
  uint32_t acc = 0;
  for (char c : text) {
    int32_t digit = std::toupper(static_cast<unsigned char>(c)) - 48;
    if (digit > 16) digit -= 7;
    acc = acc * 16u + static_cast<uint32_t>(digit);
  }
  return static_cast<int32_t>(acc);
}

std::string TimeToHMS(TDateTimeValue time) {
  constexpr int64_t kMsPerDay = 86400000;
  double whole = 0;
  const double fraction = std::fabs(std::modf(time, &whole));
  const int64_t ms = static_cast<int64_t>(std::nearbyint(fraction * kMsPerDay)) % kMsPerDay;
  const int64_t seconds = ms / 1000;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  return text;
}

std::string GetFilter(TFilterKind kind) {
  switch (kind) {
    case TFilterKind::Projects:
      return "Tarvex projetcs files (*.scp)|*.SCP|All files (*.*)|*.*";
    case TFilterKind::Superfiles:
      return "Motorola SHX files (*.shx)|*.SHX|All files (*.*)|*.*";
    case TFilterKind::CodeGroupImages:
      return "Motorola SMG files (*.smg)|*.SMG|Bin files (*.bin)|*.BIN|All files (*.*)|*.*";
    case TFilterKind::Languages:
      return "Tarvex lang files (*.lng)|*.LNG|All files (*.*)|*.*";
    case TFilterKind::DrmRemarks:
      return "Tarvex DRM-rermarks files (*.rmk)|*.rmk|All files (*.*)|*.*";
    case TFilterKind::RawPictures:
      return "RAW files (*.raw)|*.raw|All files (*.*)|*.*";
    case TFilterKind::FlexImages:
      return "Tarvex flex CG (*CG2.smg)|*CG2.smg|Motorola SMG files (*.smg)|*.SMG|Bin files (*.bin)|*.BIN|"
             "All files (*.*)|*.*";
    case TFilterKind::RamDownloaders:
      return "RAM Downloaders (ramdld*.smg)|ramdld*.smg|Motorola SMG files (*.smg)|*.SMG|"
             "Bin files (*.bin)|*.BIN|All files (*.*)|*.*";
    case TFilterKind::LangPacks:
      return "Tarvex langpack (*CG4.smg)|*CG4.smg|Motorola SMG files (*.smg)|*.SMG|Bin files (*.bin)|*.BIN|"
             "All files (*.*)|*.*";
    case TFilterKind::DrmImages:
      return "Tarvex DRM file (*CG15.smg)|*CG15.smg|Motorola SMG files (*.smg)|*.SMG|Bin files (*.bin)|*.BIN|"
             "All files (*.*)|*.*";
  }
  return "All files (*.*)|*.*";
}

std::string GetFilter(int kind) {
  return GetFilter(static_cast<TFilterKind>(kind));
}

int64_t GetFileSizeByName(const std::string& fileName) {
  return FileSizeOf(fileName);
}

bool LoadFileToMem(const std::string& fileName, std::vector<uint8_t>& buffer) {
  buffer.clear();
  if (fileName.empty() || !TRawFile::Exists(fileName)) return false;
  TRawFile file(fileName, TRawFile::TMode::Read);
  const int64_t size = file.Size();
  if (size <= 0) return false;
  if (static_cast<uint64_t>(size) > buffer.max_size())
    throw EInOutError("File too large to load \"" + fileName + "\"", 0);
  buffer.resize(static_cast<size_t>(size));
  const size_t done = file.Read(buffer.data(), buffer.size());
  file.Close();
  if (done != buffer.size()) {
    buffer.resize(done);
    return false;
  }
  return true;
}

bool DetectSMG(const std::string& fileName, int& cg, int32_t& addr, int64_t& size) {
  cg = -1;
  addr = -1;
  size = -1;
  const size_t dot = fileName.rfind('.');
  if (dot == std::string::npos) return false;
  size_t first = dot;
  while (first > 0 && std::isdigit(static_cast<unsigned char>(fileName[first - 1]))) --first;
  if (first == dot) return false;
  int64_t number = 0;
  for (size_t i = first; i < dot; ++i) {
    number = number * 10 + (fileName[i] - '0');
    if (number > INT32_MAX) return false;
  }
  cg = static_cast<int>(number);

  int offset = -1;
  switch (cg) {
    case 0:
      offset = 32;
      break;
    case 4:
      offset = 0;
      break;
    case 15:
      offset = 8;
      break;
    case 18:
      offset = 0;
      break;
    default:
      break;
  }
  TRawFile file(fileName, TRawFile::TMode::Read);
  size = file.Size();
  if (offset >= 0 && size >= offset + 4) {
    uint8_t head[36];
    if (file.Read(head, static_cast<size_t>(offset) + 4) == static_cast<size_t>(offset) + 4) {
      addr = static_cast<int32_t>(ByteOrder::ReadBE32(head + offset) & 0xFFFFFF00u);
    }
  }
  file.Close();
  return true;
}
