#include "phone/TfmFlash.h"

TfmFlash* fmFlash = nullptr;

TfmFlash::TfmFlash(TComponent* owner) : TForm(owner) {
  SetName("fmFlash");
  SetCaption("Flash");
  CDS = new TClientDataSet();
}

TfmFlash::~TfmFlash() { delete CDS; }

bool TfmFlash::Running() const { return false; }

void TfmFlash::ResetList() {}

void TfmFlash::AppendRow(std::optional<int32_t>, const std::string&, const std::string&, int32_t, int32_t) {}
