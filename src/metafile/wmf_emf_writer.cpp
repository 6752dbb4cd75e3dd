#include "metafile/wmf_emf_writer.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

#include "metafile/emf_records.h"

namespace mf::wmf {

EmfRecord& EmfRecord::u32(std::uint32_t v) {
    char b[4];
    qToLittleEndian(v, b);
    payload_.append(b, 4);
    return *this;
}

EmfRecord& EmfRecord::u16(std::uint16_t v) {
    char b[2];
    qToLittleEndian(v, b);
    payload_.append(b, 2);
    return *this;
}

EmfRecord& EmfRecord::u8(std::uint8_t v) {
    payload_.append(char(v));
    return *this;
}

EmfRecord& EmfRecord::f32(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return u32(bits);
}

EmfRecord& EmfRecord::bytes(const char* data, qsizetype n) {
    if (n > 0) payload_.append(data, n);
    return *this;
}

EmfRecord& EmfRecord::pad4() {
    while (payload_.size() % 4)
        payload_.append('\0');
    return *this;
}

void EmfWriter::add(const EmfRecord& record) {
    const qsizetype padded = (record.payload().size() + 3) & ~qsizetype(3);
    char head[8];
    qToLittleEndian(record.type(), head);
    qToLittleEndian(std::uint32_t(8 + padded), head + 4);
    body_.append(head, 8);
    body_.append(record.payload());
    body_.append(padded - record.payload().size(), '\0');
    ++records_;
}

void EmfWriter::noteHandle(std::uint32_t handle) {
    if (handle > maxHandle_) maxHandle_ = handle;
}

QByteArray EmfWriter::finish(const QSize& framePx, const QSize& frameHmm) {
    EmfRecord eof(kEmrEof);
    eof.u32(0).u32(16).u32(20);  // no palette; offset of the (absent) entries; record size
    add(eof);

    // Header with both extensions (pixel format, micrometres): 108 bytes.
    constexpr std::uint32_t kHeaderBytes = 108;
    EmfRecord h(kEmrHeader);
    h.rect(0, 0, framePx.width() - 1, framePx.height() - 1);
    h.rect(0, 0, frameHmm.width(), frameHmm.height());
    h.u32(emr::kEmfSignature);
    h.u32(0x00010000);
    h.u32(std::uint32_t(kHeaderBytes + body_.size()));
    h.u32(std::uint32_t(records_ + 1));
    h.u16(std::uint16_t(std::min<std::uint32_t>(maxHandle_ + 1, 0xFFFF)));
    h.u16(0);
    h.u32(0).u32(0);  // no description
    h.u32(0);         // no palette entries
    h.i32(kRefDevicePixelsX).i32(kRefDevicePixelsY);
    h.i32(kRefDeviceMmX).i32(kRefDeviceMmY);
    h.u32(0).u32(0).u32(0);  // no pixel format, not OpenGL
    h.i32(kRefDeviceMmX * 1000).i32(kRefDeviceMmY * 1000);

    QByteArray out;
    out.reserve(kHeaderBytes + body_.size());
    char head[8];
    qToLittleEndian(std::uint32_t(kEmrHeader), head);
    qToLittleEndian(kHeaderBytes, head + 4);
    out.append(head, 8);
    out.append(h.payload());
    out.append(body_);
    body_.clear();
    records_ = 0;
    return out;
}

}  // namespace mf::wmf
