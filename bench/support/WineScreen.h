#pragma once

// A window's painted pixels against a recorded reference, for the benches' checks of what a user
// sees. The reference is the pixels' digest recorded in a text file beside the bench's source, one
// "NAME DIGEST" line per picture; --save-reference records the pixels shown instead of checking
// them (after a deliberate change of the look). A picture that differs is saved as a bitmap in the
// temporary folder, named in the failure.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
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

// Reads pixels over and over on a thread of its own, from its construction until Stop(), and keeps
// when they last changed: a screen watched until it has been quiet a while, with the time of its
// last change rather than the end of the wait. A change is dated at the end of the first read that
// shows it, so it is late by at most the interval between reads (Resolution()).
class TScreenWatch {
public:
  using TRead = std::function<std::vector<char>()>;
  // `pauseMs` between reads leaves the screen to the program that paints it.
  explicit TScreenWatch(TRead read, int pauseMs = 2);
  ~TScreenWatch();
  TScreenWatch(const TScreenWatch&) = delete;
  TScreenWatch& operator=(const TScreenWatch&) = delete;

  // NowMs() of the last change; the first read's when nothing changed.
  double LastChange() const;
  // Whether nothing changed for `ms` until now.
  bool QuietFor(double ms) const;
  // Waits until nothing changed for `ms` (false: still changing after `timeoutMs`), then stops.
  bool WaitQuiet(double ms, double timeoutMs);
  void Stop();
  // The last read.
  std::vector<char> Pixels() const;
  // The median interval between reads, in ms.
  double Resolution() const;

private:
  void Run();

  TRead FRead;
  int FPause;
  mutable std::mutex FLock;
  std::vector<char> FPixels;
  double FLastChange = 0;
  std::vector<double> FReadEnds;
  std::atomic<bool> FStop{false};
  std::thread FThread;
};

// Checks `pixels` against the reference `name` of the file `references`, or records them there
// with --save-reference. `corrupt` spoils one byte of the pixels first. Fails through CheckFailed.
void CheckReference(const std::string& references, const std::string& name, TScreenPixels pixels,
                    const TOptions& options, bool corrupt);

}  // namespace winbench
