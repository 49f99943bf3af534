#pragma once

// A window's painted pixels against a recorded reference, for the benches' checks of what a user
// sees. The reference is the pixels' digest recorded in a text file beside the bench's source, one
// "NAME DIGEST" line per picture; --save-reference records the pixels shown instead of checking
// them (after a deliberate change of the look). A picture that differs is saved as a bitmap in the
// temporary folder, named in the failure.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace winbench {

struct TOptions;

// A window's client area as it shows, 24-bit rows top-down, read into our own bitmap.
struct TScreenPixels {
  int Width = 0, Height = 0;
  std::vector<std::uint8_t> Bgr;
};
TScreenPixels ClientPixels(HWND window);
// Blacks out the caret of the thread owning `window`, wherever it blinks.
void HideCaretArea(HWND window, TScreenPixels& pixels);
// Covers a window and each of its child windows with one colour without invalidating them, so that
// what a repaint leaves out shows.
void Scribble(HWND window);

std::uint64_t Digest(const TScreenPixels& pixels);

// Checks `pixels` against the reference `name` of the file `references`, or records them there
// with --save-reference. `corrupt` spoils one byte of the pixels first. Fails through CheckFailed.
void CheckReference(const std::string& references, const std::string& name, TScreenPixels pixels,
                    const TOptions& options, bool corrupt);

}  // namespace winbench
