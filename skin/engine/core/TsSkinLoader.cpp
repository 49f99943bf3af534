#include "skin/engine/core/TsSkinLoader.h"

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <unordered_map>

#include "skin/engine/core/ESkinError.h"
#include "skin/engine/core/GradientText.h"
#include "skin/engine/core/SkinImageCodecs.h"
#include "skin/engine/core/SkinUtils.h"

const char* const OldSkinMessage =
    "This skin is of an old version, made for version 3 of Skarvo.\n"
    "Please download the latest skins.";

namespace {

// A small JPEG is a mask, a large one a pattern.
constexpr std::int64_t PatternMinPixels = 90000;

std::int16_t ClampInt16(std::int32_t v, std::int32_t low) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, low, 32767));
}

bool HoldsJpegName(const std::string& value) {
  const std::string up = UpperCase(value);
  return up.find(".JPG") != std::string::npos || up.find(".JPEG") != std::string::npos;
}

// Decodes the pictures of one load, each file once.
class TPictureCache {
public:
  TPictureCache(const TsSkinSource& source) : FSource(source) {}

  std::shared_ptr<const TsPixmap> Bitmap(const std::string& value) { return Get(value, false); }
  std::shared_ptr<const TsPixmap> Jpeg(const std::string& value) { return Get(value, true); }
  // Why the bitmap named by value is there but unusable; empty when it was read or is missing.
  std::string BitmapError(const std::string& value) const {
    auto it = FErrors.find(Key(value, false));
    return it == FErrors.end() ? std::string() : it->second;
  }

private:
  std::string Path(const std::string& value) const {
    // Relative to the skin folder unless the name holds a drive.
    return value.find(':') != std::string::npos ? value : FSource.SkinPath + value;
  }
  std::string Key(const std::string& value, bool jpeg) const { return (jpeg ? "J" : "B") + UpperCase(Path(value)); }

  std::shared_ptr<const TsPixmap> Get(const std::string& value, bool jpeg) {
    if (!FSource.Files) return nullptr;
    const std::string key = Key(value, jpeg);
    auto it = FCache.find(key);
    if (it != FCache.end()) return it->second;
    std::shared_ptr<const TsPixmap> image;
    const std::string path = Path(value);
    if (auto bytes = FSource.Files->Read(path)) {
      try {
        image = std::make_shared<const TsPixmap>(jpeg ? DecodeJpeg(*bytes) : DecodeBmp(*bytes));
        if (image->Empty()) FErrors[key] = "it holds no pixels";
      } catch (const ESkinImageError& e) {
        image = nullptr;  // a corrupt picture is a missing one
        FErrors[key] = e.Message();
      }
    } else if (FSource.Files->Exists(path)) {
      FErrors[key] = "the file cannot be read, or is larger than a skin picture may be";
    }
    FCache[key] = image;
    return image;
  }

  const TsSkinSource& FSource;
  std::map<std::string, std::shared_ptr<const TsPixmap>> FCache;
  std::map<std::string, std::string> FErrors;
};

bool CutFits(const TsRect& r, const TsPixmap& master) {
  return r.Left >= 0 && r.Top >= 0 && r.Right > r.Left && r.Bottom > r.Top && r.Right <= master.Width() &&
         r.Bottom <= master.Height();
}

// Masks named by the keys of one ini (the skin's, or the common sections without GLOBALINFO).
void ReadMasks(const TsIniText& ini, bool skipGlobalInfo, TsSkinTables& tables, TPictureCache& pictures) {
  for (const auto& section : ini.Sections()) {
    if (skipGlobalInfo && SameText(section.Name, "GLOBALINFO")) continue;
    for (const auto& entry : section.Entries) {
      const std::string value(ini.ValueOf(entry));
      const TsSkinValue v = ClassifySkinValue(value, tables.MasterBitmap != nullptr);
      TsMaskData m;
      m.SectionName = UpperCase(section.Name);
      m.MaskName = UpperCase(ini.KeyOf(entry));
      if (v.Kind == TsSkinValue::TKind::Cut) {
        if (!CutFits(v.R, *tables.MasterBitmap)) continue;
        m.R = v.R;
        m.ImageCount = v.ImageCount;
        m.MaskType = v.MaskType;
        m.BorderWidth = v.BorderWidth;
      } else if (v.Kind == TsSkinValue::TKind::Bitmap) {
        m.Bmp = pictures.Bitmap(value);
        if (!m.Bmp || m.Bmp->Width() == 0) continue;
      } else {
        continue;
      }
      tables.Masks.push_back(std::move(m));
    }
  }
}

