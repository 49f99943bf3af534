#pragma once

#include <signal.h>

// A limit on the size of written files (ulimit -f) raises SIGXFSZ, which by default ends the
// process in mid-write. Ignored, the write fails with EFBIG and the tool reports it as it reports
// any failed write: with a message, the old file kept and no temporary file left.
inline void IgnoreFileSizeSignal() {
#ifndef _WIN32
  signal(SIGXFSZ, SIG_IGN);
#endif
}
