// Load then save: whatever loads and saves must load back with the same frames and pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "gif/core/GIFException.h"
#include "gif/core/TGIFDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TGIFDocument document;
  std::vector<uint8_t> saved;
  try {
    document.LoadFromBytes(data, size);
    saved = document.SaveToBytes();
  } catch (const GIFException&) {
    return 0;
  }
  TGIFDocument again;
  again.LoadFromBytes(saved.data(), saved.size());
  // A frame of extensions alone joins the frame after it when read back; images and extensions
  // must all be there, in order.
  std::vector<const TGIFSubImage*> before, after;
  size_t extensionsBefore = 0, extensionsAfter = 0;
  for (const auto& frame : document.Frames()) {
    extensionsBefore += frame->Extensions().size();
    if (frame->HasImage()) before.push_back(frame.get());
  }
  for (const auto& frame : again.Frames()) {
    extensionsAfter += frame->Extensions().size();
    if (frame->HasImage()) after.push_back(frame.get());
  }
  if (before.size() != after.size() || extensionsBefore != extensionsAfter) std::abort();
  for (size_t i = 0; i < before.size(); ++i)
    if (before[i]->Data() != after[i]->Data() || before[i]->Interlaced() != after[i]->Interlaced() ||
        before[i]->Width() != after[i]->Width() || before[i]->Left() != after[i]->Left())
      std::abort();
  // An application block of another size keeps its identifier but is written with size 11, so
  // it may be read back as the kind that identifier names: the output is stable from then on.
  const std::vector<uint8_t> second = again.SaveToBytes();
  TGIFDocument third;
  third.LoadFromBytes(second.data(), second.size());
  if (third.SaveToBytes() != second) std::abort();
  return 0;
}
