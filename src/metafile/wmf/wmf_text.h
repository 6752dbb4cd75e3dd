#pragma once

// Text of WMF records is bytes in the code page of the selected font's
// character set. These helpers turn it into UTF-16 for the EMF's
// ExtTextOutW, carrying the per-byte advances over to the characters.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

#include "metafile/gdi_constants.h"

namespace mf::wmf {

// Font character sets that change how bytes are read.

struct DecodedText {
    QString text;
    // One advance per UTF-16 unit when the record had advances, else empty.
    std::vector<std::int32_t> dx;
};

// Decodes `bytes` in the code page of `charset`. `dxPerByte`, when not null
// and as long as `bytes`, holds one advance per byte; a character made of
// several bytes gets the sum of their advances. Symbol fonts map byte b to
// U+F000 + b, as Windows does. Bytes that do not decode become U+FFFD (a
// single-byte code page's holes keep their Latin-1 value).
DecodedText DecodeText(const QByteArray& bytes, std::uint8_t charset,
                       const std::vector<std::int16_t>* dxPerByte = nullptr);

// A font's face name (NUL-terminated in at most `bytes`) in the same way.
QString DecodeFaceName(const QByteArray& bytes, std::uint8_t charset);

// The iconv name of the code page GDI uses for `charset`.
const char* CodePageName(std::uint8_t charset);

// Encodes Unicode text for a WMF record in the code page of `charset`
// (characters without a form become '?').
QByteArray EncodeText(const QString& text, std::uint8_t charset);

}  // namespace mf::wmf
