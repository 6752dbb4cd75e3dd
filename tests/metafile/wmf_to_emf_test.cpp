#include <gtest/gtest.h>

#include "metafile/convert/wmf_to_emf.h"
#include "metafile/emf_writer.h"
#include "metafile/wmf/wmf_records.h"
#include "metafile/wmf/wmf_writer.h"
#include "metafile/wmf_test_records.h"

using namespace mf::wmf;

namespace {

std::vector<EmfRec> Convert(const QByteArray& wmf) {
    QString why;
    const auto emf = mf::ConvertWmfToEmf(wmf, &why);
    EXPECT_TRUE(emf.has_value()) << why.toStdString();
    return emf ? EmfRecords(*emf) : std::vector<EmfRec>{};
}

QByteArray Placeable(const WmfWriter& w, int objects = 4) {
    return w.Finish(objects, QRect(0, 0, 1440, 720), 1440);
}

// A 2 x 1 24-bit packed DIB.
QByteArray TinyDib() {
    WmfParams p;
    p.dword(40).dword(2).dword(1).word(1).word(24).dword(0).dword(8).dword(0).dword(0);
    p.dword(0).dword(0);
    p.dword(0x00FF0000).dword(0x0000FF00);  // blue pixel, green pixel, padding
    return p.data();
}

}  // namespace

TEST(WmfToEmf, PlaceableHeaderGivesFrameDeviceAndInitialMapping) {
    WmfWriter w;
    w.Add(kRectangle, {20, 30, 0, 10});
    const QByteArray wmf = w.Finish(1, QRect(-100, 50, 2880, 1440), 1440);

    const auto info = mf::ReadWmfInfo(wmf);
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->placeable);
    EXPECT_EQ(info->unitsPerInch, 1440);
    EXPECT_EQ(info->naturalSize(96), QSize(192, 96));

    const auto recs = Convert(wmf);
    ASSERT_GE(recs.size(), 8u);
    const EmfRec& h = recs[0];
    EXPECT_EQ(h.i32(8), 0);  // bounds in reference pixels, inclusive
    EXPECT_EQ(h.i32(16), 191);
    EXPECT_EQ(h.i32(20), 95);
    EXPECT_EQ(h.i32(32), 5080);  // frame in 0.01 mm: 2 x 1 inches
    EXPECT_EQ(h.i32(36), 2540);
    // The reference device is 96 ppi: pixels per millimetre agree.
    EXPECT_EQ(h.i32(72) * 254, h.i32(80) * 10 * 96);
    EXPECT_EQ(h.i32(76) * 254, h.i32(84) * 10 * 96);

    EXPECT_EQ(recs[1].type, mf::emr::SetMapMode);
    EXPECT_EQ(recs[1].u32(8), 8u);
    EXPECT_EQ(recs[2].type, mf::emr::SetWindowOrgEx);
    EXPECT_EQ(recs[2].i32(8), -100);
    EXPECT_EQ(recs[2].i32(12), 50);
    EXPECT_EQ(recs[3].type, mf::emr::SetWindowExtEx);
    EXPECT_EQ(recs[3].i32(8), 2880);
    EXPECT_EQ(recs[5].type, mf::emr::SetViewportExtEx);
    EXPECT_EQ(recs[5].i32(8), 192);
    EXPECT_EQ(recs[5].i32(12), 96);

    ASSERT_EQ(recs[6].type, mf::emr::Rectangle);
    EXPECT_EQ(recs[6].i32(8), 10);  // left, top, right, bottom
    EXPECT_EQ(recs[6].i32(12), 0);
    EXPECT_EQ(recs[6].i32(16), 30);
    EXPECT_EQ(recs[6].i32(20), 20);
}

TEST(WmfToEmf, PlainWmfTakesItsFrameFromTheWindowItSetsUp) {
    WmfWriter w;
    w.Add(kSetMapMode, {8});
    w.Add(kSetWindowOrg, {-20, 10});
    w.Add(kSetWindowExt, {-300, 400});  // y grows upwards
    w.Add(kLineTo, {5, 5});
    w.Add(kSetWindowExt, {9999, 9999});  // after the drawing started: not the frame
    const QByteArray wmf = w.Finish(0);

    const auto info = mf::ReadWmfInfo(wmf);
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->placeable);
    EXPECT_EQ(info->bbox, QRect(10, -320, 400, 300));
    EXPECT_EQ(info->naturalSize(96), QSize(400, 300));

    const auto recs = Convert(wmf);
    ASSERT_FALSE(recs.empty());
    EXPECT_EQ(recs[0].i32(32), 10583);  // 400 px at 96 ppi in 0.01 mm
    // The file's own mapping records follow the initial mapping.
    EXPECT_EQ(DrawingTypes(recs),
              (std::vector<std::uint32_t>{mf::emr::SetMapMode, mf::emr::SetWindowOrgEx,
                                          mf::emr::SetWindowExtEx, mf::emr::LineTo,
                                          mf::emr::SetWindowExtEx}));
}

