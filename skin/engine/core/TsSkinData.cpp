#include "skin/engine/core/TsSkinData.h"

bool SkinChanging = false;

TsSkinData& SkinData() {
  static TsSkinData data;
  return data;
}
