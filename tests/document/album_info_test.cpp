#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "album_fixture.h"
#include "document/album_info.h"

namespace {

QJsonObject InfoOf(AlbumFolder& folder, const QString& name, const AlbumDraft& draft) {
    LoadError error;
    auto doc = folder.Open(folder.Write(name, draft), &error);
    EXPECT_TRUE(doc) << error.reason.toStdString();
    if (!doc) return {};
    const std::optional<QString> json = AlbumInfoJson(*doc, 96, &error);
    EXPECT_TRUE(json) << error.reason.toStdString();
    return json ? QJsonDocument::fromJson(json->toUtf8()).object() : QJsonObject();
}

}  // namespace

TEST(OleDateText, RoundedToTheMillisecondShownToTheSecond) {
    EXPECT_EQ(OleDateText(0.0), QStringLiteral("1899-12-30 00:00:00"));
    EXPECT_EQ(OleDateText(46331.4375), QStringLiteral("2026-11-05 10:30:00"));
    // 0.9996 s rounds to 1000 ms, so the second is 1; 0.9994 s is 999 ms.
    EXPECT_EQ(OleDateText(46331.0 + 0.9996 / 86400), QStringLiteral("2026-11-05 00:00:01"));
    EXPECT_EQ(OleDateText(46331.0 + 0.9994 / 86400), QStringLiteral("2026-11-05 00:00:00"));
    EXPECT_EQ(OleDateText(46331.0 - 0.0001 / 86400), QStringLiteral("2026-11-05 00:00:00"));
    // Before 1899-12-30 the fraction still counts forward from midnight.
    EXPECT_EQ(OleDateText(-1.25), QStringLiteral("1899-12-29 06:00:00"));
    EXPECT_EQ(OleDateText(std::nan("")), QString());
    EXPECT_EQ(OleDateText(1e300), QString());
}

TEST(AlbumInfoJson, KeysAndValues) {
    AlbumFolder folder;
    AlbumDraft draft = BasicDraft("RTWA", 20000, 3);
    draft.marginTop = 26000;
    draft.marginRight = -26000;
    draft.settings.fontsUsed = UnicodeToSjis(QStringLiteral("ＭＳ ゴシック\r\nＭＳ 明朝"));
    draft.settings.orientation = 1;
    draft.pages[1].picture = PlaceableWmf();
    draft.pages[2].picture = PlaceableWmf().mid(22);  // plain WMF: not an album page
    draft.pages[2].orientation = 1;
    draft.toc = {{0x10002, 1, UnicodeToSjis(QStringLiteral("　床掘完了　"))}};
    const QJsonObject info = InfoOf(folder, QStringLiteral("I.PXA"), draft);
    const QStringList keys = {"format_version", "producer",   "producer_version", "pxa_flag",
                              "wide_settings",  "margins_mm", "margins_px",       "page_base",
                              "settings",       "toc",        "page_count",       "pages",
                              "info_lines"};
    for (const QString& k : keys)
        EXPECT_TRUE(info.contains(k)) << k.toStdString();
    EXPECT_EQ(info.size(), keys.size());
    EXPECT_EQ(info["format_version"].toInt(), 10000);
    EXPECT_EQ(info["producer"].toString(), QStringLiteral("RTWA"));
    EXPECT_TRUE(info["wide_settings"].toBool());
    EXPECT_EQ(info["margins_mm"].toArray(), QJsonArray({26000, 0, 0, -26000}));
    EXPECT_EQ(info["margins_px"].toArray(), QJsonArray({10, 0, 0, -10}));
    const QJsonObject settings = info["settings"].toObject();
    EXPECT_EQ(settings.size(), 14);
    EXPECT_EQ(settings["fonts_used"].toArray(),
              QJsonArray({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("ＭＳ 明朝")}));
    EXPECT_EQ(settings["paper_width_px"].toInt(), 794);
    EXPECT_EQ(settings["title"].toString(), QStringLiteral("○○線道路改良工事"));
    // The information dialog's texts, in its order; the fonts as the memo shows them.
    const QJsonArray lines = info["info_lines"].toArray();
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(lines[0].toString(), QStringLiteral(" RTW 2.0"));
    EXPECT_EQ(lines[5].toString(), QStringLiteral(" 不明 横置  21.0cm × 29.7cm"));
    EXPECT_EQ(lines[8].toString(), QStringLiteral("○ＭＳ ゴシック\n○ＭＳ 明朝"));
    const QJsonObject toc = info["toc"].toArray()[0].toObject();
    EXPECT_EQ(toc["page"].toInt(), 2);
    EXPECT_EQ(toc["text"].toString(), QStringLiteral("床掘完了"));
    const QJsonArray pages = info["pages"].toArray();
    ASSERT_EQ(pages.size(), 3);
    EXPECT_EQ(pages[0]["kind"].toString(), QStringLiteral("emf"));
    EXPECT_EQ(pages[1]["kind"].toString(), QStringLiteral("wmf"));
    EXPECT_EQ(pages[2]["kind"].toString(), QStringLiteral("invalid"));
    EXPECT_EQ(pages[2]["orientation"].toInt(), 1);
    EXPECT_TRUE(pages[2]["turned"].toBool());
    EXPECT_FALSE(pages[1]["turned"].toBool());
}

TEST(AlbumInfoJson, EightByteRecordsAndEmptyFonts) {
    AlbumFolder folder;
    AlbumDraft draft = BasicDraft("RTC", 70000, 1);
    const QJsonObject info = InfoOf(folder, QStringLiteral("D.PXD"), draft);
    EXPECT_TRUE(info["settings"]["fonts_used"].toArray().isEmpty());
    EXPECT_TRUE(info["pages"][0]["orientation"].isNull());
    EXPECT_FALSE(info["pages"][0]["turned"].toBool());
    EXPECT_FALSE(info["pxa_flag"].toBool());
}

TEST(AlbumInfoJson, DamagedPageGivesNoJson) {
    AlbumFolder folder;
    AlbumDraft draft = BasicDraft("PXA", 30000, 2);
    draft.pages[1].sizeOverride = 1 << 30;
    LoadError error;
    auto doc = folder.Open(folder.Write(QStringLiteral("X.PXA"), draft), &error);
    ASSERT_TRUE(doc);
    EXPECT_FALSE(AlbumInfoJson(*doc, 96, &error));
    EXPECT_EQ(error.kind, LoadError::Kind::Damaged);
}

TEST(LoadPagePicture, PicturesLoadAndOtherBytesAreRefused) {
    AlbumFolder folder;
    AlbumDraft draft = BasicDraft("PXA", 25000, 3);
    draft.pages[1].picture = PlaceableWmf();
    draft.pages[2].picture = PlaceableWmf().mid(22);
    LoadError error;
    auto doc = folder.Open(folder.Write(QStringLiteral("L.PXA"), draft), &error);
    ASSERT_TRUE(doc);
    const std::optional<mf::Picture> emf = LoadPagePicture(*doc, 1, &error);
    ASSERT_TRUE(emf) << error.reason.toStdString();
    EXPECT_EQ(emf->kind(), mf::Picture::Kind::Emf);
    const std::optional<mf::Picture> wmf = LoadPagePicture(*doc, 2, &error);
    ASSERT_TRUE(wmf) << error.reason.toStdString();
    EXPECT_EQ(wmf->kind(), mf::Picture::Kind::Wmf);
    EXPECT_FALSE(LoadPagePicture(*doc, 3, &error));
    EXPECT_EQ(error.kind, LoadError::Kind::BadPicture);
    EXPECT_EQ(error.fileName, doc->fileName);
}
