// Test driver on the DRM core:
//   drm-tool list IMAGE
//   drm-tool export IMAGE NO [OUT]             OUT defaults to the proposed export name
//   drm-tool replace IMAGE NO FILE OUT [W H]   RAW bounds default to the file name's "(WxH)"
#include "editors/core/DRMNames.h"
#include "editors/core/EditorHex.h"
#include "editors/core/TDRMImage.h"
#include "framework/base/AnsiStrings.h"
#include "tests/tools/lp-tool/lp-files.h"
#include "tests/tools/ToolSignals.h"

#include <algorithm>
#include <iostream>

namespace {

int Usage() {
  std::cerr << "usage: drm-tool list IMAGE | export IMAGE NO [OUT] | replace IMAGE NO FILE OUT [W H]\n";
  return 2;
}

const TDRMPicture& Find(const TDRMListing& list, int no) {
  const auto it = std::find_if(list.Pictures.begin(), list.Pictures.end(),
                               [no](const TDRMPicture& p) { return p.No == no; });
  if (it == list.Pictures.end()) throw std::runtime_error("no picture " + std::to_string(no));
  return *it;
}

}  // namespace

int main(int argc, char** argv) {
  IgnoreFileSizeSignal();
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() < 2) return Usage();
  try {
    TDRMImage image(lp::ReadFile(args[1]));
    const TDRMListing list = image.List();
    if (args[0] == "list") {
      for (const TDRMPicture& p : list.Pictures) {
        std::cout << p.No << " " << PictureFileName(p) << " " << IntToHex(p.Address, 8) << " " << p.Size
                  << "\n";
      }
      if (!list.Complete) std::cout << "incomplete: " << list.Problem << "\n";
    } else if (args[0] == "export" && (args.size() == 3 || args.size() == 4)) {
      const TDRMPicture& p = Find(list, std::stoi(args[2]));
      const auto data = image.PictureData(p.Address, p.Size);
      lp::WriteFile(args.size() == 4 ? args[3] : PictureFileName(p), data.data(), data.size());
    } else if (args[0] == "replace" && (args.size() == 5 || args.size() == 7)) {
      const TDRMPicture& p = Find(list, std::stoi(args[2]));
      int width = p.Width, height = p.Height;
      if (args.size() == 7) {
        width = std::stoi(args[5]);
        height = std::stoi(args[6]);
      } else if (const auto bounds = ParseRawBounds(args[3])) {
        width = bounds->first;
        height = bounds->second;
      }
      image.Replace(p.No, lp::ReadFile(args[3]), width, height);
      lp::WriteFile(args[4], image.Image().data(), image.Image().size());
    } else {
      return Usage();
    }
  } catch (const std::exception& e) {
    std::cerr << "drm-tool: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