TEST(WmfToEmf, PlainWmfWithAHugeWindowIsTakenToBeInFinerUnits) {
    const struct {
        int width, height, unitsPerInch;
    } cases[] = {{1920, 1440, 96}, {1921, 100, 1440}, {100, 28000, 2540}, {30000, 30000, 2540}};
    for (const auto& c : cases) {
        WmfWriter w;
        w.Add(kSetWindowExt, {c.height, c.width});
        const auto info = mf::ReadWmfInfo(w.Finish(0));
        ASSERT_TRUE(info);
        EXPECT_EQ(info->unitsPerInch, c.unitsPerInch) << c.width << "x" << c.height;
    }
}

TEST(WmfToEmf, PlainWmfWithoutWindowIsSizedByWhatItDraws) {
    WmfWriter w;
    w.Add(kPolygon, WmfParams{3, 10, 20, 110, 20, 60, 70});
    const auto info = mf::ReadWmfInfo(w.Finish(0));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->bbox, QRect(QPoint(10, 20), QPoint(110, 70)));
}

TEST(WmfToEmf, RefusesBadHeaders) {
    WmfWriter w;
    w.Add(kLineTo, {1, 1});
    const QByteArray good = Placeable(w);
    auto patched = [&](int at, char v) {
        QByteArray b = good;
        b[at] = v;
        return b;
    };
    QByteArray zeroUnits = good;
    zeroUnits[14] = zeroUnits[15] = 0;
    // Keep the checksum right so that only the units are wrong.
    zeroUnits[20] = char(good[20] ^ good[14]);
    zeroUnits[21] = char(good[21] ^ good[15]);
    const QByteArray plain = w.Finish(0);

    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"checksum", patched(20, char(good[20] ^ 1))},
        {"units per inch 0", zeroUnits},
        {"placeable header cut", good.left(21)},
        {"metafile header cut", good.left(22 + 17)},
        {"header type 3",
         [&] {
             QByteArray b = plain;
             b[0] = 3;
             return b;
         }()},
        {"header size 10 words",
         [&] {
             QByteArray b = plain;
             b[2] = 10;
             return b;
         }()},
        {"version 0x0200",
         [&] {
             QByteArray b = plain;
             b[5] = 2;
             return b;
         }()},
        {"empty", QByteArray()},
    };
    for (const auto& c : cases) {
        QString why;
        EXPECT_FALSE(mf::ConvertWmfToEmf(c.bytes, &why)) << c.name;
        EXPECT_FALSE(why.isEmpty()) << c.name;
    }
    EXPECT_TRUE(mf::ConvertWmfToEmf(good));
    EXPECT_TRUE(mf::ConvertWmfToEmf(plain));
}

TEST(WmfToEmf, ObjectsTakeTheLowestFreeSlotAndMapToHandleSlotPlusOne) {
    WmfWriter w;
    w.Add(kCreatePenIndirect, WmfParams{0, 3, 0}.dword(0x0000FF));      // slot 0
    w.Add(kCreateBrushIndirect, WmfParams{0}.dword(0x00FF00).word(0));  // slot 1
    w.Add(kDeleteObject, {0});
    w.Add(kCreateBrushIndirect, WmfParams{1}.dword(0).word(0));  // reuses slot 0
    w.Add(kSelectObject, {0});
    w.Add(kSelectObject, {1});
    w.Add(kSelectObject, {2});   // never created: ignored
    w.Add(kSelectObject, {77});  // beyond the table: ignored
    w.Add(kDeleteObject, {5});   // ignored
    const auto recs = Convert(Placeable(w, 3));

    EXPECT_EQ(DrawingTypes(recs),
              (std::vector<std::uint32_t>{mf::emr::CreatePen, mf::emr::CreateBrushIndirect,
                                          mf::emr::DeleteObject, mf::emr::CreateBrushIndirect,
                                          mf::emr::SelectObject, mf::emr::SelectObject}));
    EXPECT_EQ(recs[6].u32(8), 1u);   // pen handle
    EXPECT_EQ(recs[6].u32(16), 3u);  // width
    EXPECT_EQ(recs[7].u32(8), 2u);   // first brush
    EXPECT_EQ(recs[8].u32(8), 1u);   // pen deleted
    EXPECT_EQ(recs[9].u32(8), 1u);   // second brush in the pen's old slot
    EXPECT_EQ(recs[9].u32(12), 1u);  // BS_NULL
    EXPECT_EQ(recs[10].u32(8), 1u);
    EXPECT_EQ(recs[11].u32(8), 2u);
    EXPECT_GE(recs[0].u16(56), 3);  // handle count covers handle 2
}

