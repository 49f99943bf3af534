// Times the file list view on a folder of 5,000 files: a refresh against a bare FindFirstFileA +
// SHGetFileInfoA loop over the same folder (icon index and type name, as the list asks), and a sort
// by each column. The folder is made under the temporary folder of drive C: and removed after.
// Runs under Wine (tools/bench runs host benchmarks only):
//   wine build/win/bench/skin/windows/file_list_bench.exe [--pairs N] [--check-only]
// TARVEX_BENCH_CORRUPT=file-list drops one item of the list, which must fail the check.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/support/WineBench.h"
#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "skin/windows/TsFileListView.h"

namespace {

constexpr int kFiles = 5000;

std::string MakeFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "tarvex_flv_bench_" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const char* const extensions[] = {".smg", ".shx", ".txt", ".bin", ".lng"};
  for (int i = 0; i < kFiles; ++i) {
    const std::string path = folder + "file_" + std::to_string((i * 7919) % kFiles) + extensions[i % 5];
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    LARGE_INTEGER size;
    size.QuadPart = (i * 104729LL) % 3000000;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    FILETIME time;
    const ULONGLONG t = 130000000000000000ULL + ULONGLONG((i * 15485863LL) % 1000000) * 10000000ULL;
    time.dwLowDateTime = DWORD(t);
    time.dwHighDateTime = DWORD(t >> 32);
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
  }
  return folder;
}

void RemoveFolder(const std::string& folder) {
  const std::string from = folder.substr(0, folder.size() - 1) + std::string(2, '\0');
  SHFILEOPSTRUCTA op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  SHFileOperationA(&op);
}

// The peer: what a bare listing asks of the system per file.
int BareListing(const std::string& folder) {
  int count = 0;
  WIN32_FIND_DATAA data{};
  HANDLE find = FindFirstFileA((folder + "*.*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    SHFILEINFOA info{};
    SHGetFileInfoA((folder + data.cFileName).c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_TYPENAME);
    ++count;
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return count;
}

// The list's order agrees with the column's values in the direction asked.
bool SortedBy(TsFileListView* list, int column) {
  for (int i = 1; i < list->ItemCount(); ++i) {
    const int c = CompareEntries(*list->Entry(list->Items(i - 1)), *list->Entry(list->Items(i)), column,
                                 list->SortInverse());
    if (c > 0) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Application->Initialize();
  const std::string folder = MakeFolder();
  const int result = winbench::Main(argc, argv, [&](const winbench::TOptions& options) {
    TForm* form = NewComponent<TForm>(Application);
    form->SetBounds(0, 0, 640, 480);
    auto* list = NewControl<TsFileListView>(form, form, RECT{0, 0, 620, 440});
    form->Show();
    list->SetDirectory(folder);
    const int peerCount = BareListing(folder);
    int ours = list->ItemCount();
    if (winbench::CorruptionAsked("file-list")) --ours;
    if (ours != peerCount || ours != kFiles)
      winbench::CheckFailed("refresh: " + std::to_string(ours) + " items, the bare loop found " +
                            std::to_string(peerCount));
    for (int column = 0; column < 5; ++column) {
      list->ColumnClicked(column);
      if (!SortedBy(list, column)) winbench::CheckFailed("sort: column " + std::to_string(column) + " out of order");
    }
    if (options.CheckOnly) {
      form->Free();
      return;
    }

    static const char* const names[] = {"Name", "Size", "Type", "Modified", "Attr"};
    for (int column = 0; column < 5; ++column) {
      std::vector<double> ms;
      for (int p = 0; p < options.Pairs; ++p) {
        const double start = winbench::NowMs();
        list->ColumnClicked(column);
        ms.push_back(winbench::NowMs() - start);
      }
      winbench::AddRow(std::string("file list: sort by ") + names[column], std::to_string(kFiles) + " files",
                       winbench::Milliseconds(winbench::Median(ms)), "-", "-");
    }
    const auto timed = [](const std::function<void()>& work) {
      const double start = winbench::NowMs();
      work();
      return winbench::NowMs() - start;
    };
    winbench::AddPairRow("file list: refresh", std::to_string(kFiles) + " files",
                         winbench::RunPairs(
                             options.Pairs, [&] { return timed([&] { list->RefreshList(); }); },
                             [&] { return timed([&] { BareListing(folder); }); }));
    form->Free();
  });
  RemoveFolder(folder);
  return result;
}
