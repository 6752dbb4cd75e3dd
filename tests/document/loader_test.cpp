#include <gtest/gtest.h>

#include <QFileInfo>
#include <atomic>
#include <thread>
#include <vector>

#include "album_fixture.h"
#include "core/sjis_text.h"
#include "document/page_sheet.h"
#include "document/temp_copy.h"
#include "document/whole_inflate.h"

namespace {

struct Layout {
    const char* name;  // file name in the test folder
    const char* producer;
    Scaled version;
    Scaled format;
    bool wide;
    bool pxa;
    bool tempCopy;
};

const Layout kLayouts[] = {
    {"A30.PXA", "PXA", 30000, 30000, false, true, false},
    {"A25.PXA", "PXA", 25000, 25000, false, true, false},
    {"a20.pxa", "PXA", 20000, 20000, false, true, false},
    {"A15.PXA", "PXA", 15000, 15000, false, true, true},
    {"W.PXA", "RTWA", 20000, 10000, true, true, true},
    {"B.PXB", "RTB", 80000, 10000, false, false, true},
    {"C.PXC", "RTB", 60000, 10000, false, false, true},
    {"D.PXD", "RTC", 70000, 10000, false, false, true},
    {"PLAN.PXB.BAK", "RTB", 50000, 10000, false, false, true},
};

AlbumDraft DraftFor(const Layout& l) {
    AlbumDraft draft = BasicDraft(l.producer, l.version, 3);
    draft.nineByteRecords = l.pxa;
    draft.marginTop = 100000;  // 10 mm
    draft.marginLeft = 132000;
    draft.settings.pageNumberOffset = 4;
    draft.settings.author = UnicodeToSjis(QStringLiteral("作成者"));
    draft.pages[1].orientation = 1;
    draft.pages[2].picture = PlaceableWmf();
    draft.toc = {{1, 0, UnicodeToSjis(QStringLiteral("着工前"))},
                 {3, 1, UnicodeToSjis(QStringLiteral("床掘完了"))}};
    return draft;
}

}  // namespace

TEST(OpenAlbum, EveryProducerVersionAndExtension) {
    AlbumFolder folder;
    for (const Layout& l : kLayouts) {
        SCOPED_TRACE(l.name);
        const AlbumDraft draft = DraftFor(l);
        const QString path = folder.Write(QString::fromLatin1(l.name), draft);
        LoadError error;
        auto doc = folder.Open(path, &error);
        ASSERT_TRUE(doc) << error.reason.toStdString();
        EXPECT_EQ(doc->fileName, path);
        EXPECT_EQ(doc->formatVersion, l.format);
        EXPECT_EQ(doc->wideSettings, l.wide);
        EXPECT_EQ(doc->pxaFlag, l.pxa);
        EXPECT_EQ(doc->source.temporaryCopy().isEmpty(), !l.tempCopy);
        EXPECT_EQ(doc->pageCount, 3);
        EXPECT_EQ(doc->pageNumberOffset, 4);
        const SheetGeometry geometry = SheetGeometryOf(*doc, 96);
        EXPECT_EQ(geometry.paperPixels, QSize(794, 1123));
        EXPECT_EQ(geometry.margins.top, 38);   // 10 mm
        EXPECT_EQ(geometry.margins.left, 50);  // 13.2 mm
        EXPECT_EQ(doc->settings.author, draft.settings.author);
        EXPECT_EQ(doc->settings.title, draft.settings.title);
        ASSERT_EQ(doc->toc.size(), 2u);
        EXPECT_EQ(doc->toc[1].page, 3);
        EXPECT_EQ(doc->toc[1].level, 1);
        EXPECT_EQ(doc->toc[1].text, QStringLiteral("床掘完了"));
        EXPECT_FALSE(doc->IsTurnedPage(1));
        EXPECT_EQ(doc->IsTurnedPage(2), l.pxa);  // 8-byte records carry no orientation
        for (int p = 1; p <= 3; ++p) {
            const std::optional<QByteArray> bytes = ReadPageBytes(*doc, p, &error);
            ASSERT_TRUE(bytes) << p << " " << error.reason.toStdString();
            EXPECT_EQ(*bytes, draft.pages[size_t(p) - 1].picture) << p;
        }
    }
}

TEST(OpenAlbum, PlainPicturesCountFromThePageBase) {
    AlbumFolder folder;
    AlbumDraft draft = BasicDraft("PXA", 20000);
    draft.pictureGap = 100;
    const QString path = folder.Write(QStringLiteral("BASE.PXA"), draft);
    LoadError error;
    auto doc = folder.Open(path, &error);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->pages[1].offset, doc->header.pageBase);  // record offset 0
    EXPECT_EQ(*ReadPageBytes(*doc, 1, &error), draft.pages[0].picture);
}