TEST(WmfToEmf, FullObjectTableDropsTheNewObjectAndDamagedCreatesKeepTheirSlot) {
    WmfWriter w;
    w.Add(kCreatePenIndirect, {0});  // too short: holds slot 0, makes nothing
    w.Add(kCreatePenIndirect, WmfParams{0, 1, 0}.dword(0));  // slot 1
    w.Add(kCreatePenIndirect, WmfParams{0, 2, 0}.dword(0));  // table full
    w.Add(kSelectObject, {0});
    w.Add(kSelectObject, {1});
    const auto recs = Convert(Placeable(w, 2));
    EXPECT_EQ(DrawingTypes(recs),
              (std::vector<std::uint32_t>{mf::emr::CreatePen, mf::emr::SelectObject}));
    EXPECT_EQ(recs[6].u32(8), 2u);
    EXPECT_EQ(recs[7].u32(8), 2u);
}

TEST(WmfToEmf, FontBecomesLogFontWithFaceInItsCodePage) {
    WmfWriter w;
    // -24 high, weight 700, italic, SHIFTJIS_CHARSET, face "ＭＳ 明朝".
    const QByteArray face = QByteArray("\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9", 9);
    w.Add(kCreateFontIndirect, WmfParams{-24, 0, 900, 900, 700}
                                   .bytes(QByteArray("\x01\x00\x00\x80\x00\x00\x00\x00", 8))
                                   .bytes(face + QByteArray(32 - face.size(), '\0')));
    const auto fonts = OfType(Convert(Placeable(w)), mf::emr::ExtCreateFontIndirectW);
    ASSERT_EQ(fonts.size(), 1u);
    const EmfRec& f = fonts[0];
    EXPECT_EQ(f.u32(8), 1u);
    EXPECT_EQ(f.i32(12), -24);
    EXPECT_EQ(f.i32(20), 900);
    EXPECT_EQ(f.i32(28), 700);
    EXPECT_EQ(f.data[32], 1);           // italic
    EXPECT_EQ(uchar(f.data[35]), 128);  // charset
    EXPECT_EQ(f.utf16(40, 5), QString::fromUtf8("ＭＳ 明朝"));
    EXPECT_EQ(f.u16(50), 0);
}

TEST(WmfToEmf, OffsetsBecomeAbsoluteOriginsThatFollowSaveAndRestore) {
    WmfWriter w;
    w.Add(kSetWindowOrg, {10, 100});
    w.Add(kSaveDc);
    w.Add(kOffsetWindowOrg, {-5, 20});  // (120, 5)
    w.Add(kSaveDc);
    w.Add(kOffsetWindowOrg, {1, 1});  // (121, 6)
    w.Add(kRestoreDc, {1});           // absolute: back to the first save
    w.Add(kOffsetWindowOrg, {0, 1});  // (101, 10)
    w.Add(kRestoreDc, {-1});          // nothing saved any more: ignored
    w.Add(kOffsetViewportOrg, {3, 4});
    const auto recs = Convert(Placeable(w));
    const auto orgs = OfType(recs, mf::emr::SetWindowOrgEx);
    ASSERT_EQ(orgs.size(), 5u);  // the initial one and four from the file
    EXPECT_EQ(orgs[2].i32(8), 120);
    EXPECT_EQ(orgs[2].i32(12), 5);
    EXPECT_EQ(orgs[3].i32(8), 121);
    EXPECT_EQ(orgs[4].i32(8), 101);
    EXPECT_EQ(orgs[4].i32(12), 10);
    const auto restores = OfType(recs, mf::emr::RestoreDc);
    ASSERT_EQ(restores.size(), 1u);
    EXPECT_EQ(restores[0].i32(8), -2);
    const auto vorg = OfType(recs, mf::emr::SetViewportOrgEx);
    ASSERT_EQ(vorg.size(), 2u);
    EXPECT_EQ(vorg[1].i32(8), 4);
    EXPECT_EQ(vorg[1].i32(12), 3);
}

