#include <gtest/gtest.h>

#include <QImage>

#include "metafile/convert/emf_to_wmf.h"
#include "metafile/convert/wmf_to_emf.h"
#include "metafile/emf_writer.h"
#include "metafile/picture.h"
#include "metafile/wmf/wmf_header.h"
#include "metafile/wmf/wmf_records.h"
#include "metafile/wmf/wmf_text.h"
#include "metafile/wmf/wmf_writer.h"
#include "metafile/wmf_test_records.h"

using namespace mf::wmf;

namespace {

struct WmfRec {
    std::uint16_t function;
    std::vector<int> words;  // signed
    QByteArray bytes;        // the parameters as bytes
};

std::vector<WmfRec> WmfRecords(const QByteArray& wmf) {
    std::vector<WmfRec> out;
    const auto header = ParseHeader(wmf, nullptr);
    EXPECT_TRUE(header);
    if (!header) return out;
    RecordReader reader(wmf, header->firstRecord);
    Record r;
    while (reader.Next(r)) {
        WmfRec rec{
            r.function, {}, QByteArray(reinterpret_cast<const char*>(r.params), r.paramBytes)};
        for (qsizetype i = 0; i < r.words(); ++i)
            rec.words.push_back(r.s(i));
        out.push_back(rec);
    }
    EXPECT_TRUE(reader.reachedEof());
    return out;
}

std::vector<WmfRec> OfFunction(const std::vector<WmfRec>& recs, std::uint16_t f) {
    std::vector<WmfRec> out;
    for (const WmfRec& r : recs)
        if (r.function == f) out.push_back(r);
    return out;
}

// A page in twips: pen, brush, Shift-JIS font, shapes, text with advances,
// a bitmap.
QByteArray SamplePage() {
    WmfWriter w;
    w.Add(kSetMapMode, {mf::kMmAnisotropic});
    w.Add(kSetWindowOrg, {0, 0});
    w.Add(kSetWindowExt, {720, 1440});
    w.Add(kCreatePenIndirect, WmfParams{0, 15, 0}.dword(0x0000FF));
    w.Add(kCreateBrushIndirect, WmfParams{0}.dword(0x00FF00).word(0));
    QByteArray attrs(8, '\0');
    attrs[3] = char(mf::kShiftJisCharset);
    w.Add(kCreateFontIndirect, WmfParams{-180, 0, 0, 0, 400}.bytes(attrs).bytes(
                                   QByteArray("\x82\x6C\x82\x72 Gothic").leftJustified(32, '\0')));
    w.Add(kSelectObject, {0});
    w.Add(kSelectObject, {1});
    w.Add(kSelectObject, {2});
    w.Add(kPolygon, WmfParams{3, 100, 100, 700, 150, 300, 600});
    w.Add(kRectangle, {700, 1400, 400, 800});
    w.Add(kEllipse, {650, 1300, 450, 900});
    w.Add(kExtTextOut, WmfParams{300, 150, 4, 0}
                           .bytes("\x8E\xCA"
                                  "A1")
                           .word(180)
                           .word(0)
                           .word(90)
                           .word(90));
    w.Add(kStretchDib, WmfParams{}
                           .dword(mf::kSrcCopy)
                           .word(0)
                           .word(1)
                           .word(2)
                           .word(0)
                           .word(0)
                           .word(200)
                           .word(300)
                           .word(20)
                           .word(1000)
                           .dword(40)
                           .dword(2)
                           .dword(1)
                           .word(1)
                           .word(24)
                           .dword(0)
                           .dword(8)
                           .dword(0)
                           .dword(0)
                           .dword(0)
                           .dword(0)
                           .dword(0x00FF0000)
                           .dword(0x0000FF00));
    return w.Finish(3, QRect(0, 0, 1440, 720), 1440);
}

}  // namespace

