#include "skin/engine/core/SkinCommonIndexes.h"

#include <string>

#include "skin/engine/core/SkinTables.h"

TsSkinCommonIndexes SkinCommonIndexes;

namespace {

std::int16_t Narrow(std::int32_t v) {
  return v > 32767 ? static_cast<std::int16_t>(-1) : static_cast<std::int16_t>(v);
}

std::int16_t Mask(std::int16_t section, const char* sectionName, const char* maskName) {
  return Narrow(FindMaskIndex(section, sectionName, maskName));
}

enum class TMasks { Border, Patterns, PatternsAndGlyph };

TsCommonSection Resolve(const char* name, TMasks masks) {
  TsCommonSection s;
  s.Section = Narrow(FindSectionIndex(name));
  s.BordersMask = Mask(s.Section, name, "BORDERSMASK");
  if (masks == TMasks::Border) return s;
  s.Pattern = Mask(s.Section, name, "PATTERN");
  s.HotPattern = Mask(s.Section, name, "HOTPATTERN");
  if (masks == TMasks::PatternsAndGlyph) s.GlyphMask = Mask(s.Section, name, "GLYPHMASK");
  return s;
}

TsSidedSections ResolveSides(const char* prefix, TMasks masks) {
  const std::string p = prefix;
  return {Resolve((p + "TOP").c_str(), masks), Resolve((p + "BOTTOM").c_str(), masks),
          Resolve((p + "LEFT").c_str(), masks), Resolve((p + "RIGHT").c_str(), masks)};
}

}  // namespace

void ResolveCommonIndexes() {
  TsSkinCommonIndexes ix;
  ix.GlobalInfo = Narrow(FindSectionIndex("GLOBALINFO"));
  ix.Tabs = ResolveSides("TAB", TMasks::Border);
  ix.ScrollButtons = ResolveSides("SCROLLBTN", TMasks::PatternsAndGlyph);
  ix.SliderH = Resolve("SCROLLSLIDERH", TMasks::PatternsAndGlyph);
  ix.SliderV = Resolve("SCROLLSLIDERV", TMasks::PatternsAndGlyph);
  ix.TrackBeforeH = Resolve("SCROLLBAR1H", TMasks::Patterns);
  ix.TrackBeforeV = Resolve("SCROLLBAR1V", TMasks::Patterns);
  ix.TrackAfterH = Resolve("SCROLLBAR2H", TMasks::Patterns);
  ix.TrackAfterV = Resolve("SCROLLBAR2V", TMasks::Patterns);
  TsCheckGlyphs& g = ix.CheckGlyphs;
  const std::int16_t global = ix.GlobalInfo;
  g.BoxChecked = Mask(global, "GLOBALINFO", "BOXCHECKED");
  g.BoxUnchecked = Mask(global, "GLOBALINFO", "BOXUNCHECKED");
  g.BoxGrayed = Mask(global, "GLOBALINFO", "BOXGRAYED");
  g.RadioChecked = Mask(global, "GLOBALINFO", "RADIOCHECKED");
  g.RadioUnchecked = Mask(global, "GLOBALINFO", "RADIOUNCHECKED");
  g.RadioGrayed = Mask(global, "GLOBALINFO", "RADIOGRAYED");
  g.SmallChecked = Mask(global, "GLOBALINFO", "SMALLCHECKED");
  g.SmallUnchecked = Mask(global, "GLOBALINFO", "SMALLUNCHECKED");
  g.SmallGrayed = Mask(global, "GLOBALINFO", "SMALLGRAYED");
  SkinCommonIndexes = ix;
}
