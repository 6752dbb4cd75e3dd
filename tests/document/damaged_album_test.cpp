#include <gtest/gtest.h>

#include "album_fixture.h"

// Damaged documents must be refused with an error that names the file, at
// open or at the page that is damaged, or be opened with their damage
// recorded; never read as if they were whole.

namespace {

struct Scheme {
    const char* name;
    Scaled version;
};
const Scheme kSchemes[] = {{"BODY.PXA", 15000}, {"PLAIN.PXA", 25000}, {"PACKED.PXA", 30000}};

QByteArray AlbumBytes(Scaled version) {
    AlbumDraft draft = BasicDraft("PXA", version, 2);
    draft.pages[1].picture = PlaceableWmf();
    draft.toc = {{1, 0, "a"}, {2, 0, "b"}};
    draft.nineByteRecords = true;
    return WriteAlbum(draft);
}

// True when the file is refused at open or at one of its pages, as damaged, or
// opens with the damage of its body recorded.
::testing::AssertionResult RefusedAsDamaged(const AlbumFolder& folder, const QString& path) {
    LoadError error;
    auto doc = folder.Open(path, &error);
    if (!doc) {
        if (error.fileName != path || error.message.isEmpty() || error.reason.isEmpty())
            return ::testing::AssertionFailure() << "error without file or reason";
        if (error.kind == LoadError::Kind::Damaged || error.kind == LoadError::Kind::BadVersion)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "refused as " << int(error.kind) << ": " << error.reason.toStdString();
    }
    if (!doc->bodyDamage.isEmpty()) {
        if (doc->fileName != path) return ::testing::AssertionFailure() << "damage without file";
        return ::testing::AssertionSuccess();
    }
    for (int p = 1; p <= doc->pageCount; ++p) {
        if (!ReadPageBytes(*doc, p, &error)) {
            if (error.kind == LoadError::Kind::Damaged && error.fileName == path)
                return ::testing::AssertionSuccess();
            return ::testing::AssertionFailure() << "page error " << int(error.kind);
        }
    }
    return ::testing::AssertionFailure() << "read as whole";
}

}  // namespace

TEST(DamagedAlbum, CutShortAnywhere) {
    AlbumFolder folder;
    for (const Scheme& s : kSchemes) {
        const QByteArray whole = AlbumBytes(s.version);
        const QString name = QString::fromLatin1(s.name);
        for (qsizetype length = 0; length < whole.size(); ++length) {
            const QString path = folder.WriteBytes(name, whole.left(length));
            EXPECT_TRUE(RefusedAsDamaged(folder, path)) << s.name << " cut at " << length;
        }
    }
}

TEST(DamagedAlbum, BadCompressedDataAnywhere) {
    AlbumFolder folder;
    for (const Scheme& s : kSchemes) {
        const QByteArray whole = AlbumBytes(s.version);
        const TAlbumHeader header = TAlbumHeader::Parse(whole.constData());
        // Every byte that belongs to a zlib stream: the body stream, and for
        // format 3.0 the picture streams after the page base.
        for (qsizetype at = kHeaderSize; at < whole.size(); ++at) {
            const bool inPictures = s.version >= 20000 && at >= header.pageBase - 16;
            if (inPictures && (s.version != 30000 || at < header.pageBase)) continue;
            QByteArray bad = whole;
            bad[at] = char(bad[at] ^ 0xFF);
            const QString path = folder.WriteBytes(QString::fromLatin1(s.name), bad);
            EXPECT_TRUE(RefusedAsDamaged(folder, path)) << s.name << " byte " << at;
        }
    }
}

