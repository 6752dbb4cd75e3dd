#pragma once

// Writes a Windows metafile: records of 16-bit words, then the headers in
// front. Page output (EMF to placeable WMF) uses it, and tests build their
// sample files with it.

#include <QByteArray>
#include <QRect>
#include <cstdint>
#include <initializer_list>

namespace mf::wmf {

// The parameters of one record, in file order.
class WmfParams {
public:
    WmfParams() = default;
    WmfParams(std::initializer_list<int> words) {
        for (int w : words)
            word(w);
    }
    // A 16-bit value; negative numbers are stored as their two's complement.
    WmfParams& word(int v);
    // A 32-bit value as two words, low word first (colours, raster operations).
    WmfParams& dword(std::uint32_t v);
    // Bytes, padded with a zero byte to a whole word.
    WmfParams& bytes(const QByteArray& b);
    const QByteArray& data() const { return data_; }

private:
    QByteArray data_;
};

class WmfWriter {
public:
    void Add(std::uint16_t function, const WmfParams& params = {});
    // Bytes as they are (for damaged records in tests).
    void AddRaw(const QByteArray& bytes) { body_.append(bytes); }

    // Header (a placeable one when `unitsPerInch` > 0, with `bbox`), records
    // and META_EOF.
    QByteArray Finish(int objectCount, const QRect& bbox = {}, int unitsPerInch = 0) const;

private:
    QByteArray body_;
    std::uint32_t maxRecordWords_ = 3;
};

}  // namespace mf::wmf
