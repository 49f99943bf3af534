#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/base/TablePacket.h"

// The XML saved form (UTF-8):
//   <?xml version="1.0" encoding="UTF-8" standalone="yes"?>
//   <TARVEXTABLE version="1" crc="8 hex digits">
//   <FIELDS><FIELD name=".." type="integer|string|widestring" size="n" kind="data|calculated"/>...</FIELDS>
//   <ROWS><ROW id="n" f0=".." f1=".."/>...</ROWS>
//   </TARVEXTABLE>
// fK holds the K-th data field's value; an absent attribute is an empty value. The crc is the
// CRC-32 of the bytes between the start tag's ">" and "</TARVEXTABLE>". Control characters,
// markup characters and unpaired surrogates are written as character references, so every
// text (blanks, line breaks, any UTF-16) reads back exactly; ANSI text is stored through its
// code page mapping, which is one-to-one.
std::string WriteXmlTable(const std::vector<TTableFieldDesc>& fields,
                          const std::vector<std::unique_ptr<TTableRow>>& rows);
bool LooksLikeXmlTable(const std::uint8_t* data, std::size_t size);
// Raises EDatabaseError naming what is wrong, or when the rows exceed the budget (by default,
// the one of a table without indexes).
TTablePacket ReadXmlTable(const std::uint8_t* data, std::size_t size, TLoadBudget& budget);
TTablePacket ReadXmlTable(const std::uint8_t* data, std::size_t size);