TEST(EmfToWmf, RoundTripKeepsShapesTextAndBitmapsInTheHeaderUnits) {
    const QByteArray original = SamplePage();
    const auto emf = mf::ConvertWmfToEmf(original);
    ASSERT_TRUE(emf);
    QString why;
    const auto wmf = mf::ConvertEmfToPlaceableWmf(*emf, 1440, &why);
    ASSERT_TRUE(wmf) << why.toStdString();

    const auto info = mf::ReadWmfInfo(*wmf);
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->placeable);
    EXPECT_EQ(info->bbox, QRect(0, 0, 1440, 720));
    EXPECT_EQ(info->unitsPerInch, 1440);

    const auto recs = WmfRecords(*wmf);
    const auto polygons = OfFunction(recs, kPolygon);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0].words, (std::vector<int>{3, 100, 100, 700, 150, 300, 600}));
    const auto rects = OfFunction(recs, kRectangle);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].words, (std::vector<int>{700, 1400, 400, 800}));
    ASSERT_EQ(OfFunction(recs, kEllipse).size(), 1u);

    const auto pens = OfFunction(recs, kCreatePenIndirect);
    ASSERT_FALSE(pens.empty());
    EXPECT_EQ(pens[0].words[1], 15);  // width back in twips
    const auto fonts = OfFunction(recs, kCreateFontIndirect);
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0].words[0], -180);
    EXPECT_EQ(uchar(fonts[0].bytes[13]), mf::kShiftJisCharset);
    EXPECT_TRUE(fonts[0].bytes.mid(18).startsWith("\x82\x6C\x82\x72 Gothic"));

    const auto texts = OfFunction(recs, kExtTextOut);
    ASSERT_EQ(texts.size(), 1u);
    const WmfRec& t = texts[0];
    EXPECT_EQ(t.words[0], 300);
    EXPECT_EQ(t.words[1], 150);
    EXPECT_EQ(t.words[2], 4);
    EXPECT_EQ(t.bytes.mid(8, 4), QByteArray("\x8E\xCA"
                                            "A1"));
    // One advance per byte: the double-byte character's on its lead byte.
    EXPECT_EQ(std::vector<int>(t.words.begin() + 6, t.words.end()),
              (std::vector<int>{180, 0, 90, 90}));

    const auto dibs = OfFunction(recs, kStretchDib);
    ASSERT_EQ(dibs.size(), 1u);
    EXPECT_EQ(std::vector<int>(dibs[0].words.begin() + 2, dibs[0].words.begin() + 11),
              (std::vector<int>{0, 1, 2, 0, 0, 200, 300, 20, 1000}));
    EXPECT_EQ(dibs[0].bytes.size(), 22 + 40 + 8);

    // Converted once more, the page keeps the same records.
    const auto again = mf::ConvertWmfToEmf(*wmf);
    ASSERT_TRUE(again);
    auto drawing = [](const QByteArray& bytes) {
        std::vector<std::uint32_t> types;
        for (const EmfRec& r : EmfRecords(bytes))
            if (r.type == mf::emr::Polygon16 || r.type == mf::emr::Rectangle ||
                r.type == mf::emr::Ellipse || r.type == mf::emr::ExtTextOutW ||
                r.type == mf::emr::StretchDiBits)
                types.push_back(r.type);
        return types;
    };
    EXPECT_EQ(drawing(*again), drawing(*emf));
    EXPECT_EQ(drawing(*emf).size(), 5u);
}

TEST(EmfToWmf, RoundTripDrawsTheSamePage) {
    const QByteArray original = SamplePage();
    const auto emf = mf::ConvertWmfToEmf(original);
    ASSERT_TRUE(emf);
    const auto wmf = mf::ConvertEmfToPlaceableWmf(*emf, 1440);
    ASSERT_TRUE(wmf);
    const auto a = mf::Picture::Load(original), b = mf::Picture::Load(*wmf);
    ASSERT_TRUE(a && b);
    const QImage ia = a->ToImage(QSize(192, 96)), ib = b->ToImage(QSize(192, 96));
    ASSERT_EQ(ia.size(), ib.size());
    int differing = 0, inked = 0;
    for (int y = 0; y < ia.height(); ++y)
        for (int x = 0; x < ia.width(); ++x) {
            if (ia.pixel(x, y) != ib.pixel(x, y)) ++differing;
            if (ia.pixel(x, y) != qRgb(255, 255, 255)) ++inked;
        }
    EXPECT_GT(inked, 2000);
    EXPECT_LE(differing, ia.width() * ia.height() / 100);
}

