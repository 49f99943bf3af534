#pragma once

#include <string>
#include <vector>

#include "skin/engine/core/SkinTypes.h"
#include "skin/engine/core/TsSkinLoader.h"

// What the skin manager asks for when it loads a skin.
struct TsSkinRequest {
  std::string SkinDirectory;  // as the manager holds it (relative to AppFolder unless it has a drive)
  std::string SkinName;
  std::string AppFolder;  // the program's folder with its trailing separator
  const std::vector<TsInternalSkin>* InternalSkins = nullptr;
  std::vector<std::string> CommonSections;
  TColor (*ColorToRGB)(TColor) = nullptr;
};

// Loads the named skin into the global skin data and tables: the folder's "Options.dat" when it
// exists, else the internal skin of that name, else the first internal skin (whose name is
// returned), else nothing (every table empty). The tables are replaced only by a complete load;
// on an error every table is emptied before the error goes on. A skin of the old format shows
// its box and leaves the section table empty; a skin beyond the loader's bounds, or one whose
// description holds no section at all (empty or garbage), raises ESkinError naming its file. A master bitmap that is there but cannot be read is said in a box,
// and the skin loads without what draws from it. SkinData().Active is left False: the manager sets
// it while broadcasting the change.
std::string LoadSkinIntoGlobals(const TsSkinRequest& request);

// Empties every skin table and forgets the loaded skin file.
void ReleaseSkinGlobals();

// The lines of the manager's extra sections as stored: blanks removed from every line that is not
// empty and not a comment.
std::vector<std::string> NormalizeCommonSections(const std::vector<std::string>& lines);
