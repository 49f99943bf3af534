#pragma once

#include <string>

#include "workbench/core/TSuperfileHost.h"

struct TSplitOptions {
  int BufferKB = 512;              // "I/0 buffer size (kB)"
  bool SeparateMemoryMap = false;  // "Separate [memory map]"
  std::string OutputDir;           // where the images and the header copy go; empty: current folder
};

// Splits a superfile into its header copy and one image file per code group, each listed as a grid
// row through the host. Each file replaces its old one as soon as it is complete, never before: after
// a split that failed past the header, the header copy and the images of the groups before the
// failure are new, and the image being written then and those after it are an earlier split's, if
// there was one. A corrupt header writes nothing. Failures of the format are shown through the host and
// end the split with false; file errors raise the file layer's errors (EFCreateError for a file that
// cannot be created, EInOutError otherwise).
class TSuperfileSplitter {
public:
  explicit TSuperfileSplitter(TSuperfileHost& host) : FHost(host) {}
  bool Split(const std::string& fileName, const TSplitOptions& options);

private:
  TSuperfileHost& FHost;
};
