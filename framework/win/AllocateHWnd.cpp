#include "framework/win/AllocateHWnd.h"

#include <memory>

#include "framework/win/TApplication.h"

namespace {

constexpr char kClassName[] = "TarvexUtilWindow";

LRESULT CALLBACK UtilWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (method == nullptr || !*method) return DefWindowProcA(window, msg, wParam, lParam);
  TMessage message{msg, wParam, lParam, 0};
  try {
    (*method)(message);
  } catch (...) {
    HandleWindowException(nullptr);
  }
  return message.Result;
}

}  // namespace

HWND AllocateHWnd(const TWndMethod& method) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA existing{};
  if (!GetClassInfoA(instance, kClassName, &existing)) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = UtilWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    if (RegisterClassA(&wc) == 0) throw EOutOfResources("Cannot register the utility window class");
  }
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                                nullptr);
  if (window == nullptr) throw EOutOfResources("Cannot create a utility window");
  auto copy = std::make_unique<TWndMethod>(method);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(copy.release()));
  return window;
}

void DeallocateHWnd(HWND window) {
  if (window == nullptr || !IsWindow(window)) return;
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
  delete method;
}
