#include "metafile/wmf/wmf_header.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "metafile/byte_writer.h"
#include "metafile/convert/wmf_to_emf.h"
#include "metafile/wmf/wmf_records.h"

namespace mf::wmf {

namespace {

// Bounds-checked; composed byte by byte so that no wide read of a short
// buffer is ever formed.
std::uint16_t Word(const QByteArray& b, qsizetype at) {
    if (at < 0 || at + 2 > b.size()) return 0;
    return std::uint16_t(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8);
}

bool Fail(QString* why, const char* text) {
    if (why) *why = QString::fromLatin1(text);
    return false;
}

}  // namespace

std::uint16_t PlaceableChecksum(const char* header) {
    const auto* u = reinterpret_cast<const unsigned char*>(header);
    std::uint16_t sum = 0;
    for (int i = 0; i < kPlaceableChecksumWords; ++i)
        sum ^= std::uint16_t(u[2 * i] | u[2 * i + 1] << 8);
    return sum;
}

bool IsPlaceableHeader(const char* data, qsizetype size) {
    return size >= kPlaceableHeaderBytes &&
           qFromLittleEndian<std::uint32_t>(data) == kPlaceableKey &&
           PlaceableChecksum(data) ==
               qFromLittleEndian<std::uint16_t>(data + 2 * kPlaceableChecksumWords);
}

bool IsMetaHeader(const char* data, qsizetype size) {
    if (size < 2 * kHeaderWords) return false;
    const std::uint16_t type = qFromLittleEndian<std::uint16_t>(data);
    const std::uint16_t headerWords = qFromLittleEndian<std::uint16_t>(data + 2);
    const std::uint16_t version = qFromLittleEndian<std::uint16_t>(data + 4);
    return (type == kMemoryMetafile || type == kDiskMetafile) && headerWords == kHeaderWords &&
           (version == kVersion1 || version == kVersion3);
}

QByteArray PlaceableHeader(const QRect& bbox, int unitsPerInch) {
    QByteArray out;
    Put32(out, kPlaceableKey);
    Put16(out, 0);  // handle
    Put16(out, std::uint16_t(bbox.left()));
    Put16(out, std::uint16_t(bbox.top()));
    Put16(out, std::uint16_t(bbox.left() + bbox.width()));
    Put16(out, std::uint16_t(bbox.top() + bbox.height()));
    Put16(out, std::uint16_t(unitsPerInch));
    Put32(out, 0);  // reserved
    Put16(out, PlaceableChecksum(out.constData()));
    return out;
}

const char* FunctionName(std::uint16_t function) {
    switch (function) {
        case kEof:
            return "Eof";
        case kSaveDc:
            return "SaveDc";
        case kRealizePalette:
            return "RealizePalette";
        case kSetPalEntries:
            return "SetPalEntries";
        case kCreatePalette:
            return "CreatePalette";
        case kSetBkMode:
            return "SetBkMode";
        case kSetMapMode:
            return "SetMapMode";
        case kSetRop2:
            return "SetRop2";
        case kSetRelAbs:
            return "SetRelAbs";
        case kSetPolyFillMode:
            return "SetPolyFillMode";
        case kSetStretchBltMode:
            return "SetStretchBltMode";
        case kSetTextCharExtra:
            return "SetTextCharExtra";
        case kRestoreDc:
            return "RestoreDc";
        case kInvertRegion:
            return "InvertRegion";
        case kPaintRegion:
            return "PaintRegion";
        case kSelectClipRegion:
            return "SelectClipRegion";
        case kSelectObject:
            return "SelectObject";
        case kSetTextAlign:
            return "SetTextAlign";
        case kResizePalette:
            return "ResizePalette";
        case kDibCreatePatternBrush:
            return "DibCreatePatternBrush";
        case kSetLayout:
            return "SetLayout";
        case kDeleteObject:
            return "DeleteObject";
        case kCreatePatternBrush:
            return "CreatePatternBrush";
        case kSetBkColor:
            return "SetBkColor";
        case kSetTextColor:
            return "SetTextColor";
        case kSetTextJustification:
            return "SetTextJustification";
        case kSetWindowOrg:
            return "SetWindowOrg";
        case kSetWindowExt:
            return "SetWindowExt";
        case kSetViewportOrg:
            return "SetViewportOrg";
        case kSetViewportExt:
            return "SetViewportExt";
        case kOffsetWindowOrg:
            return "OffsetWindowOrg";
        case kOffsetViewportOrg:
            return "OffsetViewportOrg";
        case kLineTo:
            return "LineTo";
        case kMoveTo:
            return "MoveTo";
        case kOffsetClipRgn:
            return "OffsetClipRgn";
        case kFillRegion:
            return "FillRegion";
        case kSetMapperFlags:
            return "SetMapperFlags";
        case kSelectPalette:
            return "SelectPalette";
        case kCreatePenIndirect:
            return "CreatePenIndirect";
        case kCreateFontIndirect:
            return "CreateFontIndirect";
        case kCreateBrushIndirect:
            return "CreateBrushIndirect";
        case kPolygon:
            return "Polygon";
        case kPolyline:
            return "Polyline";
        case kScaleWindowExt:
            return "ScaleWindowExt";
        case kScaleViewportExt:
            return "ScaleViewportExt";
        case kExcludeClipRect:
            return "ExcludeClipRect";
        case kIntersectClipRect:
            return "IntersectClipRect";
        case kEllipse:
            return "Ellipse";
        case kFloodFill:
            return "FloodFill";
        case kRectangle:
            return "Rectangle";
        case kSetPixel:
            return "SetPixel";
        case kFrameRegion:
            return "FrameRegion";
        case kAnimatePalette:
            return "AnimatePalette";
        case kTextOut:
            return "TextOut";
        case kPolyPolygon:
            return "PolyPolygon";
        case kExtFloodFill:
            return "ExtFloodFill";
        case kRoundRect:
            return "RoundRect";
        case kPatBlt:
            return "PatBlt";
        case kEscape:
            return "Escape";
        case kCreateRegion:
            return "CreateRegion";
        case kArc:
            return "Arc";
        case kPie:
            return "Pie";
        case kChord:
            return "Chord";
        case kBitBlt:
            return "BitBlt";
        case kDibBitBlt:
            return "DibBitBlt";
        case kExtTextOut:
            return "ExtTextOut";
        case kStretchBlt:
            return "StretchBlt";
        case kDibStretchBlt:
            return "DibStretchBlt";
        case kSetDibToDev:
            return "SetDibToDev";
        case kStretchDib:
            return "StretchDib";
        default:
            return nullptr;
    }
}

std::uint16_t Record::u(qsizetype i) const {
    if (i < 0 || 2 * i + 2 > paramBytes) return 0;
    return qFromLittleEndian<std::uint16_t>(params + 2 * i);
}

std::optional<Header> ParseHeader(const QByteArray& wmf, QString* why) {
    Header h;
    qsizetype at = 0;
    // Read by words: GCC's bounds check takes a QByteArray for its one-byte empty array.
    if (wmf.size() >= 4 && (std::uint32_t(Word(wmf, 2)) << 16 | Word(wmf, 0)) == kPlaceableKey) {
        if (wmf.size() < kPlaceableHeaderBytes)
            return Fail(why, "placeable header truncated"), std::nullopt;
        if (!IsPlaceableHeader(wmf.constData(), wmf.size()))
            return Fail(why, "placeable header checksum mismatch"), std::nullopt;
        const int left = std::int16_t(Word(wmf, 6)), top = std::int16_t(Word(wmf, 8));
        const int right = std::int16_t(Word(wmf, 10)), bottom = std::int16_t(Word(wmf, 12));
        h.bbox = QRect(QPoint(std::min(left, right), std::min(top, bottom)),
                       QSize(std::abs(right - left), std::abs(bottom - top)));
        h.unitsPerInch = Word(wmf, 14);
        if (h.bbox.isEmpty()) return Fail(why, "placeable bounding box is empty"), std::nullopt;
        if (h.unitsPerInch == 0)
            return Fail(why, "placeable header has 0 units per inch"), std::nullopt;
        h.placeable = true;
        at = kPlaceableHeaderBytes;
    }
    if (wmf.size() - at < 2 * kHeaderWords) return Fail(why, "WMF header truncated"), std::nullopt;
    const std::uint16_t type = Word(wmf, at), headerWords = Word(wmf, at + 2);
    if ((type != kMemoryMetafile && type != kDiskMetafile) || headerWords != kHeaderWords)
        return Fail(why, "not a WMF header"), std::nullopt;
    if (!IsMetaHeader(wmf.constData() + at, wmf.size() - at))
        return Fail(why, "unknown WMF version"), std::nullopt;
    h.objectCount = Word(wmf, at + 10);
    h.firstRecord = at + 2 * kHeaderWords;
    return h;
}

bool RecordReader::Next(Record& r) {
    if (done_) return false;
    const qsizetype left = data_.size() - pos_;
    if (left < 6) return done_ = true, false;
    const auto* p = reinterpret_cast<const unsigned char*>(data_.constData()) + pos_;
    const std::uint32_t sizeWords = qFromLittleEndian<std::uint32_t>(p);
    r.function = qFromLittleEndian<std::uint16_t>(p + 4);
    if (r.function == kEof) {
        eof_ = true;
        return done_ = true, false;
    }
    if (sizeWords < 3 || qint64(sizeWords) * 2 > left) {
        damaged_ = true;
        damagedFunction_ = r.function;
        return done_ = true, false;
    }
    r.params = p + 6;
    r.paramBytes = qsizetype(sizeWords) * 2 - 6;
    pos_ += qsizetype(sizeWords) * 2;
    return true;
}

}  // namespace mf::wmf

