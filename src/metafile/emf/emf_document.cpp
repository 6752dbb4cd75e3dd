#include "metafile/emf/emf_document.h"

#include <cmath>

#include "metafile/byte_reader.h"
#include "metafile/emf/emf_decoder.h"
#include "metafile/emf/emf_records.h"

namespace mf {

namespace {

constexpr std::size_t kMinHeader = 88;
constexpr qsizetype kShortestEmf = 100;

QRect ReadRect(const ByteReader& r, std::size_t off) {
    return QRect(QPoint(r.i32(off), r.i32(off + 4)), QPoint(r.i32(off + 8), r.i32(off + 12)));
}

bool Fail(QString* why, const QString& text) {
    if (why) *why = text;
    return false;
}

}  // namespace

bool LooksLikeEmf(const char* data, qsizetype size) {
    if (data == nullptr || size <= kShortestEmf) return false;
    const ByteReader r(reinterpret_cast<const std::uint8_t*>(data), std::size_t(size));
    return r.u32(0) == emr::Header && r.u32(emr::kEmfSignatureOffset) == emr::kEmfSignature;
}

double EmfDocument::pxPerMmX() const {
    return double(devicePixels.width()) / deviceMillimeters.width();
}

double EmfDocument::pxPerMmY() const {
    return double(devicePixels.height()) / deviceMillimeters.height();
}

QRectF EmfDocument::frameInPixels() const {
    const double kx = pxPerMmX() / 100, ky = pxPerMmY() / 100;
    return QRectF(QPointF(frame.left() * kx, frame.top() * ky),
                  QPointF(frame.right() * kx, frame.bottom() * ky));
}

QSize EmfDocument::naturalSize() const {
    const QRectF f = frameInPixels();
    return QSize(std::max(1, int(std::lround(f.width()))),
                 std::max(1, int(std::lround(f.height()))));
}

std::optional<EmfDocument> ReadEmf(const QByteArray& bytes, QString* why) {
    const ByteReader r(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                       std::size_t(bytes.size()));
    if (!LooksLikeEmf(bytes)) {
        Fail(why, QStringLiteral("not an enhanced metafile"));
        return std::nullopt;
    }
    const std::uint32_t headerSize = r.u32(4);
    if (headerSize < kMinHeader || headerSize > r.size() || headerSize % 4 != 0) {
        Fail(why, QStringLiteral("the EMF header record has a bad size"));
        return std::nullopt;
    }
    EmfDocument doc;
    doc.bytes = bytes;
    doc.bounds = ReadRect(r, 8);
    doc.frame = ReadRect(r, 24);
    doc.handles = r.u16(56);
    doc.devicePixels = QSize(r.i32(72), r.i32(76));
    doc.deviceMillimeters = QSize(r.i32(80), r.i32(84));
    if (doc.devicePixels.width() <= 0 || doc.devicePixels.height() <= 0 ||
        doc.deviceMillimeters.width() <= 0 || doc.deviceMillimeters.height() <= 0) {
        // A reference device without a size: take a 96-ppi screen.
        doc.devicePixels = QSize(1024, 768);
        doc.deviceMillimeters = QSize(271, 203);
    }
    // A frame that is empty or absurd falls back to the bounds.
    const QRectF px = doc.frameInPixels();
    if (doc.frame.right() <= doc.frame.left() || doc.frame.bottom() <= doc.frame.top() ||
        px.width() > 1e6 || px.height() > 1e6) {
        const QRect b = doc.bounds;
        const double kx = 100 / doc.pxPerMmX(), ky = 100 / doc.pxPerMmY();
        const double left = b.left() * kx, top = b.top() * ky;
        const double right = (double(b.right()) + 1) * kx, bottom = (double(b.bottom()) + 1) * ky;
        // A reference device of few pixels over many millimetres turns modest
        // bounds into a frame beyond any integer.
        constexpr double kMaxFrame = 1e9;
        if (b.right() < b.left() || b.bottom() < b.top() || double(b.right()) - b.left() > 1e6 ||
            double(b.bottom()) - b.top() > 1e6 || !(std::abs(left) < kMaxFrame) ||
            !(std::abs(top) < kMaxFrame) || !(std::abs(right) < kMaxFrame) ||
            !(std::abs(bottom) < kMaxFrame)) {
            Fail(why, QStringLiteral("the EMF header has neither a frame nor bounds"));
            return std::nullopt;
        }
        doc.frame = QRect(QPoint(int(left), int(top)), QPoint(int(right), int(bottom)));
    }

    doc.firstRecord = headerSize;
    EmfRecordWalker walk(r, headerSize);
    EmfRecordView record;
    while (walk.Next(&record)) {
        ++doc.recordCount;
        const std::uint32_t type = record.type;
        if ((type >= emr::BitBlt && type <= emr::StretchDiBits) || type == emr::AlphaBlend ||
            type == emr::TransparentBlt) {
            ++doc.bitmapRecords;
            doc.bitmapBytes += record.size();
        }
    }
    if (walk.stoppedAtDamage()) doc.damagedTail = walk.damagedType();
    doc.end = walk.offset();
    return doc;
}

}  // namespace mf