void AddPicture(TsSkinTables& tables, std::shared_ptr<const TsPixmap> image, const std::string& section,
                const std::string& name, bool smallIsMask) {
  if (!image || image->Width() == 0) return;
  if (smallIsMask && static_cast<std::int64_t>(image->Width()) * image->Height() < PatternMinPixels) {
    TsMaskData m;
    m.Bmp = std::move(image);
    m.SectionName = UpperCase(section);
    m.MaskName = UpperCase(name);
    tables.Masks.push_back(std::move(m));
    return;
  }
  tables.Patterns.push_back({std::move(image), UpperCase(section), UpperCase(name)});
}

void ReadPatterns(const TsIniText& ini, bool smallIsMask, TsSkinTables& tables, TPictureCache& pictures) {
  for (const auto& section : ini.Sections())
    for (const auto& entry : section.Entries) {
      const std::string value(ini.ValueOf(entry));
      if (HoldsJpegName(value))
        AddPicture(tables, pictures.Jpeg(value), section.Name, std::string(ini.KeyOf(entry)), smallIsMask);
    }
}

using TIntReader = std::function<std::optional<std::int32_t>(const char* key)>;
using TStrReader = std::function<std::optional<std::string>(const char* key)>;

TsControlBevel BevelOf(std::int32_t v) {
  return static_cast<TsControlBevel>(std::clamp(v, 0, 4));
}

// Fills the fields of a record from a reader; a key the reader does not know keeps the field.
void FillSection(TsSectionData& r, const TIntReader& readInt, const TStrReader& readStr) {
  auto i = [&](const char* key, std::int32_t& field) {
    if (auto v = readInt(key)) field = *v;
  };
  auto s = [&](const char* key, std::string& field) {
    if (auto v = readStr(key)) field = *v;
  };
  auto b = [&](const char* key, bool& field) {
    if (auto v = readStr(key)) field = UpperCase(*v) == "TRUE";
  };
  auto bevel = [&](const char* key, TsControlBevel& field) {
    if (auto v = readInt(key)) field = BevelOf(*v);
  };
  i("COLOR", r.Color);
  bevel("BEVEL", r.Bevel);
  const char* font[5] = {"FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"};
  const char* hotFont[5] = {"HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM"};
  for (int k = 0; k < 5; ++k) {
    i(font[k], r.FontColor[k]);
    i(hotFont[k], r.HotFontColor[k]);
  }
  b("RESERVEDBOOLEAN", r.ReservedBoolean);
  i("SHADOWBLUR", r.ShadowBlur);
  i("SHADOWCOLOR", r.ShadowColor);
  b("SHADOWENABLED", r.ShadowEnabled);
  i("SHADOWOFFSET", r.ShadowOffset);
  i("SHADOWTRANSPARENCY", r.ShadowTransparency);
  i("TRANSPARENCY", r.Transparency);
  i("GRADIENTPERCENT", r.GradientPercent);
  s("GRADIENTDATA", r.GradientData);
  i("IMAGEPERCENT", r.ImagePercent);
  b("SHOWFOCUS", r.ShowFocus);
  b("FADINGENABLED", r.FadingEnabled);
  i("FADINGINTERVALIN", r.FadingIntervalIn);
  i("FADINGINTERVALOUT", r.FadingIntervalOut);
  i("FADINGITERATIONS", r.FadingIterations);
  i("HOTCOLOR", r.HotColor);
  i("HOTTRANSPARENCY", r.HotTransparency);
  bevel("HOTBEVEL", r.HotBevel);
  i("HOTGRADIENTPERCENT", r.HotGradientPercent);
  s("HOTGRADIENTDATA", r.HotGradientData);
  i("HOTIMAGEPERCENT", r.HotImagePercent);
  i("BORDERCOLOR1", r.BorderColor1);
  i("BORDERCOLOR2", r.BorderColor2);
}

