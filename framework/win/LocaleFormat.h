#pragma once

// The user's decimal and thousand separators read into FormatSettings() (framework/base) once;
// later calls do nothing.
void LoadLocaleFormatSettings();
