// The floor under a combine: the file work shx-tool combine does, without the S-records' formatting.
//   combine-floor SIZE OUT IMAGE...
// SIZE is the byte size of a combine of these images made before, outside the timing. Like the
// combine, the floor opens each image for its size and first bytes, reads every image whole through
// a buffer of the combine's size for the checksums, then reads them again while it writes the header
// and the text through an output buffer of that size, with the same atomic file stream (write-back
// every 4 MiB, a flush to the disk and a rename). The text gets as many bytes as the combine's,
// taken from the images read: what is written does not change what writing costs, and no byte is
// formatted.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/base/Exception.h"
#include "framework/base/TAtomicFileStream.h"
#include "workbench/core/TRawFile.h"
#include "workbench/core/TSuperfileHeader.h"
#include "workbench/core/TSuperfileHost.h"

namespace {

constexpr size_t kFrontSize = 416;  // what the combine reads first of each image: the RAM downloader's table

// The output written in step with the input read, through one buffer.
class TStepWriter {
public:
  TStepWriter(TAtomicFileStream& file, uint8_t* buffer, size_t size, int64_t total, int64_t input)
      : FFile(file), FBuf(buffer), FSize(size), FTotal(total), FInput(input) {}

  // `count` more input bytes at `data` were read: writes the output's share of them.
  void Read(const uint8_t* data, size_t count) {
    FRead += static_cast<int64_t>(count);
    const int64_t due = FInput > 0 ? static_cast<int64_t>(static_cast<double>(FTotal) * FRead / FInput) : FTotal;
    while (FWritten + static_cast<int64_t>(FFill) < due) {
      const size_t chunk = static_cast<size_t>(
          std::min<int64_t>(due - FWritten - static_cast<int64_t>(FFill), static_cast<int64_t>(FSize - FFill)));
      for (size_t done = 0; done < chunk;) {
        const size_t piece = std::min(chunk - done, count);
        std::memcpy(FBuf + FFill + done, data, piece);
        done += piece;
      }
      FFill += chunk;
      if (FFill == FSize) Flush();
    }
  }
  // Writes what is left: all of it when there was no input.
  void Finish() {
    while (FWritten + static_cast<int64_t>(FFill) < FTotal) {
      const size_t chunk = static_cast<size_t>(
          std::min<int64_t>(FTotal - FWritten - static_cast<int64_t>(FFill), static_cast<int64_t>(FSize - FFill)));
      std::memset(FBuf + FFill, 0, chunk);
      FFill += chunk;
      if (FFill == FSize) Flush();
    }
    if (FFill > 0) Flush();
  }

private:
  void Flush() {
    FFile.WriteBuffer(FBuf, static_cast<int64_t>(FFill));
    FWritten += static_cast<int64_t>(FFill);
    FFill = 0;
  }

  TAtomicFileStream& FFile;
  uint8_t* FBuf;
  size_t FSize, FFill = 0;
  int64_t FTotal, FInput, FRead = 0, FWritten = 0;
};

// Reads an image whole through the buffer, handing each piece on.
template <typename TOnData>
void ReadImage(const std::string& name, uint8_t* buffer, size_t size, TOnData&& onData) {
  TRawFile file(name, TRawFile::TMode::Read);
  for (size_t n; (n = file.Read(buffer, size)) > 0;) onData(buffer, n);
  file.Close();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: combine-floor SIZE OUT IMAGE...\n");
    return 3;
  }
  const int64_t size = std::atoll(argv[1]);
  const std::vector<std::string> images(argv + 3, argv + argc);
  try {
    const size_t bufSize = IOBufferBytes(512);  // shx-tool's default
    auto input = std::make_unique_for_overwrite<uint8_t[]>(bufSize);
    auto output = std::make_unique_for_overwrite<uint8_t[]>(bufSize);
    int64_t inputBytes = 0;
    for (const std::string& name : images) {
      TRawFile file(name, TRawFile::TMode::Read);
      inputBytes += file.Size();
      file.Read(input.get(), kFrontSize);
      file.Close();
    }
    for (const std::string& name : images) ReadImage(name, input.get(), bufSize, [](const uint8_t*, size_t) {});

    TAtomicFileStream file(argv[2]);
    const TSuperfileHeader header;
    file.WriteBuffer(header.Data(), static_cast<int64_t>(header.Size()));
    TStepWriter writer(file, output.get(), bufSize, size - static_cast<int64_t>(header.Size()), inputBytes);
    for (const std::string& name : images)
      ReadImage(name, input.get(), bufSize, [&](const uint8_t* data, size_t n) { writer.Read(data, n); });
    writer.Finish();
    file.Commit();
  } catch (const Exception& e) {
    std::fprintf(stderr, "error: %s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
