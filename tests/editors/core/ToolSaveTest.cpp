// The command-line drivers write their output over the image they read. Run as on a nearly full
// disk (the size of any file they write limited, so that a write past it fails), they must leave the
// image as it was and say why.
#include "editors/core/EditorFiles.h"
#include "framework/base/TAtomicFileStream.h"
#include "tests/editors/core/FakeEditorHost.h"
#include "tests/editors/generators/DRMGenerator.h"
#include "tests/editors/generators/LangPackGenerator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/RunLimited.h"

#if defined(LP_TOOL) && defined(DRM_TOOL)

TEST(ToolSave, LpToolOnAFullDiskKeepsThePackAndNamesTheFileAndTheReason) {
  TTempFolder folder;
  const TGenPack gen = GenerateLangPack(LargeLangPackPlan(5, 2));
  const std::string image = folder / "pack_CG4.smg";
  EditorFiles::WriteWholeFile(image, gen.Image);
  ASSERT_GT(gen.Image.size(), 1000u);
  std::string errors;
  EXPECT_EQ(
      RunLimited({LP_TOOL, "delete", image, "1", image}, gen.Image.size() / 2, folder / "err.txt", errors),
      1);
  EXPECT_EQ(errors, "lp-tool: Cannot write file \"" + image + "\". File too large\n");
  EXPECT_EQ(EditorFiles::ReadWholeFile(image), gen.Image);
  EXPECT_TRUE(TAtomicFileStream::TemporariesOf(image).empty());
}

TEST(ToolSave, DrmToolOnAFullDiskKeepsTheImage) {
  TTempFolder folder;
  TGenDRMPlan plan;
  plan.RawPictures = 8;
  plan.MaxSide = 64;
  const TGenDRM gen = GenerateDRM(plan);
  ASSERT_GT(gen.Image.size(), 1000u);
  const std::string image = folder / "drm_CG15.smg";
  const std::string raw = folder / "new.raw";
  EditorFiles::WriteWholeFile(image, gen.Image);
  std::vector<uint8_t> data = gen.Pictures[0].Data;
  for (uint8_t& b : data) b = static_cast<uint8_t>(~b);
  EditorFiles::WriteWholeFile(raw, data);
  std::string errors;
  EXPECT_EQ(RunLimited({DRM_TOOL, "replace", image, "1", raw, image, std::to_string(gen.Pictures[0].Width),
                        std::to_string(gen.Pictures[0].Height)},
                       gen.Image.size() / 2, folder / "err.txt", errors),
            1);
  EXPECT_EQ(errors, "drm-tool: Cannot write file \"" + image + "\". File too large\n");
  EXPECT_EQ(EditorFiles::ReadWholeFile(image), gen.Image);
  EXPECT_TRUE(TAtomicFileStream::TemporariesOf(image).empty());
}

#endif
