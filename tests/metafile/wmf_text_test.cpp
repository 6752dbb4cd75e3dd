#include <gtest/gtest.h>

#include "metafile/convert/wmf_to_emf.h"
#include "metafile/emf_writer.h"
#include "metafile/wmf/wmf_records.h"
#include "metafile/wmf/wmf_text.h"
#include "metafile/wmf/wmf_writer.h"
#include "metafile/wmf_test_records.h"

using namespace mf::wmf;

namespace {

// A font record of the given character set, 20 units high.
WmfParams Font(int charset) {
    QByteArray attrs(8, '\0');
    attrs[3] = char(charset);
    return WmfParams{-20, 0, 0, 0, 400}.bytes(attrs).bytes(
        QByteArray("Face").leftJustified(32, '\0'));
}

std::vector<EmfRec> TextRecords(const WmfWriter& w) {
    const auto emf = mf::ConvertWmfToEmf(w.Finish(2, QRect(0, 0, 100, 100), 96));
    EXPECT_TRUE(emf);
    return emf ? OfType(EmfRecords(*emf), mf::emr::ExtTextOutW) : std::vector<EmfRec>{};
}

// Layout of EMR_EXTTEXTOUTW after type and size: bounds, graphics mode,
// scales, then reference point, chars, string offset, options, rectangle,
// advance offset.
struct TextFields {
    int x, y, chars, options;
    QRect rect;
    QString text;
    std::vector<int> dx;
};

TextFields Fields(const EmfRec& r) {
    TextFields f;
    f.x = r.i32(36);
    f.y = r.i32(40);
    f.chars = r.i32(44);
    f.options = r.i32(52);
    f.rect = QRect(QPoint(r.i32(56), r.i32(60)), QPoint(r.i32(64), r.i32(68)));
    f.text = r.utf16(int(r.u32(48)), f.chars);
    if (const std::uint32_t dxAt = r.u32(72))
        for (int i = 0; i < f.chars; ++i)
            f.dx.push_back(r.i32(int(dxAt) + 4 * i));
    return f;
}

}  // namespace

TEST(WmfText, DecodesEachCharacterSetAndSumsAdvancesOfMultiByteCharacters) {
    const struct {
        std::uint8_t charset;
        QByteArray bytes;
        std::vector<std::int16_t> dx;
        QString text;
        std::vector<std::int32_t> want;
    } cases[] = {
        // "Aあ漢B" in Shift-JIS; the trail byte 0x5C is no backslash.
        {128,
         QByteArray("A\x82\xA0\x8A\xBF"
                    "B",
                    6),
         {10, 12, 0, 7, 7, 9},
         QString::fromUtf8("Aあ漢B"),
         {10, 12, 14, 9}},
        {128, QByteArray("\x95\x5C", 2), {5, 6}, QString::fromUtf8("表"), {11}},
        // A lead byte at the very end stands alone.
        {128, QByteArray("a\x82", 2), {1, 2}, QString::fromUtf8("a\uFFFD"), {1, 2}},
        {0, QByteArray("caf\xE9 \x80", 6), {}, QString::fromUtf8("café €"), {}},
        {204, QByteArray("\xC4\xE0", 2), {}, QString::fromUtf8("Да"), {}},
        {129, QByteArray("\xC7\xD1", 2), {3, 4}, QString::fromUtf8("한"), {7}},
        {2, QByteArray("a\xB7", 2), {}, QString(QChar(0xF061)) + QChar(0xF0B7), {}},
    };
    for (const auto& c : cases) {
        const DecodedText t = DecodeText(c.bytes, c.charset, c.dx.empty() ? nullptr : &c.dx);
        EXPECT_EQ(t.text, c.text) << int(c.charset) << " " << c.bytes.toHex().constData();
        EXPECT_EQ(t.dx, c.want) << int(c.charset) << " " << c.bytes.toHex().constData();
    }
}

TEST(WmfText, EncodeIsTheInverseOfDecode) {
    const QString text = QString::fromUtf8("写真 No.5 表");
    EXPECT_EQ(DecodeText(EncodeText(text, mf::kShiftJisCharset), mf::kShiftJisCharset).text, text);
    EXPECT_EQ(EncodeText(QString::fromUtf8("é✓"), mf::kAnsiCharset), QByteArray("\xE9?"));
}

TEST(WmfText, ExtTextOutUsesTheSelectedFontsCharsetAndKeepsRectAndOptions) {
    WmfWriter w;
    w.Add(kCreateFontIndirect, Font(128));  // slot 0
    w.Add(kCreateFontIndirect, Font(0));    // slot 1
    w.Add(kSelectObject, {0});
    // y, x, length, options, rectangle, string, advances per byte
    w.Add(kExtTextOut, WmfParams{40, 30, 3, int(mf::kEtoOpaque | mf::kEtoClipped), 1, 2, 3, 4}
                           .bytes(QByteArray("\x82\xA0Z", 3))
                           .word(8)
                           .word(0)
                           .word(5));
    w.Add(kSaveDc);
    w.Add(kSelectObject, {1});
    w.Add(kTextOut, WmfParams{1}.bytes("\xE9").word(7).word(6));
    w.Add(kRestoreDc, {-1});  // back to the Shift-JIS font
    w.Add(kExtTextOut, WmfParams{0, 0, 2, 0}.bytes("\x82\xA0"));
    const auto texts = TextRecords(w);
    ASSERT_EQ(texts.size(), 3u);

    const TextFields a = Fields(texts[0]);
    EXPECT_EQ(a.x, 30);
    EXPECT_EQ(a.y, 40);
    EXPECT_EQ(a.text, QString::fromUtf8("あZ"));
    EXPECT_EQ(a.dx, (std::vector<int>{8, 5}));
    EXPECT_EQ(a.options, int(mf::kEtoOpaque | mf::kEtoClipped));
    EXPECT_EQ(a.rect, QRect(QPoint(1, 2), QPoint(3, 4)));

    const TextFields b = Fields(texts[1]);
    EXPECT_EQ(b.text, QString::fromUtf8("é"));
    EXPECT_EQ(b.x, 6);
    EXPECT_EQ(b.y, 7);
    EXPECT_TRUE(b.dx.empty());

    EXPECT_EQ(Fields(texts[2]).text, QString::fromUtf8("あ"));
}

TEST(WmfText, RectangleWithoutItsOptionIsFoundBySizeAndShortAdvancesAreDropped) {
    WmfWriter w;
    // A rectangle the options do not announce (some writers do this).
    w.Add(kExtTextOut, WmfParams{5, 6, 2, 0, 1, 2, 3, 4}.bytes("ab").word(3).word(4));
    // Advances shorter than the string: drawn without them.
    w.Add(kExtTextOut, WmfParams{5, 6, 4, 0}.bytes("abcd").word(3));
    // String longer than the record: skipped.
    w.Add(kExtTextOut, WmfParams{5, 6, 200, 0}.bytes("abcd"));
    const auto texts = TextRecords(w);
    ASSERT_EQ(texts.size(), 2u);
    const TextFields a = Fields(texts[0]);
    EXPECT_EQ(a.text, QString("ab"));
    EXPECT_EQ(a.dx, (std::vector<int>{3, 4}));
    const TextFields b = Fields(texts[1]);
    EXPECT_EQ(b.text, QString("abcd"));
    EXPECT_TRUE(b.dx.empty());
}