TEST(OpenAlbum, RefusalsCarryTheViewersMessages) {
    AlbumFolder folder;
    struct Refusal {
        QString name;
        const char* producer;
        Scaled version;
        LoadError::Kind kind;
        QString message;
    };
    const QString version = QStringLiteral("このバージョンはサポートされていません。 > ");
    const Refusal cases[] = {
        {"X.PXE", "PXA", 30000, LoadError::Kind::BadName,
         QStringLiteral("この形式はサポートされていません。 > X.PXE")},
        {"R85.PXB", "RTB", 85000, LoadError::Kind::BadVersion, version + "R85.PXB"},
        {"P31.PXA", "PXA", 30001, LoadError::Kind::BadVersion, version + "P31.PXA"},
        {"P09.PXA", "PXA", 9000, LoadError::Kind::BadVersion, version + "P09.PXA"},
        {"Q.PXA", "QXA", 10000, LoadError::Kind::BadVersion, version + "Q.PXA"},
    };
    for (const Refusal& c : cases) {
        const QString path = folder.Write(c.name, BasicDraft(c.producer, c.version));
        LoadError error;
        EXPECT_FALSE(folder.Open(path, &error)) << c.name.toStdString();
        EXPECT_EQ(error.kind, c.kind) << c.name.toStdString();
        EXPECT_EQ(error.message, c.message);
        EXPECT_EQ(error.fileName, path);
    }
    LoadError error;
    EXPECT_FALSE(folder.Open(folder.work() + "MISSING.PXA", &error));
    EXPECT_EQ(error.kind, LoadError::Kind::NotFound);
    EXPECT_EQ(error.message, QStringLiteral("書類名がパラメータとして渡されていません。"));
    // An empty file has no producer tag.
    EXPECT_FALSE(folder.Open(folder.WriteBytes(QStringLiteral("E.PXA"), {}), &error));
    EXPECT_EQ(error.kind, LoadError::Kind::BadVersion);
}

TEST(OpenAlbum, NoPagesIsRefusedWithoutAMessage) {
    AlbumFolder folder;
    for (std::int32_t count : {0, -1, INT32_MIN}) {
        for (Scaled v : {Scaled(30000), Scaled(10000)}) {
            AlbumDraft draft = BasicDraft("PXA", v);
            draft.pageCountOverride = count;
            draft.pages.clear();
            LoadError error;
            EXPECT_FALSE(folder.Open(folder.Write(QStringLiteral("N.PXA"), draft), &error));
            EXPECT_EQ(error.kind, LoadError::Kind::NoPages) << count;
            EXPECT_TRUE(error.message.isEmpty());
        }
    }
}

TEST(OpenAlbum, ContentsBlock) {
    AlbumFolder folder;
    const QByteArray fw("\x81\x40");
    AlbumDraft draft = BasicDraft("PXA", 30000);
    draft.toc = {{0x00050001, 0x7FFF0000, fw + UnicodeToSjis(QStringLiteral("着工前")) + fw + " "},
                 {0x0002, 0xFFFF, ""}};
    draft.tocExtraBytes = "Z";  // 2 x 59 + 1 bytes: the odd byte is read and ignored
    LoadError error;
    auto doc = folder.Open(folder.Write(QStringLiteral("T.PXA"), draft), &error);
    ASSERT_TRUE(doc) << error.reason.toStdString();
    ASSERT_EQ(doc->toc.size(), 2u);
    EXPECT_EQ(doc->toc[0].text, QStringLiteral("着工前"));
    EXPECT_EQ(doc->toc[0].page, 1);  // low 16 bits only
    EXPECT_EQ(doc->toc[0].level, 0);
    EXPECT_EQ(doc->toc[1].level, -1);
    EXPECT_EQ(doc->pageCount, 2);

    draft.toc.clear();
    draft.tocExtraBytes.clear();
    doc = folder.Open(folder.Write(QStringLiteral("T0.PXA"), draft), &error);
    ASSERT_TRUE(doc);
    EXPECT_TRUE(doc->toc.empty());

    // 999 entries are the most a document holds; more, or a negative length, is refused.
    draft.toc.assign(999, TTocEntry{1, 0, "x"});
    draft.tocExtraBytes = QByteArray(58, '\0');
    EXPECT_TRUE(folder.Open(folder.Write(QStringLiteral("T999.PXA"), draft), &error));
    draft.toc.push_back({1, 0, "x"});
    draft.tocExtraBytes.clear();
    EXPECT_FALSE(folder.Open(folder.Write(QStringLiteral("T1000.PXA"), draft), &error));
    EXPECT_EQ(error.kind, LoadError::Kind::Damaged);
    draft.tocLengthOverride = -59;
    EXPECT_FALSE(folder.Open(folder.Write(QStringLiteral("TNEG.PXA"), draft), &error));
    EXPECT_EQ(error.kind, LoadError::Kind::Damaged);
}

