// Decode and encode against libgif on the same inputs, in the same run; Floyd-Steinberg speed.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "gif/core/TGIFColorReducer.h"
#include "gif/core/TGIFDocument.h"

namespace {
using TBytes = std::vector<uint8_t>;

struct TFrame {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  TBytes Pixels;
};

struct TInput {
  std::string Name;
  int Width = 0, Height = 0;
  std::vector<uint8_t> Palette;  // RGB, a power of two entries
  std::vector<TFrame> Frames;
  TBytes PeerFile;  // the input as libgif encodes it: what both decoders read
  size_t Pixels() const {
    size_t n = 0;
    for (const TFrame& f : Frames) n += f.Pixels.size();
    return n;
  }
};

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

int Bits(size_t colors) {
  int bits = 1;
  while ((size_t(1) << bits) < colors) ++bits;
  return bits;
}

TBytes PeerEncode(const TInput& input) {
  TMemory memory;
  int error = 0;
  GifFileType* file = EGifOpen(&memory, &WriteMemory, &error);
  ColorMapObject* map = GifMakeMapObject(static_cast<int>(input.Palette.size() / 3),
                                         reinterpret_cast<const GifColorType*>(input.Palette.data()));
  EGifPutScreenDesc(file, input.Width, input.Height, Bits(input.Palette.size() / 3), 0, map);
  for (const TFrame& frame : input.Frames) {
    EGifPutImageDesc(file, frame.Left, frame.Top, frame.Width, frame.Height, false, nullptr);
    EGifPutLine(file, const_cast<GifPixelType*>(frame.Pixels.data()), static_cast<int>(frame.Pixels.size()));
  }
  EGifCloseFile(file, &error);
  GifFreeMapObject(map);
  return std::move(memory.Out);
}

void PeerDecode(const TBytes& bytes) {
  TMemory memory;
  memory.In = &bytes;
  int error = 0;
  GifFileType* file = DGifOpen(&memory, &ReadMemory, &error);
  if (!file || DGifSlurp(file) != GIF_OK) throw std::runtime_error("libgif could not read the input");
  benchmark::DoNotOptimize(file->SavedImages[0].RasterBits[0]);
  DGifCloseFile(file, &error);
}

void BuildDocument(const TInput& input, TGIFDocument& document) {
  document.Header().SetWidth(static_cast<uint16_t>(input.Width));
  document.Header().SetHeight(static_cast<uint16_t>(input.Height));
  std::vector<TGIFColor> colors;
  for (size_t i = 0; i < input.Palette.size(); i += 3)
    colors.push_back({input.Palette[i], input.Palette[i + 1], input.Palette[i + 2]});
  document.Header().ColorMap().Assign(colors);
  for (const TFrame& f : input.Frames) {
    auto frame = std::make_unique<TGIFSubImage>();
    frame->SetLeft(static_cast<uint16_t>(f.Left));
    frame->SetTop(static_cast<uint16_t>(f.Top));
    frame->SetSize(f.Width, f.Height);
    frame->Data() = f.Pixels;
    document.Frames().push_back(std::move(frame));
  }
}

std::string TempFile(const std::string& name) {
  return "/tmp/gif-bench-" + std::to_string(getpid()) + "-" + name;
}

// Reads a GIF made by ImageMagick into one frame and its global palette.
TInput FromConvert(const std::string& name, const std::string& arguments) {
  const std::string path = TempFile(name + ".gif");
  if (std::system(("convert " + arguments + " '" + path + "' >/dev/null 2>&1").c_str()) != 0)
    throw std::runtime_error("convert failed: " + arguments);
  std::ifstream in(path, std::ios::binary);
  TBytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::remove(path.c_str());
  TGIFDocument document;
  document.LoadFromBytes(bytes.data(), bytes.size());
  TInput input;
  input.Name = name;
  input.Width = document.Width();
  input.Height = document.Height();
  const TGIFSubImage& frame = *document.Frames()[0];
  const TGIFColorMap& map = *frame.ActiveColorMap(document.Header());
  for (int i = 0; i < (1 << map.Bits()); ++i) {
    const TGIFColor c = i < map.Count() ? map.Data()[i] : TGIFColor{};
    input.Palette.insert(input.Palette.end(), {c.Red, c.Green, c.Blue});
  }
  input.Frames.push_back({0, 0, frame.Width(), frame.Height(), frame.Data()});
  return input;
}

TInput Screenshot() {
  TInput input;
  input.Name = "screenshot";
  input.Width = 1280;
  input.Height = 800;
  for (int i = 0; i < 16; ++i)
    input.Palette.insert(input.Palette.end(), {uint8_t(i * 17), uint8_t(255 - i * 13), uint8_t(i * 7 + 100)});
  TFrame frame{0, 0, input.Width, input.Height, TBytes(size_t(input.Width) * input.Height, 1)};
  std::mt19937 random(7);
  // Windows with title bars, borders and lines of "text".
  for (int w = 0; w < 12; ++w) {
    const int x0 = int(random() % 1000), y0 = int(random() % 600), ww = 200 + int(random() % 300),
              hh = 120 + int(random() % 200);
    for (int y = y0; y < std::min(y0 + hh, input.Height); ++y)
      for (int x = x0; x < std::min(x0 + ww, input.Width); ++x) {
        uint8_t c = 15;
        if (y - y0 < 20)
          c = 4;
        else if (x == x0 || y == y0 + hh - 1 || x == x0 + ww - 1)
          c = 0;
        else if ((y - y0) % 14 > 3 && (y - y0) % 14 < 11 && (x - x0) % 9 < 6 && (x * 7 + y * 3) % 5 != 0)
          c = 0;
        frame.Pixels[size_t(y) * input.Width + x] = c;
      }
  }
  input.Frames.push_back(std::move(frame));
  return input;
}

TInput Noise() {
  TInput input;
  input.Name = "noise-256";
  input.Width = input.Height = 1024;
  for (int i = 0; i < 256; ++i)
    input.Palette.insert(input.Palette.end(), {uint8_t(i), uint8_t(i * 3), uint8_t(i * 7)});
  TFrame frame{0, 0, 1024, 1024, TBytes(size_t(1024) * 1024)};
  std::mt19937 random(3);
  for (auto& p : frame.Pixels) p = static_cast<uint8_t>(random());
  input.Frames.push_back(std::move(frame));
  return input;
}

TInput Animation(const TInput& photo) {
  TInput input;
  input.Name = "animation-100";
  input.Width = 240;
  input.Height = 180;
  input.Palette = photo.Palette;
  for (int i = 0; i < 100; ++i) {
    TFrame frame{0, 0, input.Width, input.Height, TBytes(size_t(input.Width) * input.Height)};
    const int dx = i * 7, dy = i * 5;
    for (int y = 0; y < input.Height; ++y)
      std::memcpy(&frame.Pixels[size_t(y) * input.Width],
                  &photo.Frames[0].Pixels[size_t(y + dy) * photo.Width + dx], size_t(input.Width));
    input.Frames.push_back(std::move(frame));
  }
  return input;
}

std::vector<TInput>& Inputs() {
  static std::vector<TInput> inputs = [] {
    std::vector<TInput> list;
    list.push_back(FromConvert("photo-256", "rose: -resize 1216x816! -colors 256"));
    list.push_back(Screenshot());
    list.push_back(Noise());
    list.push_back(FromConvert("two-colors", "logo: -resize 1280x960! -monochrome"));
    list.push_back(Animation(list[0]));
    for (TInput& input : list) input.PeerFile = PeerEncode(input);
    return list;
  }();
  return inputs;
}

void DecodeOurs(benchmark::State& state, const TInput* input) {
  for (auto _ : state) {
    TGIFDocument document;
    document.LoadFromBytes(input->PeerFile.data(), input->PeerFile.size());
    benchmark::DoNotOptimize(document.Frames()[0]->Data().data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(input->Pixels()));
}

void DecodePeer(benchmark::State& state, const TInput* input) {
  for (auto _ : state) PeerDecode(input->PeerFile);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(input->Pixels()));
}

void EncodeOurs(benchmark::State& state, const TInput* input) {
  TGIFDocument document;
  BuildDocument(*input, document);
  size_t size = 0;
  for (auto _ : state) {
    const TBytes bytes = document.SaveToBytes();
    size = bytes.size();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(input->Pixels()));
  state.counters["size"] = double(size);
}

void EncodePeer(benchmark::State& state, const TInput* input) {
  size_t size = 0;
  for (auto _ : state) size = PeerEncode(*input).size();
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(input->Pixels()));
  state.counters["size"] = double(size);
}

