#include "skin/engine/core/SkinSwitch.h"

#include "skin/engine/core/SkinFolders.h"
#include "skin/engine/core/SkinMessages.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/SkinUtils.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

const TsInternalSkin* FindInternal(const std::vector<TsInternalSkin>* skins, const std::string& name) {
  if (!skins) return nullptr;
  for (const auto& s : *skins)
    if (s.Name == name) return &s;
  return nullptr;
}

}  // namespace

void ReleaseSkinGlobals() {
  InstallSkinTables({});
  TsSkinData& data = SkinData();
  data.Active = false;
  data.IniFile.reset();
}

std::string LoadSkinIntoGlobals(const TsSkinRequest& request) {
  TsSkinData& data = SkinData();
  data.Active = false;
  data.IniFile.reset();
  std::string name = request.SkinName;
  const std::string directory = ResolveSkinDirectory(request.SkinDirectory, request.AppFolder);
  TsDiskFiles files;
  try {
    const std::string file = directory + name + "\\Options.dat";
    if (auto text = name.empty() ? std::nullopt : TsDiskFiles::ReadText(file)) {
      // Refused before parsing: a huge description would cost far more parsed than as text.
      CheckSkinDescription(TsIniText::Count(*text), file);
      data.IniFile = std::make_unique<TsIniText>(TsIniText::FromText(std::move(*text)));
      data.SkinPath = directory + name + "\\";
    } else {
      data.SkinPath.clear();
      if (!FindInternal(request.InternalSkins, name) && request.InternalSkins &&
          !request.InternalSkins->empty())
        name = request.InternalSkins->front().Name;
    }
    TsSkinSource source;
    source.Ini = data.IniFile.get();
    source.SkinPath = data.SkinPath;
    source.Internal = FindInternal(request.InternalSkins, name);
    source.CommonSections = request.CommonSections;
    source.Files = &files;
    source.ColorToRGB = request.ColorToRGB;
    TsLoadedSkin loaded = LoadSkin(source);
    data.Version = loaded.Version;
    data.Author = loaded.Author;
    data.Description = loaded.Description;
    InstallSkinTables(std::move(loaded.Tables));
    if (loaded.Refused) ShowErrorBox(OldSkinMessage);
    if (!loaded.MasterBitmapError.empty())
      ShowWarningBox("The master bitmap \"" + loaded.MasterBitmap + "\" of the skin \"" + name +
                     "\" cannot be read (" + loaded.MasterBitmapError +
                     ").\nThe parts of the skin drawn from it keep the standard look.");
  } catch (...) {
    // Never leave the tables of the previous skin behind a failed load.
    ReleaseSkinGlobals();
    throw;
  }
  return name;
}

std::vector<std::string> NormalizeCommonSections(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  out.reserve(lines.size());
  for (const auto& line : lines)
    out.push_back(line.empty() || line.front() == ';' ? line : RemoveChar(line, ' '));
  return out;
}
