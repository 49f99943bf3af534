#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/base/PreviewPlace.h"

// The open and save dialog window's rules without a window: where it starts, what a typed name
// means, when it may close, the multi-selection's text and the picture preview's place.

enum class TsFileDialogKind { Open, Save, OpenPicture, SavePicture };
inline bool IsSaveDialog(TsFileDialogKind kind) {
  return kind == TsFileDialogKind::Save || kind == TsFileDialogKind::SavePicture;
}

// The folder the list starts in (with a trailing "\") and the name the name box starts with.
struct TsDialogStart {
  std::string Folder;
  std::string Name;
};
// A file name with a folder part starts in that folder with the name part; otherwise the start is
// initialDir, or programFolder when that is empty; a folder that does not exist falls back to
// programFolder. An empty name takes defaultExt.
TsDialogStart DialogStart(const std::string& fileName, const std::string& initialDir, const std::string& defaultExt,
                          const std::string& programFolder, const std::function<bool(const std::string&)>& folderExists);

// "C:\x", "c:/x", "\\server\share\x" and "//server/x".
bool IsAbsoluteFileName(std::string_view name);
// The name typed in the name box, in folder: an absolute name as typed, "\x" on the folder's drive,
// anything else joined to the folder.
std::string ResultFileName(const std::string& folder, const std::string& typed);

// The folder that the name box's text opens instead of being chosen: its only name, read as
// ResultFileName reads it, when that is an existing folder; "." and ".." steps resolved (never
// above the root), separators made "\", with a trailing "\". Empty when the text names no folder.
std::string TypedFolder(const std::string& folder, const std::string& text,
                        const std::function<bool(const std::string&)>& folderExists);

// The name box's text for several selected names: each in double quotes, one blank between.
std::string QuotedNames(const std::vector<std::string>& names);
// The names of a name box's text: each quoted run, and each unquoted run between them (trimmed);
// a text without quotes is one name. Empty names are dropped.
std::vector<std::string> SplitQuotedNames(std::string_view text);

// The checks before the dialog closes with a name, and the questions they ask.
struct TsAcceptOptions {
  bool Save = false;             // a save dialog: only then the overwrite question
  bool OverwritePrompt = false;
  bool PathMustExist = false;
  bool FileMustExist = false;
  bool CreatePrompt = false;
};
class TsAcceptHost {
public:
  virtual ~TsAcceptHost() = default;
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool FolderExists(const std::string& path) = 0;
  // A Yes/No question; True on Yes.
  virtual bool Confirm(const std::string& text) = 0;
  virtual void Warn(const std::string& text) = 0;
  // Creates an empty file; False when it could not.
  virtual bool CreateEmptyFile(const std::string& path) = 0;
};
// True when the dialog may close with fileName. Every refusal has shown its box.
bool AcceptFileName(const std::string& fileName, const TsAcceptOptions& options, TsAcceptHost& host);
// The same for each name of a multi-selection, in order; the first refusal keeps the dialog open.
bool AcceptFileNames(const std::vector<std::string>& fileNames, const TsAcceptOptions& options, TsAcceptHost& host);

// The folder the dialog found current is put back when the user cancelled, and with the
// no-change-of-folder option whatever the answer.
inline bool RestoresCurrentFolder(bool accepted, bool noChangeDir) { return !accepted || noChangeDir; }

// "X:\" in either case.
bool IsDriveRoot(std::string_view folder);
