#include "GIFTestSupport.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

TBytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const TBytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool Run(const std::string& command) {
  return std::system(("( " + command + " ) >/dev/null 2>&1").c_str()) == 0;
}

std::string TempDir() {
  // Never destroyed, so the exit handler can still read it.
  static const std::string* dir = [] {
    char pattern[] = "/tmp/gif-tests-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) throw std::runtime_error("mkdtemp");
    auto* path = new std::string(made);
    std::atexit([] { Run("rm -rf '" + TempDir() + "'"); });
    return path;
  }();
  return *dir;
}

namespace {
// Frames with local tables of other sizes, transparency, a comment, a loop block, every disposal
// method (4 included), and interlace.
const char kBuildDescription[] = R"(screen width 12
screen height 10
screen colors 4
screen background 1
screen map
	rgb 000 000 000 is a
	rgb 255 255 255 is b
	rgb 255 000 000 is c
	rgb 000 000 255 is d
end
netscape loop 2
comment
first frame
second line
end
graphics control
	disposal mode 1
	delay 7
	transparent index -1
end
image
image left 0
image top 0
image bits 12 by 10
aaaaaaaaaaaa
abbbbbbbbbba
abccccccccba
abcddddddcba
abcdaaaadcba
abcdaaaadcba
abcddddddcba
abccccccccba
abbbbbbbbbba
aaaaaaaaaaaa
graphics control
	disposal mode 2
	delay 3
	transparent index 0
end
image
image left 2
image top 1
image interlaced
image map
	rgb 000 255 000 is a
	rgb 255 255 000 is b
	rgb 000 255 255 is c
	rgb 255 000 255 is d
	rgb 010 020 030 is e
	rgb 040 050 060 is f
	rgb 070 080 090 is g
	rgb 100 110 120 is h
end
image bits 5 by 7
aabca
bbcde
fgahb
aaaaa
hgfed
cbahh
abcde
graphics control
	disposal mode 3
	delay 0
	transparent index 3
end
image
image left 6
image top 4
image bits 6 by 6
abcdab
bcdabc
cdabcd
dabcda
abcdab
bcdabc
graphics control
	disposal mode 4
	delay 120
	transparent index -1
end
image
image left 0
image top 0
image interlaced
image map
	rgb 001 002 003 is a
	rgb 200 100 050 is b
end
image bits 12 by 10
abababababab
babababababa
aabbaabbaabb
bbaabbaabbaa
aaaaaabbbbbb
bbbbbbaaaaaa
abbbbbbbbbba
baaaaaaaaaab
aaaaaaaaaaaa
bbbbbbbbbbbb
)";

std::vector<std::string> MakePeerFiles() {
  const std::string dir = TempDir() + "/peers";
  Run("mkdir -p " + dir);
  struct TRecipe {
    const char* name;
    const char* command;
  };
  const TRecipe recipes[] = {
      {"rose.gif", "convert rose: %s"},
      {"logo-interlaced.gif", "convert logo: -resize 50% -interlace GIF %s"},
      {"netscape.gif", "convert netscape: %s"},
      {"two-colors.gif", "convert rose: -monochrome %s"},
      {"transparent.gif",
       "convert -size 40x30 xc:none -fill red -draw 'circle 20,15 20,4' -fill blue -draw 'rectangle 2,2 9,9' "
       "%s"},
      {"anim-background.gif",
       "convert -delay 20 -loop 0 -dispose Background rose: ( rose: -flip -colors 16 ) ( rose: -flop -colors "
       "2 ) %s"},
      {"anim-previous.gif", "convert -delay 5 -loop 3 -dispose Previous rose: ( rose: -crop 30x20+10+5 ) %s"},
      {"anim-none.gif",
       "convert -delay 1 -dispose None -size 30x20 xc:white ( -size 10x10 xc:red -repage +5+5 ) "
       "( -size 10x10 xc:none -fill green -draw 'point 3,3' -repage +12+6 ) %s"},
      {"anim-interlaced.gif", "convert -delay 10 -interlace GIF rose: ( rose: -negate -colors 32 ) %s"},
  };
  std::vector<std::string> files;
  for (const TRecipe& recipe : recipes) {
    std::string command = recipe.command;
    const std::string path = dir + "/" + recipe.name;
    command.replace(command.find("%s"), 2, "'" + path + "'");
    // ImageMagick's parentheses must reach it unquoted by the shell.
    for (size_t at = 0; (at = command.find(" ( ", at)) != std::string::npos; at += 4)
      command.replace(at, 3, " \\( ");
    for (size_t at = 0; (at = command.find(" ) ", at)) != std::string::npos; at += 4)
      command.replace(at, 3, " \\) ");
    if (!Run(command)) throw std::runtime_error("peer file failed: " + command);
    files.push_back(path);
  }
  const std::string description = dir + "/built.txt";
  std::ofstream(description) << kBuildDescription;
  const std::string built = dir + "/built.gif";
  if (!Run("gifbuild '" + description + "' > '" + built + "'")) throw std::runtime_error("gifbuild failed");
  files.push_back(built);
  return files;
}

struct TMemoryInput {
  const TBytes* Bytes;
  size_t Position;
};

