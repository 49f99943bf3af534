// Decode and encode against giflib, both in-process on the same files, alternated run by run.
// Inputs: a photo, a drawing and an animation written by ImageMagick, and a screenshot, noise and an
// animation written by giflib. Before timing: our decode must give giflib's pixels for every frame,
// and our encoding must decode (with giflib) to the input's pixels; the two encoders' sizes are
// compared. TARVEX_BENCH_CORRUPT=gif-decode or =gif-encode spoils our result to prove the checks.

#include <gif_lib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/support/BenchSupport.h"
#include "gif/core/TGIFColorReducer.h"
#include "gif/core/TGIFDocument.h"

namespace {
using TBytes = std::vector<uint8_t>;

// What a viewer sees of each frame: its place and, per pixel, its colour or "transparent".
constexpr uint32_t kTransparent = 0xFFFFFFFF;
struct TFramePixels {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  std::vector<uint32_t> Colors;
  bool operator==(const TFramePixels&) const = default;
};
using TPixels = std::vector<TFramePixels>;

uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

// ---- giflib on memory

struct TMemory {
  const TBytes* In = nullptr;
  size_t Position = 0;
  TBytes Out;
};

int ReadMemory(GifFileType* file, GifByteType* target, int count) {
  auto* m = static_cast<TMemory*>(file->UserData);
  const size_t n = std::min(static_cast<size_t>(count), m->In->size() - m->Position);
  std::memcpy(target, m->In->data() + m->Position, n);
  m->Position += n;
  return static_cast<int>(n);
}

int WriteMemory(GifFileType* file, const GifByteType* data, int count) {
  auto* m = static_cast<TMemory*>(file->UserData);
  m->Out.insert(m->Out.end(), data, data + count);
  return count;
}

// A file giflib has read whole; empty when it could not.
class TGiflibFile {
public:
  explicit TGiflibFile(const TBytes& bytes) {
    FMemory.In = &bytes;
    int error = 0;
    FFile = DGifOpen(&FMemory, &ReadMemory, &error);
    if (FFile && DGifSlurp(FFile) != GIF_OK) {
      DGifCloseFile(FFile, &error);
      FFile = nullptr;
    }
  }
  ~TGiflibFile() {
    int error = 0;
    if (FFile) DGifCloseFile(FFile, &error);
  }
  TGiflibFile(const TGiflibFile&) = delete;
  TGiflibFile& operator=(const TGiflibFile&) = delete;
  const GifFileType* File() const { return FFile; }

private:
  TMemory FMemory;
  GifFileType* FFile = nullptr;
};

TPixels GiflibPixels(const TBytes& bytes) {
  const TGiflibFile gif(bytes);
  const GifFileType* f = gif.File();
  if (!f) throw std::runtime_error("giflib cannot read the file");
  TPixels pixels;
  for (int i = 0; i < f->ImageCount; ++i) {
    const SavedImage& image = f->SavedImages[i];
    const GifImageDesc& d = image.ImageDesc;
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : f->SColorMap;
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(const_cast<GifFileType*>(f), i, &gcb);
    TFramePixels frame{d.Left, d.Top, d.Width, d.Height, {}};
    const size_t n = size_t(d.Width) * size_t(d.Height);
    frame.Colors.resize(n);
    for (size_t p = 0; p < n; ++p) {
      const int index = image.RasterBits[p];
      if (index == gcb.TransparentColor)
        frame.Colors[p] = kTransparent;
      else if (map && index < map->ColorCount)
        frame.Colors[p] = Rgb(map->Colors[index].Red, map->Colors[index].Green, map->Colors[index].Blue);
      else
        frame.Colors[p] = 0xFF000000 | uint32_t(index);
    }
    pixels.push_back(std::move(frame));
  }
  return pixels;
}

// giflib writes what it read: screen, global map, each image's extensions, descriptor and rows.
TBytes GiflibEncode(const GifFileType& in) {
  TMemory memory;
  int error = 0;
  GifFileType* out = EGifOpen(&memory, &WriteMemory, &error);
  if (!out) throw std::runtime_error("giflib cannot open an encoder");
  bool ok = EGifPutScreenDesc(out, in.SWidth, in.SHeight, in.SColorResolution, in.SBackGroundColor, in.SColorMap) == GIF_OK;
  for (int i = 0; ok && i < in.ImageCount; ++i) {
    const SavedImage& image = in.SavedImages[i];
    for (int j = 0; ok && j < image.ExtensionBlockCount; ++j) {
      const ExtensionBlock& e = image.ExtensionBlocks[j];
      if (e.Function != CONTINUE_EXT_FUNC_CODE) ok = EGifPutExtensionLeader(out, e.Function) == GIF_OK;
      ok = ok && EGifPutExtensionBlock(out, e.ByteCount, e.Bytes) == GIF_OK;
      if (ok && (j + 1 == image.ExtensionBlockCount || image.ExtensionBlocks[j + 1].Function != CONTINUE_EXT_FUNC_CODE))
        ok = EGifPutExtensionTrailer(out) == GIF_OK;
    }
    const GifImageDesc& d = image.ImageDesc;
    ok = ok && EGifPutImageDesc(out, d.Left, d.Top, d.Width, d.Height, false, d.ColorMap) == GIF_OK;
    for (int y = 0; ok && y < d.Height; ++y)
      ok = EGifPutLine(out, image.RasterBits + size_t(y) * size_t(d.Width), d.Width) == GIF_OK;
  }
  if (EGifCloseFile(out, &error) != GIF_OK || !ok) throw std::runtime_error("giflib could not encode");
  return std::move(memory.Out);
}

// ---- ours

TPixels OurPixels(const TGIFDocument& document) {
  TPixels pixels;
  for (const auto& frame : document.Frames()) {
    if (frame->Empty()) continue;
    const TGIFColorMap* map = frame->ActiveColorMap(document.Header());
    const int transparent = frame->Transparent() ? frame->TransparentIndex() : -1;
    TFramePixels f{frame->Left(), frame->Top(), frame->Width(), frame->Height(), {}};
    for (const uint8_t index : frame->Data()) {
      if (index == transparent)
        f.Colors.push_back(kTransparent);
      else if (map && index < map->Count())
        f.Colors.push_back(Rgb(map->Data()[index].Red, map->Data()[index].Green, map->Data()[index].Blue));
      else
        f.Colors.push_back(0xFF000000 | index);
    }
    pixels.push_back(std::move(f));
  }
  return pixels;
}

// Why two decodings differ, or an empty text.
std::string Difference(const TPixels& ours, const TPixels& peer) {
  if (ours.size() != peer.size())
    return std::to_string(ours.size()) + " frames, giflib " + std::to_string(peer.size());
  for (size_t i = 0; i < ours.size(); ++i) {
    const TFramePixels &a = ours[i], &b = peer[i];
    if (a.Left != b.Left || a.Top != b.Top || a.Width != b.Width || a.Height != b.Height)
      return "frame " + std::to_string(i + 1) + " has another place or size";
    for (size_t p = 0; p < a.Colors.size(); ++p)
      if (a.Colors[p] != b.Colors[p])
        return "frame " + std::to_string(i + 1) + ", pixel (" + std::to_string(p % size_t(a.Width)) + ", " +
               std::to_string(p / size_t(a.Width)) + ")";
  }
  return "";
}

// ---- inputs

struct TInput {
  std::string Name;  // says which encoder wrote it
  TBytes File;
};

TBytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return TBytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TInput FromImageMagick(const std::string& name, const std::string& arguments) {
  const std::string path = "/tmp/tarvex-gif-bench-" + std::to_string(getpid()) + ".gif";
  if (std::system(("convert " + arguments + " '" + path + "' >/dev/null 2>&1").c_str()) != 0)
    throw std::runtime_error("ImageMagick's convert failed: " + arguments);
  TInput input{name + " (ImageMagick)", ReadFile(path)};
  std::remove(path.c_str());
  return input;
}

// Frames of indices over one global palette, written by giflib.
struct TDrawn {
  int Width = 0, Height = 0;
  std::vector<GifColorType> Palette;  // a power of two entries
  std::vector<TBytes> Frames;         // each the whole screen
};

int Bits(size_t colors) {
  int bits = 1;
  while ((size_t(1) << bits) < colors) ++bits;
  return bits;
}

TInput FromGiflib(const std::string& name, const TDrawn& drawn) {
  TMemory memory;
  int error = 0;
  GifFileType* file = EGifOpen(&memory, &WriteMemory, &error);
  ColorMapObject* map = GifMakeMapObject(int(drawn.Palette.size()), drawn.Palette.data());
  EGifPutScreenDesc(file, drawn.Width, drawn.Height, Bits(drawn.Palette.size()), 0, map);
  for (const TBytes& frame : drawn.Frames) {
    EGifPutImageDesc(file, 0, 0, drawn.Width, drawn.Height, false, nullptr);
    EGifPutLine(file, const_cast<GifPixelType*>(frame.data()), int(frame.size()));
  }
  EGifCloseFile(file, &error);
  GifFreeMapObject(map);
  return {name + " (giflib)", std::move(memory.Out)};
}

TDrawn Screenshot() {
  TDrawn d{1280, 800, {}, {TBytes(size_t(1280) * 800, 1)}};
  for (int i = 0; i < 16; ++i) d.Palette.push_back({uint8_t(i * 17), uint8_t(255 - i * 13), uint8_t(i * 7 + 100)});
  std::mt19937 random(7);
  // Windows with title bars, borders and lines of "text".
  for (int w = 0; w < 12; ++w) {
    const int x0 = int(random() % 1000), y0 = int(random() % 600), ww = 200 + int(random() % 300),
              hh = 120 + int(random() % 200);
    for (int y = y0; y < std::min(y0 + hh, d.Height); ++y)
      for (int x = x0; x < std::min(x0 + ww, d.Width); ++x) {
        uint8_t c = 15;
        if (y - y0 < 20)
          c = 4;
        else if (x == x0 || y == y0 + hh - 1 || x == x0 + ww - 1)
          c = 0;
        else if ((y - y0) % 14 > 3 && (y - y0) % 14 < 11 && (x - x0) % 9 < 6 && (x * 7 + y * 3) % 5 != 0)
          c = 0;
        d.Frames[0][size_t(y) * size_t(d.Width) + size_t(x)] = c;
      }
  }
  return d;
}

TDrawn Noise() {
  TDrawn d{1024, 1024, {}, {TBytes(size_t(1024) * 1024)}};
  for (int i = 0; i < 256; ++i) d.Palette.push_back({uint8_t(i), uint8_t(i * 3), uint8_t(i * 7)});
  std::mt19937 random(3);
  for (auto& p : d.Frames[0]) p = static_cast<uint8_t>(random());
  return d;
}

// 100 frames panning over the photo ImageMagick wrote.
TDrawn Pan(const TBytes& photoFile) {
  const TGiflibFile photo(photoFile);
  const GifFileType* f = photo.File();
  if (!f || f->ImageCount < 1 || !f->SColorMap || f->SWidth < 940 || f->SHeight < 680)
    throw std::runtime_error("the photo is not what the pan needs");
  TDrawn d{240, 180, {}, {}};
  d.Palette.assign(f->SColorMap->Colors, f->SColorMap->Colors + f->SColorMap->ColorCount);
  const SavedImage& image = f->SavedImages[0];
  for (int i = 0; i < 100; ++i) {
    TBytes frame(size_t(d.Width) * size_t(d.Height));
    for (int y = 0; y < d.Height; ++y)
      std::memcpy(&frame[size_t(y) * size_t(d.Width)],
                  image.RasterBits + size_t(y + i * 5) * size_t(image.ImageDesc.Width) + size_t(i * 7), size_t(d.Width));
    d.Frames.push_back(std::move(frame));
  }
  return d;
}

std::vector<TInput> Inputs() {
  std::vector<TInput> list;
  list.push_back(FromImageMagick("photo", "rose: -resize 1216x816! -colors 256"));
  list.push_back(FromImageMagick("drawing", "logo: -resize 1280x960! -colors 64"));
  // A ball rolling over a drawing: ImageMagick crops the frames to what changed.
  std::string frames = "-delay 4 logo: -resize 640x480! -colors 64 -write mpr:scene +delete +antialias";
  for (int i = 0; i < 30; ++i) {
    const int x = 40 + i * 18;
    frames += " '(' mpr:scene -fill red -draw 'circle " + std::to_string(x) + ",240 " + std::to_string(x + 30) + ",240' ')'";
  }
  list.push_back(FromImageMagick("animation", frames + " -layers Optimize"));
  list.push_back(FromGiflib("screenshot", Screenshot()));
  list.push_back(FromGiflib("noise", Noise()));
  list.push_back(FromGiflib("pan animation", Pan(list[0].File)));
  return list;
}

std::string Describe(const TBytes& file) {
  const TGiflibFile gif(file);
  const GifFileType* f = gif.File();
  return std::to_string(f->SWidth) + "x" + std::to_string(f->SHeight) + ", " + std::to_string(f->ImageCount) +
         (f->ImageCount == 1 ? " frame, " : " frames, ") + bench::Bytes(double(file.size()));
}

void FlipPixel(TGIFDocument& document) {
  for (auto& frame : document.Frames())
    if (!frame->Empty()) {
      frame->Data()[frame->Data().size() / 2] ^= 1;
      return;
    }
}

void FloydSteinberg(const TInput& photo, int runs) {
  TGIFDocument document;
  document.LoadFromBytes(photo.File.data(), photo.File.size());
  const TGIFSubImage& frame = *document.Frames()[0];
  const TGIFColorMap& map = *frame.ActiveColorMap(document.Header());
  TBytes bgr(frame.Data().size() * 3);
  for (size_t i = 0; i < frame.Data().size(); ++i) {
    const TGIFColor c = map.Data()[frame.Data()[i]];
    bgr[i * 3] = c.Blue, bgr[i * 3 + 1] = c.Green, bgr[i * 3 + 2] = c.Red;
  }
  TBytes out(frame.Data().size());
  const auto reduce = [&] {
    TGIFColorReducer::Reduce(bgr.data(), size_t(frame.Width()) * 3, frame.Width(), frame.Height(),
                             TGIFDither::FloydSteinberg, out.data(), size_t(frame.Width()));
  };
  const int repeats = bench::RepeatsFor(reduce);
  std::vector<bench::TSample> samples;
  for (int i = 0; i < runs; ++i) samples.push_back(bench::TimeCalls(reduce, repeats));
  bench::AddRow(bench::SoloRow("GIF Floyd-Steinberg to 256 colours (no peer)",
                               std::to_string(frame.Width()) + "x" + std::to_string(frame.Height()) + " photo", samples));
}

}  // namespace