void FloydSteinberg(benchmark::State& state) {
  const TInput& photo = Inputs()[0];
  const TFrame& frame = photo.Frames[0];
  TBytes bgr(frame.Pixels.size() * 3);
  for (size_t i = 0; i < frame.Pixels.size(); ++i) {
    const uint8_t* c = &photo.Palette[frame.Pixels[i] * 3];
    bgr[i * 3] = c[2], bgr[i * 3 + 1] = c[1], bgr[i * 3 + 2] = c[0];
  }
  TBytes out(frame.Pixels.size());
  for (auto _ : state)
    TGIFColorReducer::Reduce(bgr.data(), size_t(frame.Width) * 3, frame.Width, frame.Height,
                             TGIFDither::FloydSteinberg, out.data(), size_t(frame.Width));
  state.counters["Mpx/s"] = benchmark::Counter(double(state.iterations()) * double(frame.Pixels.size()) / 1e6,
                                               benchmark::Counter::kIsRate);
}

// Keeps each run's throughput so the ratios can be printed after the table.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
  std::map<std::string, double> Speed;
  std::map<std::string, double> Size;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      // With repetitions the median stands for the benchmark.
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      const std::string name = run.run_name.str();
      auto bytes = run.counters.find("bytes_per_second");
      if (bytes != run.counters.end()) Speed[name] = bytes->second.value;
      auto size = run.counters.find("size");
      if (size != run.counters.end()) Size[name] = size->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
};
}  // namespace

