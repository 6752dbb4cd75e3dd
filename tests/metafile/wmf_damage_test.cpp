#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "metafile/convert/wmf_to_emf.h"
#include "metafile/emf_writer.h"
#include "metafile/picture.h"
#include "metafile/wmf/wmf_records.h"
#include "metafile/wmf/wmf_writer.h"
#include "metafile/wmf_test_records.h"

using namespace mf::wmf;

namespace {

// A file that uses most record kinds, for cutting and scrambling.
QByteArray Sample() {
    WmfWriter w;
    w.Add(kSetWindowOrg, {0, 0});
    w.Add(kSetWindowExt, {100, 100});
    w.Add(kCreatePenIndirect, WmfParams{0, 1, 0}.dword(0));
    w.Add(kCreateBrushIndirect, WmfParams{0}.dword(0xFF).word(0));
    QByteArray attrs(8, '\0');
    attrs[3] = char(128);
    w.Add(kCreateFontIndirect, WmfParams{-20, 0, 0, 0, 400}.bytes(attrs).bytes("Gothic"));
    w.Add(kCreateRegion, WmfParams{0, 6, 0, 0, 0, 1, 0, 0, 0, 9, 9, 2, 0, 9, 0, 9, 2});
    w.Add(kSelectObject, {0});
    w.Add(kSelectObject, {1});
    w.Add(kSelectObject, {2});
    w.Add(kPolygon, WmfParams{3, 0, 0, 50, 0, 50, 50});
    w.Add(kPolyPolygon, WmfParams{1, 2, 0, 0, 5, 5});
    w.Add(kExtTextOut, WmfParams{10, 10, 3, 0}.bytes("\x82\xA0Z").word(9).word(0).word(9));
    w.Add(kFillRegion, {3, 1});
    w.Add(kSaveDc);
    w.Add(kRestoreDc, {-1});
    w.Add(kDibBitBlt, WmfParams{}
                          .dword(mf::kSrcCopy)
                          .word(0)
                          .word(0)
                          .word(1)
                          .word(1)
                          .word(0)
                          .word(0)
                          .dword(40)
                          .dword(1)
                          .dword(1)
                          .word(1)
                          .word(24)
                          .dword(0)
                          .dword(4)
                          .dword(0)
                          .dword(0)
                          .dword(0)
                          .dword(0)
                          .dword(0x00112233));
    return w.Finish(4, QRect(0, 0, 100, 100), 96);
}

void ExpectSoundOrRefused(const QByteArray& wmf, const char* what) {
    const auto emf = mf::ConvertWmfToEmf(wmf);
    if (!emf) return;
    SCOPED_TRACE(what);
    EmfRecords(*emf);
    EXPECT_LT(emf->size(), 64 * 1024 * 1024);
}

}  // namespace

TEST(WmfDamage, EveryTruncationConvertsToASoundEmfOrIsRefused) {
    const QByteArray wmf = Sample();
    ASSERT_TRUE(mf::ConvertWmfToEmf(wmf));
    for (qsizetype n = 0; n < wmf.size(); ++n)
        ExpectSoundOrRefused(wmf.left(n), "truncated");
}

TEST(WmfDamage, ScrambledBytesNeverBreakTheConversion) {
    const QByteArray wmf = Sample();
    QRandomGenerator rng(20261210);
    for (int round = 0; round < 3000; ++round) {
        QByteArray b = wmf;
        const int flips = 1 + int(rng.bounded(6));
        for (int i = 0; i < flips; ++i) {
            // Leave the headers alone half of the time so the records get hit.
            const int from = rng.bounded(2) ? 40 : 0;
            b[from + int(rng.bounded(int(b.size()) - from))] = char(rng.bounded(256));
        }
        ExpectSoundOrRefused(b, "scrambled");
    }
}

TEST(WmfDamage, RecordSizesThatCannotBeWalkedEndTheConversion) {
    const struct {
        const char* name;
        QByteArray record;
    } cases[] = {
        {"zero size", QByteArray("\0\0\0\0\x13\x02", 6)},
        {"size 2", QByteArray("\2\0\0\0\x13\x02", 6)},
        {"beyond the file", QByteArray("\xFF\xFF\0\0\x13\x02\0\0\0\0", 10)},
    };
    for (const auto& c : cases) {
        WmfWriter w;
        w.Add(kLineTo, {1, 1});
        w.AddRaw(c.record);
        w.Add(kLineTo, {2, 2});  // never reached
        const auto emf = mf::ConvertWmfToEmf(w.Finish(0, QRect(0, 0, 10, 10), 96));
        ASSERT_TRUE(emf) << c.name;
        EXPECT_EQ(DrawingTypes(EmfRecords(*emf)), std::vector<std::uint32_t>{mf::emr::LineTo})
            << c.name;
    }
}