int ReadMemory(GifFileType* file, GifByteType* target, int count) {
  auto* input = static_cast<TMemoryInput*>(file->UserData);
  const size_t left = input->Bytes->size() - input->Position;
  const size_t n = static_cast<size_t>(count) < left ? static_cast<size_t>(count) : left;
  std::memcpy(target, input->Bytes->data() + input->Position, n);
  input->Position += n;
  return static_cast<int>(n);
}
}  // namespace

const std::vector<std::string>& PeerFiles() {
  static const std::vector<std::string> files = MakePeerFiles();
  return files;
}

std::vector<TPeerFrame> PeerDecode(const TBytes& bytes, int* screenWidth, int* screenHeight) {
  TMemoryInput input{&bytes, 0};
  int error = 0;
  GifFileType* file = DGifOpen(&input, &ReadMemory, &error);
  if (!file) throw std::runtime_error("DGifOpen failed");
  if (DGifSlurp(file) != GIF_OK) {
    DGifCloseFile(file, &error);
    throw std::runtime_error("DGifSlurp failed");
  }
  if (screenWidth) *screenWidth = file->SWidth;
  if (screenHeight) *screenHeight = file->SHeight;
  std::vector<TPeerFrame> frames;
  for (int i = 0; i < file->ImageCount; ++i) {
    const SavedImage& image = file->SavedImages[i];
    TPeerFrame frame;
    frame.Left = image.ImageDesc.Left;
    frame.Top = image.ImageDesc.Top;
    frame.Width = image.ImageDesc.Width;
    frame.Height = image.ImageDesc.Height;
    frame.Interlaced = image.ImageDesc.Interlace;
    frame.Pixels.assign(image.RasterBits, image.RasterBits + static_cast<size_t>(frame.Width) * frame.Height);
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : file->SColorMap;
    if (map)
      for (int c = 0; c < map->ColorCount; ++c)
        frame.Colors.insert(frame.Colors.end(),
                            {map->Colors[c].Red, map->Colors[c].Green, map->Colors[c].Blue});
    GraphicsControlBlock control;
    if (DGifSavedExtensionToGCB(file, i, &control) == GIF_OK) {
      frame.Disposal = control.DisposalMode;
      frame.Delay = control.DelayTime;
      frame.Transparent = control.TransparentColor;
    }
    frames.push_back(std::move(frame));
  }
  DGifCloseFile(file, &error);
  return frames;
}

void Load(TGIFDocument& document, const TBytes& bytes, std::vector<std::string>* warnings) {
  document.Reporter().SetOnWarning([warnings](TGIFSeverity, const std::string& message) {
    if (warnings) warnings->push_back(message);
  });
  document.LoadFromBytes(bytes.data(), bytes.size());
}

TBytes ScreenHeader(int width, int height, int globalColors) {
  TBytes out = {'G', 'I', 'F', '8', '9', 'a'};
  out.insert(out.end(), {static_cast<uint8_t>(width), static_cast<uint8_t>(width >> 8),
                         static_cast<uint8_t>(height), static_cast<uint8_t>(height >> 8)});
  int bits = 0;
  while ((2 << bits) < globalColors) ++bits;
  out.push_back(static_cast<uint8_t>(globalColors ? 0x80 | bits : 0));
  out.push_back(0);
  out.push_back(0);
  const int entries = globalColors ? 2 << bits : 0;
  for (int i = 0; i < entries; ++i) {
    const auto level = static_cast<uint8_t>(entries > 1 ? i * 255 / (entries - 1) : 0);
    out.insert(out.end(), {level, level, level});
  }
  return out;
}

void AppendImage(TBytes& out, int left, int top, int width, int height, uint8_t packed, const TBytes& lzw) {
  out.push_back(0x2C);
  for (int v : {left, top, width, height}) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
  }
  out.push_back(packed);
  out.insert(out.end(), lzw.begin(), lzw.end());
}

TBytes LzwBlocks(uint8_t minCodeSize, const TBytes& data, size_t blockSize) {
  TBytes out = {minCodeSize};
  for (size_t at = 0; at < data.size(); at += blockSize) {
    const size_t n = std::min(blockSize, data.size() - at);
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + n));
  }
  out.push_back(0);
  return out;
}

TBytes PackCodes(const std::vector<int>& codes, const std::vector<int>& widths) {
  TBytes out;
  uint64_t bits = 0;
  int count = 0;
  for (size_t i = 0; i < codes.size(); ++i) {
    bits |= static_cast<uint64_t>(codes[i]) << count;
    count += widths[i];
    while (count >= 8) {
      out.push_back(static_cast<uint8_t>(bits));
      bits >>= 8;
      count -= 8;
    }
  }
  if (count > 0) out.push_back(static_cast<uint8_t>(bits));
  return out;
}

TBytes LongestStrings(int codes, uint8_t pixel) {
  std::vector<int> values = {4, pixel};
  std::vector<int> widths = {3, 3};
  int next = 6, width = 3;
  for (int i = 1; i < codes; ++i) {
    values.push_back(next < 4096 ? next : 4095);
    widths.push_back(width);
    if (next < 4096 && ++next >= (1 << width) && width < 12) ++width;
  }
  values.push_back(5);
  widths.push_back(width);
  return LzwBlocks(2, PackCodes(values, widths));
}

TBytes Comment(size_t bytes) {
  TBytes out = {0x21, 0xFE};
  for (size_t left = bytes; left > 0;) {
    const size_t n = std::min<size_t>(255, left);
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), n, 'c');
    left -= n;
  }
  out.push_back(0);
  return out;
}
