// Text placement: advances, alignment, the current position, escapement,
// ANSI text in Shift-JIS, and the faces metafiles name.
#include <gtest/gtest.h>

#include "emf_test_support.h"
#include "metafile/dc/font_mapping.h"
#include "metafile/dc/symbol_encoding.h"
#include "metafile/emf/emf_records.h"

namespace {

using mftest::Payload;
namespace emr = mf::emr;

// EXTTEXTOUTW / EXTTEXTOUTA payload with explicit advances.
QByteArray TextOut(QPoint ref, const QByteArray& chars, std::uint32_t count,
                   const std::vector<int>& dx, std::uint32_t options = 0) {
    const std::uint32_t stringAt = 76;
    const std::uint32_t padded = std::uint32_t((chars.size() + 3) & ~3);
    Payload p;
    p.rect(0, 0, 0, 0).u32(1).f32(1).f32(1);
    p.i32(ref.x()).i32(ref.y()).u32(count).u32(stringAt).u32(options).rect(0, 0, -1, -1);
    p.u32(dx.empty() ? 0 : stringAt + padded);
    QByteArray text = chars;
    text.resize(padded, '\0');
    p.raw(text);
    for (int d : dx)
        p.i32(d);
    return p;
}

QByteArray Utf16(const QString& s) {
    return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}

QByteArray Font(const QString& face, int height, int escapement = 0, std::uint8_t charSet = 1) {
    Payload p;
    p.i32(height).i32(0).i32(escapement).i32(escapement).i32(400);
    p.u8(0).u8(0).u8(0).u8(charSet).u8(0).u8(0).u8(0).u8(0);
    for (int i = 0; i < 32; ++i)
        p.u16(i < face.size() ? face[i].unicode() : 0);
    return p;
}

QStringList TextLines(const std::vector<std::pair<std::uint32_t, QByteArray>>& records) {
    mf::EmfWriter w = mftest::SquareWriter();
    w.AppendRecord(emr::SetBkMode, Payload().u32(1));
    for (const auto& [type, payload] : records)
        w.AppendRecord(type, payload);
    return mftest::Draws(w.Finish()).filter(QStringLiteral("text "));
}

TEST(Text, AdvancesAndAlignment) {
    const QByteArray ab = Utf16(QStringLiteral("AB"));
    struct Case {
        std::uint32_t align;
        const char* positions;
    };
    const Case cases[] = {
        {24, "at 5,50 15,50"},         // baseline, left
        {24 | 2, "at -25,50 -15,50"},  // baseline, right: ends at the reference
        {24 | 6, "at -10,50 0,50"},    // baseline, centre
    };
    for (const Case& c : cases) {
        const QStringList lines =
            TextLines({{emr::ExtCreateFontIndirectW,
                        Payload().u32(1).raw(Font(QStringLiteral("Arial"), -20))},
                       {emr::SelectObject, Payload().u32(1)},
                       {emr::SetTextAlign, Payload().u32(c.align)},
                       {emr::ExtTextOutW, TextOut(QPoint(5, 50), ab, 2, {10, 20})}});
        ASSERT_EQ(lines.size(), 1);
        EXPECT_TRUE(lines[0].contains(QString::fromLatin1(c.positions))) << lines[0].toStdString();
        EXPECT_TRUE(lines[0].contains(QStringLiteral("font=Liberation Sans px=20")));
    }
}

// With ETO_PDY the advances come in pairs: along the baseline and down the
// page, for wide and for ANSI text alike.
TEST(Text, PairedAdvancesStepAcrossAndDown) {
    constexpr std::uint32_t kEtoPdy = 0x2000;
    const std::vector<int> pairs = {10, 5, 12, -3, 0, 0};
    for (const auto& [type, chars] : {std::pair{emr::ExtTextOutW, Utf16(QStringLiteral("ABC"))},
                                      std::pair{emr::ExtTextOutA, QByteArray("ABC")}}) {
        const QStringList lines =
            TextLines({{emr::ExtCreateFontIndirectW,
                        Payload().u32(1).raw(Font(QStringLiteral("Arial"), -20))},
                       {emr::SelectObject, Payload().u32(1)},
                       {emr::SetTextAlign, Payload().u32(24)},
                       {type, TextOut(QPoint(5, 50), chars, 3, pairs, kEtoPdy)}});
        ASSERT_EQ(lines.size(), 1);
        EXPECT_TRUE(lines[0].contains(QStringLiteral("at 5,50 15,55 27,52")))
            << lines[0].toStdString();
    }
}

TEST(Text, TopAlignmentPutsTheBaselineOneAscentLower) {
    const QByteArray a = Utf16(QStringLiteral("A"));
    const QStringList lines = TextLines(
        {{emr::ExtCreateFontIndirectW, Payload().u32(1).raw(Font(QStringLiteral("Arial"), -20))},
         {emr::SelectObject, Payload().u32(1)},
         {emr::ExtTextOutW, TextOut(QPoint(0, 0), a, 1, {10})}});
    ASSERT_EQ(lines.size(), 1);
    const double y =
        lines[0].section(QLatin1String(" at 0,"), 1).section(QLatin1Char(' '), 0, 0).toDouble();
    EXPECT_GT(y, 15);  // Liberation Sans ascends about 0.9 em
    EXPECT_LT(y, 20);
}

TEST(Text, UpdateCurrentPositionChainsRuns) {
    const QByteArray a = Utf16(QStringLiteral("AB"));
    const QStringList lines =
        TextLines({{emr::SetTextAlign, Payload().u32(24 | 1)},
                   {emr::MoveToEx, Payload().i32(7).i32(30)},
                   {emr::ExtTextOutW, TextOut(QPoint(999, 999), a, 2, {10, 10})},
                   {emr::ExtTextOutW, TextOut(QPoint(999, 999), a, 2, {4, 4})}});
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("at 7,30 17,30"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral("at 27,30 31,30"))) << lines[1].toStdString();
}

