#include "framework/win/LocaleFormat.h"

#include <windows.h>

#include "framework/base/FloatFormat.h"

void LoadLocaleFormatSettings() {
  static bool loaded = false;
  if (loaded) return;
  loaded = true;
  char buf[8];
  TFormatSettings& fs = FormatSettings();
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, sizeof buf) > 1) fs.DecimalSeparator = buf[0];
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, buf, sizeof buf) > 1) fs.ThousandSeparator = buf[0];
  else fs.ThousandSeparator = fs.DecimalSeparator == ',' ? '.' : ',';
}