int main(int argc, char** argv) {
  for (const TInput& input : Inputs()) {
    benchmark::RegisterBenchmark(("Decode/ours/" + input.Name).c_str(), DecodeOurs, &input);
    benchmark::RegisterBenchmark(("Decode/libgif/" + input.Name).c_str(), DecodePeer, &input);
    benchmark::RegisterBenchmark(("Encode/ours/" + input.Name).c_str(), EncodeOurs, &input);
    benchmark::RegisterBenchmark(("Encode/libgif/" + input.Name).c_str(), EncodePeer, &input);
  }
  benchmark::RegisterBenchmark("FloydSteinberg/photo", FloydSteinberg);
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%-16s %12s %12s %12s %12s %14s\n", "input", "decode MB/s", "vs libgif", "encode MB/s",
              "vs libgif", "size vs libgif");
  for (const TInput& input : Inputs()) {
    auto get = [&](std::map<std::string, double>& map, const std::string& kind) {
      auto it = map.find(kind + "/" + input.Name);
      return it == map.end() ? 0.0 : it->second;
    };
    const double decode = get(reporter.Speed, "Decode/ours"),
                 decodePeer = get(reporter.Speed, "Decode/libgif");
    const double encode = get(reporter.Speed, "Encode/ours"),
                 encodePeer = get(reporter.Speed, "Encode/libgif");
    const double size = get(reporter.Size, "Encode/ours"), sizePeer = get(reporter.Size, "Encode/libgif");
    if (decode == 0 && encode == 0) continue;
    std::printf("%-16s %12.1f %11.2fx %12.1f %11.2fx %13.4fx\n", input.Name.c_str(), decode / 1e6,
                decodePeer ? decode / decodePeer : 0.0, encode / 1e6, encodePeer ? encode / encodePeer : 0.0,
                sizePeer ? size / sizePeer : 0.0);
  }
  benchmark::Shutdown();
  return 0;
}
