// Split and combine of generated superfiles against objcopy doing the same work: both sides run as
// processes on the same inputs, alternated run by run.
//   split:   shx-tool split of the superfile, against objcopy -I srec -O binary of each of its blocks;
//            every image must equal objcopy's.
//   combine: shx-tool combine of the split's images, against objcopy -I binary -O srec of each image
//            (the memory map and the flash as the one block they make); every block's S3 records
//            must equal objcopy's. The combine rebuilds the RAM downloader's address table, so its
//            block is compared with the split image carrying the table the format asks for.
// shx-tool syncs each file it writes, objcopy does not: each work has a second row, objcopy with a
// sync of its outputs after it (inside its time). Each timed run writes to a fresh folder, and the
// disk is synced after each run, outside the timing, so that no run pays for the writes of the one
// before. objcopy is started once per block or image, shx-tool once, and the blocks it splits are
// cut from the superfile before its clock starts: notes under the table say so, with what a start
// and the cut take.
//   split floor: split-floor, the split's own reads and writes (the same buffers, write-back and
//            flush per file) without its parsing, writing as many bytes to each image; its row shows
//            how close the split comes to its file work alone. Its images and header copy must have
//            the names and sizes of ours.
//   combine floor: combine-floor, the combine's own reads and writes without its formatting,
//            writing as many bytes as our superfile has, which its output must have.
// Options: --mib A,B,... (superfile sizes, default 16,64,256), --pairs N, --check-only.
// TARVEX_BENCH_CORRUPT=split or =combine flips a byte of our output before the checks; =floor adds a
// byte to our largest image before the floor's sizes are compared, =combine-floor one to our
// superfile before the combine floor's size is.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/support/BenchSupport.h"
#include "workbench/core/TSuperfileHeader.h"

namespace {

namespace fs = std::filesystem;

struct TRow {
  int CG = -1;  // -1: none (the RAM downloader, the boot loader)
  std::string Type, Name;
  uint32_t A1 = 0, A2 = 0;
};

// The rows shx-tool split prints: CG|Type|A1|A2|size|file.
std::vector<TRow> ReadRows(const std::string& list, const std::string& keep) {
  std::vector<TRow> rows;
  std::ifstream in(list);
  std::ofstream out(keep, std::ios::trunc);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields;
    std::stringstream s(line);
    for (std::string f; fields.size() < 5 && std::getline(s, f, '|');) fields.push_back(f);
    std::string name;
    if (fields.size() != 5 || !std::getline(s, name)) continue;  // a status line
    rows.push_back({fields[0].empty() ? -1 : std::stoi(fields[0]), fields[1], name,
                    static_cast<uint32_t>(std::stoul(fields[2], nullptr, 16)),
                    static_cast<uint32_t>(std::stoul(fields[3], nullptr, 16))});
    out << line << "\n";
  }
  return rows;
}

// Writes each S-record block of a superfile (its records up to and with an S7) to its own file.
std::vector<std::string> WriteBlocks(const std::string& superfile, const fs::path& dir) {
  fs::create_directories(dir);
  std::ifstream in(superfile, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(kSuperfileHeaderSize));
  std::vector<std::string> blocks;
  std::ofstream out;
  for (std::string line; std::getline(in, line);) {
    if (!out.is_open()) {
      blocks.push_back((dir / (std::to_string(blocks.size()) + ".srec")).string());
      out.open(blocks.back(), std::ios::binary | std::ios::trunc);
    }
    out << line << "\n";
    if (line.rfind("S7", 0) == 0) out.close();
  }
  return blocks;
}

// The first S3 record's address of a block file, or none.
std::optional<uint32_t> FirstAddress(const std::string& block) {
  std::ifstream in(block);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("S3", 0) == 0 && line.size() >= 12) return static_cast<uint32_t>(std::stoul(line.substr(4, 8), nullptr, 16));
  return std::nullopt;
}

