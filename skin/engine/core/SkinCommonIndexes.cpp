#include "skin/engine/core/SkinCommonIndexes.h"

#include <string>

#include "skin/engine/core/SkinTables.h"

namespace {

std::int16_t Narrow(std::int32_t v) {
  return v > 32767 ? static_cast<std::int16_t>(-1) : static_cast<std::int16_t>(v);
}

std::int16_t Mask(const TsActiveSkin& skin, std::int16_t section, const char* sectionName,
                  const char* maskName) {
  return Narrow(skin.FindMaskIndex(section, sectionName, maskName));
}

enum class TMasks { Border, Patterns, PatternsAndGlyph };

TsCommonSection Resolve(const TsActiveSkin& skin, const char* name, TMasks masks) {
  TsCommonSection s;
  s.Section = Narrow(skin.FindSectionIndex(name));
  s.BordersMask = Mask(skin, s.Section, name, "BORDERSMASK");
  if (masks == TMasks::Border) return s;
  s.Pattern = Mask(skin, s.Section, name, "PATTERN");
  s.HotPattern = Mask(skin, s.Section, name, "HOTPATTERN");
  if (masks == TMasks::PatternsAndGlyph) s.GlyphMask = Mask(skin, s.Section, name, "GLYPHMASK");
  return s;
}

TsSidedSections ResolveSides(const TsActiveSkin& skin, const char* prefix, TMasks masks) {
  const std::string p = prefix;
  return {Resolve(skin, (p + "TOP").c_str(), masks), Resolve(skin, (p + "BOTTOM").c_str(), masks),
          Resolve(skin, (p + "LEFT").c_str(), masks), Resolve(skin, (p + "RIGHT").c_str(), masks)};
}

}  // namespace

void TsActiveSkin::ResolveCommonIndexes() {
  const TsActiveSkin& skin = *this;
  TsSkinCommonIndexes ix;
  ix.GlobalInfo = Narrow(skin.FindSectionIndex("GLOBALINFO"));
  ix.Tabs = ResolveSides(skin, "TAB", TMasks::Border);
  ix.ScrollButtons = ResolveSides(skin, "SCROLLBTN", TMasks::PatternsAndGlyph);
  ix.SliderH = Resolve(skin, "SCROLLSLIDERH", TMasks::PatternsAndGlyph);
  ix.SliderV = Resolve(skin, "SCROLLSLIDERV", TMasks::PatternsAndGlyph);
  ix.TrackBeforeH = Resolve(skin, "SCROLLBAR1H", TMasks::Patterns);
  ix.TrackBeforeV = Resolve(skin, "SCROLLBAR1V", TMasks::Patterns);
  ix.TrackAfterH = Resolve(skin, "SCROLLBAR2H", TMasks::Patterns);
  ix.TrackAfterV = Resolve(skin, "SCROLLBAR2V", TMasks::Patterns);
  TsCheckGlyphs& g = ix.CheckGlyphs;
  const std::int16_t global = ix.GlobalInfo;
  g.BoxChecked = Mask(skin, global, "GLOBALINFO", "BOXCHECKED");
  g.BoxUnchecked = Mask(skin, global, "GLOBALINFO", "BOXUNCHECKED");
  g.BoxGrayed = Mask(skin, global, "GLOBALINFO", "BOXGRAYED");
  g.RadioChecked = Mask(skin, global, "GLOBALINFO", "RADIOCHECKED");
  g.RadioUnchecked = Mask(skin, global, "GLOBALINFO", "RADIOUNCHECKED");
  g.RadioGrayed = Mask(skin, global, "GLOBALINFO", "RADIOGRAYED");
  g.SmallChecked = Mask(skin, global, "GLOBALINFO", "SMALLCHECKED");
  g.SmallUnchecked = Mask(skin, global, "GLOBALINFO", "SMALLUNCHECKED");
  g.SmallGrayed = Mask(skin, global, "GLOBALINFO", "SMALLGRAYED");
  SkinCommonIndexes = ix;
}

void ResolveCommonIndexes() {
  ActiveSkin().ResolveCommonIndexes();
}
