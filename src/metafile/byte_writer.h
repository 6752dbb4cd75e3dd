#pragma once

#include <QByteArray>
#include <QtEndian>
#include <cstdint>

namespace mf {

// Little-endian appends, shared by the EMF and WMF writers and converters.
inline void Put16(QByteArray& out, std::uint16_t v) {
    char c[2];
    qToLittleEndian(v, c);
    out.append(c, 2);
}

inline void Put32(QByteArray& out, std::uint32_t v) {
    char c[4];
    qToLittleEndian(v, c);
    out.append(c, 4);
}

}  // namespace mf
