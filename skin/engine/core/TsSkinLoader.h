#pragma once

#include <memory>
#include <string>
#include <vector>

#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsIniText.h"
#include "skin/engine/core/TsSkinFiles.h"

// A skin kept inside the program instead of a folder (no inheritance, pictures in memory).
struct TsInternalSkin {
  struct TGeneral {
    TsSectionData Data;        // ParentClass is ignored; FontColor arrays come from the texts
    std::string FontColor;     // five integers separated by blanks
    std::string HotFontColor;  // likewise
  };
  struct TImage {
    std::string SectionName;
    std::string PropertyName;
    std::shared_ptr<const TsPixmap> Image;  // an own bitmap when ImageCount is 0
    TsRect R;
    std::int32_t ImageCount = 0;
    std::int32_t MaskType = 0;
    std::int32_t BorderWidth = 0;
  };
  struct TPattern {
    std::string SectionName;
    std::string PropertyName;
    std::shared_ptr<const TsPixmap> Image;
  };
  std::string Name;
  std::vector<TGeneral> GeneralData;
  std::vector<TImage> Images;
  std::vector<TPattern> Patterns;
  std::shared_ptr<const TsPixmap> MasterBitmap;
};

// What one load reads.
struct TsSkinSource {
  const TsIniText* Ini = nullptr;            // the skin's "Options.dat"; null: Internal
  std::string SkinPath;                      // the skin folder with a trailing backslash
  const TsInternalSkin* Internal = nullptr;  // used when Ini is null
  std::vector<std::string> CommonSections;   // extra sections as ini lines
  const TsSkinFiles* Files = nullptr;        // null: nothing is read (no pictures)
  TColor (*ColorToRGB)(TColor) = nullptr;    // resolves system colours; null keeps them
};

struct TsLoadedSkin {
  TsSkinTables Tables;
  double Version = 0;
  std::string Author;
  std::string Description;
  bool Refused = false;  // a skin of the old format: no sections were read
  // The master bitmap's name and why that file, which is there, cannot be read (empty when it
  // was read or is absent). The sections that draw from it, themselves or through PARENTCLASS,
  // are left out.
  std::string MasterBitmap;
  std::string MasterBitmapError;
};

// Reads the tables of a skin: masks, then patterns, then sections, then the common sections.
// A value that does not parse (a bad number, a bad gradient text, a cut outside the master
// bitmap, a corrupt or missing picture) counts as absent; a number out of what the painters
// draw is brought into range; nothing is installed here. Throws ESkinError for a skin beyond
// the bounds below.
TsLoadedSkin LoadSkin(const TsSkinSource& source);

// Bounds of a skin description; real skins stay far below them. A skin beyond one is refused.
constexpr std::size_t MaxSkinSections = 4096;
constexpr std::size_t MaxSkinKeys = 65536;     // key lines of all sections together
// MaxInheritanceDepth (SkinTables.h): sections on one PARENTCLASS chain.

// Throws ESkinError naming file when counts exceed the bounds; callers count before parsing.
void CheckSkinBounds(const TsIniText::TCounts& counts, const std::string& file);
// The same for a skin's own description, which must also hold at least one section: an empty or
// garbage file is refused rather than loaded as an empty skin.
void CheckSkinDescription(const TsIniText::TCounts& counts, const std::string& file);

// Text of the box shown for a skin of the old format.
extern const char* const OldSkinMessage;

// How a value of a skin section names a picture.
struct TsSkinValue {
  enum class TKind { None, Cut, Bitmap, Jpeg, Other };
  TKind Kind = TKind::None;
  TsRect R;  // Cut
  std::int16_t ImageCount = 1;
  std::int16_t MaskType = 0;
  std::int16_t BorderWidth = 0;
};
// Classifies one value; masterLoaded decides whether "#..." cuts count. A cut whose numbers do
// not parse is Other.
TsSkinValue ClassifySkinValue(const std::string& value, bool masterLoaded);