TEST(WmfDamage, CountsBeyondTheRecordSkipOnlyThatRecord) {
    WmfWriter w;
    w.Add(kPolygon, WmfParams{5000, 1, 2});
    w.Add(kPolyPolygon, WmfParams{2, 1, 60000, 0, 0});
    w.Add(kPolyPolygon, WmfParams{40000});
    w.Add(kTextOut, WmfParams{300}.bytes("ab").word(0).word(0));
    w.Add(kStretchDib, WmfParams{}
                           .dword(mf::kSrcCopy)
                           .word(0)
                           .word(1)
                           .word(1)
                           .word(0)
                           .word(0)
                           .word(1)
                           .word(1)
                           .word(0)
                           .word(0)
                           .dword(0x7FFFFFFF));
    w.Add(kCreatePalette, WmfParams{0x300, 9000, 0});
    w.Add(kSetWindowExt, {5});  // one word short
    w.Add(kLineTo, {3, 4});
    const QByteArray wmf = w.Finish(1, QRect(0, 0, 10, 10), 96);
    const auto emf = mf::ConvertWmfToEmf(wmf);
    ASSERT_TRUE(emf);
    EXPECT_EQ(DrawingTypes(EmfRecords(*emf)), std::vector<std::uint32_t>{mf::emr::LineTo});
}

TEST(WmfDamage, HeaderSizeThatDisagreesWithTheFileIsTolerated) {
    WmfWriter w;
    w.Add(kLineTo, {1, 1});
    QByteArray wmf = w.Finish(0, QRect(0, 0, 10, 10), 96);
    wmf[22 + 6] = char(0x7F);           // mtSize far beyond the bytes
    wmf.append(QByteArray(7, '\x55'));  // bytes after the EOF record
    const auto emf = mf::ConvertWmfToEmf(wmf);
    ASSERT_TRUE(emf);
    EXPECT_EQ(DrawingTypes(EmfRecords(*emf)), std::vector<std::uint32_t>{mf::emr::LineTo});
}

TEST(WmfDamage, RegionsUsedOverAndOverCannotBlowUpTheOutput) {
    WmfWriter w;
    w.Add(kCreateBrushIndirect, WmfParams{0}.dword(0).word(0));
    // One scan with 8000 spans, then 20000 fills of it.
    WmfParams region{0, 6, 0, 0, 0, 1, 0, 0, 0, 9, 9, 16000, 0, 1};
    for (int i = 0; i < 8000; ++i)
        region.word(2 * i).word(2 * i + 1);
    region.word(16000);
    w.Add(kCreateRegion, region);
    for (int i = 0; i < 20000; ++i)
        w.Add(kFillRegion, {1, 0});
    const QByteArray wmf = w.Finish(2, QRect(0, 0, 10, 10), 96);
    const auto emf = mf::ConvertWmfToEmf(wmf);
    ASSERT_TRUE(emf);
    EXPECT_LT(emf->size(), 16 * 1024 * 1024 + 8 * wmf.size() + 256 * 1024);
    EXPECT_EQ(EmfRecords(*emf).back().type, mf::emr::Eof);
}

// What the player leaves out of a WMF page is listed per function and reason:
// an escape it does not draw, a function GDI does not define, a record too
// short for its parameters and one whose size runs past the end.
TEST(WmfDamage, RecordsLeftOutAreCountedPerFunction) {
    WmfWriter w;
    w.Add(kLineTo, {5, 5});
    w.Add(kEscape, {15, 0});
    w.Add(kEscape, {15, 0});
    w.Add(0x0FFF, {1});
    w.Add(kLineTo, {5});
    QByteArray tail;
    tail.append("\xFF\x00\x00\x00", 4);  // 255 words: beyond the file
    tail.append("\x18\x04", 2);          // Ellipse
    w.AddRaw(tail);
    const auto picture = mf::Picture::Load(w.Finish(0, QRect(0, 0, 10, 10), 96));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->skippedRecords().join(QLatin1Char('\n')).toStdString(),
              "WMF Ellipse (0x0418) damaged: 1\n"
              "WMF Escape (0x0626) unsupported: 2\n"
              "WMF LineTo (0x0213) damaged: 1\n"
              "WMF record (0x0fff) unknown: 1");
}
