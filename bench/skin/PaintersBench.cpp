// The painters' hot loops on a full-HD 24-bit bitmap against pixman doing the same work, both
// in-process, alternated run by run: a blend at a constant level (pixman: OVER through a solid
// mask of the same weight), a vertical two-colour gradient (pixman: a linear gradient) and a plain
// copy (memcpy). Before timing each result must equal the peer's within a stated tolerance per
// colour channel. TARVEX_BENCH_CORRUPT=blend, =gradient or =copy spoils one pixel of ours.

#include <pixman.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/support/BenchSupport.h"
#include "skin/engine/core/Gradient.h"
#include "skin/engine/core/PixelBlend.h"
#include "skin/engine/core/TsBitmap24.h"

namespace {

constexpr int Width = 1920;
constexpr int Height = 1080;
const std::string kSize = "1920x1080, 24-bit";

TsBitmap24 Pattern(uint8_t seed) {
  TsBitmap24 b(Width, Height);
  const TsBitmap24View v = b.View();
  for (int y = 0; y < Height; ++y) {
    uint8_t* p = v.Row(y);
    for (int i = 0; i < Width * 3; ++i) p[i] = uint8_t(i * 7 + y * 13 + seed);
  }
  return b;
}

// pixman's r8g8b8 is stored blue, green, red: the bitmap's own order.
class TPixmanImage {
public:
  explicit TPixmanImage(TsBitmap24& b) {
    const TsBitmap24View v = b.View();
    FImage = pixman_image_create_bits(PIXMAN_r8g8b8, Width, Height, reinterpret_cast<uint32_t*>(v.Row(0)),
                                      int(v.Stride()));
  }
  explicit TPixmanImage(pixman_image_t* image) : FImage(image) {}
  ~TPixmanImage() { pixman_image_unref(FImage); }
  TPixmanImage(const TPixmanImage&) = delete;
  TPixmanImage& operator=(const TPixmanImage&) = delete;
  pixman_image_t* Get() const { return FImage; }

private:
  pixman_image_t* FImage;
};

// The largest difference of one colour channel between two bitmaps, and where it is.
void ExpectClose(const std::string& work, TsBitmap24& ours, TsBitmap24& peer, int tolerance) {
  int worst = 0, wx = 0, wy = 0;
  for (int y = 0; y < Height; ++y) {
    const uint8_t* a = ours.View().Row(y);
    const uint8_t* b = peer.View().Row(y);
    for (int i = 0; i < Width * 3; ++i)
      if (std::abs(a[i] - b[i]) > worst) worst = std::abs(a[i] - b[i]), wx = i / 3, wy = y;
  }
  if (worst > tolerance)
    bench::CheckFailed(work + ": pixel (" + std::to_string(wx) + ", " + std::to_string(wy) + ") differs by " +
                       std::to_string(worst) + " from the peer's, more than " + std::to_string(tolerance));
  std::printf("  %s: equal to the peer's within %d per channel (largest difference %d)\n", work.c_str(), tolerance,
              worst);
}

void Spoil(const char* key, TsBitmap24& bitmap) {
  if (bench::CorruptionAsked(key)) bitmap.View().Row(Height / 2)[Width * 3 / 2] ^= 0x80;
}

// Ours: d := (d - s) * 381 / 768 + s, s weighs 387/768. pixman: OVER of the opaque s through a mask
// of 128/255, the nearest weight it can take.
void Blend(const bench::TOptions& options) {
  const TsBitmap24 s = Pattern(2);
  TsBitmap24 ours = Pattern(1), peer = Pattern(1), src = Pattern(2);
  const TPixmanImage dst(peer), source(src);
  const pixman_color_t weight{0, 0, 0, 0x8080};
  const TPixmanImage mask(pixman_image_create_solid_fill(&weight));
  const auto blend = [&] { BlendBitmapRect(ours.View(), s.View(), {127, 127, 127}, {0, 0, Width, Height}, {0, 0}); };
  const auto over = [&] {
    pixman_image_composite32(PIXMAN_OP_OVER, source.Get(), mask.Get(), dst.Get(), 0, 0, 0, 0, 0, 0, Width, Height);
  };
  blend();
  over();
  Spoil("blend", ours);
  ExpectClose("blend at half level", ours, peer, 1);
  if (!options.CheckOnly)
    bench::AddRow(bench::PairRow("blend at half level / pixman OVER, solid mask", kSize,
                                 bench::RunCallPairs(blend, over, options.Pairs)));
}

// Red on the first row to blue on the last; pixman's gradient runs between those rows' centres.
void Gradient(const bench::TOptions& options) {
  TsBitmap24 ours(Width, Height), peer(Width, Height);
  const TPixmanImage dst(peer);
  const std::vector<TsGradientStop> stops{{0x0000FF, 0xFF0000, 100, 0}};
  const pixman_point_fixed_t p1{0, pixman_double_to_fixed(0.5)};
  const pixman_point_fixed_t p2{0, pixman_double_to_fixed(Height - 0.5)};
  const pixman_gradient_stop_t colors[2] = {{0, {0xFFFF, 0, 0, 0xFFFF}}, {pixman_fixed_1, {0, 0, 0xFFFF, 0xFFFF}}};
  const TPixmanImage gradient(pixman_image_create_linear_gradient(&p1, &p2, colors, 2));
  pixman_image_set_repeat(gradient.Get(), PIXMAN_REPEAT_PAD);  // the last row lies on the last stop
  const auto fill = [&] { FillGradient(ours.View(), {0, 0, Width, Height}, stops); };
  const auto linear = [&] {
    pixman_image_composite32(PIXMAN_OP_SRC, gradient.Get(), nullptr, dst.Get(), 0, 0, 0, 0, 0, 0, Width, Height);
  };
  fill();
  linear();
  Spoil("gradient", ours);
  ExpectClose("vertical gradient", ours, peer, 1);
  if (!options.CheckOnly)
    bench::AddRow(bench::PairRow("vertical gradient / pixman linear gradient", kSize,
                                 bench::RunCallPairs(fill, linear, options.Pairs)));
}

void Copy(const bench::TOptions& options) {
  TsBitmap24 ours(Width, Height), peer(Width, Height);
  const TsBitmap24 s = Pattern(3);
  const size_t bytes = size_t(s.View().Stride()) * Height;
  const auto copy = [&] { CopyPixels(ours.View(), {0, 0}, s.View(), {0, 0, Width, Height}); };
  const auto memcopy = [&] { std::memcpy(peer.View().Row(0), s.View().Row(0), bytes); };
  copy();
  memcopy();
  Spoil("copy", ours);
  ExpectClose("copy", ours, peer, 0);
  if (!options.CheckOnly)
    bench::AddRow(bench::PairRow("copy / memcpy", kSize, bench::RunCallPairs(copy, memcopy, options.Pairs)));
}

}  // namespace

int main(int argc, char** argv) {
  return bench::Main(argc, argv, [](const bench::TOptions& options) {
    Blend(options);
    Gradient(options);
    Copy(options);
  });
}