TEST(TemporaryCopy, HeldNamesAreSkippedAndFreedNamesReused) {
    AlbumFolder folder;
    const QString path = folder.Write(QStringLiteral("OLD.PXB"), BasicDraft("RTB", 50000));
    // Another window holds NERIDAL_0.TMP.
    std::unique_ptr<QFile> held = CreateTemporaryCopy(folder.work(), nullptr);
    ASSERT_TRUE(held);
    LoadError error;
    auto first = folder.Open(path, &error);
    ASSERT_TRUE(first);
    EXPECT_EQ(QFileInfo(first->source.temporaryCopy()).fileName(), QStringLiteral("NERIDAL_1.TMP"));
    auto second = folder.Open(path, &error);
    ASSERT_TRUE(second);
    EXPECT_EQ(QFileInfo(second->source.temporaryCopy()).fileName(),
              QStringLiteral("NERIDAL_2.TMP"));
    // The held copy is not truncated by the attempts on it.
    held->write("keep");
    held->flush();
    held.reset();
    EXPECT_EQ(QFileInfo(folder.work() + "NERIDAL_0.TMP").size(), 4);
    auto third = folder.Open(path, &error);
    ASSERT_TRUE(third);
    EXPECT_EQ(QFileInfo(third->source.temporaryCopy()).fileName(), QStringLiteral("NERIDAL_0.TMP"));
    // Both copies still serve their pages.
    EXPECT_TRUE(ReadPageBytes(*first, 2, &error));
    EXPECT_TRUE(ReadPageBytes(*third, 2, &error));
}

TEST(TemporaryCopy, AllNamesHeldRefusesTheOpen) {
    AlbumFolder folder;
    std::vector<std::unique_ptr<QFile>> held;
    for (int n = 0; n < kTemporaryNameCount; ++n)
        held.push_back(CreateTemporaryCopy(folder.work(), nullptr));
    ASSERT_TRUE(held.back());
    LoadError error;
    EXPECT_FALSE(
        folder.Open(folder.Write(QStringLiteral("F.PXD"), BasicDraft("RTC", 10000)), &error));
    EXPECT_EQ(error.kind, LoadError::Kind::Io);
}

TEST(TemporaryCopy, HoldsExactlyTheBodyAtBlockBoundaries) {
    AlbumFolder folder;
    for (int length : {4095, 4096, 4097, 8192, 8193}) {
        AlbumDraft draft = BasicDraft("PXA", 10000, 1);
        const int bodyWithoutPadding = TAlbumHeader::Parse(WriteAlbum(draft).constData()).pageBase;
        ASSERT_LT(bodyWithoutPadding, length);
        draft.pages[0].picture += QByteArray(length - bodyWithoutPadding, '\0');
        LoadError error;
        auto doc = folder.Open(folder.Write(QStringLiteral("L.PXA"), draft), &error);
        ASSERT_TRUE(doc) << error.reason.toStdString();
        EXPECT_EQ(QFileInfo(doc->source.temporaryCopy()).size(), length);
        EXPECT_EQ(*ReadPageBytes(*doc, 1, &error), draft.pages[0].picture);
    }
}

// Background page loads read an album while the window reads it too: every
// read has a position of its own, in the file and in the temporary copy.
TEST(PageSource, PagesReadOnSeveralThreadsAtOnceAreTheirOwnBytes) {
    AlbumFolder folder;
    constexpr int kPages = 6;
    constexpr int kThreads = 4;
    constexpr int kRounds = 50;
    for (const Scaled version : {Scaled(10000), Scaled(30000)}) {
        const AlbumDraft draft = BasicDraft("PXA", version, kPages);
        LoadError error;
        auto doc = folder.Open(folder.Write(QStringLiteral("T.PXA"), draft), &error);
        ASSERT_TRUE(doc) << error.reason.toStdString();
        std::atomic<int> wrong{0};
        std::vector<std::thread> readers;
        for (int t = 0; t < kThreads; ++t) {
            readers.emplace_back([&, t] {
                for (int round = 0; round < kRounds; ++round) {
                    const int page = 1 + (t + round) % kPages;
                    const std::optional<QByteArray> bytes = ReadPageBytes(*doc, page, nullptr);
                    if (!bytes || *bytes != draft.pages[size_t(page - 1)].picture) ++wrong;
                }
            });
        }
        for (std::thread& reader : readers)
            reader.join();
        EXPECT_EQ(wrong.load(), 0) << "format " << version;
    }
}

// zlib piece by piece reads every album the one-call inflate reads, byte for byte.
TEST(PageSource, TheStreamingReaderGivesWhatTheOneCallInflateGives) {
    AlbumFolder folder;
    for (const Scaled version : {Scaled(10000), Scaled(30000)}) {
        const AlbumDraft draft = BasicDraft("PXA", version, 3);
        const QString path = folder.Write(QStringLiteral("S.PXA"), draft);
        for (const bool oneCall : {true, false}) {
            SetOneCallInflate(oneCall);
            LoadError error;
            auto doc = folder.Open(path, &error);
            ASSERT_TRUE(doc) << error.reason.toStdString();
            for (int page = 1; page <= 3; ++page)
                EXPECT_EQ(ReadPageBytes(*doc, page, &error), draft.pages[size_t(page - 1)].picture)
                    << "format " << version << ", one call " << oneCall;
        }
        SetOneCallInflate(true);
    }
}
