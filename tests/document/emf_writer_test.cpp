#include <gtest/gtest.h>

#include <QImage>

#include "metafile/emf_writer.h"

namespace {

std::uint32_t Dword(const QByteArray& b, qsizetype at) {
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 16 |
           std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}

}  // namespace

// The header's totals agree with the records, every record is a whole number
// of dwords, and the end record closes the picture.
TEST(EmfWriter, HeaderTotalsMatchTheRecords) {
    mf::EmfWriter w(QSizeF(210, 297));
    EXPECT_EQ(w.deviceSize(), QSize(794, 1123));
    const std::uint32_t pen = w.CreatePen(mf::kPsSolid, 2, Qt::red);
    const std::uint32_t font = w.CreateFont(QStringLiteral("ＭＳ 明朝"), -16);
    w.SelectObject(pen);
    w.SelectObject(font);
    w.ExtTextOut(QPoint(10, 30), QStringLiteral("撮影日：2026/11/05"), 16);
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::blue);
    w.StretchDIBits(QRect(0, 0, 30, 20), image);
    w.DeleteObject(font);
    const std::uint32_t brush = w.CreateBrush(mf::kBsSolid, Qt::green);
    EXPECT_EQ(brush, font);  // a deleted handle index is used again
    const QByteArray emf = w.Finish();

    ASSERT_GE(emf.size(), 108);
    EXPECT_EQ(Dword(emf, 0), mf::emr::Header);
    EXPECT_EQ(Dword(emf, 40), 0x464D4520u);
    EXPECT_EQ(Dword(emf, 48), std::uint32_t(emf.size()));
    EXPECT_EQ(std::uint16_t(Dword(emf, 56)), 3);  // the picture itself and two objects
    std::uint32_t records = 0;
    std::uint32_t lastType = 0;
    for (qsizetype at = 0; at < emf.size();) {
        const std::uint32_t size = Dword(emf, at + 4);
        ASSERT_EQ(size % 4, 0u);
        ASSERT_LE(at + qsizetype(size), emf.size());
        lastType = Dword(emf, at);
        if (lastType == mf::emr::StretchDiBits) {
            // Bitmap header and bits lie inside the record: 3 px x 24 bit -> 12-byte rows.
            EXPECT_EQ(Dword(emf, at + 48), 80u);  // BITMAPINFOHEADER right after the fixed part
            EXPECT_EQ(Dword(emf, at + 60), 24u);  // bits
            EXPECT_LE(Dword(emf, at + 56) + Dword(emf, at + 60), size);
        }
        at += size;
        ++records;
    }
    EXPECT_EQ(records, Dword(emf, 52));
    EXPECT_EQ(lastType, mf::emr::Eof);
}
