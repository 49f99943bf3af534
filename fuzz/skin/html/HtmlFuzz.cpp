// Lays out arbitrary bytes as hint markup on a canvas whose extents follow the font, so that sizes,
// colours and faces from the input reach the measuring. The first byte picks the origin's left.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "skin/windows/core/TsHtmlLayout.h"

namespace {

class TMeasuringCanvas : public TsHtmlCanvas {
public:
  TsHtmlFont Current;
  TsHtmlFont Font() override { return Current; }
  void SetFont(const TsHtmlFont& font) override { Current = font; }
  std::int32_t TextWidth(std::string_view text) override {
    return std::int32_t(text.size()) * (Current.Size + (Current.Bold ? 1 : 0));
  }
  std::int32_t TextHeight(std::string_view) override { return 2 * Current.Size; }
  void TextOut(std::int32_t, std::int32_t, std::string_view text) override {
    if (text.empty()) std::abort();  // empty runs are never drawn
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  TMeasuringCanvas canvas;
  TsHtmlLayout layout;
  layout.Init(canvas, text, TsRect{data[0], 0, 240, 0});
  const TsRect r = layout.Execute();
  if (r.Left != 0 || r.Top != 0 || r.Right < 0 || r.Bottom < 0) std::abort();
  if (canvas.Current.Size < 1 || canvas.Current.Size > 1000) std::abort();
  // Measuring again from the start gives the same rectangle.
  TMeasuringCanvas again;
  layout.Init(again, text, TsRect{data[0], 0, 240, 0});
  if (!(layout.Execute() == r)) std::abort();
  return 0;
}