int main(int argc, char** argv) {
  return bench::Main(argc, argv, [](const bench::TOptions& options) {
    const std::vector<TInput> inputs = Inputs();
    for (const TInput& input : inputs) {
      // Decode: every frame's pixels as giflib gives them.
      const TPixels expected = GiflibPixels(input.File);
      TGIFDocument document;
      document.LoadFromBytes(input.File.data(), input.File.size());
      TGIFDocument ours;
      ours.Assign(document);
      if (bench::CorruptionAsked("gif-decode")) FlipPixel(ours);
      if (const std::string why = Difference(OurPixels(ours), expected); !why.empty())
        bench::CheckFailed("GIF decode of " + input.Name + " differs from giflib's: " + why);
      // Encode: our file read back by giflib shows the input's pixels.
      TBytes encoded = document.SaveToBytes();
      if (bench::CorruptionAsked("gif-encode")) encoded[encoded.size() / 2] ^= 0x55;
      const TGiflibFile peerRead(input.File);
      const TBytes peerEncoded = GiflibEncode(*peerRead.File());
      try {
        if (const std::string why = Difference(GiflibPixels(encoded), expected); !why.empty())
          bench::CheckFailed("GIF encode of " + input.Name + " does not decode to its pixels: " + why);
      } catch (const bench::TMismatch&) {
        throw;
      } catch (const std::exception& e) {
        bench::CheckFailed("GIF encode of " + input.Name + ": " + e.what());
      }
      if (GiflibPixels(peerEncoded) != expected) throw std::runtime_error("giflib's own encoding of " + input.Name + " differs");
      const double size = double(encoded.size()) / double(peerEncoded.size());
      std::printf("  %s: decode and encode equal giflib's; our file %zu bytes, giflib's %zu\n", input.Name.c_str(),
                  encoded.size(), peerEncoded.size());
      if (options.CheckOnly) continue;

      const std::string describe = Describe(input.File);
      bench::AddRow(bench::PairRow(
          "GIF decode " + input.Name + " / giflib", describe,
          bench::RunCallPairs(
              [&] {
                TGIFDocument d;
                d.LoadFromBytes(input.File.data(), input.File.size());
              },
              [&] { const TGiflibFile g(input.File); }, options.Pairs)));
      char work[160];
      std::snprintf(work, sizeof work, "GIF encode %s / giflib (file %.3fx giflib's)", input.Name.c_str(), size);
      bench::AddRow(bench::PairRow(work, describe,
                                   bench::RunCallPairs([&] { document.SaveToBytes(); },
                                                       [&] { GiflibEncode(*peerRead.File()); }, options.Pairs)));
    }
    if (!options.CheckOnly) FloydSteinberg(inputs[0], options.Pairs);
  });
}
