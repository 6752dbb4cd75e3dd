// The document information dialog's value texts.
#include "document/document_info_lines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/cp932.h"

namespace {

TAlbumHeader Header(const char* tag, Scaled version) {
    TAlbumHeader h;
    const std::size_t n = std::strlen(tag);
    h.tag[0] = std::uint8_t(n);
    for (std::size_t i = 0; i < 3 && i < n; ++i)
        h.tag[i + 1] = std::uint8_t(tag[i]);
    h.producerVersion = version;
    return h;
}

TAlbumSettings Settings() {
    TAlbumSettings s;
    s.created = 45000.5 + 1.0 / 86400 * 7;  // 2023-03-15 12:00:07
    s.title = UnicodeToSjis(QStringLiteral("第3工区 配筋写真"));
    s.author = "Site office";
    s.remarks = QByteArray();
    s.paperCode = 9;
    s.paperWidth = 210;
    s.paperHeight = 297;
    s.fontsUsed = UnicodeToSjis(QStringLiteral("ＭＳ 明朝\r\nNo Such Face"));
    return s;
}

TEST(InfoLines, ValuesAsTheDialogShowsThem) {
    PrinterFacts none;
    const DocumentInfoLines lines = InfoLinesFor(Header("PXA", 30000), Settings(), none);
    EXPECT_EQ(lines.version, " PXA 3.0");
    EXPECT_EQ(lines.created, " 2023/3/15 12:0:7");
    EXPECT_EQ(lines.title, " 第3工区 配筋写真");
    EXPECT_EQ(lines.author, " Site office");
    EXPECT_EQ(lines.remarks, " ");
    EXPECT_EQ(lines.paper, " 不明 縦置  21.0cm × 29.7cm");
    EXPECT_EQ(lines.externalChars, " 無");
    EXPECT_EQ(lines.substituteFont, " 無");
    EXPECT_EQ(lines.fonts, QStringList({"×ＭＳ 明朝", "×No Such Face"}));
    EXPECT_EQ(lines.All().size(), 9);
}

TEST(InfoLines, PrinterPaperFourCharacterTagsAndMarkedFonts) {
    TAlbumHeader header = Header("RTWA", 20000);
    TAlbumSettings s = Settings();
    s.orientation = 1;
    s.externalCharsConverted = 1;
    s.substituteFont = UnicodeToSjis(QStringLiteral("ＭＳ ゴシック"));
    s.paperWidth = 364;
    s.paperHeight = 257;
    PrinterFacts printer;
    printer.paperName = [](int code) -> std::optional<QString> {
        if (code == 9) return QStringLiteral("A4");
        return std::nullopt;
    };
    printer.hasFont = [](const QString& face) { return face == QStringLiteral("ＭＳ 明朝"); };
    const DocumentInfoLines lines = InfoLinesFor(header, s, printer);
    EXPECT_EQ(lines.version.left(4), " RTW");  // at most three characters of the tag
    EXPECT_EQ(lines.version, " RTW 2.0");
    EXPECT_EQ(lines.paper, " A4 横置  36.4cm × 25.7cm");
    EXPECT_EQ(lines.externalChars, " ビットデータに変換");
    EXPECT_EQ(lines.substituteFont, " ＭＳ ゴシック");
    EXPECT_EQ(lines.fonts, QStringList({"○ＭＳ 明朝", "×No Such Face"}));
    s.paperCode = 256;
    EXPECT_TRUE(InfoLinesFor(header, s, printer).paper.startsWith(" 不明 横置 "));
    s.fontsUsed = UnicodeToSjis(QStringLiteral("ＭＳ 明朝\r\n"));
    EXPECT_EQ(InfoLinesFor(header, s, printer).fonts, QStringList({"○ＭＳ 明朝"}));
    s.paperWidth = -5;  // only a damaged file has one
    EXPECT_TRUE(InfoLinesFor(header, s, printer).paper.endsWith(" -0.5cm × 25.7cm"));
    s.fontsUsed.clear();
    EXPECT_TRUE(InfoLinesFor(header, s, printer).fonts.isEmpty());
}

TEST(InfoLines, DatesOutsideTheCalendarAreEmpty) {
    EXPECT_EQ(InfoDateText(2.0), "1900/1/1 0:0:0");
    EXPECT_EQ(InfoDateText(-700000.0), "");
    EXPECT_EQ(InfoDateText(std::nan("")), "");
}

TEST(InfoLines, MappedFacesCountAsAvailable) {
    EXPECT_TRUE(FontAvailable(QStringLiteral("ＭＳ 明朝")));  // IPAMincho stands in
    EXPECT_TRUE(FontAvailable(QStringLiteral("IPAGothic")));
    EXPECT_FALSE(FontAvailable(QStringLiteral("No Such Face")));
}

}  // namespace
