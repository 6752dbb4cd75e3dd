#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <cstdint>
#include <variant>
#include <vector>

// The drawing objects of a device context, as the metafile defines them.
namespace mf {

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

enum BrushStyle : std::uint32_t {
    kBsSolid = 0,
    kBsNull = 1,
    kBsHatched = 2,
    kBsPattern = 3,
    kBsDibPattern = 5,
    kBsDibPatternPt = 6,
};

struct LogBrush {
    std::uint32_t style = kBsSolid;
    QColor color = Qt::white;
    std::uint32_t hatch = 0;
    QImage pattern;            // DIB pattern brushes
    bool monoPattern = false;  // 1-bpp pattern: its two colours are text and background
};

struct LogPen {
    std::uint32_t style = kPsSolid;
    double width = 0;  // logical units; 0 is one device pixel
    QColor color = Qt::black;
    std::vector<double> dashes;  // PS_USERSTYLE
    bool hasBrush = false;       // geometric pens drawn with a hatch or pattern
    LogBrush brush;

    bool isNull() const { return (style & kPsStyleMask) == kPsNull; }
    bool isGeometric() const { return (style & kPsGeometric) != 0; }
};

struct LogFont {
    int height = 0;
    int width = 0;
    int escapement = 0;  // tenths of a degree
    int orientation = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charSet = 1;
    int pitchAndFamily = 0;
    QString faceName;
};

struct LogPalette {
    std::vector<QRgb> entries;
};

using GdiObject = std::variant<std::monostate, LogPen, LogBrush, LogFont, LogPalette>;

// Colour from a COLORREF (0x00BBGGRR).
inline QColor ColorFromRef(std::uint32_t ref) {
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

}  // namespace mf