TEST(EmfToWmf, PointsGoThroughTheEmfMappingAndWorldTransform) {
    // An EMF in 0.01 mm (MM_HIMETRIC, y up) scaled twice by its world
    // transform; frame 2 x 1 inch at 96 ppi.
    mf::EmfWriter w;
    mf::EmfRecord mode(mf::emr::SetMapMode);
    w.Add(mode.u32(3));
    mf::EmfRecord world(36);  // modify world transform: set
    w.Add(world.f32(2).f32(0).f32(0).f32(2).f32(0).f32(0).u32(4));
    mf::EmfRecord line(mf::emr::LineTo);
    w.Add(line.i32(635).i32(-635));  // 0.25 inch right, down; twice that after the transform
    mf::EmfRecord rect(mf::emr::Rectangle);
    w.Add(rect.rect(0, 0, 1270, -1270));
    const QByteArray emf = w.Finish(QSize(192, 96), QSize(5080, 2540));

    const auto wmf = mf::ConvertEmfToPlaceableWmf(emf, 1000);
    ASSERT_TRUE(wmf);
    const auto recs = WmfRecords(*wmf);
    ASSERT_GE(recs.size(), 5u);
    EXPECT_EQ(recs[0].function, kSetMapMode);
    EXPECT_EQ(recs[2].function, kSetWindowExt);
    EXPECT_EQ(recs[2].words, (std::vector<int>{1000, 2000}));
    EXPECT_EQ(recs[3].function, kLineTo);
    EXPECT_EQ(recs[3].words, (std::vector<int>{500, 500}));
    EXPECT_EQ(recs[4].words, (std::vector<int>{1000, 1000, 0, 0}));
}

// The WMF written for an EMF maps its points as the player does: extents
// set in MM_TEXT are ignored, and MM_ANISOTROPIC entered from a metric mode
// keeps that mode's extents (0.1 mm, y up).
TEST(EmfToWmf, PageSavedAsWmfMapsLikeThePageShown) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::uint32_t, std::vector<std::int32_t>>> mapping;
        QRect box;  // logical
    };
    const Case cases[] = {
        {"extents set in MM_TEXT",
         {{mf::emr::SetWindowExtEx, {1000, 1000}},
          {mf::emr::SetMapMode, {mf::kMmAnisotropic}},
          {mf::emr::SetViewportExtEx, {2, 2}}},
         QRect(QPoint(10, 10), QPoint(50, 50))},
        {"anisotropic after LOMETRIC",
         {{mf::emr::SetMapMode, {mf::kMmLoMetric}}, {mf::emr::SetMapMode, {mf::kMmAnisotropic}}},
         QRect(QPoint(100, -100), QPoint(300, -300))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mf::EmfWriter w;
        for (const auto& [type, values] : c.mapping) {
            mf::EmfRecord rec(type);
            for (std::int32_t v : values)
                rec.i32(v);
            w.Add(rec);
        }
        mf::EmfRecord brush(mf::emr::SelectObject);
        w.Add(brush.u32(mf::kStockObject | 4));  // black brush
        mf::EmfRecord rect(mf::emr::Rectangle);
        w.Add(rect.rect(c.box.left(), c.box.top(), c.box.right(), c.box.bottom()));
        const QByteArray emf = w.Finish(QSize(192, 192), QSize(5080, 5080));
        const auto wmf = mf::ConvertEmfToPlaceableWmf(emf, 1440);
        ASSERT_TRUE(wmf);
        const auto shown = mf::Picture::Load(emf), saved = mf::Picture::Load(*wmf);
        ASSERT_TRUE(shown && saved);
        const QImage a = shown->ToImage(QSize(192, 192)), b = saved->ToImage(QSize(192, 192));
        int differing = 0, inked = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) {
                if (a.pixel(x, y) != b.pixel(x, y)) ++differing;
                if (a.pixel(x, y) == qRgb(0, 0, 0)) ++inked;
            }
        EXPECT_GT(inked, 1000);
        EXPECT_LE(differing, 4 * 192);  // at most the rounding of the edges
    }
}