void ParseGradients(TsSectionData& r) {
  r.Gradient = r.GradientData != " " ? ParseGradientData(r.GradientData) : std::vector<TsGradientStop>();
  r.HotGradient = ParseGradientData(r.HotGradientData);
}

// Largest shadow blur and offset the painters draw, in pixels.
constexpr std::int32_t MaxShadowSize = 64;
// Highest index of a system colour (COLOR_MENUBAR).
constexpr std::uint32_t MaxSystemColorIndex = 30;

// A colour as the painters take it: a system colour stays for ColorToRGB, anything else keeps
// its 24 colour bits.
TColor SkinColor(TColor c) {
  const auto u = static_cast<std::uint32_t>(c);
  if ((u & 0xFF000000u) == 0x80000000u && (u & 0xFFFFFFu) <= MaxSystemColorIndex) return c;
  return static_cast<TColor>(u & 0xFFFFFFu);
}

// A contour colour, where -1 means none.
TColor ContourColor(TColor c) {
  return c == -1 ? c : SkinColor(c);
}

// Brings every number of a record into what the painters draw.
void BoundSectionValues(TsSectionData& r) {
  auto percent = [](std::int32_t& v) { v = std::clamp(v, 0, 100); };
  for (std::int32_t* v : {&r.Transparency, &r.HotTransparency, &r.ShadowTransparency, &r.GradientPercent,
                          &r.HotGradientPercent, &r.ImagePercent, &r.HotImagePercent})
    percent(*v);
  r.ShadowBlur = std::clamp(r.ShadowBlur, 0, MaxShadowSize);
  r.ShadowOffset = std::clamp(r.ShadowOffset, -MaxShadowSize, MaxShadowSize);
  for (TColor* c : {&r.Color, &r.ShadowColor, &r.HotColor, &r.BorderColor1, &r.BorderColor2, &r.FontColor[0],
                    &r.HotFontColor[0]})
    *c = SkinColor(*c);
  for (std::size_t k = 1; k < 5; ++k) {
    r.FontColor[k] = ContourColor(r.FontColor[k]);
    r.HotFontColor[k] = ContourColor(r.HotFontColor[k]);
  }
}

using TSection = TsIniText::TSection;

// The PARENTCLASS chains of a skin's ini: each section, then its parent, and so on. A chain ends
// at a missing parent, a section naming itself, or a section already on it (a cycle); a longer
// chain than MaxInheritanceDepth refuses the skin.
class TSectionChains {
public:
  TSectionChains(const TsIniText& ini, const std::string& file) : FIni(ini), FFile(file) {
    const auto& sections = ini.Sections();
    FParents.reserve(sections.size());
    for (const auto& section : sections) {
      const TsIniText::TEntry* entry = ini.Find(section, "PARENTCLASS");
      const std::string_view parent = entry ? ini.ValueOf(*entry) : std::string_view();
      const TSection* found = nullptr;
      if (!parent.empty() && parent != "?" && parent != section.Name) found = ini.FindSection(parent);
      FParents.push_back(found ? static_cast<std::int32_t>(found - sections.data()) : -1);
    }
  }

