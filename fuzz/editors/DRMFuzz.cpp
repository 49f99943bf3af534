// DRM find, list, replace and preview on hostile images. The input's first byte picks the picture and
// the size change of the replacement.
#include "editors/core/EDRMError.h"
#include "editors/core/RawPreview.h"
#include "editors/core/TDRMImage.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t pick = data[0];
  try {
    TDRMImage image(std::vector<uint8_t>(data + 1, data + size));
    const TDRMListing list = image.List();
    for (const TDRMPicture& p : list.Pictures) {
      RenderRawPicture(image.Image(), image.Base(), p, 37, 23,
                       (p.No & 1) ? TPreviewFit::Stretched : TPreviewFit::Centred, 0x808080);
      if (p.Size > 0 && p.Size < (1 << 20)) image.PictureData(p.Address, p.Size);
    }
    if (!list.Pictures.empty()) {
      const TDRMPicture& p = list.Pictures[pick % list.Pictures.size()];
      const int64_t length = std::max<int64_t>(1, int64_t(p.Size) + (pick >> 4) - 8);
      if (length < (1 << 20)) {
        const std::vector<uint8_t> replacement(static_cast<size_t>(length), pick);
        try {
          image.Replace(p.No, replacement, 3, 5);
        } catch (const EDRMError&) {
        }
        image.List();
      }
    }
  } catch (const EDRMError&) {
  }
  return 0;
}