TEST(WmfToEmf, ShapesKeepTheirPointsInGdiOrder) {
    WmfWriter w;
    w.Add(kPolyPolygon, WmfParams{2, 3, 2, 0, 0, 10, 0, 10, 10, -5, -6, 7, 8});
    w.Add(kArc, {1, 2, 3, 4, 40, 30, 20, 10});  // end (2,1), start (4,3), box 10,20-30,40
    w.Add(kRoundRect, {6, 5, 40, 30, 20, 10});
    w.Add(kPolyline, WmfParams{2, 1, 2, 3, 4});
    const auto recs = Convert(Placeable(w));
    ASSERT_EQ(DrawingTypes(recs),
              (std::vector<std::uint32_t>{mf::emr::PolyPolygon16, mf::emr::Arc, mf::emr::RoundRect,
                                          mf::emr::Polyline16}));
    const EmfRec& pp = recs[6];
    EXPECT_EQ(pp.u32(24), 2u);  // polygons
    EXPECT_EQ(pp.u32(28), 5u);  // points
    EXPECT_EQ(pp.u32(32), 3u);
    EXPECT_EQ(pp.u32(36), 2u);
    EXPECT_EQ(std::int16_t(pp.u16(40 + 4 * 3)), -5);
    const EmfRec& arc = recs[7];
    EXPECT_EQ((std::vector<int>{arc.i32(8), arc.i32(12), arc.i32(16), arc.i32(20), arc.i32(24),
                                arc.i32(28), arc.i32(32), arc.i32(36)}),
              (std::vector<int>{10, 20, 30, 40, 4, 3, 2, 1}));
    EXPECT_EQ(recs[8].i32(24), 5);  // corner width, height
    EXPECT_EQ(recs[8].i32(28), 6);
}

TEST(WmfToEmf, BlitsCarryTheirBitmapOrFillWithThePattern) {
    WmfWriter w;
    // DIBSTRETCHBLT: rop, src h, w, y, x, dst h, w, y, x, DIB
    w.Add(kDibStretchBlt, WmfParams{}
                              .dword(mf::kSrcCopy)
                              .word(1)
                              .word(2)
                              .word(0)
                              .word(0)
                              .word(50)
                              .word(60)
                              .word(7)
                              .word(8)
                              .bytes(TinyDib()));
    // BITBLT without a source: rop, y, x, reserved, h, w, y, x
    w.Add(kBitBlt,
          WmfParams{}.dword(mf::kPatCopy).word(0).word(0).word(0).word(9).word(11).word(3).word(4));
    w.Add(kPatBlt, WmfParams{}.dword(mf::kPatCopy).word(5).word(6).word(7).word(8));
    // STRETCHDIB: rop, usage, src h, w, y, x, dst h, w, y, x, DIB
    w.Add(kStretchDib, WmfParams{}
                           .dword(mf::kSrcCopy)
                           .word(0)
                           .word(1)
                           .word(2)
                           .word(0)
                           .word(0)
                           .word(20)
                           .word(30)
                           .word(40)
                           .word(50)
                           .bytes(TinyDib()));
    const auto recs = Convert(Placeable(w));
    ASSERT_EQ(DrawingTypes(recs),
              (std::vector<std::uint32_t>{mf::emr::StretchBlt, mf::emr::BitBlt, mf::emr::BitBlt,
                                          mf::emr::StretchDiBits}));
    const EmfRec& sb = recs[6];
    EXPECT_EQ((std::vector<int>{sb.i32(24), sb.i32(28), sb.i32(32), sb.i32(36)}),
              (std::vector<int>{8, 7, 60, 50}));
    EXPECT_EQ(sb.u32(40), mf::kSrcCopy);
    EXPECT_EQ(sb.i32(100), 2);  // source width, height
    EXPECT_EQ(sb.i32(104), 1);
    const std::uint32_t infoAt = sb.u32(84), bitsAt = sb.u32(92);
    EXPECT_EQ(sb.u32(int(infoAt)), 40u);
    EXPECT_EQ(sb.u32(88), 40u);
    EXPECT_EQ(sb.u32(96), 8u);
    EXPECT_EQ(sb.u32(int(bitsAt)), 0x00FF0000u);

    const EmfRec& pat = recs[7];
    EXPECT_EQ((std::vector<int>{pat.i32(24), pat.i32(28), pat.i32(32), pat.i32(36)}),
              (std::vector<int>{4, 3, 11, 9}));
    EXPECT_EQ(pat.u32(84), 0u);  // no source bitmap
    EXPECT_EQ(recs[8].i32(24), 8);
    EXPECT_EQ(recs[8].i32(36), 5);

    const EmfRec& sd = recs[9];
    EXPECT_EQ(
        (std::vector<int>{sd.i32(24), sd.i32(28), sd.i32(40), sd.i32(44), sd.i32(72), sd.i32(76)}),
        (std::vector<int>{50, 40, 2, 1, 30, 20}));
    EXPECT_EQ(sd.u32(int(sd.u32(48))), 40u);
}

