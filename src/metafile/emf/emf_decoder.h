#pragma once

// Reading an EMF's records: the walk over them, and how the player takes
// each type (the fixed part it reads first; the types it leaves out). The
// player, the EMF-to-WMF conversion and the count of skipped records share
// these rules.

#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QTransform>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "metafile/byte_reader.h"

namespace mf {

// One record: its type and its bytes (the 8-byte head included).
struct EmfRecordView : ByteReader {
    EmfRecordView() = default;
    EmfRecordView(std::uint32_t recordType, const ByteReader& bytes)
        : ByteReader(bytes), type(recordType) {}
    std::uint32_t type = 0;
};

// Walks whole records from `first`: stops after EOF, at a record shorter
// than its head or at one that runs past the end.
class EmfRecordWalker {
public:
    EmfRecordWalker(const ByteReader& file, std::size_t first) : file_(file), at_(first) {}
    bool Next(EmfRecordView* record);
    // Where the walk is: the end of the last record it gave.
    std::size_t offset() const { return at_; }
    // True when it stopped at a record that does not fit, whose type is
    // then `damagedType()`.
    bool stoppedAtDamage() const { return damaged_; }
    std::uint32_t damagedType() const { return damagedType_; }

private:
    ByteReader file_;
    std::size_t at_;
    bool done_ = false;
    bool damaged_ = false;
    std::uint32_t damagedType_ = 0;
};

// How the player takes a record.
enum class RecordUse { Played, Unknown, Unsupported, Damaged };
RecordUse EmfRecordUse(std::uint32_t type, std::size_t size);

// The structures records are made of; reads past the end give 0.
QPointF ReadPointL(const ByteReader& r, std::size_t off);  // two 32-bit values
QPointF ReadPointS(const ByteReader& r, std::size_t off);  // two 16-bit values
QRectF ReadRectL(const ByteReader& r, std::size_t off);    // inclusive corners as given
QTransform ReadXform(const ByteReader& r, std::size_t off);

// `count` points (16-bit pairs if `small`) from `off`; false when they do
// not fit in the record.
bool ReadPoints(const ByteReader& r, std::size_t off, std::uint32_t count, bool small,
                QPolygonF* out);
// The figures of a PolyPolygon or PolyPolyline record (bounds, figure
// count, point count, the counts, the points); false when any of it does
// not fit or the counts need more points than the record has.
bool ReadPolyPolygons(const ByteReader& r, bool small, std::vector<QPolygonF>* out);

// An EMRTEXT: where a text run goes and where its parts lie in the record.
struct EmrText {
    QPointF reference;
    std::uint32_t chars = 0;
    std::uint32_t offString = 0;
    std::uint32_t options = 0;
    std::optional<QRectF> rect;  // none with ETO_NO_RECT or an empty one
    std::uint32_t offDx = 0;
    bool dxHasY = false;  // ETO_PDY: an x and a y advance per character
};
// The EMRTEXT at `at`; false when the record is too short for it.
bool ReadEmrText(const ByteReader& r, std::size_t at, EmrText* out);
// Its advances, pairs with `dxHasY`; empty when there are none or they do
// not fit.
std::vector<double> ReadAdvances(const ByteReader& r, const EmrText& text);

// Whether ExtCreatePen makes a pen of these (a pen it refuses leaves the
// handle empty: selecting it keeps the current pen). A PS_NULL style is
// always a null pen and is not asked about.
bool ExtPenAccepted(std::uint32_t style, std::uint32_t width, std::uint32_t brushStyle,
                    std::uint32_t styleEntries);

// GDI's name of a record type without the EMR_ prefix ("ExtTextOutW");
// nullptr for a type GDI does not define.
const char* EmfRecordName(std::uint32_t type);

}  // namespace mf
