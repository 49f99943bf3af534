#include "skin/windows/core/FileDialogRules.h"

#include <cctype>
#include <cstdint>

#include "framework/base/AnsiStrings.h"
#include "skin/engine/core/SkinUtils.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

TsDialogStart DialogStart(const std::string& fileName, const std::string& initialDir, const std::string& defaultExt,
                          const std::string& programFolder, const std::function<bool(const std::string&)>& folderExists) {
  TsDialogStart start;
  const std::string folder = ExtractFilePath(fileName);
  if (!fileName.empty() && !folder.empty()) {
    start.Folder = folder;
    start.Name = ExtractFileName(fileName);
  } else {
    start.Folder = initialDir.empty() ? programFolder : initialDir;
    start.Name = fileName;
  }
  start.Folder = WithTrailingBackslash(start.Folder);
  if (start.Folder != programFolder && !folderExists(start.Folder)) {
    // A named folder that is gone: the initial folder when that one is there, else the program's.
    const std::string initial = WithTrailingBackslash(initialDir);
    start.Folder = !initial.empty() && initial != start.Folder && folderExists(initial) ? initial : programFolder;
  }
  if (start.Name.empty()) start.Name = defaultExt;
  return start;
}

bool IsAbsoluteFileName(std::string_view name) {
  if (name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1])) return true;
  return name.size() >= 3 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':' &&
         IsSeparator(name[2]);
}

std::string ResultFileName(const std::string& folder, const std::string& typed) {
  if (IsAbsoluteFileName(typed)) return typed;
  if (!typed.empty() && IsSeparator(typed[0])) {
    // The root of the folder's drive.
    if (folder.size() >= 2 && folder[1] == ':') return folder.substr(0, 2) + typed;
    return typed;
  }
  return WithTrailingBackslash(folder) + typed;
}

namespace {

// "X:\" or "\\server\share\" of an absolute path; empty for any other.
std::size_t RootLength(std::string_view path) {
  if (path.size() >= 3 && path[1] == ':' && IsSeparator(path[2])) return 3;
  if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return 0;
  std::size_t at = 2;
  for (int part = 0; part < 2 && at < path.size(); ++part) {
    while (at < path.size() && !IsSeparator(path[at])) ++at;
    if (at < path.size()) ++at;
  }
  return at;
}

std::string CleanFolder(const std::string& path) {
  const std::size_t rootLength = RootLength(path);
  std::string root = path.substr(0, rootLength);
  for (char& c : root)
    if (c == '/') c = '\\';
  root = WithTrailingBackslash(root);
  std::vector<std::string> steps;
  std::size_t at = rootLength;
  while (at <= path.size()) {
    std::size_t end = at;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const std::string step = path.substr(at, end - at);
    if (step == "..") {
      if (!steps.empty()) steps.pop_back();
    } else if (!step.empty() && step != ".") {
      steps.push_back(step);
    }
    at = end + 1;
  }
  std::string clean = root;
  for (const std::string& step : steps) clean += step + '\\';
  return clean;
}

}  // namespace

std::string TypedFolder(const std::string& folder, const std::string& text,
                        const std::function<bool(const std::string&)>& folderExists) {
  const std::vector<std::string> names = SplitQuotedNames(text);
  if (names.size() != 1) return {};
  const std::string path = ResultFileName(folder, names.front());
  if (RootLength(path) == 0) return {};
  const std::string clean = CleanFolder(path);
  return folderExists(clean) ? clean : std::string();
}

std::string QuotedNames(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) {
    if (!text.empty()) text += ' ';
    text += '"' + name + '"';
  }
  return text;
}

std::vector<std::string> SplitQuotedNames(std::string_view text) {
  std::vector<std::string> names;
  auto add = [&](std::string_view run, bool quoted) {
    std::string name = quoted ? std::string(run) : TrimSpaces(run);
    if (!name.empty()) names.push_back(std::move(name));
  };
  size_t at = 0;
  while (at < text.size()) {
    const size_t open = text.find('"', at);
    if (open == std::string_view::npos) {
      add(text.substr(at), false);
      break;
    }
    add(text.substr(at, open - at), false);
    const size_t close = text.find('"', open + 1);
    if (close == std::string_view::npos) {
      add(text.substr(open + 1), false);
      break;
    }
    add(text.substr(open + 1, close - open - 1), true);
    at = close + 1;
  }
  return names;
}

bool AcceptFileName(const std::string& fileName, const TsAcceptOptions& options, TsAcceptHost& host) {
  if (options.Save && options.OverwritePrompt && host.FileExists(fileName))
    return host.Confirm(fileName + "\r\nFile is exists. Overwrite?");
  const std::string folder = ExtractFilePath(fileName);
  if (options.PathMustExist && !folder.empty() && !host.FolderExists(folder)) {
    host.Warn(folder + "\r\nPath not found");
    return false;
  }
  if (host.FileExists(fileName)) return true;
  if (options.CreatePrompt) {
    if (!host.Confirm(fileName + "\r\nFile not found. Create?")) return false;
    if (!host.CreateEmptyFile(fileName)) {
      host.Warn(fileName + "\r\nCannot create the file");
      return false;
    }
  }
  if (options.FileMustExist && !host.FileExists(fileName)) {
    host.Warn(fileName + "\r\nFile not found");
    return false;
  }
  return true;
}

bool AcceptFileNames(const std::vector<std::string>& fileNames, const TsAcceptOptions& options, TsAcceptHost& host) {
  if (fileNames.empty()) return false;
  for (const std::string& name : fileNames)
    if (!AcceptFileName(name, options, host)) return false;
  return true;
}

bool IsDriveRoot(std::string_view folder) {
  return folder.size() == 3 && std::isalpha(static_cast<unsigned char>(folder[0])) && folder[1] == ':' &&
         IsSeparator(folder[2]);
}
