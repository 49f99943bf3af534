// Test driver: "gif-tool decode IN OUTDIR" writes each frame as a PAM file and prints one line per
// frame; "gif-tool copy IN OUT" loads and saves.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/base/TAtomicFileStream.h"
#include "gif/core/GIFException.h"
#include "gif/core/TGIFDocument.h"
#include "tests/tools/ToolSignals.h"

namespace {
std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Exception("Cannot open " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  TAtomicFileStream::WriteFile(path, bytes.data(), bytes.size());
}

void Load(TGIFDocument& document, const std::string& path) {
  document.Reporter().SetOnWarning([](TGIFSeverity severity, const std::string& message) {
    std::cerr << (severity == TGIFSeverity::Error ? "error: " : "warning: ") << message << "\n";
  });
  const std::vector<uint8_t> bytes = ReadFile(path);
  document.LoadFromBytes(bytes.data(), bytes.size());
}

// One frame as RGB with alpha: transparent pixels get alpha 0.
void WritePam(const std::string& path, const TGIFDocument& document, const TGIFSubImage& frame) {
  TGIFColor palette[256];
  if (const TGIFColorMap* map = frame.ActiveColorMap(document.Header()))
    map->FillPalette(palette);
  else
    TGIFColorMap().FillPalette(palette);
  const int transparent = frame.TransparentIndex();
  std::string head = "P7\nWIDTH " + std::to_string(frame.Width()) + "\nHEIGHT " +
                     std::to_string(frame.Height()) + "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  std::vector<uint8_t> bytes(head.begin(), head.end());
  for (uint8_t pixel : frame.Data()) {
    const TGIFColor c = palette[pixel];
    bytes.insert(bytes.end(), {c.Red, c.Green, c.Blue, static_cast<uint8_t>(pixel == transparent ? 0 : 255)});
  }
  WriteFile(path, bytes);
}

int Decode(const std::string& in, const std::string& outDir) {
  TGIFDocument document;
  Load(document, in);
  std::printf("screen %dx%d frames %zu\n", document.Width(), document.Height(), document.Frames().size());
  int index = 0;
  for (const auto& frame : document.Frames()) {
    std::printf("frame %d: at %d,%d size %dx%d delay %d disposal %d transparent ", index, frame->Left(),
                frame->Top(), frame->Width(), frame->Height(), frame->Delay(), frame->Disposal());
    if (frame->Transparent())
      std::printf("%d\n", frame->TransparentIndex());
    else
      std::printf("none\n");
    char name[32];
    std::snprintf(name, sizeof name, "/frame%03d.pam", index);
    if (frame->HasImage()) WritePam(outDir + name, document, *frame);
    ++index;
  }
  return 0;
}

int Copy(const std::string& in, const std::string& out) {
  TGIFDocument document;
  Load(document, in);
  WriteFile(out, document.SaveToBytes());
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  IgnoreFileSizeSignal();
  try {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "decode" && argc == 4) return Decode(argv[2], argv[3]);
    if (command == "copy" && argc == 4) return Copy(argv[2], argv[3]);
    std::cerr << "usage: gif-tool decode IN OUTDIR | gif-tool copy IN OUT\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "gif-tool: " << e.what() << "\n";
    return 1;
  }
}