// The advances of a text record reach the WMF whatever the record's layout:
// without the rectangle (ETO_NO_RECT) their offset moves up; with ETO_PDY
// each character has an x and a y advance, of which a WMF keeps the x.
TEST(EmfToWmf, TextAdvancesFollowTheRecordLayout) {
    struct Case {
        const char* name;
        std::uint32_t options;
        std::vector<std::int32_t> advances;
    };
    const Case cases[] = {{"no rectangle", mf::kEtoNoRect, {10, 20}},
                          {"x and y advances", mf::kEtoPdy, {10, 5, 20, 5}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool noRect = c.options & mf::kEtoNoRect;
        const std::uint32_t offString = noRect ? 60 : 76, offDx = offString + 4;
        mf::EmfRecord text(mf::emr::ExtTextOutW);
        text.rect(0, 0, 95, 95).u32(mf::kGmCompatible).f32(0).f32(0);
        text.i32(10).i32(20).u32(2).u32(offString).u32(c.options);
        if (!noRect) text.rect(0, 0, 0, 0);
        text.u32(offDx).u16('A').u16('B');
        for (std::int32_t d : c.advances)
            text.i32(d);
        text.u32(0);  // the fixed part of the record is 76 bytes at least
        mf::EmfWriter w;
        w.Add(text);
        const auto wmf =
            mf::ConvertEmfToPlaceableWmf(w.Finish(QSize(96, 96), QSize(2540, 2540)), 96);
        ASSERT_TRUE(wmf);
        const auto texts = OfFunction(WmfRecords(*wmf), kExtTextOut);
        ASSERT_EQ(texts.size(), 1u);
        const std::vector<int>& words = texts[0].words;
        ASSERT_EQ(words.size(), 7u);  // y, x, count, options, "AB", two advances
        EXPECT_EQ(std::vector<int>(words.begin() + 5, words.end()), (std::vector<int>{10, 20}));
    }
}

TEST(EmfToWmf, AFrameTooLargeForTheUnitsGetsCoarserUnits) {
    mf::EmfWriter w;
    mf::EmfRecord line(mf::emr::LineTo);
    w.Add(line.i32(3780).i32(0));
    // 10 m x 1 m in 0.01 mm.
    const auto wmf =
        mf::ConvertEmfToPlaceableWmf(w.Finish(QSize(37795, 3780), QSize(1000000, 100000)), 1440);
    ASSERT_TRUE(wmf);
    const auto info = mf::ReadWmfInfo(*wmf);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->unitsPerInch, 83);  // 32767 units over 393.7 inches
    EXPECT_LE(info->bbox.width(), 32767);
    EXPECT_NEAR(info->frameHundredthsMm().width(), 1000000, 1000000 / 300);
}

TEST(EmfToWmf, ClipPathsBecomeAnIntersectedBoundAndExcludedBands) {
    // A 96 x 96 pixel page (1 inch) in MM_TEXT; clip to an L shape.
    mf::EmfWriter w;
    w.Add(mf::EmfRecord(59));  // begin path
    mf::EmfRecord poly(mf::emr::Polygon16);
    w.Add(poly.rect(0, 0, 0, 0)
              .u32(6)
              .u16(0)
              .u16(0)
              .u16(48)
              .u16(0)
              .u16(48)
              .u16(48)
              .u16(96)
              .u16(48)
              .u16(96)
              .u16(96)
              .u16(0)
              .u16(96));
    w.Add(mf::EmfRecord(60));  // end path
    mf::EmfRecord clip(67);    // select clip path
    w.Add(clip.u32(5));        // RGN_COPY
    const auto wmf = mf::ConvertEmfToPlaceableWmf(w.Finish(QSize(96, 96), QSize(2540, 2540)), 96);
    ASSERT_TRUE(wmf);
    std::vector<std::vector<int>> clips;
    for (const WmfRec& r : WmfRecords(*wmf)) {
        if (r.function == kSelectClipRegion) clips.push_back({-1});
        if (r.function == kIntersectClipRect) clips.push_back(r.words);
        if (r.function == kExcludeClipRect) clips.push_back(r.words);
    }
    // Reset, then the bound (bottom, right, top, left), then the missing corner.
    EXPECT_EQ(clips, (std::vector<std::vector<int>>{{-1}, {96, 96, 0, 0}, {48, 96, 0, 48}}));
}

TEST(EmfToWmf, JapaneseTextInALatinFontGoesOutWithAShiftJisCopyOfTheFont) {
    mf::EmfWriter w;
    mf::EmfRecord font(mf::emr::ExtCreateFontIndirectW);
    font.u32(1).i32(-16).i32(0).i32(0).i32(0).i32(400).u32(0).u8(0).u8(0).u8(0).u8(
        0);  // DEFAULT_CHARSET
    font.u8(1).u8(0).u8(0).u8(0);
    const QString arial = QStringLiteral("Arial");
    for (int i = 0; i < 32; ++i)
        font.u16(i < arial.size() ? arial[i].unicode() : 0);
    w.Add(font);
    mf::EmfRecord select(mf::emr::SelectObject);
    w.Add(select.u32(1));
    auto text = [](const QString& s) {
        mf::EmfRecord t(mf::emr::ExtTextOutW);
        t.rect(0, 0, -1, -1).u32(1).f32(0).f32(0).i32(10).i32(20).u32(std::uint32_t(s.size()));
        t.u32(76).u32(0).rect(0, 0, -1, -1).u32(0);
        for (QChar c : s)
            t.u16(c.unicode());
        return t;
    };
    w.Add(text(QStringLiteral("Abc")));
    w.Add(text(QString::fromUtf8("写真")));
    const auto wmf = mf::ConvertEmfToPlaceableWmf(w.Finish(QSize(96, 96), QSize(2540, 2540)), 96);
    ASSERT_TRUE(wmf);
    std::vector<std::uint16_t> functions;
    QByteArray japanese;
    std::uint8_t copyCharset = 0;
    for (const WmfRec& r : WmfRecords(*wmf)) {
        functions.push_back(r.function);
        if (r.function == kCreateFontIndirect) copyCharset = std::uint8_t(r.bytes[13]);
        if (r.function == kExtTextOut) japanese = r.bytes.mid(8, r.words[2]);
    }
    EXPECT_EQ(functions, (std::vector<std::uint16_t>{
                             kSetMapMode, kSetWindowOrg, kSetWindowExt, kCreateFontIndirect,
                             kSelectObject, kExtTextOut, kCreateFontIndirect, kSaveDc,
                             kSelectObject, kExtTextOut, kRestoreDc, kDeleteObject}));
    EXPECT_EQ(copyCharset, mf::kShiftJisCharset);
    EXPECT_EQ(japanese, QByteArray("\x8E\xCA\x90\x5E"));
}