  // The chain of section index, the section first.
  const std::vector<const TSection*>& Of(std::size_t index) {
    const auto& sections = FIni.Sections();
    FChain.clear();
    for (std::int32_t at = static_cast<std::int32_t>(index); at >= 0; at = FParents[static_cast<std::size_t>(at)]) {
      const TSection* current = &sections[static_cast<std::size_t>(at)];
      if (std::find(FChain.begin(), FChain.end(), current) != FChain.end()) break;
      if (FChain.size() == MaxInheritanceDepth)
        throw ESkinError(FFile + ": the PARENTCLASS chain of section \"" + sections[index].Name +
                         "\" is longer than " + std::to_string(MaxInheritanceDepth) + " sections.");
      FChain.push_back(current);
    }
    return FChain;
  }

private:
  const TsIniText& FIni;
  const std::string& FFile;
  std::vector<std::int32_t> FParents;  // index of each section's parent, -1 none
  std::vector<const TSection*> FChain;
};

// Reads of a key along one chain: a value of -1 (or "?") and a value that does not parse count
// as absent, and the next section up is asked.
class TInheritedReader {
public:
  TInheritedReader(const TsIniText& ini, const std::vector<const TSection*>& chain) : FIni(ini), FChain(chain) {}

  std::optional<std::int32_t> Integer(const char* key) const {
    return Resolve<std::int32_t>(key, [](std::string_view v) -> std::optional<std::int32_t> {
      const auto n = ParseIniInteger(v);
      if (!n || *n == -1) return std::nullopt;
      return n;
    });
  }

  std::optional<std::string> String(const char* key) const {
    return Resolve<std::string>(key, [](std::string_view v) -> std::optional<std::string> {
      if (v == "?") return std::nullopt;
      return std::string(v);
    });
  }

private:
  template <typename T, typename TRead>
  std::optional<T> Resolve(const char* key, TRead read) const {
    for (const TSection* section : FChain)
      if (const TsIniText::TEntry* e = FIni.Find(*section, key))
        if (auto r = read(FIni.ValueOf(*e))) return r;
    return std::nullopt;
  }

  const TsIniText& FIni;
  const std::vector<const TSection*>& FChain;
};

bool HoldsCut(const TsIniText& ini, const TSection& section) {
  for (const auto& entry : section.Entries)
    if (ClassifySkinValue(std::string(ini.ValueOf(entry)), true).Kind == TsSkinValue::TKind::Cut) return true;
  return false;
}

// Without a usable master bitmap (masterUnreadable), a section that draws from it, itself or
// through a parent, is left out, so that what uses it keeps the standard look.
void ReadIniSections(const TsIniText& ini, const TsSkinSource& source, bool masterUnreadable,
                     TsSkinTables& tables) {
  const std::string file = source.SkinPath + "Options.dat";
  TSectionChains chains(ini, file);
  const auto& sections = ini.Sections();
  // Which sections hold a cut, each found once: chains share their sections.
  std::vector<bool> holdsCut(masterUnreadable ? sections.size() : 0);
  for (std::size_t i = 0; i < holdsCut.size(); ++i) holdsCut[i] = HoldsCut(ini, sections[i]);
  tables.Sections.reserve(sections.size());
  for (std::size_t index = 0; index < sections.size(); ++index) {
    const TSection& section = sections[index];
    const auto& chain = chains.Of(index);
    if (masterUnreadable && std::any_of(chain.begin(), chain.end(), [&](const TSection* s) {
          return holdsCut[static_cast<std::size_t>(s - sections.data())];
        }))
      continue;
    const TInheritedReader reader(ini, chain);
    TsSectionData r;
    r.SectionName = section.Name;
    r.ParentClass = ini.ReadString(section.Name, "PARENTCLASS", "");
    FillSection(
        r,
        [&](const char* key) -> std::optional<std::int32_t> {
          if (std::string_view(key) == "SHADOWCOLOR") return ini.ReadInteger(section.Name, key, 0);
          return reader.Integer(key);
        },
        [&](const char* key) { return reader.String(key); });
    BoundSectionValues(r);
    if (source.ColorToRGB) r.Color = SkinColor(source.ColorToRGB(r.Color));
    ParseGradients(r);
    tables.Sections.push_back(std::move(r));
  }
}

