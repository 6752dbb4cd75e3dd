#include "metafile/dc/symbol_encoding.h"

#include <array>

#include "metafile/gdi_constants.h"

namespace mf {

namespace {

constexpr std::uint32_t kFirstCode = 0x20;
constexpr std::uint32_t kLastCode = 0xFF;
constexpr std::uint32_t kPrivateUseBase = 0xF000;  // U+F020..U+F0FF repeat the bytes

// 0x20..0xFF. Pieces that Unicode lacks as characters of their own (the
// radical extender, bracket and brace pieces) take the Unicode 3.2 pieces;
// the serif and sans marks take the plain ones.
constexpr std::array<char16_t, kLastCode - kFirstCode + 1> kSymbolTable = {
    // 0x20
    0x0020,
    0x0021,
    0x2200,
    0x0023,
    0x2203,
    0x0025,
    0x0026,
    0x220B,
    0x0028,
    0x0029,
    0x2217,
    0x002B,
    0x002C,
    0x2212,
    0x002E,
    0x002F,
    // 0x30
    0x0030,
    0x0031,
    0x0032,
    0x0033,
    0x0034,
    0x0035,
    0x0036,
    0x0037,
    0x0038,
    0x0039,
    0x003A,
    0x003B,
    0x003C,
    0x003D,
    0x003E,
    0x003F,
    // 0x40
    0x2245,
    0x0391,
    0x0392,
    0x03A7,
    0x0394,
    0x0395,
    0x03A6,
    0x0393,
    0x0397,
    0x0399,
    0x03D1,
    0x039A,
    0x039B,
    0x039C,
    0x039D,
    0x039F,
    // 0x50
    0x03A0,
    0x0398,
    0x03A1,
    0x03A3,
    0x03A4,
    0x03A5,
    0x03C2,
    0x03A9,
    0x039E,
    0x03A8,
    0x0396,
    0x005B,
    0x2234,
    0x005D,
    0x22A5,
    0x005F,
    // 0x60
    0x203E,
    0x03B1,
    0x03B2,
    0x03C7,
    0x03B4,
    0x03B5,
    0x03C6,
    0x03B3,
    0x03B7,
    0x03B9,
    0x03D5,
    0x03BA,
    0x03BB,
    0x03BC,
    0x03BD,
    0x03BF,
    // 0x70
    0x03C0,
    0x03B8,
    0x03C1,
    0x03C3,
    0x03C4,
    0x03C5,
    0x03D6,
    0x03C9,
    0x03BE,
    0x03C8,
    0x03B6,
    0x007B,
    0x007C,
    0x007D,
    0x223C,
    0,
    // 0x80..0x9F: no characters
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    0,
    // 0xA0
    0x20AC,
    0x03D2,
    0x2032,
    0x2264,
    0x2044,
    0x221E,
    0x0192,
    0x2663,
    0x2666,
    0x2665,
    0x2660,
    0x2194,
    0x2190,
    0x2191,
    0x2192,
    0x2193,
    // 0xB0
    0x00B0,
    0x00B1,
    0x2033,
    0x2265,
    0x00D7,
    0x221D,
    0x2202,
    0x2022,
    0x00F7,
    0x2260,
    0x2261,
    0x2248,
    0x2026,
    0x23D0,
    0x23AF,
    0x21B5,
    // 0xC0
    0x2135,
    0x2111,
    0x211C,
    0x2118,
    0x2297,
    0x2295,
    0x2205,
    0x2229,
    0x222A,
    0x2283,
    0x2287,
    0x2284,
    0x2282,
    0x2286,
    0x2208,
    0x2209,
    // 0xD0
    0x2220,
    0x2207,
    0x00AE,
    0x00A9,
    0x2122,
    0x220F,
    0x221A,
    0x22C5,
    0x00AC,
    0x2227,
    0x2228,
    0x21D4,
    0x21D0,
    0x21D1,
    0x21D2,
    0x21D3,
    // 0xE0
    0x25CA,
    0x2329,
    0x00AE,
    0x00A9,
    0x2122,
    0x2211,
    0x239B,
    0x239C,
    0x239D,
    0x23A1,
    0x23A2,
    0x23A3,
    0x23A7,
    0x23A8,
    0x23A9,
    0x23AA,
    // 0xF0
    0,
    0x232A,
    0x222B,
    0x2320,
    0x23AE,
    0x2321,
    0x239E,
    0x239F,
    0x23A0,
    0x23A4,
    0x23A5,
    0x23A6,
    0x23AB,
    0x23AC,
    0x23AD,
    0,
};

// The byte a character of symbol text names, or 0 when it names none.
std::uint32_t SymbolCode(char16_t c) {
    std::uint32_t code = c;
    if (code >= kPrivateUseBase + kFirstCode && code <= kPrivateUseBase + kLastCode)
        code -= kPrivateUseBase;
    return code >= kFirstCode && code <= kLastCode ? code : 0;
}

QString FaceKey(const QString& face) {
    QString key;
    for (QChar c : face) {
        if (!c.isSpace()) key += c.toLower();
    }
    return key;
}

}  // namespace

char16_t SymbolCharacter(std::uint32_t code) {
    if (code < kFirstCode || code > kLastCode) return 0;
    return kSymbolTable[code - kFirstCode];
}

bool IsSymbolFont(const LogFont& font) {
    const QString key = FaceKey(font.faceName);
    if (key == QLatin1String("symbol")) return true;
    return font.charSet == kSymbolCharset && key.contains(QLatin1String("symbol"));
}

QString SymbolTextToUnicode(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        if (const char16_t mapped = SymbolCharacter(SymbolCode(c.unicode()))) c = QChar(mapped);
    }
    return out;
}

QString SymbolTextToCodes(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        if (const std::uint32_t code = SymbolCode(c.unicode())) c = QChar(char16_t(code));
    }
    return out;
}

}  // namespace mf