TEST(EmfToWmf, ShapesInsideAPathBracketAddFiguresInsteadOfDrawing) {
    mf::EmfWriter w;
    w.Add(mf::EmfRecord(59));  // begin path
    mf::EmfRecord rect(mf::emr::Rectangle);
    w.Add(rect.rect(10, 20, 30, 40));
    w.Add(mf::EmfRecord(60));  // end path
    w.Add(mf::EmfRecord(64));  // stroke path
    const auto wmf = mf::ConvertEmfToPlaceableWmf(w.Finish(QSize(96, 96), QSize(2540, 2540)), 96);
    ASSERT_TRUE(wmf);
    std::vector<std::vector<int>> drawn;
    for (const WmfRec& r : WmfRecords(*wmf))
        if (r.function == kRectangle || r.function == kPolygon || r.function == kPolyline)
            drawn.push_back(r.words);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0], (std::vector<int>{5, 10, 20, 30, 20, 30, 40, 10, 40, 10, 20}));
}

TEST(EmfToWmf, StockObjectsGetStandInsThatGoWhenReplaced) {
    mf::EmfWriter w;
    mf::EmfRecord stockPen(mf::emr::SelectObject);
    w.Add(stockPen.u32(0x80000008));  // NULL_PEN
    mf::EmfRecord pen(mf::emr::CreatePen);
    w.Add(pen.u32(1).u32(0).i32(0).i32(0).u32(0xFF));
    mf::EmfRecord select(mf::emr::SelectObject);
    w.Add(select.u32(1));
    mf::EmfRecord del(mf::emr::DeleteObject);
    w.Add(del.u32(1));
    const auto wmf = mf::ConvertEmfToPlaceableWmf(w.Finish(QSize(96, 96), QSize(2540, 2540)), 96);
    ASSERT_TRUE(wmf);
    std::vector<std::pair<int, int>> calls;  // function, first word
    for (const WmfRec& r : WmfRecords(*wmf))
        if (r.function != kSetMapMode && r.function != kSetWindowOrg && r.function != kSetWindowExt)
            calls.push_back({r.function, r.words.empty() ? -1 : r.words[0]});
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{kCreatePenIndirect, 5},
                                                       {kSelectObject, 0},
                                                       {kCreatePenIndirect, 0},
                                                       {kSelectObject, 1},
                                                       {kDeleteObject, 0},
                                                       {kDeleteObject, 1}}));
}

TEST(EmfToWmf, RefusesWhatIsNoEmfAndSurvivesDamage) {
    QString why;
    EXPECT_FALSE(mf::ConvertEmfToPlaceableWmf(QByteArray(200, '\0'), 96, &why));
    EXPECT_FALSE(why.isEmpty());
    const auto emf = mf::ConvertWmfToEmf(SamplePage());
    ASSERT_TRUE(emf);
    EXPECT_FALSE(mf::ConvertEmfToPlaceableWmf(*emf, 0));
    EXPECT_FALSE(mf::ConvertEmfToPlaceableWmf(*emf, 40000));
    for (qsizetype n = 0; n < emf->size(); n += 3) {
        const auto wmf = mf::ConvertEmfToPlaceableWmf(emf->left(n), 1440);
        if (wmf) WmfRecords(*wmf);
    }
    QByteArray scrambled = *emf;
    for (qsizetype i = 120; i < scrambled.size(); i += 7)
        scrambled[i] = char(scrambled[i] ^ 0x5A);
    const auto wmf = mf::ConvertEmfToPlaceableWmf(scrambled, 1440);
    if (wmf) WmfRecords(*wmf);
}
