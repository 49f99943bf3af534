#include "bench/support/WineScreen.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>

#include "bench/support/WineBench.h"

namespace winbench {
namespace {

constexpr COLORREF kScribble = RGB(255, 0, 255);

std::map<std::string, std::string> ReadReferences(const std::string& path) {
  std::map<std::string, std::string> references;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t space = line.rfind(' ');
    if (line.empty() || line[0] == '#' || space == std::string::npos) continue;
    references[line.substr(0, space)] = line.substr(space + 1);
  }
  return references;
}

std::string Hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

// Saves pixels as a 24-bit bitmap file; returns its path.
std::string SaveBitmap(const std::string& name, const TScreenPixels& pixels) {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string file = name;
  for (char& c : file)
    if (!isalnum(static_cast<unsigned char>(c))) c = '-';
  const std::string path = std::string(temp) + "tarvex-bench-" + file + ".bmp";
  const int stride = (pixels.Width * 3 + 3) & ~3;
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = pixels.Width;
  info.biHeight = -pixels.Height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = DWORD(stride * pixels.Height);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + info.biSizeImage;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  const std::string padding(size_t(stride - pixels.Width * 3), '\0');
  for (int y = 0; y < pixels.Height; ++y) {
    out.write(reinterpret_cast<const char*>(pixels.Bgr.data() + size_t(y) * pixels.Width * 3), pixels.Width * 3);
    out.write(padding.data(), std::streamsize(padding.size()));
  }
  return path;
}

}  // namespace

TScreenPixels ClientPixels(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  TScreenPixels pixels;
  pixels.Width = client.right;
  pixels.Height = client.bottom;
  if (pixels.Width <= 0 || pixels.Height <= 0) return pixels;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = pixels.Width;
  info.bmiHeader.biHeight = -pixels.Height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, pixels.Width, pixels.Height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const int stride = (pixels.Width * 3 + 3) & ~3;
  for (int y = 0; y < pixels.Height; ++y) {
    const auto* row = static_cast<const std::uint8_t*>(bits) + size_t(y) * stride;
    pixels.Bgr.insert(pixels.Bgr.end(), row, row + pixels.Width * 3);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return pixels;
}

void HideCaretArea(HWND window, TScreenPixels& pixels) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || info.hwndCaret == nullptr) return;
  RECT caret = info.rcCaret;
  MapWindowPoints(info.hwndCaret, window, reinterpret_cast<POINT*>(&caret), 2);
  // The caret's width as drawn may exceed what it was created with by a pixel.
  InflateRect(&caret, 1, 0);
  for (int y = std::max<LONG>(caret.top, 0); y < std::min<LONG>(caret.bottom, pixels.Height); ++y)
    for (int x = std::max<LONG>(caret.left, 0); x < std::min<LONG>(caret.right, pixels.Width); ++x)
      for (int c = 0; c < 3; ++c) pixels.Bgr[(size_t(y) * pixels.Width + x) * 3 + c] = 0;
}

void Scribble(HWND window) {
  const auto cover = [](HWND w) {
    RECT r{};
    GetClientRect(w, &r);
    HDC dc = GetDC(w);
    HBRUSH brush = CreateSolidBrush(kScribble);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(w, dc);
  };
  cover(window);
  EnumChildWindows(
      window,
      [](HWND child, LPARAM data) -> BOOL {
        (*reinterpret_cast<decltype(cover)*>(data))(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&cover));
  GdiFlush();
}

std::uint64_t Digest(const TScreenPixels& pixels) {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  const auto add = [&hash](std::uint8_t byte) {
    hash ^= byte;
    hash *= 1099511628211ull;
  };
  for (int shift = 0; shift < 32; shift += 8) add(std::uint8_t(pixels.Width >> shift)), add(std::uint8_t(pixels.Height >> shift));
  for (std::uint8_t byte : pixels.Bgr) add(byte);
  return hash;
}

TScreenWatch::TScreenWatch(TRead read, int pauseMs) : FRead(std::move(read)), FPause(pauseMs) {
  FPixels = FRead();
  FLastChange = NowMs();
  FReadEnds.push_back(FLastChange);
  FThread = std::thread([this] { Run(); });
}

TScreenWatch::~TScreenWatch() { Stop(); }

void TScreenWatch::Run() {
  while (!FStop) {
    Sleep(DWORD(FPause));
    std::vector<char> pixels = FRead();
    const double now = NowMs();
    const std::lock_guard<std::mutex> lock(FLock);
    FReadEnds.push_back(now);
    if (pixels != FPixels) {
      FPixels.swap(pixels);
      FLastChange = now;
    }
  }
}

double TScreenWatch::LastChange() const {
  const std::lock_guard<std::mutex> lock(FLock);
  return FLastChange;
}

bool TScreenWatch::QuietFor(double ms) const { return NowMs() - LastChange() >= ms; }

bool TScreenWatch::WaitQuiet(double ms, double timeoutMs) {
  for (const double until = NowMs() + timeoutMs; !QuietFor(ms) && NowMs() < until;) Sleep(10);
  const bool quiet = QuietFor(ms);
  Stop();
  return quiet;
}

void TScreenWatch::Stop() {
  FStop = true;
  if (FThread.joinable()) FThread.join();
}

std::vector<char> TScreenWatch::Pixels() const {
  const std::lock_guard<std::mutex> lock(FLock);
  return FPixels;
}

double TScreenWatch::Resolution() const {
  const std::lock_guard<std::mutex> lock(FLock);
  std::vector<double> intervals;
  for (size_t i = 1; i < FReadEnds.size(); ++i) intervals.push_back(FReadEnds[i] - FReadEnds[i - 1]);
  return Median(intervals);
}

void CheckReference(const std::string& references, const std::string& name, TScreenPixels pixels,
                    const TOptions& options, bool corrupt) {
  if (corrupt && !pixels.Bgr.empty()) pixels.Bgr[pixels.Bgr.size() / 2] ^= 0xFF;
  const std::string shown = std::to_string(pixels.Width) + "x" + std::to_string(pixels.Height) + ":" + Hex(Digest(pixels));
  std::map<std::string, std::string> recorded = ReadReferences(references);
  if (options.SaveReference) {
    recorded[name] = shown;
    std::ofstream out(references, std::ios::binary | std::ios::trunc);
    out << "# The pixels a user sees in the bench's checks: NAME WIDTHxHEIGHT:DIGEST (rewritten by --save-reference).\n";
    for (const auto& [n, d] : recorded) out << n << ' ' << d << '\n';
    if (!out) throw std::runtime_error("cannot write " + references);
    std::printf("  reference %s: %s (saved as %s)\n", name.c_str(), shown.c_str(), SaveBitmap(name, pixels).c_str());
    return;
  }
  const auto found = recorded.find(name);
  if (found == recorded.end())
    throw std::runtime_error("no reference " + name + " in " + references + " (record it with --save-reference)");
  if (found->second != shown)
    CheckFailed(name + ": the window shows " + shown + ", its reference is " + found->second + " (shown: " +
                SaveBitmap(name, pixels) + ")");
}

}  // namespace winbench