std::array<TColor, 5> FontColors(const std::string& text, const std::array<TColor, 5>& keep) {
  if (CountWords(text, " ") != 5) return keep;
  std::array<TColor, 5> r{};
  for (std::size_t k = 0; k < 5; ++k) {
    auto v = ParseIniInteger(NthWord(k + 1, text, " "));
    if (!v) return keep;
    r[k] = *v;
  }
  return r;
}

void ReadInternalSkin(const TsInternalSkin& skin, TsSkinTables& tables, TPictureCache&) {
  tables.MasterBitmap = skin.MasterBitmap && !skin.MasterBitmap->Empty() ? skin.MasterBitmap : nullptr;
  for (const auto& image : skin.Images) {
    TsMaskData m;
    m.SectionName = UpperCase(image.SectionName);
    m.MaskName = UpperCase(image.PropertyName);
    if (image.ImageCount == 0) {
      if (!image.Image || image.Image->Width() == 0) continue;
      m.Bmp = image.Image;
    } else {
      if (!tables.MasterBitmap || !CutFits(image.R, *tables.MasterBitmap)) continue;
      m.R = image.R;
      m.ImageCount = ClampInt16(image.ImageCount, 1);
      m.MaskType = ClampInt16(image.MaskType, 0);
      m.BorderWidth = ClampInt16(image.BorderWidth, 0);
    }
    tables.Masks.push_back(std::move(m));
  }
  for (const auto& p : skin.Patterns) AddPicture(tables, p.Image, p.SectionName, p.PropertyName, true);
}

void ReadInternalSections(const TsInternalSkin& skin, TsSkinTables& tables) {
  for (const auto& g : skin.GeneralData) {
    TsSectionData r = g.Data;
    r.ParentClass.clear();
    r.FontColor = FontColors(g.FontColor, r.FontColor);
    r.HotFontColor = FontColors(g.HotFontColor, r.HotFontColor);
    BoundSectionValues(r);
    ParseGradients(r);
    tables.Sections.push_back(std::move(r));
  }
}

void ReadCommonSections(const TsIniText& common, TsSkinTables& tables) {
  for (const auto& section : common.Sections()) {
    const std::string parent = UpperCase(common.ReadString(section.Name, "PARENTCLASS", "-1"));
    TsSectionData r;
    if (parent != UpperCase(section.Name))
      for (const auto& earlier : tables.Sections)
        if (UpperCase(earlier.SectionName) == parent) {
          r = earlier;
          break;
        }
    r.SectionName = section.Name;
    r.ParentClass = parent;
    FillSection(
        r,
        [&](const char* key) -> std::optional<std::int32_t> {
          auto v = common.ReadInteger(section.Name, key, -1);
          if (v == -1) return std::nullopt;
          return v;
        },
        [&](const char* key) -> std::optional<std::string> {
          auto v = common.ReadString(section.Name, key, "?");
          if (v == "?") return std::nullopt;
          return v;
        });
    BoundSectionValues(r);
    ParseGradients(r);
    tables.Sections.push_back(std::move(r));
  }
}

TsIniText::TCounts CountOf(const TsIniText& ini) {
  TsIniText::TCounts counts;
  counts.Sections = ini.Sections().size();
  for (const auto& section : ini.Sections()) counts.Keys += section.Entries.size();
  return counts;
}

}  // namespace

