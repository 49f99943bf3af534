#include "tests/e2e/SkinSwitching.h"

#include <algorithm>
#include <cstdio>

namespace {

bool Visible(HWND window) { return IsWindowVisible(window) != FALSE; }

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// A menu's pop-up, which shows while a menu is chosen by keys.
bool IsMenuWindow(HWND window) { return ClassOf(window) == "#32768"; }

}  // namespace

std::set<HWND> TSkinSwitcher::VisibleWindows() const {
  const std::vector<HWND> windows = VisibleTopWindows(FUser.ProcessId());
  return {windows.begin(), windows.end()};
}

HWND TSkinSwitcher::WaitNewWindow(const std::set<HWND>& before, const std::string& caption,
                                  const std::string& windowClass) const {
  HWND found = nullptr;
  TUserDriver::WaitFor(
      [&] {
        for (HWND window : VisibleWindows())
          if (!before.count(window) && !IsMenuWindow(window) && (caption.empty() || TUserDriver::Text(window) == caption) &&
              (windowClass.empty() || ClassOf(window) == windowClass))
            found = window;
        return found != nullptr;
      },
      10000);
  return found;
}

bool TSkinSwitcher::Settled() const {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(FMain, WM_NULL, 0, 0, SMTO_NORMAL, 15000, &result) != 0;
}

void TSkinSwitcher::MenuByKeys(int right, int down) {
  // F10 as the keyboard sends it: a system key, which opens the menu bar.
  const UINT scan = MapVirtualKeyA(VK_F10, MAPVK_VK_TO_VSC);
  PostMessageA(FMain, WM_SYSKEYDOWN, VK_F10, 1 | (scan << 16));
  PostMessageA(FMain, WM_SYSKEYUP, VK_F10, 1 | (scan << 16) | (3u << 30));
  for (int i = 0; i < right; ++i) FUser.Key(FMain, VK_RIGHT);
  FUser.Key(FMain, VK_DOWN);
  for (int i = 0; i < down; ++i) FUser.Key(FMain, VK_DOWN);
  FUser.Key(FMain, VK_RETURN);
}

void TSkinSwitcher::RepaintNow() const {
  for (HWND window : VisibleWindows())
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ERASENOW | RDW_ALLCHILDREN);
}