TEST(WmfToEmf, RegionsTravelInsideTheRecordsThatUseThem) {
    WmfWriter w;
    w.Add(kCreateBrushIndirect, WmfParams{0}.dword(0xFF).word(0));  // slot 0
    // Region: two scans of one and two spans.
    w.Add(kCreateRegion, WmfParams{0,  6, 0,  0, 0, 2,  0,  0, 0, 40, 30, 2, 0,
                                   10, 0, 20, 2, 4, 10, 30, 0, 5, 15, 20, 4});  // slot 1
    w.Add(kFillRegion, {1, 0});
    w.Add(kSelectClipRegion, {1});
    w.Add(kDeleteObject, {1});
    w.Add(kSelectClipRegion, {1});  // gone: the clip is reset
    w.Add(kFillRegion, {1, 0});     // gone: nothing to fill
    const auto recs = Convert(Placeable(w));
    ASSERT_EQ(DrawingTypes(recs),
              (std::vector<std::uint32_t>{mf::emr::CreateBrushIndirect, mf::emr::FillRgn,
                                          mf::emr::ExtSelectClipRgn, mf::emr::ExtSelectClipRgn}));
    const EmfRec& fill = recs[7];
    EXPECT_EQ(fill.u32(28), 1u);  // brush handle
    const int rgn = 32;
    EXPECT_EQ(fill.u32(rgn + 8), 3u);  // rectangles
    EXPECT_EQ((std::vector<int>{fill.i32(rgn + 16), fill.i32(rgn + 20), fill.i32(rgn + 24),
                                fill.i32(rgn + 28)}),
              (std::vector<int>{0, 0, 20, 30}));
    EXPECT_EQ((std::vector<int>{fill.i32(rgn + 32 + 32), fill.i32(rgn + 32 + 36),
                                fill.i32(rgn + 32 + 40), fill.i32(rgn + 32 + 44)}),
              (std::vector<int>{15, 10, 20, 30}));
    EXPECT_EQ(recs[8].u32(8), 80u);  // region bytes: header + 3 rectangles
    EXPECT_EQ(recs[8].u32(12), 5u);  // RGN_COPY
    EXPECT_EQ(recs[9].u32(8), 0u);
}

TEST(WmfToEmf, PaletteIndexColoursResolveAgainstTheSelectedPalette) {
    WmfWriter w;
    w.Add(kSetTextColor, WmfParams{}.dword(0x0100000D));  // default palette: red
    w.Add(kCreatePalette, WmfParams{0x300, 2}.dword(0x00112233).dword(0x00445566));  // slot 0
    w.Add(kSelectPalette, {0});
    w.Add(kCreateBrushIndirect, WmfParams{0}.dword(0x01000001).word(0));  // slot 1
    w.Add(kSetBkColor, WmfParams{}.dword(0x02A0B0C0));                    // palette-relative RGB
    const auto recs = Convert(Placeable(w));
    ASSERT_EQ(DrawingTypes(recs),
              (std::vector<std::uint32_t>{mf::emr::SetTextColor, mf::emr::CreatePalette,
                                          mf::emr::SelectPalette, mf::emr::CreateBrushIndirect,
                                          mf::emr::SetBkColor}));
    EXPECT_EQ(recs[6].u32(8), 0x0000FFu);
    EXPECT_EQ(recs[9].u32(16), 0x00445566u);  // entry 1 as a colour reference
    EXPECT_EQ(recs[10].u32(8), 0x00A0B0C0u);
}
