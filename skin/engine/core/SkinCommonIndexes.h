#pragma once

#include <cstdint>

// A section many painters need and the masks they take from it: Section indexes the section
// table, the others the mask table; -1 means none. A mask a section is not asked for stays -1.
struct TsCommonSection {
  std::int16_t Section = -1;
  std::int16_t BordersMask = -1;
  std::int16_t Pattern = -1;
  std::int16_t HotPattern = -1;
  std::int16_t GlyphMask = -1;
  bool operator==(const TsCommonSection&) const = default;
};

// One section per side.
struct TsSidedSections {
  TsCommonSection Top;
  TsCommonSection Bottom;
  TsCommonSection Left;
  TsCommonSection Right;
  bool operator==(const TsSidedSections&) const = default;
};

// The check box and radio button glyph masks of GLOBALINFO.
struct TsCheckGlyphs {
  std::int16_t BoxChecked = -1;
  std::int16_t BoxUnchecked = -1;
  std::int16_t BoxGrayed = -1;
  std::int16_t RadioChecked = -1;
  std::int16_t RadioUnchecked = -1;
  std::int16_t RadioGrayed = -1;
  std::int16_t SmallChecked = -1;
  std::int16_t SmallUnchecked = -1;
  std::int16_t SmallGrayed = -1;
  bool operator==(const TsCheckGlyphs&) const = default;
};

// Sections and masks many painters need, resolved once after every load (ResolveCommonIndexes).
struct TsSkinCommonIndexes {
  std::int16_t GlobalInfo = -1;  // section GLOBALINFO
  // TABTOP, TABBOTTOM, TABLEFT, TABRIGHT with BORDERSMASK.
  TsSidedSections Tabs;
  // SCROLLBTNTOP, SCROLLBTNBOTTOM, SCROLLBTNLEFT, SCROLLBTNRIGHT with BORDERSMASK, PATTERN,
  // HOTPATTERN and GLYPHMASK.
  TsSidedSections ScrollButtons;
  // SCROLLSLIDERH and SCROLLSLIDERV with BORDERSMASK, PATTERN, HOTPATTERN and GLYPHMASK.
  TsCommonSection SliderH;
  TsCommonSection SliderV;
  // The scroll bar tracks before the slider (SCROLLBAR1H, SCROLLBAR1V) and after it (SCROLLBAR2H,
  // SCROLLBAR2V), with BORDERSMASK, PATTERN and HOTPATTERN.
  TsCommonSection TrackBeforeH;
  TsCommonSection TrackBeforeV;
  TsCommonSection TrackAfterH;
  TsCommonSection TrackAfterV;
  TsCheckGlyphs CheckGlyphs;
  bool operator==(const TsSkinCommonIndexes&) const = default;
};
