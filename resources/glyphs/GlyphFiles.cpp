#include "GlyphFiles.h"

#include <cstdio>
#include <string>

namespace skingen {

void PutKeyedFrame(Picture& p, const Layer& l, int size, int x0, bool disabled) {
  const Rgb white = FromColor(0xFFFFFF);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      if (l.Alpha(x, y) < 0.5f) continue;
      Rgb c = l.Color(x, y);
      if (disabled) {
        const float grey = (c.R + c.G + c.B) / 3;
        c = Mix(Rgb{grey, grey, grey}, white, 0.35f);
        if (x + 1 < size && y + 1 < size && l.Alpha(x + 1, y + 1) < 0.5f) p.Set(x0 + x + 1, y + 1, 0xFFFFFF);
      }
      p.Set(x0 + x, y, ToColor(c));
    }
}

bool TGlyphOutput::Open(int argc, char** argv, const char* scriptName) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
    return false;
  }
  FFolder = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(FFolder, ec);
  FScript.open(FFolder / scriptName);
  return true;
}

bool TGlyphOutput::Add(const Picture& p, const char* name) {
  const std::string file = std::string(name) + ".bmp";
  if (!WriteBmp(p, (FFolder / file).string())) {
    std::fprintf(stderr, "glyph generator: cannot write %s\n", file.c_str());
    return false;
  }
  FScript << name << " BITMAP \"" << file << "\"\n";
  return true;
}

}  // namespace skingen
