#include "editors/TEditorFlasher.h"

#include "phone/TfmFlash.h"

namespace {

class TFlashWindowFlasher : public TEditorFlasher {
public:
  bool Running() override { return fmFlash->Running(); }
  void ResetList() override { fmFlash->ResetList(); }
  void AppendRow(const TFlasherRow& row) override {
    const std::optional<int32_t> cg = row.CG < 0 ? std::nullopt : std::optional<int32_t>(row.CG);
    fmFlash->AppendRow(cg, row.Name, row.Type, row.A1, row.Size);
  }
  void Show() override { fmFlash->Show(); }
};

TEditorFlasher* setFlasher = nullptr;

}  // namespace

TEditorFlasher* EditorFlasher() {
  static TFlashWindowFlasher window;
  if (setFlasher != nullptr) return setFlasher;
  return fmFlash != nullptr ? &window : nullptr;
}

void SetEditorFlasher(TEditorFlasher* flasher) { setFlasher = flasher; }