TEST(Text, AnsiShiftJisAdvancesMergePerCharacter) {
    // "日本" in Shift-JIS: two bytes each, one advance per byte.
    const QByteArray sjis("\x93\xfa\x96\x7b", 4);
    const QStringList lines =
        TextLines({{emr::ExtCreateFontIndirectW,
                    Payload().u32(1).raw(Font(QString::fromUtf8("ＭＳ ゴシック"), -16, 0, 128))},
                   {emr::SelectObject, Payload().u32(1)},
                   {emr::SetTextAlign, Payload().u32(24)},
                   {emr::ExtTextOutA, TextOut(QPoint(0, 20), sjis, 4, {16, 0, 16, 0})}});
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith(QString::fromUtf8("text \"日本\" font=IPAGothic px=16")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral("at 0,20 16,20")));
}

TEST(Text, EscapementTurnsTheRunAndYUpMappingKeepsItUpright) {
    const QByteArray a = Utf16(QStringLiteral("A"));
    const QStringList turned =
        TextLines({{emr::ExtCreateFontIndirectW,
                    Payload().u32(1).raw(Font(QStringLiteral("Arial"), -20, 900))},
                   {emr::SelectObject, Payload().u32(1)},
                   {emr::SetTextAlign, Payload().u32(24)},
                   {emr::ExtTextOutW, TextOut(QPoint(50, 50), a, 1, {10})}});
    ASSERT_EQ(turned.size(), 1);
    // Run x goes up the page: (0, -1) on the device.
    EXPECT_TRUE(turned[0].contains(QStringLiteral("xf=0/-1/1/0"))) << turned[0].toStdString();

    const QStringList upright = TextLines(
        {{emr::SetMapMode, Payload().u32(8)},
         {emr::SetWindowExtEx, Payload().i32(10).i32(10)},
         {emr::SetViewportExtEx, Payload().i32(10).i32(-10)},
         {emr::ExtCreateFontIndirectW, Payload().u32(1).raw(Font(QStringLiteral("Arial"), -20))},
         {emr::SelectObject, Payload().u32(1)},
         {emr::SetTextAlign, Payload().u32(24)},
         {emr::ExtTextOutW, TextOut(QPoint(5, -50), a, 1, {10})}});
    ASSERT_EQ(upright.size(), 1);
    EXPECT_FALSE(upright[0].contains(QStringLiteral("xf="))) << upright[0].toStdString();
    EXPECT_TRUE(upright[0].contains(QStringLiteral("at 5,50"))) << upright[0].toStdString();
}

TEST(Text, TopAlignmentUnderATurnedWorldFollowsThePageVertical) {
    // A TA_TOP run's first glyph origin, in run space for turned runs
    // (device pixels along and across the baseline). GDI offsets it by the
    // ascent times the squared cosine of the turn, along the page's vertical:
    // a half turn puts the glyphs below their reference point, a quarter turn
    // on it, and a plain scale (placed on the device) keeps one ascent.
    const QByteArray a = Utf16(QStringLiteral("A"));
    struct Case {
        float m11, m12, m21, m22;
        double low, high;
    };
    const Case cases[] = {
        {-1, 0, 0, -1, -20, -15},
        {0, 1, -1, 0, -0.5, 0.5},
        {2, 0, 0, 2, 80, 90},
    };
    for (const Case& c : cases) {
        const QStringList lines =
            TextLines({{emr::SetWorldTransform,
                        Payload().f32(c.m11).f32(c.m12).f32(c.m21).f32(c.m22).f32(50).f32(50)},
                       {emr::ExtCreateFontIndirectW,
                        Payload().u32(1).raw(Font(QStringLiteral("Arial"), -20))},
                       {emr::SelectObject, Payload().u32(1)},
                       {emr::ExtTextOutW, TextOut(QPoint(0, 0), a, 1, {10})}});
        ASSERT_EQ(lines.size(), 1);
        const double y = lines[0]
                             .section(QLatin1String(" at "), 1)
                             .section(QLatin1Char(' '), 0, 0)
                             .section(QLatin1Char(','), 1)
                             .toDouble();
        EXPECT_GT(y, c.low) << lines[0].toStdString();
        EXPECT_LT(y, c.high) << lines[0].toStdString();
    }
}

