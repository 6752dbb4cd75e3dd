#include "metafile/wmf/wmf_writer.h"

#include <QtEndian>
#include <algorithm>

#include "metafile/byte_writer.h"
#include "metafile/wmf/wmf_header.h"
#include "metafile/wmf/wmf_records.h"

namespace mf::wmf {

WmfParams& WmfParams::word(int v) {
    Put16(data_, std::uint16_t(v));
    return *this;
}

WmfParams& WmfParams::dword(std::uint32_t v) {
    Put32(data_, v);
    return *this;
}

WmfParams& WmfParams::bytes(const QByteArray& b) {
    data_.append(b);
    if (b.size() % 2) data_.append('\0');
    return *this;
}

void WmfWriter::Add(std::uint16_t function, const WmfParams& params) {
    const std::uint32_t words = 3 + std::uint32_t(params.data().size() / 2);
    Put32(body_, words);
    Put16(body_, function);
    body_.append(params.data());
    maxRecordWords_ = std::max(maxRecordWords_, words);
}

QByteArray WmfWriter::Finish(int objectCount, const QRect& bbox, int unitsPerInch) const {
    QByteArray out;
    if (unitsPerInch > 0) out = PlaceableHeader(bbox, unitsPerInch);
    const std::uint32_t totalWords = kHeaderWords + std::uint32_t(body_.size() / 2) + 3;
    Put16(out, kMemoryMetafile);
    Put16(out, kHeaderWords);
    Put16(out, kVersion3);
    Put32(out, totalWords);
    Put16(out, std::uint16_t(objectCount));
    Put32(out, maxRecordWords_);
    Put16(out, 0);
    out.append(body_);
    Put32(out, 3);
    Put16(out, kEof);
    return out;
}

}  // namespace mf::wmf
