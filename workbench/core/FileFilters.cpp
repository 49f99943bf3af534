#include "workbench/core/FileFilters.h"

std::string GetFilter(TFilterKind kind) {
  switch (kind) {
    case TFilterKind::Projects:
      return "Tarvex projetcs files (*.scp)|*.SCP|All files (*.*)|*.*";
    case TFilterKind::Superfiles:
      return "Motorola SHX files (*.shx)|*.SHX|All files (*.*)|*.*";
    case TFilterKind::CodeGroupImages:
      return "Motorola SMG files (*.smg)|*.SMG|Bin files (*.bin)|*.BIN|All files (*.*)|*.*";
    case TFilterKind::Languages:
      return "Tarvex lang files (*.lng)|*.LNG|All files (*.*)|*.*";
    case TFilterKind::DrmRemarks:
      return "Tarvex DRM-rermarks files (*.rmk)|*.rmk|All files (*.*)|*.*";
    case TFilterKind::RawPictures:
      return "RAW files (*.raw)|*.raw|All files (*.*)|*.*";
    case TFilterKind::FlexImages:
      return "Tarvex flex CG (*CG2.smg)|*CG2.smg|Motorola SMG files (*.smg)|*.SMG|Bin files (*.bin)|*.BIN|"
             "All files (*.*)|*.*";
    case TFilterKind::RamDownloaders:
      return "RAM Downloaders (ramdld*.smg)|ramdld*.smg|Motorola SMG files (*.smg)|*.SMG|"
             "Bin files (*.bin)|*.BIN|All files (*.*)|*.*";
    case TFilterKind::LangPacks:
      return "Tarvex langpack (*CG4.smg)|*CG4.smg|Motorola SMG files (*.smg)|*.SMG|Bin files (*.bin)|*.BIN|"
             "All files (*.*)|*.*";
    case TFilterKind::DrmImages:
      return "Tarvex DRM file (*CG15.smg)|*CG15.smg|Motorola SMG files (*.smg)|*.SMG|Bin files (*.bin)|*.BIN|"
             "All files (*.*)|*.*";
  }
  return "All files (*.*)|*.*";
}

std::string GetFilter(int kind) {
  return GetFilter(static_cast<TFilterKind>(kind));
}
