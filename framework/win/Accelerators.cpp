#include "framework/win/Accelerators.h"

#include <windows.h>

char AcceleratorChar(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return caption[i + 1];
    ++i;
  }
  return 0;
}

bool IsAccel(char key, const std::string& caption) {
  char accel = AcceleratorChar(caption);
  if (accel == 0 || key == 0) return false;
  char a[2] = {accel, 0}, b[2] = {key, 0};
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, 1, b, 1) == CSTR_EQUAL;
}
