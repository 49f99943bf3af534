#pragma once

#include <functional>
#include <string>

enum class TGIFSeverity { Warning, Error };

// Collects the codec's warnings and progress reports; loading goes on after a warning.
class TGIFReporter {
public:
  using TWarningHandler = std::function<void(TGIFSeverity, const std::string&)>;
  using TProgressHandler = std::function<void(const std::string& stage, int percent)>;

  void SetOnWarning(TWarningHandler handler) { FOnWarning = std::move(handler); }
  void SetOnProgress(TProgressHandler handler) { FOnProgress = std::move(handler); }
  const TWarningHandler& OnWarning() const { return FOnWarning; }
  const TProgressHandler& OnProgress() const { return FOnProgress; }

  void Warning(const std::string& message) const { Report(TGIFSeverity::Warning, message); }
  void Report(TGIFSeverity severity, const std::string& message) const;
  void Progress(const std::string& stage, int percent) const;

private:
  TWarningHandler FOnWarning;
  TProgressHandler FOnProgress;
};