std::vector<char> ScreenPixels(const RECT& r, BITMAPINFOHEADER& header) {
  const int width = r.right - r.left, height = r.bottom - r.top;
  header = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  BITMAPINFO info{};
  info.bmiHeader = header;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<char> pixels;
  if (bitmap != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    const std::size_t size = ((static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3}) * height;
    pixels.assign(static_cast<const char*>(bits), static_cast<const char*>(bits) + size);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

void TSkinSwitcher::Shot(HWND window, const std::string& name) const {
  // Raised, the window is painted whole; the X server shows what lay there before until the
  // program's paint reaches it, so the picture is taken once two in a row agree.
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Settled();
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
  RECT r;
  GetWindowRect(window, &r);
  r.left = std::max(r.left, 0L);
  r.top = std::max(r.top, 0L);
  r.right = std::min(r.right, static_cast<LONG>(GetSystemMetrics(SM_CXSCREEN)));
  r.bottom = std::min(r.bottom, static_cast<LONG>(GetSystemMetrics(SM_CYSCREEN)));
  if (r.right <= r.left || r.bottom <= r.top) return;
  BITMAPINFOHEADER header;
  std::vector<char> pixels = ScreenPixels(r, header), before;
  for (int tries = 0; tries < 20 && pixels != before; ++tries) {
    Sleep(25);
    before.swap(pixels);
    pixels = ScreenPixels(r, header);
  }
  const DWORD headers = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(headers + pixels.size()), 0, 0, headers};
  if (FILE* out = std::fopen((FUser.Folder() + "\\skin-" + name + ".bmp").c_str(), "wb")) {
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&header, sizeof header, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    std::fclose(out);
  }
}

void TSkinSwitcher::ShotUncovered(HWND window, const std::string& name) const {
  // Windows it owns stay above it, so they are moved off the screen for the picture, and back.
  std::vector<std::pair<HWND, RECT>> moved;
  for (HWND other : VisibleWindows()) {
    RECT r;
    if (other == window || !GetWindowRect(other, &r)) continue;
    moved.push_back({other, r});
    SetWindowPos(other, nullptr, GetSystemMetrics(SM_CXSCREEN), r.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Shot(window, name);
  for (const auto& [other, r] : moved)
    SetWindowPos(other, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string TSkinSwitcher::CloseBy(HWND window, const std::string& button) {
  HWND b = Button(window, button);
  if (b == nullptr) return "\"" + TUserDriver::Text(window) + "\" lacks \"" + button + "\"";
  return PressToClose(window, b);
}

std::string TSkinSwitcher::PressToClose(HWND window, HWND button) {
  const std::string caption = TUserDriver::Text(window);
  if (!FUser.ClickUntil(button, [&] { return !Visible(window); }))
    return "\"" + TUserDriver::Text(button) + "\" did not close \"" + caption + "\"";
  return "";
}

HWND TSkinSwitcher::OpenEnvironmentOptions() {
  const std::set<HWND> before = VisibleWindows();
  MenuByKeys(2, 0);
  return WaitNewWindow(before, "Environment options");
}

std::string TSkinSwitcher::Choose(HWND options, const TLook& look, bool pressOk) {
  HWND skin = FUser.Child(options, "TsCheckBox", "Skin");
  const std::vector<HWND> combos = FUser.Children(options, "TsComboBox");
  if (skin == nullptr || combos.size() != 2) return "the environment options lack \"Skin\" or the skin combo";
  HWND names = combos[1];
  // The skin combo is enabled exactly when the skin is on.
  const bool on = look.Skin != nullptr;
  if (on != (IsWindowEnabled(names) != FALSE)) {
    FUser.Click(skin);
    if (!TUserDriver::WaitFor([&] { return on == (IsWindowEnabled(names) != FALSE); }, 5000))
      return "\"Skin\" did not switch the skin combo";
  }
  if (on) {
    FUser.Type(names, std::string(1, look.Skin[0]));
    if (!FUser.WaitText(names, [&](const std::string& t) { return t == look.Skin; }, 5000))
      return std::string("the skin combo did not choose ") + look.Skin;
  }
  return pressOk ? PressOk(options) : "";
}

std::string TSkinSwitcher::PressOk(HWND options) {
  HWND ok = Button(options, "Ok");
  if (ok == nullptr) return "the environment options lack \"Ok\"";
  // The options close first, then the look changes in the same handler: watched closely, as the
  // skin-switch bench times it.
  if (!FUser.ClickUntil(ok, [&] { return !Visible(options); }, 10000, 1) || !Settled())
    return "\"Ok\" did not close the environment options";
  return "";
}

std::string TSkinSwitcher::LookShown() {
  HWND options = OpenEnvironmentOptions();
  if (options == nullptr) return "(no environment options)";
  HWND skin = FUser.Child(options, "TsCheckBox", "Skin");
  const std::vector<HWND> combos = FUser.Children(options, "TsComboBox");
  std::string look = "(no skin combo)";
  if (skin != nullptr && combos.size() == 2) look = IsWindowEnabled(combos[1]) ? TUserDriver::Text(combos[1]) : "";
  CloseBy(options, "Cancel");
  return look;
}

std::string TSkinSwitcher::OpenTheWindows(const TGridRows& rows, std::vector<TShownWindow>& shown) {
  shown = {{"main", FMain}};
  HWND grid = FUser.Child(FMain, "TDBGrid", "");
  HWND edit = Button(FMain, "Edit"), flash = Button(FMain, "Flash"), openBy = Button(FMain, "Open by");
  if (!(grid && edit && flash && openBy)) return "the main window lacks the grid, \"Edit\", \"Flash\" or \"Open by\"";
  // The flasher gets one row (selected by a control-click), for the input box of "New address".
  FUser.ClickAt(grid, 100, rows.MemoryMap, false, MK_CONTROL);
  // The flasher and the editors are not modal: a second press only shows them again.
  HWND flasher = nullptr;
  FUser.ClickUntil(flash, [&] { return (flasher = FUser.WaitWindow("Flash", 0)) != nullptr; });
  if (flasher == nullptr) return "\"Flash\" did not show the flasher";
  shown.push_back({"flasher", flasher});
  const struct {
    int RowY;
    const char* Name;
    const char* Caption;
  } editors[] = {{rows.LangPack, "langpack", "Langpack editor"},
                 {rows.Drm, "drm", "DRM (graphics) editor"},
                 {rows.Flex, "flex", "Flex Editor"}};
  for (const auto& e : editors) {
    FUser.ClickAt(grid, 100, e.RowY);
    HWND editor = nullptr;
    FUser.ClickUntil(edit, [&] { return (editor = FUser.WaitWindow(e.Caption, 0)) != nullptr; });
    if (editor == nullptr) return std::string("\"Edit\" did not show the ") + e.Caption;
    shown.push_back({e.Name, editor});
  }
  const std::set<HWND> before = VisibleWindows();
  FUser.Click(openBy);
  HWND viewer = WaitNewWindow(before, "", "TfmView");
  if (viewer == nullptr || TUserDriver::Text(viewer).rfind("Open - ", 0) != 0)
    return "\"Open by\" did not show the viewer titled \"Open - \" and the row's file";
  shown.push_back({"viewer", viewer});
  return "";
}

std::string TSkinSwitcher::CloseTheWindows(const std::vector<TShownWindow>& shown) {
  for (const TShownWindow& s : shown)
    if (s.Window != FMain) PostMessageA(s.Window, WM_CLOSE, 0, 0);
  for (const TShownWindow& s : shown)
    if (s.Window != FMain && !TUserDriver::WaitFor([&] { return !Visible(s.Window); }, 10000))
      return s.Name + " did not close";
  return "";
}