namespace mf {

namespace {

int FixedModeUnitsPerInch(int mapMode) {
    switch (mapMode) {
        case kMmLoMetric:
            return 254;
        case kMmHiMetric:
            return 2540;
        case kMmLoEnglish:
            return 100;
        case kMmHiEnglish:
            return 1000;
        case kMmTwips:
            return 1440;
        default:
            return 0;
    }
}

// Extent of the points a drawing record names, for a plain WMF that sets no
// window. Only the common shapes count; that is enough to size the page.
void AddDrawnPoints(const wmf::Record& r, QRect& extent) {
    auto add = [&](int x, int y) { extent |= QRect(x, y, 1, 1); };
    switch (r.function) {
        case wmf::kMoveTo:
        case wmf::kLineTo:
            if (r.words() >= 2) add(r.s(1), r.s(0));
            break;
        case wmf::kRectangle:
        case wmf::kEllipse:
        case wmf::kRoundRect:
        case wmf::kArc:
        case wmf::kPie:
        case wmf::kChord: {
            const qsizetype base = r.function == wmf::kRoundRect ? 2
                                   : r.function == wmf::kRectangle || r.function == wmf::kEllipse
                                       ? 0
                                       : 4;
            if (r.words() >= base + 4) {
                add(r.s(base + 3), r.s(base + 2));
                add(r.s(base + 1), r.s(base));
            }
            break;
        }
        case wmf::kPolygon:
        case wmf::kPolyline: {
            const qsizetype n = std::min<qsizetype>(r.u(0), (r.words() - 1) / 2);
            for (qsizetype i = 0; i < n; ++i)
                add(r.s(1 + 2 * i), r.s(2 + 2 * i));
            break;
        }
        case wmf::kPolyPolygon: {
            const qsizetype polys = r.u(0);
            if (polys >= r.words()) break;
            const qsizetype first = 1 + polys;
            const qsizetype n = (r.words() - first) / 2;
            for (qsizetype i = 0; i < n; ++i)
                add(r.s(first + 2 * i), r.s(first + 2 * i + 1));
            break;
        }
        case wmf::kExtTextOut:
            if (r.words() >= 2) add(r.s(1), r.s(0));
            break;
        default:
            break;
    }
}

bool IsDrawing(std::uint16_t f) {
    switch (f) {
        case wmf::kLineTo:
        case wmf::kRectangle:
        case wmf::kEllipse:
        case wmf::kRoundRect:
        case wmf::kArc:
        case wmf::kPie:
        case wmf::kChord:
        case wmf::kPolygon:
        case wmf::kPolyline:
        case wmf::kPolyPolygon:
        case wmf::kTextOut:
        case wmf::kExtTextOut:
        case wmf::kPatBlt:
        case wmf::kBitBlt:
        case wmf::kStretchBlt:
        case wmf::kDibBitBlt:
        case wmf::kDibStretchBlt:
        case wmf::kStretchDib:
        case wmf::kSetDibToDev:
        case wmf::kSetPixel:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::optional<WmfInfo> ReadWmfInfo(const QByteArray& wmf, QString* why) {
    const auto header = wmf::ParseHeader(wmf, why);
    if (!header) return std::nullopt;
    WmfInfo info;
    if (header->placeable) {
        info.placeable = true;
        info.bbox = header->bbox;
        info.unitsPerInch = header->unitsPerInch;
        return info;
    }

    // A plain WMF: the window it sets up before it draws is the picture.
    QPoint org;
    QSize ext;
    bool haveExt = false, frozen = false;
    int mapMode = kMmAnisotropic;
    QRect extent;
    wmf::RecordReader reader(wmf, header->firstRecord);
    wmf::Record r;
    while (reader.Next(r)) {
        if (!frozen) {
            if (r.function == wmf::kSetWindowOrg && r.words() >= 2) org = QPoint(r.s(1), r.s(0));
            if (r.function == wmf::kSetWindowExt && r.words() >= 2) {
                ext = QSize(r.s(1), r.s(0));
                haveExt = ext.width() != 0 && ext.height() != 0;
            }
            if (r.function == wmf::kSetMapMode && r.words() >= 1) mapMode = r.u(0);
            if (IsDrawing(r.function) && haveExt) frozen = true;
        }
        AddDrawnPoints(r, extent);
    }
    const int fixed = FixedModeUnitsPerInch(mapMode);
    if (haveExt && !fixed) {
        info.bbox = QRect(std::min(org.x(), org.x() + ext.width()),
                          std::min(org.y(), org.y() + ext.height()), std::abs(ext.width()),
                          std::abs(ext.height()));
    } else if (!extent.isEmpty()) {
        info.bbox = extent;
    } else {
        info.bbox = QRect(0, 0, 1, 1);
    }
    info.unitsPerInch = fixed ? fixed : 96;
    // A window far larger than a screen is in finer units than pixels (often
    // twips or 0.01 mm): size it as such rather than as a huge page.
    for (int finer : {1440, 2540}) {
        if (fixed || (info.bbox.width() * 96 <= 1920 * info.unitsPerInch &&
                      info.bbox.height() * 96 <= 1440 * info.unitsPerInch))
            break;
        info.unitsPerInch = finer;
    }
    return info;
}

QSize WmfInfo::naturalSize(int ppi) const {
    const double k = double(ppi) / std::max(unitsPerInch, 1);
    return QSize(std::max(1, int(std::lround(bbox.width() * k))),
                 std::max(1, int(std::lround(bbox.height() * k))));
}

QSizeF WmfInfo::frameHundredthsMm() const {
    const double k = 2540.0 / std::max(unitsPerInch, 1);
    return QSizeF(bbox.width() * k, bbox.height() * k);
}

}  // namespace mf
