// The floor under a split: the file work shx-tool split does, without the S-records' parsing.
//   split-floor SUPERFILE PLAN OUTDIR
// PLAN holds one line "SIZE NAME" per image, in the order of the text (sizes and names of a split
// made before, outside the timing). Like the split, the floor reads the header and writes its copy,
// then reads the text in blocks of the split's buffer size and writes each image through an output
// buffer of that size, with the same atomic file stream (write-back every 4 MiB, a flush to the
// disk and a rename per file). The images get as many bytes as the split's, taken from the text
// read: what is written does not change what writing costs, and no byte is decoded.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/base/Exception.h"
#include "framework/base/TAtomicFileStream.h"
#include "workbench/core/TRawFile.h"
#include "workbench/core/TSuperfileHeader.h"
#include "workbench/core/TSuperfileHost.h"

namespace {

// The input's blocks, read as far as asked.
class TBlockReader {
public:
  TBlockReader(TRawFile& file, uint8_t* buffer, size_t size) : FFile(file), FBuf(buffer), FSize(size) {}

  // Reads blocks until `offset` bytes of the text have been read, or the input ends.
  void ReadUpTo(int64_t offset) {
    while (!FLast && FRead < offset) {
      FLen = FFile.Read(FBuf, FSize);
      FLast = FLen < FSize;
      FRead += static_cast<int64_t>(FLen);
    }
  }
  // Fills `count` bytes at `out` with text from the last block read.
  void Fill(uint8_t* out, size_t count) const {
    if (FLen == 0) return std::memset(out, 0, count), void();
    for (size_t done = 0; done < count;) {
      const size_t chunk = std::min(count - done, FLen);
      std::memcpy(out + done, FBuf, chunk);
      done += chunk;
    }
  }
  void ReadAll() { ReadUpTo(INT64_MAX); }

private:
  TRawFile& FFile;
  uint8_t* FBuf;
  size_t FSize;
  size_t FLen = 0;
  int64_t FRead = 0;
  bool FLast = false;
};

std::string Join(const std::string& dir, const std::string& name) {
  return dir + "/" + name;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: split-floor SUPERFILE PLAN OUTDIR\n");
    return 3;
  }
  const std::string superfile = argv[1], outDir = argv[3];
  std::vector<std::pair<int64_t, std::string>> plan;
  int64_t total = 0;
  std::ifstream planFile(argv[2]);
  for (int64_t size; planFile >> size;) {
    std::string name;
    std::getline(planFile >> std::ws, name);
    plan.emplace_back(size, name);
    total += size;
  }
  try {
    const size_t bufSize = IOBufferBytes(512);  // shx-tool's default
    TRawFile source(superfile, TRawFile::TMode::Read);
    TSuperfileHeader header;
    if (source.Read(header.Data(), header.Size()) < header.Size()) throw Exception("the header is short");
    const int64_t text = source.Size() - static_cast<int64_t>(header.Size());
    std::string base = superfile.substr(superfile.find_last_of('/') + 1);
    base = base.substr(0, base.rfind('.'));
    TAtomicFileStream::WriteFile(Join(outDir, base + ".hdr"), header.Data(), header.Size());

    auto input = std::make_unique_for_overwrite<uint8_t[]>(bufSize);
    auto output = std::make_unique_for_overwrite<uint8_t[]>(bufSize);
    TBlockReader reader(source, input.get(), bufSize);
    // The text is read in step with the images written, as the split reads a block's records
    // while it writes its image.
    int64_t written = 0;
    for (const auto& [size, name] : plan) {
      TAtomicFileStream image(Join(outDir, name));
      for (int64_t done = 0; done < size;) {
        const size_t chunk =
            static_cast<size_t>(std::min<int64_t>(size - done, static_cast<int64_t>(bufSize)));
        done += static_cast<int64_t>(chunk);
        written += static_cast<int64_t>(chunk);
        reader.ReadUpTo(total > 0 ? static_cast<int64_t>(static_cast<double>(text) * written / total) : 0);
        reader.Fill(output.get(), chunk);
        image.WriteBuffer(output.get(), static_cast<int64_t>(chunk));
      }
      image.Commit();
    }
    reader.ReadAll();
    source.Close();
  } catch (const Exception& e) {
    std::fprintf(stderr, "error: %s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
