#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/base/ByteOrder.h"

// The utility unit shared by the workbench, the flasher and the editors: the indexed message list,
// file-dialog filters, byte-order and hex helpers, English calendar names and whole-file helpers.

// The indexes of the message texts. 0 to 13 are the shell's reasons for failing to open a file,
// 0 itself being the verb it is asked for.
enum class TMsgId : int {
  ShellOpenVerb = 0,
  ShellOutOfResources = 1,
  ShellFileNotFound = 2,
  ShellPathNotFound = 3,
  ShellBadFormat = 4,
  ShellAccessDenied = 5,
  ShellAssociationIncomplete = 6,
  ShellDdeBusy = 7,
  ShellDdeFailed = 8,
  ShellDdeTimeout = 9,
  ShellDllNotFound = 10,
  ShellNoAssociation = 11,
  ShellOutOfMemory = 12,
  ShellSharingViolation = 13,
  IncorrectData = 14,
  DetectedCG = 15,
  IsItCorrect = 16,
  IsRamDownloader = 17,
  DrmBlockSaved = 18,
  StructureSaved = 19,
  LoadStructure = 20,
  FileNotFound = 21,
  AreYouSure = 22,
  PictureSaved = 23,
  AllPicturesSaved = 24,
  PictureReplaced = 25,
  NotConnected = 26,
  Connected = 27,
  EnterNewAddress = 28,
  SendingRamDownloader = 29,
  LoaderSent = 30,
  EraseDone = 31,
  JumpFailed = 32,
  SendFile = 33,
  Sent = 34,
  PowerDownDone = 35,
  RamDownloaderMissing = 36,
  ChooseLoader = 37,
  DataSaved = 38,
  ExtractingStrings = 39,
  StringsExtracted = 40,
  LangPackNotLoaded = 41,
  DeleteLanguage = 42,
  LanguageAdded = 43,
  TooManyLanguages = 44,
  PackingStrings = 45,
  StringsPacked = 46,
  AlreadyExists = 47,
  Extracting = 48,
  DiskWriteError = 49,
  ExtractingHeader = 50,
  CorruptHeader = 51,
  InvalidShx = 52,
  SRecordChecksum = 53,
  SRecordType = 54,
  NotSupported = 55,
  ExtractingDone = 56,
  CannotDeleteLoader = 57,
  CombiningFiles = 58,
  FileDone = 59,
  RamDownloaderNotFound = 60,
  OnlyEditorsImplemented = 61,
  ReplaceCG = 62,
  Continue = 63,
  ProjectSaved = 64,
  EmptyImagesLeftOut = 65,
};

// The 66 indexed message texts (0 to 65). Read-only for the whole run of the program.
class TMessageList {
public:
  const std::string& operator[](TMsgId id) const { return (*this)[static_cast<int>(id)]; }
  // Raises Exception for an index outside 0..65.
  const std::string& operator[](int index) const;
  int Count() const;
};
extern const TMessageList Msgs;

// English names, independent of the locale: days 1 (Sunday) to 7, months 1 (January) to 12.
std::string DayName(int day);
std::string MonthName(int month);

// Hex text to integer without validation (32-bit, wrapping); lower-case letters are accepted.
int32_t HexToInt(const std::string& text);

// The four bytes of a 32-bit word in reverse order.
using ByteOrder::SwapDWord;

// A moment in days since 1899-12-30; the fraction is the time of day.
using TDateTimeValue = double;

// The time of day of a moment as "hh:mm:ss".
std::string TimeToHMS(TDateTimeValue time);

// The kinds of file-dialog filter.
enum class TFilterKind : int {
  Projects = 1,
  Superfiles = 2,
  CodeGroupImages = 3,
  Languages = 4,
  DrmRemarks = 5,
  RawPictures = 6,
  FlexImages = 7,
  RamDownloaders = 8,
  LangPacks = 9,
  DrmImages = 10,
};

// The filter of a kind; a value outside the kinds gives "All files (*.*)|*.*".
std::string GetFilter(TFilterKind kind);
// The same by the kind's number.
std::string GetFilter(int kind);

// Size in bytes of the named file, -1 when it does not exist.
int64_t GetFileSizeByName(const std::string& fileName);

// Reads the whole named file. True exactly when the file holds at least one byte and all were read;
// a missing file gives false with an empty buffer.
bool LoadFileToMem(const std::string& fileName, std::vector<uint8_t>& buffer);

// Code-group number from the digits before the last dot of the name and, for code groups whose
// images carry it, the start address from the contents. False when the name carries no number.
bool DetectSMG(const std::string& fileName, int& cg, int32_t& addr, int64_t& size);
