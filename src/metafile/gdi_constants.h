#pragma once

// The numbers GDI gives its modes, styles, flags and stock objects, as both
// metafile formats store them. One home for the player, the conversions and
// the writers.

#include <cstdint>

namespace mf {

// Mapping modes.
constexpr int kMmText = 1;
constexpr int kMmLoMetric = 2;
constexpr int kMmHiMetric = 3;
constexpr int kMmLoEnglish = 4;
constexpr int kMmHiEnglish = 5;
constexpr int kMmTwips = 6;
constexpr int kMmIsotropic = 7;
constexpr int kMmAnisotropic = 8;

// ModifyWorldTransform modes.
constexpr int kMwtIdentity = 1;
constexpr int kMwtLeftMultiply = 2;
constexpr int kMwtRightMultiply = 3;
constexpr int kMwtSet = 4;

// Graphics modes.
constexpr std::uint32_t kGmCompatible = 1;

// Background modes.
constexpr int kTransparent = 1;
constexpr int kOpaque = 2;

// Polygon fill modes.
constexpr int kAlternate = 1;
constexpr int kWinding = 2;

// Binary raster operations.
constexpr int kR2CopyPen = 13;

// Stretch modes.
constexpr int kBlackOnWhite = 1;
constexpr int kHalftone = 4;

// Arc directions.
constexpr int kAdCounterClockwise = 1;
constexpr int kAdClockwise = 2;

// Text alignment.
constexpr std::uint32_t kTaTop = 0;
constexpr std::uint32_t kTaUpdateCp = 1;
constexpr std::uint32_t kTaRight = 2;
constexpr std::uint32_t kTaCenter = 6;
constexpr std::uint32_t kTaBottom = 8;
constexpr std::uint32_t kTaBaseline = 24;

// ExtTextOut options.
constexpr std::uint32_t kEtoOpaque = 0x0002;
constexpr std::uint32_t kEtoClipped = 0x0004;
constexpr std::uint32_t kEtoGlyphIndex = 0x0010;
constexpr std::uint32_t kEtoNoRect = 0x0100;
constexpr std::uint32_t kEtoSmallChars = 0x0200;
constexpr std::uint32_t kEtoPdy = 0x2000;

// Character sets.
constexpr std::uint8_t kAnsiCharset = 0;
constexpr std::uint8_t kDefaultCharset = 1;
constexpr std::uint8_t kSymbolCharset = 2;
constexpr std::uint8_t kShiftJisCharset = 128;

// Pen styles, end caps, joins and types.
enum PenStyle : std::uint32_t {
    kPsSolid = 0,
    kPsDash = 1,
    kPsDot = 2,
    kPsDashDot = 3,
    kPsDashDotDot = 4,
    kPsNull = 5,
    kPsInsideFrame = 6,
    kPsUserStyle = 7,
    kPsAlternate = 8,
    kPsStyleMask = 0xF,
    kPsEndcapMask = 0xF00,
    kPsEndcapSquare = 0x100,
    kPsEndcapFlat = 0x200,
    kPsJoinMask = 0xF000,
    kPsJoinBevel = 0x1000,
    kPsJoinMiter = 0x2000,
    kPsGeometric = 0x10000,
};

// Brush styles.
enum BrushStyle : std::uint32_t {
    kBsSolid = 0,
    kBsNull = 1,
    kBsHatched = 2,
    kBsPattern = 3,
    kBsDibPattern = 5,
    kBsDibPatternPt = 6,
};

// Stock objects: the flag on an object index, and the numbers behind it.
constexpr std::uint32_t kStockObject = 0x80000000;
constexpr std::uint32_t kWhiteBrush = 0;
constexpr std::uint32_t kNullBrush = 5;
constexpr std::uint32_t kWhitePen = 6;
constexpr std::uint32_t kBlackPen = 7;
constexpr std::uint32_t kNullPen = 8;
constexpr std::uint32_t kOemFixedFont = 10;
constexpr std::uint32_t kAnsiFixedFont = 11;
constexpr std::uint32_t kSystemFont = 13;
constexpr std::uint32_t kDefaultPalette = 15;
constexpr std::uint32_t kSystemFixedFont = 16;
constexpr std::uint32_t kDefaultGuiFont = 17;
constexpr std::uint32_t kDcBrush = 18;
constexpr std::uint32_t kDcPen = 19;

// Region combination modes.
constexpr int kRgnAnd = 1;
constexpr int kRgnOr = 2;
constexpr int kRgnXor = 3;
constexpr int kRgnDiff = 4;
constexpr int kRgnCopy = 5;

// PolyDraw point types.
constexpr int kPtCloseFigure = 1;
constexpr int kPtLineTo = 2;
constexpr int kPtBezierTo = 4;
constexpr int kPtMoveTo = 6;

// GradientFill modes.
constexpr std::uint32_t kGradientFillRectH = 0;
constexpr std::uint32_t kGradientFillRectV = 1;
constexpr std::uint32_t kGradientFillTriangle = 2;

// Ternary raster operations.
constexpr std::uint32_t kSrcCopy = 0x00CC0020;
constexpr std::uint32_t kPatCopy = 0x00F00021;

// COLORREF: the high byte says how the low three are meant.
constexpr std::uint32_t kColorRefPaletteIndex = 1;
constexpr std::uint32_t kColorRefPaletteRgb = 2;

}  // namespace mf
