#include <gtest/gtest.h>

#include <random>

#include "album_fixture.h"

// A stream that inflates to other than the size the file declares for it: a
// format-3.0 page stream against its record's size, a format-1.x body stream
// against the header's length. A stream that holds all the file needs is read
// and its mismatch noted; one that holds too little, and each stream that is
// damaged besides, is reported with the same reason whichever way it is
// inflated.

namespace {

enum class Damage {
    None,
    Checksum,  // the stream's last byte, inside its Adler-32
    Header,    // the stream's first byte
    Cut,       // the file ends two bytes before the stream does
};

struct Case {
    const char* what;
    Scaled version;
    int sizeChange;  // added to the declared size of the last page, or of the body
    Damage damage;
    // Empty when the album reads whole. "{true}" and "{declared}" stand for
    // the stream's true and declared sizes.
    const char* reason;
    const char* irregularity;  // what is noted when it reads whole; "" nothing
};

const Case kCases[] = {
    {"page exact", 30000, 0, Damage::None, "", ""},
    {"page shorter", 30000, 10, Damage::None,
     "page 2: the picture inflates to {true} bytes, {declared} are announced", ""},
    {"page longer", 30000, -10, Damage::None, "",
     "page 2: the picture inflates to {true} bytes, {declared} are announced; the page is its "
     "first {declared}"},
    {"page declared empty", 30000, INT32_MIN, Damage::None, "",
     "page 2: the picture inflates to {true} bytes, 0 are announced; the page is its first 0"},
    {"page bad checksum", 30000, 0, Damage::Checksum,
     "page 2: bad compressed data (incorrect data check)", ""},
    {"page shorter, bad checksum", 30000, 10, Damage::Checksum,
     "page 2: bad compressed data (incorrect data check)", ""},
    // The surplus is read to the end of the stream, where the damage is.
    {"page longer, bad checksum", 30000, -10, Damage::Checksum,
     "page 2: bad compressed data (incorrect data check)", ""},
    {"page bad header", 30000, 0, Damage::Header,
     "page 2: bad compressed data (incorrect header check)", ""},
    {"page cut", 30000, 0, Damage::Cut, "page 2: the file ends inside the compressed data", ""},

    {"body exact", 10000, 0, Damage::None, "", ""},
    {"body shorter", 10000, 10, Damage::None, "",
     "the body inflates to {true} bytes, the header announces {declared}"},
    // What the stream holds beyond the body is read and ignored.
    {"body longer", 10000, -10, Damage::None, "", ""},
    {"body bad checksum", 10000, 0, Damage::Checksum,
     "cannot inflate the body: bad compressed data (incorrect data check)", ""},
    {"body shorter, bad checksum", 10000, 10, Damage::Checksum,
     "cannot inflate the body: bad compressed data (incorrect data check)", ""},
    {"body longer, bad checksum", 10000, -10, Damage::Checksum,
     "cannot inflate the body: bad compressed data (incorrect data check)", ""},
    {"body bad header", 10000, 0, Damage::Header,
     "cannot inflate the body: bad compressed data (incorrect header check)", ""},
    {"body cut", 10000, 0, Damage::Cut,
     "cannot inflate the body: the file ends inside the compressed data", ""},
};

// Noise does not deflate: its stream is longer than the page it holds.
QByteArray IncompressiblePage() {
    constexpr int kSize = 300 * 1024;
    std::mt19937 noise{7};
    QByteArray bytes(kSize, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(noise());
    return bytes;
}

// The last stream in the file ends with the file, for both formats.
QByteArray Damaged(QByteArray file, qsizetype streamStart, Damage damage) {
    switch (damage) {
        case Damage::None:
            break;
        case Damage::Checksum:
            file[file.size() - 1] = char(file[file.size() - 1] ^ 0x01);
            break;
        case Damage::Header:
            file[streamStart] = char(file[streamStart] ^ 0x01);
            break;
        case Damage::Cut:
            file.chop(2);
            break;
    }
    return file;
}

// Where the last page's stream starts in a format-3.0 album that opens.
qint64 LastPageOffset(const AlbumFolder& folder, const QString& path) {
    LoadError error;
    auto doc = folder.Open(path, &error);
    EXPECT_TRUE(doc) << error.reason.toStdString();
    return doc ? doc->pages.back().offset : 0;
}

// The reason the open, the body or one of the page reads gives; empty when all
// pages read. What the document and the page reads note goes to `noted`.
QString ReadAll(const AlbumFolder& folder, const QString& path, std::vector<QByteArray>* pages,
                QStringList* noted) {
    LoadError error;
    auto doc = folder.Open(path, &error);
    if (!doc) return error.reason;
    if (!doc->bodyDamage.isEmpty()) return doc->bodyDamage;
    *noted = doc->irregularities;
    for (int p = 1; p <= doc->pageCount; ++p) {
        QString irregularity;
        std::optional<QByteArray> bytes = ReadPageBytes(*doc, p, &error, &irregularity);
        if (!bytes) return error.reason;
        if (!irregularity.isEmpty()) *noted << irregularity;
        pages->push_back(*bytes);
    }
    return {};
}

}  // namespace

TEST(DeclaredSize, StreamsThatDifferFromTheirDeclaredSize) {
    AlbumFolder folder;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        AlbumDraft draft = BasicDraft("PXA", c.version, 2);
        draft.pages[0].picture = IncompressiblePage();
        const bool wholeBody = c.version < 20000;
        const TAlbumHeader header = TAlbumHeader::Parse(WriteAlbum(draft).constData());
        const std::int32_t pageSize = std::int32_t(draft.pages[1].picture.size());
        const std::int32_t trueSize = wholeBody ? header.pageBase : pageSize;
        const std::int32_t declared =
            c.sizeChange == INT32_MIN ? 0 : std::int32_t(trueSize + c.sizeChange);
        if (wholeBody) {
            draft.bodyLengthOverride = declared;
            // A shorter body still holds the whole last page as its record declares it.
            if (c.sizeChange < 0) draft.pages[1].sizeOverride = pageSize + c.sizeChange;
        } else {
            draft.pages[1].sizeOverride = declared;
        }
        const QByteArray file = WriteAlbum(draft);
        const qsizetype streamStart =
            wholeBody ? kHeaderSize
                      : LastPageOffset(folder, folder.WriteBytes(QStringLiteral("S.PXA"), file));
        const QString path =
            folder.WriteBytes(QStringLiteral("S.PXA"), Damaged(file, streamStart, c.damage));
        std::vector<QByteArray> pages;
        QStringList noted;
        const QString reason = ReadAll(folder, path, &pages, &noted);
        const auto text = [&](const char* pattern) {
            return QString::fromLatin1(pattern)
                .replace(QLatin1String("{true}"), QString::number(trueSize))
                .replace(QLatin1String("{declared}"), QString::number(declared));
        };
        const QString expected = text(c.reason);
        EXPECT_EQ(reason.toStdString(), expected.toStdString());
        if (expected.isEmpty()) {
            EXPECT_EQ(noted.join(QLatin1Char('\n')).toStdString(),
                      text(c.irregularity).toStdString());
            ASSERT_EQ(pages.size(), 2u);
            EXPECT_EQ(pages[0], draft.pages[0].picture);
            EXPECT_EQ(pages[1], draft.pages[1].picture.left(pages[1].size()));
            EXPECT_EQ(pages[1].size(), draft.pages[1].sizeOverride.value_or(pageSize));
        }
    }
}
