#pragma once

// Reads back the EMF records the WMF conversion writes, for assertions.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QtEndian>
#include <cstdint>
#include <vector>

struct EmfRec {
    std::uint32_t type = 0;
    QByteArray data;  // the whole record, type and size included

    std::uint32_t u32(int at) const {
        if (at < 0 || at + 4 > data.size()) {
            ADD_FAILURE() << "read at " << at << " past a record of " << data.size() << " bytes";
            return 0;
        }
        return qFromLittleEndian<std::uint32_t>(data.constData() + at);
    }
    std::int32_t i32(int at) const { return std::int32_t(u32(at)); }
    std::uint16_t u16(int at) const {
        if (at < 0 || at + 2 > data.size()) return 0;
        return qFromLittleEndian<std::uint16_t>(data.constData() + at);
    }
    // UTF-16 text of `chars` units at `at`.
    QString utf16(int at, int chars) const {
        QString s;
        for (int i = 0; i < chars; ++i)
            s.append(QChar(char16_t(u16(at + 2 * i))));
        return s;
    }
};

// Splits an EMF into records, checking the stream as it goes: sizes are
// multiples of 4 and inside the bytes, the header's byte and record counts
// agree, and the last record is EMR_EOF.
inline std::vector<EmfRec> EmfRecords(const QByteArray& emf) {
    std::vector<EmfRec> out;
    qsizetype at = 0;
    while (at + 8 <= emf.size()) {
        const auto type = qFromLittleEndian<std::uint32_t>(emf.constData() + at);
        const auto size = qFromLittleEndian<std::uint32_t>(emf.constData() + at + 4);
        if (size < 8 || size % 4 || at + qsizetype(size) > emf.size()) {
            ADD_FAILURE() << "bad record size " << size << " at " << at;
            break;
        }
        out.push_back({type, emf.mid(at, size)});
        at += size;
    }
    EXPECT_EQ(at, emf.size());
    if (out.empty()) return out;
    EXPECT_EQ(out.front().type, 1u);
    EXPECT_EQ(out.front().u32(40), 0x464D4520u);
    EXPECT_EQ(out.front().u32(48), std::uint32_t(emf.size()));
    EXPECT_EQ(out.front().u32(52), std::uint32_t(out.size()));
    EXPECT_EQ(out.back().type, 14u);
    return out;
}

// Record types in order, without the header, the initial mapping the
// conversion puts in front (the first five records) and the EOF.
inline std::vector<std::uint32_t> DrawingTypes(const std::vector<EmfRec>& recs) {
    std::vector<std::uint32_t> types;
    for (size_t i = 6; i + 1 < recs.size(); ++i)
        types.push_back(recs[i].type);
    return types;
}

inline std::vector<EmfRec> OfType(const std::vector<EmfRec>& recs, std::uint32_t type) {
    std::vector<EmfRec> out;
    for (const EmfRec& r : recs)
        if (r.type == type) out.push_back(r);
    return out;
}
