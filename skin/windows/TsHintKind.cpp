#include "skin/windows/TsHintKind.h"

#include "skin/windows/TsHintManager.h"

TsHintKind::TsHintKind(TsHintManager* manager) : FManager(manager) {}

TsHintKind::~TsHintKind() = default;

void TsHintKind::Assign(const TPersistent* source) {
  if (auto* kind = dynamic_cast<const TsHintKind*>(source)) {
    FLook = kind->FLook;
    FFont.Assign(&kind->FFont);
    FTexture.Assign(&kind->FTexture);
    FTextureFile = kind->FTextureFile;
    if (FManager != nullptr) FManager->SelectWindowClass();
    return;
  }
  TPersistent::Assign(source);
}

bool TsHintKind::ApplyPredefinition(TsHintsPredefinitions predefinition) {
  const bool fontReset = ApplyHintPredefinition(FLook, predefinition);
  if (fontReset) {
    FFont.SetStyle(0);
    FFont.SetColor(0);
  }
  return fontReset;
}

void TsHintKind::SetStyle(TsHintStyle style) {
  if (style == FLook.Style) return;
  FLook.Style = style;
  if (FManager != nullptr && !FManager->IsLoading()) FManager->SelectWindowClass();
}

void TsHintKind::SetTextureFile(const std::string& fileName) {
  if (fileName == FTextureFile) return;
  FTextureFile = fileName;
  if (fileName.empty()) {
    FTexture.SetSize(0, 0);
    return;
  }
  FTexture.LoadFromFile(fileName);
}