TEST(DamagedAlbum, WildPageRecords) {
    struct Wild {
        std::optional<std::int32_t> offset;
        std::optional<std::int32_t> size;
    };
    const Wild cases[] = {
        {-100000, {}},   {INT32_MAX, {}},  {INT32_MIN, {}},       {{}, -1},
        {{}, INT32_MAX}, {{}, 0x10000000}, {INT32_MAX - 10, 100},
    };
    AlbumFolder folder;
    for (const Scheme& s : kSchemes) {
        for (const Wild& w : cases) {
            AlbumDraft draft = BasicDraft("PXA", s.version, 2);
            draft.pages[1].offsetOverride = w.offset;
            draft.pages[1].sizeOverride = w.size;
            LoadError error;
            auto doc = folder.Open(folder.Write(QString::fromLatin1(s.name), draft), &error);
            ASSERT_TRUE(doc) << error.reason.toStdString();
            EXPECT_TRUE(ReadPageBytes(*doc, 1, &error));
            EXPECT_FALSE(ReadPageBytes(*doc, 2, &error)) << s.name;
            EXPECT_EQ(error.kind, LoadError::Kind::Damaged);
            EXPECT_TRUE(error.reason.startsWith(QStringLiteral("page 2")))
                << error.reason.toStdString();
        }
    }
}

TEST(DamagedAlbum, PageBeyondTheInflatedBody) {
    // Format 1.x offsets are body positions: a page that reaches one byte past
    // the body is refused, one that ends exactly at it is read.
    AlbumFolder folder;
    AlbumDraft draft = BasicDraft("PXA", 10000, 1);
    const QByteArray whole = WriteAlbum(draft);
    const std::int32_t body = TAlbumHeader::Parse(whole.constData()).pageBase;
    const std::int32_t size = std::int32_t(draft.pages[0].picture.size());
    draft.pages[0].offsetOverride = body - size;
    LoadError error;
    auto doc = folder.Open(folder.Write(QStringLiteral("E.PXA"), draft), &error);
    ASSERT_TRUE(doc);
    EXPECT_TRUE(ReadPageBytes(*doc, 1, &error));
    draft.pages[0].offsetOverride = body - size + 1;
    doc = folder.Open(folder.Write(QStringLiteral("E.PXA"), draft), &error);
    ASSERT_TRUE(doc);
    EXPECT_FALSE(ReadPageBytes(*doc, 1, &error));
}

TEST(DamagedAlbum, WildLengthsAndCounts) {
    AlbumFolder folder;
    struct Case {
        const char* what;
        Scaled version;
        std::optional<std::int32_t> bodyLength;
        std::optional<std::int32_t> pageCount;
        std::optional<std::int32_t> tocLength;
    };
    const Case cases[] = {
        {"negative body length", 10000, -1, {}, {}},
        {"body length beyond the data", 10000, INT32_MAX, {}, {}},
        {"page count beyond the body", 10000, {}, INT32_MAX, {}},
        {"page count beyond the stream", 30000, {}, INT32_MAX, {}},
        {"page count one too many", 25000, {}, 3, {}},
        {"contents beyond the stream", 30000, {}, {}, 59 * 999},
        {"contents beyond the body", 10000, {}, {}, 59 * 999},
    };
    for (const Case& c : cases) {
        AlbumDraft draft = BasicDraft("PXA", c.version, 2);
        draft.bodyLengthOverride = c.bodyLength;
        draft.pageCountOverride = c.pageCount;
        draft.tocLengthOverride = c.tocLength;
        LoadError error;
        EXPECT_FALSE(folder.Open(folder.Write(QStringLiteral("W.PXA"), draft), &error)) << c.what;
        EXPECT_EQ(error.kind, LoadError::Kind::Damaged) << c.what;
        EXPECT_FALSE(error.reason.isEmpty());
    }
}

TEST(DamagedAlbum, PageThatIsNoPicture) {
    // The bytes are all there: the page is read, and the picture test refuses it.
    AlbumFolder folder;
    AlbumDraft draft = BasicDraft("PXA", 30000, 2);
    draft.pages[1].picture = PlaceableWmf().mid(22);  // a WMF without the placeable header
    LoadError error;
    auto doc = folder.Open(folder.Write(QStringLiteral("P.PXA"), draft), &error);
    ASSERT_TRUE(doc);
    const std::optional<QByteArray> bytes = ReadPageBytes(*doc, 2, &error);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(mf::DetectPictureFormat(*bytes), mf::PictureFormat::PlainWmf);
}
