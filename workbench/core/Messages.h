#pragma once

#include <string>

// The indexed message texts the workbench, the flasher and the editors show.

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