TsSkinValue ClassifySkinValue(const std::string& value, bool masterLoaded) {
  TsSkinValue v;
  if (value.empty() || value == "-") return v;
  if (value.find('#') != std::string::npos && value != "#" && masterLoaded) {
    v.Kind = TsSkinValue::TKind::Other;
    const std::string rect = NthWord(2, value, " ()");
    const std::string counts = NthWord(3, value, " ()");
    std::int32_t n[4];
    if (CountWords(rect, " ,") != 4 || CountWords(counts, " ,") < 2) return v;
    for (std::size_t k = 0; k < 4; ++k) {
      auto x = ParseIniInteger(NthWord(k + 1, rect, " ,"));
      if (!x) return v;
      n[k] = *x;
    }
    auto count = ParseIniInteger(NthWord(1, counts, " ,"));
    auto type = ParseIniInteger(NthWord(2, counts, " ,"));
    std::optional<std::int32_t> border = 0;
    if (CountWords(counts, " ,") >= 3) border = ParseIniInteger(NthWord(3, counts, " ,"));
    if (!count || !type || !border) return v;
    v.Kind = TsSkinValue::TKind::Cut;
    v.R = {n[0], n[1], n[2], n[3]};
    v.ImageCount = ClampInt16(*count, 1);
    v.MaskType = ClampInt16(*type, 0);
    v.BorderWidth = ClampInt16(*border, 0);
    return v;
  }
  const std::string up = UpperCase(value);
  if (up.find(".BMP") != std::string::npos)
    v.Kind = TsSkinValue::TKind::Bitmap;
  else if (HoldsJpegName(value))
    v.Kind = TsSkinValue::TKind::Jpeg;
  else
    v.Kind = TsSkinValue::TKind::Other;
  return v;
}

void CheckSkinBounds(const TsIniText::TCounts& counts, const std::string& file) {
  auto refuse = [&](std::size_t count, const char* what, std::size_t most) {
    throw ESkinError(file + " holds " + std::to_string(count) + " " + what + "; a skin may hold at most " +
                     std::to_string(most) + ".");
  };
  if (counts.Sections > MaxSkinSections) refuse(counts.Sections, "sections", MaxSkinSections);
  if (counts.Keys > MaxSkinKeys) refuse(counts.Keys, "keys", MaxSkinKeys);
}

void CheckSkinDescription(const TsIniText::TCounts& counts, const std::string& file) {
  CheckSkinBounds(counts, file);
  if (counts.Sections == 0) throw ESkinError(file + " holds no section: it is empty or not a skin description.");
}

TsLoadedSkin LoadSkin(const TsSkinSource& source) {
  TsLoadedSkin out;
  TsSkinTables& tables = out.Tables;
  if (source.Ini) CheckSkinBounds(CountOf(*source.Ini), source.SkinPath + "Options.dat");
  TPictureCache pictures(source);
  std::optional<TsIniText> common;
  if (!source.CommonSections.empty()) {
    common = TsIniText::FromLines(source.CommonSections);
    CheckSkinBounds(CountOf(*common), "The extra sections");
  }
  const TsInternalSkin* internal = source.Ini ? nullptr : source.Internal;

  // Masks.
  if (source.Ini) {
    const std::string master = source.Ini->ReadString("GLOBALINFO", "MASTERBITMAP", "");
    if (!master.empty()) {
      tables.MasterBitmap = pictures.Bitmap(master);
      if (tables.MasterBitmap && tables.MasterBitmap->Empty()) tables.MasterBitmap = nullptr;
      out.MasterBitmapError = pictures.BitmapError(master);
      if (!out.MasterBitmapError.empty()) out.MasterBitmap = master;
    }
    ReadMasks(*source.Ini, false, tables, pictures);
  } else if (internal) {
    ReadInternalSkin(*internal, tables, pictures);
  }
  if (common) ReadMasks(*common, true, tables, pictures);

  // Patterns.
  if (source.Ini) ReadPatterns(*source.Ini, true, tables, pictures);
  if (common) ReadPatterns(*common, false, tables, pictures);

  // Sections.
  if (source.Ini) {
    out.Version = source.Ini->ReadFloat("GLOBALINFO", "VERSION", 0);
    out.Author = source.Ini->ReadString("GLOBALINFO", "AUTHOR", "");
    out.Description = source.Ini->ReadString("GLOBALINFO", "DESCRIPTION", "");
    if (out.Version == 0 && source.Ini->SectionExists("TSEDIT")) {
      out.Refused = true;
      return out;
    }
    ReadIniSections(*source.Ini, source, !out.MasterBitmapError.empty(), tables);
  } else if (internal) {
    ReadInternalSections(*internal, tables);
  } else {
    // Neither a skin file nor an internal skin: no sections, and no common ones either.
    return out;
  }
  if (common) ReadCommonSections(*common, tables);
  return out;
}
