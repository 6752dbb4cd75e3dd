#pragma once

#include <QString>
#include <cstdint>

#include "metafile/dc/gdi_objects.h"

// The Symbol font's own encoding: its text names Greek letters, operators,
// arrows and bracket pieces by byte (0x20..0xFF), or by the same byte above
// U+F000 in Unicode text.
namespace mf {

// The Unicode character a Symbol code stands for; 0 where the code has none.
char16_t SymbolCharacter(std::uint32_t code);

// True for a font whose text is in the Symbol encoding: the face "Symbol",
// or a symbol-charset face of the Symbol family.
bool IsSymbolFont(const LogFont& font);

// Symbol text as Unicode characters. Characters outside the encoding stay.
QString SymbolTextToUnicode(const QString& text);

// Symbol text as its bytes (U+0020..U+00FF), for a face whose character map
// keys the symbol glyphs by byte.
QString SymbolTextToCodes(const QString& text);

}  // namespace mf