TEST(Text, CountsBeyondTheRecordAreSkipped) {
    Payload bad;
    bad.rect(0, 0, 0, 0).u32(1).f32(1).f32(1);
    bad.i32(0).i32(0).u32(0x7FFFFFFF).u32(76).u32(0).rect(0, 0, -1, -1).u32(0);
    EXPECT_TRUE(TextLines({{emr::ExtTextOutW, bad}}).isEmpty());
}

TEST(SymbolText, BytesAndPrivateUseCodesNameTheSymbolCharacters) {
    struct Case {
        QString text;
        QString unicode;
    };
    const Case cases[] = {
        {QStringLiteral("abp"), QStringLiteral("αβπ")},
        {QStringLiteral("\uF061\uF0E5\uF0B3"), QStringLiteral("α∑≥")},
        {QStringLiteral("\u00E6\u00E7\u00E8"), QStringLiteral("⎛⎜⎝")},  // bracket pieces
        {QStringLiteral("1+2=3"), QStringLiteral("1+2=3")},
        {QStringLiteral("あ\uF000\u0080"), QStringLiteral("あ\uF000\u0080")},  // outside the code
    };
    for (const Case& c : cases)
        EXPECT_EQ(mf::SymbolTextToUnicode(c.text), c.unicode) << c.text.toStdString();
    EXPECT_EQ(mf::SymbolTextToCodes(QStringLiteral("\uF061a\uF0FE")), QStringLiteral("aa\u00FE"));
}

// Symbol text is drawn as the Symbol glyphs: as Unicode characters, or as
// the bytes themselves where the installed face keys its glyphs by byte.
TEST(SymbolText, SymbolFaceDrawsGreekWhereOtherFacesKeepTheCodes) {
    const QByteArray alphaW = Utf16(QStringLiteral("\uF061"));
    const QStringList symbol =
        TextLines({{emr::ExtCreateFontIndirectW,
                    Payload().u32(1).raw(Font(QStringLiteral("Symbol"), -20, 0, 2))},
                   {emr::SelectObject, Payload().u32(1)},
                   {emr::ExtTextOutW, TextOut({5, 50}, alphaW, 1, {10})},
                   {emr::ExtTextOutA, TextOut({5, 50}, "a", 1, {10})}});
    ASSERT_EQ(symbol.size(), 2);
    for (const QString& line : symbol) {
        const bool unicode = line.startsWith(QStringLiteral("text \"α\""));
        const bool byCode = line.startsWith(QStringLiteral("text \"a\" font=Standard Symbols PS"));
        EXPECT_TRUE(unicode || byCode) << line.toStdString();
    }
    const QStringList arial = TextLines(
        {{emr::ExtCreateFontIndirectW, Payload().u32(1).raw(Font(QStringLiteral("Arial"), -20))},
         {emr::SelectObject, Payload().u32(1)},
         {emr::ExtTextOutW, TextOut({5, 50}, alphaW, 1, {10})}});
    ASSERT_EQ(arial.size(), 1);
    EXPECT_TRUE(arial[0].startsWith(QStringLiteral("text \"\uF061\""))) << arial[0].toStdString();
}

TEST(FontMapping, WindowsFacesMeetMetricCompatibleOnes) {
    struct Case {
        const char* face;
        int charSet;
        const char* family;
    };
    const Case cases[] = {
        {"ＭＳ ゴシック", 128, "IPAGothic"},
        {"ＭＳ 明朝", 128, "IPAMincho"},
        {"ＭＳ Ｐゴシック", 128, "IPAPGothic"},
        {"MS UI Gothic", 128, "IPAPGothic"},
        {"ＭＳ Ｐ明朝", 128, "IPAPMincho"},
        {"MS Mincho", 128, "IPAMincho"},
        {"Times New Roman", 0, "Liberation Serif"},
        {"Courier New", 0, "Liberation Mono"},
        {"Calibri", 0, "Carlito"},
        {"Unknown Face", 128, "IPAPGothic"},
        {"Unknown Face", 0, "Liberation Sans"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mf::FontMapper::FamilyFor(QString::fromUtf8(c.face), c.charSet, 0).toStdString(),
                  c.family)
            << c.face;
}

}  // namespace
