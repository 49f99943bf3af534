#include "tests/e2e/UserDriver.h"

#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <iterator>

void CopyFolder(const std::string& from, const std::string& to) {
  CreateDirectoryA(to.c_str(), nullptr);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      CopyFolder(from + "\\" + name, to + "\\" + name);
    else
      CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

namespace {

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace

TUserDriver::~TUserDriver() {
  if (FProcess.hProcess) {
    if (Running()) TerminateProcess(FProcess.hProcess, 1);
    CloseHandle(FProcess.hProcess);
    CloseHandle(FProcess.hThread);
  }
}

void TUserDriver::Start(const std::string& programFolder) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  FFolder = std::string(temp) + "tarvex-walk-" + std::to_string(GetTickCount());
  CopyFolder(programFolder, FFolder);
  // A run of the program in its build folder (tools/run) leaves its settings there; a first start
  // has none.
  for (const char* left : {"Tarvex.ini", "Tarvex.cds", "Tarvex.tmp"}) DeleteFileA((FFolder + "\\" + left).c_str());
  Launch();
}

void TUserDriver::Restart() {
  if (FProcess.hProcess) {
    if (Running()) TerminateProcess(FProcess.hProcess, 1);
    CloseHandle(FProcess.hProcess);
    CloseHandle(FProcess.hThread);
    FProcess = {};
  }
  Launch();
}

void TUserDriver::Launch() {
  const std::string exe = FFolder + "\\Tarvex.exe";
  std::string commandLine = "\"" + exe + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, FFolder.c_str(), &startup,
                      &FProcess))
    FProcess = {};
  else
    WaitForInputIdle(FProcess.hProcess, 10000);
}

bool TUserDriver::Running() const {
  return FProcess.hProcess && WaitForSingleObject(FProcess.hProcess, 0) == WAIT_TIMEOUT;
}

