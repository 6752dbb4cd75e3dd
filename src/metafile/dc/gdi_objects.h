#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <cstdint>
#include <variant>
#include <vector>

#include "metafile/gdi_constants.h"

// The drawing objects of a device context, as the metafile defines them.
namespace mf {

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