// Compares the S3 records of two files in order; returns why they differ, or an empty text.
std::string CompareRecords(const std::string& ours, const std::string& theirs) {
  std::ifstream a(ours), b(theirs);
  const auto next = [](std::ifstream& in, std::string& line) {
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.rfind("S3", 0) == 0) return true;
    }
    return false;
  };
  std::string la, lb;
  for (long n = 1;; ++n) {
    const bool ha = next(a, la), hb = next(b, lb);
    if (!ha && !hb) return n == 1 ? "no S3 records" : "";
    if (ha != hb) return "record " + std::to_string(n) + ": " + (ha ? "objcopy wrote fewer" : "objcopy wrote more");
    if (la != lb) return "record " + std::to_string(n) + ": " + la + " / objcopy " + lb;
  }
}

std::vector<std::string> SRecordsOf(const std::string& image, uint32_t address, const std::string& out) {
  char start[16];
  std::snprintf(start, sizeof start, "0x%08X", address);
  return {"objcopy", "-I", "binary", "-O", "srec", "--srec-forceS3", "--srec-len=64", "--change-addresses", start,
          image, out};
}

uint32_t GetBE32(const std::vector<char>& b, size_t at) {
  return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) << 24 | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 8 | static_cast<uint8_t>(b[at + 3]);
}

void PutBE32(std::vector<char>& b, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<char>(value >> (24 - 8 * i));
}

