#pragma once

// Record functions of a Windows metafile and the numbers of its headers. The low byte identifies a
// record; the high byte is the parameter count of the original Windows 3 call and is only a hint.

#include <cstdint>

#include "metafile/gdi_constants.h"

namespace mf::wmf {

enum Function : std::uint16_t {
    kEof = 0x0000,
    kSaveDc = 0x001E,
    kRealizePalette = 0x0035,
    kSetPalEntries = 0x0037,
    kCreatePalette = 0x00F7,
    kSetBkMode = 0x0102,
    kSetMapMode = 0x0103,
    kSetRop2 = 0x0104,
    kSetRelAbs = 0x0105,
    kSetPolyFillMode = 0x0106,
    kSetStretchBltMode = 0x0107,
    kSetTextCharExtra = 0x0108,
    kRestoreDc = 0x0127,
    kInvertRegion = 0x012A,
    kPaintRegion = 0x012B,
    kSelectClipRegion = 0x012C,
    kSelectObject = 0x012D,
    kSetTextAlign = 0x012E,
    kResizePalette = 0x0139,
    kDibCreatePatternBrush = 0x0142,
    kSetLayout = 0x0149,
    kDeleteObject = 0x01F0,
    kCreatePatternBrush = 0x01F9,
    kSetBkColor = 0x0201,
    kSetTextColor = 0x0209,
    kSetTextJustification = 0x020A,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kSetViewportOrg = 0x020D,
    kSetViewportExt = 0x020E,
    kOffsetWindowOrg = 0x020F,
    kOffsetViewportOrg = 0x0211,
    kLineTo = 0x0213,
    kMoveTo = 0x0214,
    kOffsetClipRgn = 0x0220,
    kFillRegion = 0x0228,
    kSetMapperFlags = 0x0231,
    kSelectPalette = 0x0234,
    kCreatePenIndirect = 0x02FA,
    kCreateFontIndirect = 0x02FB,
    kCreateBrushIndirect = 0x02FC,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kScaleWindowExt = 0x0410,
    kScaleViewportExt = 0x0412,
    kExcludeClipRect = 0x0415,
    kIntersectClipRect = 0x0416,
    kEllipse = 0x0418,
    kFloodFill = 0x0419,
    kRectangle = 0x041B,
    kSetPixel = 0x041F,
    kFrameRegion = 0x0429,
    kAnimatePalette = 0x0436,
    kTextOut = 0x0521,
    kPolyPolygon = 0x0538,
    kExtFloodFill = 0x0548,
    kRoundRect = 0x061C,
    kPatBlt = 0x061D,
    kEscape = 0x0626,
    kCreateRegion = 0x06FF,
    kArc = 0x0817,
    kPie = 0x081A,
    kChord = 0x0830,
    kBitBlt = 0x0922,
    kDibBitBlt = 0x0940,
    kExtTextOut = 0x0A32,
    kStretchBlt = 0x0B23,
    kDibStretchBlt = 0x0B41,
    kSetDibToDev = 0x0D33,
    kStretchDib = 0x0F43,
};

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr int kPlaceableHeaderBytes = 22;
constexpr int kPlaceableChecksumWords = 10;  // the words the checksum covers
constexpr int kHeaderWords = 9;
// METAHEADER's type and version words.
constexpr std::uint16_t kMemoryMetafile = 1;
constexpr std::uint16_t kDiskMetafile = 2;
constexpr std::uint16_t kVersion1 = 0x0100;
constexpr std::uint16_t kVersion3 = 0x0300;

// The record's name without the META_ prefix ("ExtTextOut"); nullptr for a
// function GDI does not define.
const char* FunctionName(std::uint16_t function);

}  // namespace mf::wmf
