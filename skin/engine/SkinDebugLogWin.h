#pragma once

#include <string>

#include "framework/win/Messages.h"

// The skin library's message log (kept in memory, written to "c:\zovarori.txt" at exit).
void LogMessage(const TMessage& message);
void FormatMessageText(const TMessage& message, const std::string& prefix);
