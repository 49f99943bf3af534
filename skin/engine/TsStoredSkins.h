#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/win/TBitmap.h"
#include "framework/win/TJPEGImage.h"
#include "skin/engine/core/SkinTypes.h"
#include "skin/engine/core/TsSkinLoader.h"

// Skins kept inside the skin manager instead of a folder: one item per skin, each with its section
// records, masks, patterns and master bitmap. The object-valued setters copy into owned objects.

// One section of an internal skin: the keys of a skin section.
struct TsSkinGeneral {
  std::string Name;
  std::string SectionName;
  std::string ParentClass;  // kept, but internal skins do not inherit
  TColor Color = 0xFFFFFF;
  TsControlBevel Bevel = TsControlBevel::cbNone;
  std::string FontColor = "0 -1 -1 -1 -1";
  std::string HotFontColor = "0 -1 -1 -1 -1";
  int Transparency = 0;
  int GradientPercent = 0;
  std::string GradientData = " ";
  int ImagePercent = 0;
  bool ShowFocus = false;
  bool FadingEnabled = false;
  int FadingIntervalIn = 5;
  int FadingIntervalOut = 5;
  int FadingIterations = 5;
  TColor HotColor = 0xFFFFFF;
  int HotTransparency = 0;
  TsControlBevel HotBevel = TsControlBevel::cbNone;
  int HotGradientPercent = 0;
  std::string HotGradientData;
  int HotImagePercent = 0;
  TColor BorderColor1 = 0;
  TColor BorderColor2 = 0;
  int ShadowBlur = 6;
  TColor ShadowColor = 0;
  bool ShadowDontUse = false;
  bool ShadowEnabled = false;
  int ShadowOffset = 3;
  int ShadowTransparency = 50;
  bool ReservedBoolean = false;
};

// One mask: an own bitmap when ImageCount is 0, else a cut of the master bitmap.
class TsSkinImage {
public:
  std::string Name;
  std::string SectionName;
  std::string PropertyName;
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int ImageCount = 0;
  int MaskType = 0;
  int BorderWidth = 0;
  TBitmap* Image() { return &FImage; }
  void SetImage(const TBitmap* image) { FImage.Assign(image); }

private:
  TBitmap FImage;
};

class TsSkinPattern {
public:
  std::string Name;
  std::string SectionName;
  std::string PropertyName;
  TJPEGImage* Image() { return &FImage; }
  void SetImage(const TJPEGImage* image) { FImage.Assign(image); }

private:
  TJPEGImage FImage;
};

class TsStoredSkin {
public:
  std::string Name;
  std::vector<TsSkinGeneral> GeneralData;
  std::vector<std::unique_ptr<TsSkinImage>> Images;
  std::vector<std::unique_ptr<TsSkinPattern>> Patterns;
  TBitmap* MasterBitmap() { return &FMasterBitmap; }
  void SetMasterBitmap(const TBitmap* bitmap) { FMasterBitmap.Assign(bitmap); }

  TsSkinImage* AddImage();
  TsSkinPattern* AddPattern();

  // The skin as the loader reads it: pictures as 24-bit images.
  TsInternalSkin ToInternalSkin();

private:
  TBitmap FMasterBitmap;
};

// The internal skins of a manager, in order.
class TsStoredSkins {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  TsStoredSkin* Items(int index) const { return FItems.at(static_cast<std::size_t>(index)).get(); }
  TsStoredSkin* Add();
  void Delete(int index);
  void Clear() { FItems.clear(); }
  // A deep copy of source's skins, pictures included.
  void Assign(const TsStoredSkins& source);
  std::vector<TsInternalSkin> ToInternalSkins() const;

private:
  std::vector<std::unique_ptr<TsStoredSkin>> FItems;
};

// The 24-bit picture of a bitmap; empty for an empty one.
std::shared_ptr<const TsPixmap> PixmapOf(TBitmap* bitmap);
