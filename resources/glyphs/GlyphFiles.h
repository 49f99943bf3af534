#pragma once

// What the glyph generators share: a two-frame glyph on a key colour, and the bitmaps with the
// resource script that carries them into the program.
#include <filesystem>
#include <fstream>

#include "../skins/SkinCanvas.h"

namespace skingen {

// The layer over the key colour at x0; disabled: grey, lighter, with a light copy one pixel
// down-right.
void PutKeyedFrame(Picture& p, const Layer& l, int size, int x0, bool disabled);

// The generator's output folder and resource script, from the command line (OUTPUT-FOLDER).
class TGlyphOutput {
public:
  // False (with the usage on standard error) when the arguments are wrong.
  bool Open(int argc, char** argv, const char* scriptName);
  // Writes NAME.bmp and its line of the script; false (reported) when it cannot.
  bool Add(const Picture& p, const char* name);
  bool Good() const { return FScript.good(); }

private:
  std::filesystem::path FFolder;
  std::ofstream FScript;
};

}  // namespace skingen