// The RAM downloader as a combine must write it: bytes 48 to 415 FF, then the (start, end) pair of
// each code group 1 to 20 at 248 + 8 * CG, big-endian. A pair the image presets is kept, else it is
// the row's start and its end rounded up to 64 KiB; a start word FFFF0000 marks a start left out.
// The memory map's start, when it is a row of its own, is code group 1's start word.
std::string ExpectedLoader(const TRow& loaderRow, std::vector<TRow> rows, const std::string& out) {
  std::ifstream in(loaderRow.Name, std::ios::binary);
  const std::vector<char> loader{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (loader.size() < 416) throw std::runtime_error("the RAM downloader is too short for its table");
  std::vector<char> table = loader;
  std::fill(table.begin() + 48, table.begin() + 416, static_cast<char>(0xFF));
  std::stable_sort(rows.begin(), rows.end(), [](const TRow& a, const TRow& b) { return a.CG < b.CG; });
  for (const TRow& row : rows) {
    if (row.CG == 0) PutBE32(table, 256, row.A1);
    if (row.CG < 1 || row.CG > 20) continue;
    const size_t at = 248 + 8 * static_cast<size_t>(row.CG);
    uint32_t start = GetBE32(loader, at), end = GetBE32(loader, at + 4);
    if (start == 0xFFFFFFFF && end == 0xFFFFFFFF) start = row.A1, end = row.A2 | 0xFFFF;
    PutBE32(table, at + 4, end);
    if (start != 0xFFFF0000) PutBE32(table, at, start);
  }
  std::ofstream(out, std::ios::binary | std::ios::trunc).write(table.data(), static_cast<std::streamsize>(table.size()));
  return out;
}

std::string Concatenate(const std::string& a, const std::string& b, const std::string& out) {
  std::ofstream o(out, std::ios::binary | std::ios::trunc);
  o << std::ifstream(a, std::ios::binary).rdbuf() << std::ifstream(b, std::ios::binary).rdbuf();
  return out;
}

// Runs each command as a process; the sample is their total time and the highest peak.
bench::TSample RunAll(const std::vector<std::vector<std::string>>& commands) {
  bench::TSample total{0, -1};
  for (const auto& command : commands) {
    const bench::TSample s = bench::RunProcess(command);
    total.Seconds += s.Seconds;
    total.PeakKB = std::max(total.PeakKB, s.PeakKB);
  }
  return total;
}

void Bench(int mib, const fs::path& dir, const bench::TOptions& options) {
  fs::create_directories(dir);
  const std::string superfile = (dir / "fw.shx").string();
  // shx-gen's realistic firmware is about 3.1 text bytes per flash byte.
  bench::RunProcess({SHX_GEN, superfile, std::to_string(static_cast<uint64_t>(mib) * 1048576 * 10 / 31), "5"});
  const double bytes = static_cast<double>(fs::file_size(superfile));
  const std::string size = bench::Bytes(bytes) + " superfile";

  // Split: every image against objcopy's binary of its block.
  const auto cutStart = std::chrono::steady_clock::now();
  const std::vector<std::string> blocks = WriteBlocks(superfile, dir / "blocks");
  const double cutSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - cutStart).count();
  fs::create_directories(dir / "split");
  bench::RunProcess({SHX_TOOL, "split", superfile, (dir / "split").string()}, (dir / "split.txt").string());
  const std::string list = (dir / "list.txt").string();
  const std::vector<TRow> rows = ReadRows((dir / "split.txt").string(), list);
  if (rows.size() != blocks.size())
    bench::CheckFailed("split of " + size + ": " + std::to_string(rows.size()) + " images from " +
                       std::to_string(blocks.size()) + " blocks");
  const auto splitPeerInto = [&](const fs::path& out) {
    std::vector<std::vector<std::string>> commands;
    for (size_t i = 0; i < blocks.size(); ++i)
      commands.push_back({"objcopy", "-I", "srec", "-O", "binary", blocks[i], (out / (std::to_string(i) + ".bin")).string()});
    return commands;
  };
  fs::create_directories(dir / "objcopy-split");
  const std::vector<std::vector<std::string>> splitPeer = splitPeerInto(dir / "objcopy-split");
  RunAll(splitPeer);
  size_t largest = 0;
  for (size_t i = 0; i < rows.size(); ++i)
    if (fs::file_size(rows[i].Name) > fs::file_size(rows[largest].Name)) largest = i;
  if (bench::CorruptionAsked("split")) bench::FlipFileByte(rows[largest].Name, fs::file_size(rows[largest].Name) / 2);
  for (size_t i = 0; i < rows.size(); ++i)
    if (const auto at = bench::FirstDifference(rows[i].Name, splitPeer[i].back()))
      bench::CheckFailed("split of " + size + ": the " + rows[i].Type + " image differs from objcopy's at byte " +
                         std::to_string(*at));

  // The floor: the images in the order of the text, with our names and sizes.
  const std::string plan = (dir / "floor-plan.txt").string();
  {
    std::ofstream out(plan, std::ios::trunc);
    for (const TRow& row : rows)
      out << fs::file_size(row.Name) << " " << fs::path(row.Name).filename().string() << "\n";
  }
  const auto floorInto = [&](const fs::path& out) {
    return std::vector<std::vector<std::string>>{{SPLIT_FLOOR, superfile, plan, out.string()}};
  };
  fs::create_directories(dir / "floor");
  RunAll(floorInto(dir / "floor"));
  if (bench::CorruptionAsked("floor"))
    std::ofstream(rows[largest].Name, std::ios::binary | std::ios::app).put('\0');
  for (const fs::directory_entry& ours : fs::directory_iterator(dir / "split")) {
    const fs::path theirs = dir / "floor" / ours.path().filename();
    if (!fs::exists(theirs) || fs::file_size(theirs) != ours.file_size())
      bench::CheckFailed("split floor of " + size + ": " + ours.path().filename().string() +
                         (fs::exists(theirs) ? " has another size" : " is missing"));
  }

  // Combine: every block's S3 records against objcopy's of its image.
  const std::string combined = (dir / "combined.shx").string();
  bench::RunProcess({SHX_TOOL, "combine", list, combined});
  std::map<uint32_t, std::string> peerInputs;  // block address -> the image objcopy reads
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].Type == "Flash" && i > 0 && rows[i - 1].Type == "Memory map") continue;
    std::string image = rows[i].Name;
    if (rows[i].Type == "Memory map" && i + 1 < rows.size() && rows[i + 1].Type == "Flash")
      image = Concatenate(image, rows[i + 1].Name, (dir / "map-and-flash.bin").string());
    if (rows[i].Type == "RAM Downloader") image = ExpectedLoader(rows[i], rows, (dir / "loader.bin").string());
    peerInputs[rows[i].A1] = image;
  }
  const auto combinePeerInto = [&](const fs::path& out) {
    std::vector<std::vector<std::string>> commands;
    for (const auto& [address, image] : peerInputs)
      commands.push_back(SRecordsOf(image, address, (out / (std::to_string(commands.size()) + ".srec")).string()));
    return commands;
  };
  fs::create_directories(dir / "objcopy-combine");
  const std::vector<std::vector<std::string>> combinePeer = combinePeerInto(dir / "objcopy-combine");
  RunAll(combinePeer);
  if (bench::CorruptionAsked("combine")) bench::FlipFileByte(combined, fs::file_size(combined) / 2);
  const std::vector<std::string> ourBlocks = WriteBlocks(combined, dir / "combined-blocks");
  if (ourBlocks.size() != combinePeer.size())
    bench::CheckFailed("combine of " + size + ": " + std::to_string(ourBlocks.size()) + " blocks for " +
                       std::to_string(combinePeer.size()) + " images");
  for (const std::string& block : ourBlocks) {
    const auto address = FirstAddress(block);
    const auto image = address ? peerInputs.find(*address) : peerInputs.end();
    if (image == peerInputs.end()) bench::CheckFailed("combine of " + size + ": a block starts at no image's address");
    const size_t n = static_cast<size_t>(std::distance(peerInputs.begin(), image));
    const std::string why = CompareRecords(block, combinePeer[n].back());
    if (!why.empty())
      bench::CheckFailed("combine of " + size + ": the block of " + fs::path(image->second).filename().string() +
                         " differs from objcopy's, " + why);
  }

  // The combine's floor: the images in the order of the list, as many bytes written as ours.
  const auto combineFloorInto = [&](const fs::path& out) {
    std::vector<std::string> command{COMBINE_FLOOR, std::to_string(fs::file_size(combined)), (out / "timed.shx").string()};
    for (const TRow& row : rows) command.push_back(row.Name);
    return std::vector<std::vector<std::string>>{command};
  };
  fs::create_directories(dir / "combine-floor");
  RunAll(combineFloorInto(dir / "combine-floor"));
  const uint64_t floorBytes = fs::file_size(dir / "combine-floor" / "timed.shx");
  if (bench::CorruptionAsked("combine-floor")) std::ofstream(combined, std::ios::binary | std::ios::app).put('\0');
  if (floorBytes != fs::file_size(combined))
    bench::CheckFailed("combine floor of " + size + ": " + std::to_string(floorBytes) + " bytes written, ours " +
                       std::to_string(fs::file_size(combined)));
  std::printf("  %s: %zu images and %zu blocks equal objcopy's\n", size.c_str(), rows.size(), ourBlocks.size());
  if (options.CheckOnly) return;

  std::vector<double> starts;
  for (int i = 0; i < 5; ++i) starts.push_back(bench::RunProcess({"objcopy", "--version"}).Seconds);
  std::sort(starts.begin(), starts.end());
  const std::string start = bench::Seconds(starts[starts.size() / 2]);
  bench::AddNote("split of " + size + ": objcopy is started " + std::to_string(blocks.size()) +
                 " times (once per block) to shx-tool's once, a start taking " + start +
                 ", and the blocks it reads are cut from the superfile before its clock starts (the cut: " +
                 bench::Seconds(cutSeconds) + ")");
  bench::AddNote("combine of " + size + ": objcopy is started " + std::to_string(combinePeer.size()) +
                 " times (once per image) to shx-tool's once, a start taking " + start +
                 ", and reads the memory map and the flash joined, and the RAM downloader with its table, "
                 "made before its clock starts");

  // Each timed run writes to a fresh folder, removed after it. shx-tool syncs every file it writes
  // and objcopy none, so objcopy is timed twice: as it is, and with a sync of its outputs after it.
  // Either way the disk is synced after the run, untimed: the writes left to the system would
  // otherwise land in the next run, whichever side it is.
  int runs = 0;
  const auto inFreshFolder = [&](const std::function<bench::TSample(const fs::path&)>& run) {
    const fs::path out = dir / ("run-" + std::to_string(runs++));
    fs::create_directories(out);
    const bench::TSample sample = run(out);
    fs::remove_all(out);
    ::sync();
    return sample;
  };
  const auto withSync = [](std::vector<std::vector<std::string>> commands) {
    std::vector<std::string> sync{"sync"};
    for (const auto& command : commands) sync.push_back(command.back());
    commands.push_back(sync);
    return commands;
  };
  using TCommands = std::vector<std::vector<std::string>>;
  // One row: ours writing to `ourOutput` in its folder, against the peer's commands into theirs.
  const auto addRow = [&](const std::string& work, std::vector<std::string> ours, const std::string& ourOutput,
                          const std::function<TCommands(const fs::path&)>& peerInto, bool synced) {
    const auto oursRun = [&] {
      return inFreshFolder([&](const fs::path& out) {
        std::vector<std::string> command = ours;
        command.push_back(ourOutput.empty() ? out.string() : (out / ourOutput).string());
        return bench::RunProcess(command);
      });
    };
    const auto peerRun = [&] {
      return inFreshFolder([&](const fs::path& out) { return RunAll(synced ? withSync(peerInto(out)) : peerInto(out)); });
    };
    bench::AddRow(bench::PairRow(work + (synced ? ", then sync of its outputs" : ""), size,
                                 bench::RunPairs(oursRun, peerRun, options.Pairs), true));
  };
  // The checks' writes are on the disk before the first timed run, so that no run waits for them.
  bench::RunProcess({"sync"});
  addRow("split floor: shx-tool split / its reads and writes without parsing", {SHX_TOOL, "split", superfile},
         "", floorInto, false);
  addRow("combine floor: shx-tool combine / its reads and writes without formatting", {SHX_TOOL, "combine", list},
         "timed.shx", combineFloorInto, false);
  for (const bool synced : {false, true}) {
    addRow("split: shx-tool / objcopy -I srec -O binary of each block", {SHX_TOOL, "split", superfile}, "",
           splitPeerInto, synced);
    addRow("combine: shx-tool / objcopy -I binary -O srec of each image", {SHX_TOOL, "combine", list}, "timed.shx",
           combinePeerInto, synced);
  }
}

std::vector<int> Sizes(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--mib") {
      std::vector<int> sizes;
      std::stringstream s(argv[i + 1]);
      for (std::string n; std::getline(s, n, ',');) sizes.push_back(std::max(1, std::atoi(n.c_str())));
      return sizes;
    }
  return {16, 64, 256};
}

}  // namespace

int main(int argc, char** argv) {
  return bench::Main(argc, argv, [&](const bench::TOptions& options) {
    const fs::path root = fs::temp_directory_path() / ("tarvex-superfile-bench-" + std::to_string(::getpid()));
    struct TCleanUp {
      fs::path Dir;
      ~TCleanUp() { fs::remove_all(Dir); }
    } cleanUp{root};
    // No peak can be below what a spawned process starts with.
    std::printf("  a spawned /bin/true peaks at %s\n", bench::KiBAsMiB(bench::RunProcess({"true"}).PeakKB).c_str());
    for (int mib : Sizes(argc, argv)) {
      Bench(mib, root / std::to_string(mib), options);
      fs::remove_all(root / std::to_string(mib));
    }
  });
}
