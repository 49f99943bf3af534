#include "gif/core/TGIFReporter.h"

void TGIFReporter::Report(TGIFSeverity severity, const std::string& message) const {
  if (FOnWarning) FOnWarning(severity, message);
}

void TGIFReporter::Progress(const std::string& stage, int percent) const {
  if (FOnProgress) FOnProgress(stage, percent);
}