bool TUserDriver::Exit(DWORD timeoutMs) {
  for (HWND window : TopWindows())
    if (Text(window) == "Tarvex" && GetWindow(window, GW_OWNER) == nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
  return FProcess.hProcess && WaitForSingleObject(FProcess.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

std::vector<HWND> VisibleTopWindows(DWORD process) {
  struct TSearch {
    DWORD Process;
    std::vector<HWND> Found;
  } search{process, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->Process && IsWindowVisible(window)) s->Found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

std::vector<HWND> TUserDriver::TopWindows() const { return VisibleTopWindows(FProcess.dwProcessId); }

HWND TUserDriver::WaitWindow(const std::string& caption, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        for (HWND window : TopWindows())
          if (Text(window) == caption) found = window;
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

HWND TUserDriver::WaitWindowOfClass(const std::string& windowClass, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        for (HWND window : TopWindows())
          if (_stricmp(ClassOf(window).c_str(), windowClass.c_str()) == 0) found = window;
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

bool TUserDriver::WaitGone(const std::string& caption, DWORD timeoutMs) {
  return WaitFor(
      [&] {
        for (HWND window : TopWindows())
          if (Text(window) == caption) return false;
        return true;
      },
      timeoutMs);
}

std::vector<HWND> TUserDriver::Children(HWND parent, const std::string& windowClass) const {
  struct TSearch {
    std::string Class;
    std::vector<HWND> Found;
  } search{windowClass, {}};
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(data);
        if (s->Class.empty() || _stricmp(ClassOf(window).c_str(), s->Class.c_str()) == 0) s->Found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

HWND TUserDriver::Child(HWND parent, const std::string& windowClass, const std::string& text) const {
  for (HWND window : Children(parent, windowClass))
    if (text.empty() || Text(window) == text) return window;
  return nullptr;
}

HWND TUserDriver::WaitChild(HWND parent, const std::string& windowClass, const std::string& text, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitFor([&] { return (found = Child(parent, windowClass, text)) != nullptr; }, timeoutMs);
  return found;
}

void TUserDriver::Click(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  ClickAt(window, client.right / 2, client.bottom / 2);
}

bool TUserDriver::ClickUntil(HWND button, const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs) {
  const DWORD start = GetTickCount();
  for (int clicks = 0; clicks < 3; ++clicks) {
    if (clicks > 0) std::printf("a click on \"%s\" did nothing in 3 s: clicked again\n", Text(button).c_str());
    Click(button);
    if (WaitFor(done, 3000, pollMs)) return true;
    if (!IsWindowVisible(button) || !IsWindowEnabled(button) || GetTickCount() - start >= timeoutMs) break;
  }
  const DWORD spent = GetTickCount() - start;
  return WaitFor(done, spent < timeoutMs ? timeoutMs - spent : 0, pollMs);
}

void TUserDriver::ClickAt(HWND window, int x, int y, bool doubleClick, WPARAM keys) {
  PostMessageA(window, WM_MOUSEMOVE, keys, Point(x, y));
  PostMessageA(window, WM_LBUTTONDOWN, keys | MK_LBUTTON, Point(x, y));
  PostMessageA(window, WM_LBUTTONUP, keys, Point(x, y));
  if (doubleClick) {
    PostMessageA(window, WM_LBUTTONDBLCLK, keys | MK_LBUTTON, Point(x, y));
    PostMessageA(window, WM_LBUTTONUP, keys, Point(x, y));
  }
}

void TUserDriver::Key(HWND window, WORD vk, bool ctrl, bool shift) {
  // The program reads the modifier state with GetKeyState, which posted messages do not change.
  BYTE keys[256];
  if (ctrl || shift) {
    GetKeyboardState(keys);
    if (ctrl) keys[VK_CONTROL] = 0x80;
    if (shift) keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
  }
  const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
  PostMessageA(window, WM_KEYDOWN, vk, 1 | (scan << 16));
  PostMessageA(window, WM_KEYUP, vk, 1 | (scan << 16) | (3u << 30));
}

void TUserDriver::Type(HWND window, const std::string& text) {
  for (char c : text) PostMessageA(window, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void TUserDriver::Retype(HWND edit, const std::string& text) {
  PostMessageA(edit, EM_SETSEL, 0, -1);
  PostMessageA(edit, WM_CHAR, VK_BACK, 1);
  Type(edit, text);
}

std::string TUserDriver::Text(HWND window) {
  char buffer[4096] = {};
  DWORD_PTR length = 0;
  // A window that hangs must not hang the walk.
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                           2000, &length))
    return {};
  return std::string(buffer, length);
}

bool TUserDriver::Checked(HWND button) {
  DWORD_PTR state = 0;
  return SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state) && state == BST_CHECKED;
}

std::string TUserDriver::StatusText(HWND statusBar) const {
  // The bar copies into memory of its own process: a buffer is lent there and read back.
  constexpr SIZE_T size = 4096;
  void* remote = VirtualAllocEx(FProcess.hProcess, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  if (remote == nullptr) return {};
  std::string text;
  // Some versions answer the simple part only as part 0 (and never through WM_GETTEXT).
  for (WPARAM part : {WPARAM(255), WPARAM(0)}) {
    char buffer[size] = {};
    DWORD_PTR result = 0;
    SIZE_T read = 0;
    if (WriteProcessMemory(FProcess.hProcess, remote, buffer, size, &read) &&
        SendMessageTimeoutA(statusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 2000,
                            &result) &&
        ReadProcessMemory(FProcess.hProcess, remote, buffer, size - 1, &read))
      text = buffer;
    if (!text.empty()) break;
  }
  VirtualFreeEx(FProcess.hProcess, remote, 0, MEM_RELEASE);
  return text;
}

bool TUserDriver::WaitText(HWND window, const std::function<bool(const std::string&)>& want, DWORD timeoutMs) {
  return WaitFor([&] { return want(Text(window)); }, timeoutMs);
}

bool TUserDriver::WaitFor(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(pollMs);
  }
  return true;
}

std::string TUserDriver::WindowList() const {
  std::string list;
  for (HWND window : TopWindows()) list += "  " + ClassOf(window) + " '" + Text(window) + "'\n";
  return list.empty() ? "  (none)\n" : list;
}

std::string TUserDriver::Screenshot(const std::string& name) const {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageBytes),
                        0, 0, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))};
  const std::string path = FFolder + "\\" + name + ".bmp";
  if (FILE* out = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
    std::fwrite(bits, 1, imageBytes, out);
    std::fclose(out);
  }
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return path;
}

std::string TUserDriver::Failure(const std::string& what) const {
  return what + "\nscreenshot: " + Screenshot("failure-" + std::to_string(GetTickCount())) +
         "\nthe program's windows:\n" + WindowList();
}

std::vector<unsigned char> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void RemoveFolder(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = path + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveFolder(full);
      else
        DeleteFileA(full.c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
}
