// Albums that their producers wrote irregularly, and damaged ones: what opens,
// which pages read, what is noted, and what `neridal-tool info` says of them.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <functional>

#include "album_fixture.h"
#include "support/test_support.h"

namespace {

constexpr int kPages = 3;
const QString kDamagedMessage = QStringLiteral("書類が壊れているため読み込めません。 > ");

// The album as written, and where its parts lie once read: the inflated body
// (format 1.x) and the page offsets.
struct Written {
    QByteArray file;
    QByteArray body;
    std::vector<TPageEntry> pages;  // record 0, then pages 1..N
    qint64 indexStart = 0;          // format 1.x: where the page index starts in the body
};

Written Write(AlbumFolder& folder, const AlbumDraft& draft) {
    Written w;
    w.file = WriteAlbum(draft);
    LoadError error;
    auto doc = folder.Open(folder.WriteBytes(QStringLiteral("WHOLE.PXA"), w.file), &error);
    EXPECT_TRUE(doc) << error.reason.toStdString();
    if (!doc) return w;
    w.pages = doc->pages;
    if (BodySchemeOf(doc->formatVersion) == BodyScheme::WholeBody) {
        w.body = InflatedBody(w.file);
        const qint64 records = qint64(doc->pages.size()) * TPageEntry::Size(doc->pxaFlag);
        w.indexStart = doc->pages[1].offset - records;
    }
    return w;
}

QByteArray WithBodyStream(const Written& w, const QByteArray& stream) {
    return w.file.left(kHeaderSize) + stream;
}

QByteArray Flipped(QByteArray file, qsizetype at) {
    file[at] = char(file[at] ^ 0x01);
    return file;
}

struct Case {
    const char* what;
    Scaled version;
    // Changes the draft before it is written; `whole` is the album as drafted.
    std::function<void(AlbumDraft&, const Written& whole)> draft;
    // Changes the written file.
    std::function<QByteArray(const Written&)> file;
    bool opens;
    const char* readablePages;  // one letter a page: 'y' reads, 'n' is damaged
    const char* irregularity;   // what the document or a page read notes; "" none
    const char* damage;         // the reason the open, the body or a page gives; "" none
};

const Case kCases[] = {
    {"1.x body one byte shorter than announced", 10000,
     [](AlbumDraft& d, const Written& w) {
         d.bodyLengthOverride = std::int32_t(w.body.size() + 1);
     },
     nullptr, true, "yyy", "the body inflates to {body} bytes, the header announces {body+1}", ""},
    {"1.x body ends before the announced length and the last page", 10000,
     [](AlbumDraft& d, const Written& w) {
         d.bodyLengthOverride = std::int32_t(w.body.size() + 4096);
         d.pages[2].offsetOverride = std::int32_t(w.body.size() + 1);
     },
     nullptr, true, "yyn", "the body inflates to {body} bytes, the header announces {body+4096}",
     "page 3: the offset {body+1} lies outside the inflated body"},
    {"3.0 page stream longer than declared", 30000,
     [](AlbumDraft& d, const Written&) {
         d.pages[1].sizeOverride = std::int32_t(d.pages[1].picture.size());
         d.pages[1].picture += QByteArray(100, 'x');
     },
     nullptr, true, "yyy",
     "page 2: the picture inflates to {page2+100} bytes, {page2} are announced; the page is "
     "its first {page2}",
     ""},
    {"1.x body cut inside the last page", 10000, nullptr,
     [](const Written& w) {
         return WithBodyStream(w, PartialBodyStream(w.body, w.pages[3].offset + 10, Ending::Cut));
     },
     true, "yyn", "", "cannot inflate the body: the file ends inside the compressed data"},
    {"1.x body undecodable from the second page on", 10000, nullptr,
     [](const Written& w) {
         return WithBodyStream(w, PartialBodyStream(w.body, w.pages[2].offset, Ending::BadData));
     },
     true, "ynn", "", "cannot inflate the body: bad compressed data (invalid block type)"},
    {"1.x body with a bad checksum", 10000, nullptr,
     [](const Written& w) { return Flipped(w.file, w.file.size() - 1); }, true, "yyy", "",
     "cannot inflate the body: bad compressed data (incorrect data check)"},
    {"1.x body cut inside the page index", 10000, nullptr,
     [](const Written& w) {
         return WithBodyStream(w, PartialBodyStream(w.body, w.indexStart + 3, Ending::Cut));
     },
     false, "", "", "cannot inflate the body: the file ends inside the compressed data"},
    {"1.x body ending cleanly inside the contents", 10000, nullptr,
     [](const Written& w) {
         const qsizetype settings = TAlbumSettings::Size(false);
         return WithBodyStream(w, PartialBodyStream(w.body, settings + 2, Ending::Clean));
     },
     false, "", "", "the body ends inside the contents length"},
    {"3.0 second page stream damaged", 30000, nullptr,
     [](const Written& w) { return Flipped(w.file, w.pages[2].offset); }, true, "yny", "",
     "page 2: bad compressed data (incorrect header check)"},
    {"2.5 settings stream with a bad checksum after the page index", 25000, nullptr,
     [](const Written& w) {
         const TAlbumHeader header = TAlbumHeader::Parse(w.file.constData());
         return Flipped(w.file, header.pageBase - AlbumDraft().pictureGap - 1);
     },
     true, "yyy", "", "cannot inflate the page index: bad compressed data (incorrect data check)"},
};

// `neridal-tool info` on `path`: exit status and standard error.
std::pair<int, QString> RunInfo(const QString& path) {
    const QString tool = binaryDir() + QStringLiteral("/neridal-tool");
    EXPECT_TRUE(QFileInfo::exists(tool)) << "neridal-tool is missing: " << tool.toStdString();
    QProcess p;
    p.start(tool, {QStringLiteral("info"), path});
    p.waitForFinished(60000);
    const int status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return {status, QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace

TEST(LenientAlbum, IrregularAndDamagedAlbums) {
    AlbumFolder folder;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        AlbumDraft draft = BasicDraft("PXA", c.version, kPages);
        const Written whole = Write(folder, draft);
        if (c.draft) c.draft(draft, whole);
        const QByteArray bytes = c.file ? c.file(whole) : WriteAlbum(draft);
        const QString path = folder.WriteBytes(QStringLiteral("LENIENT.PXA"), bytes);
        const auto text = [&](const char* pattern) {
            const qsizetype page2 = BasicDraft("PXA", c.version, kPages).pages[1].picture.size();
            const qsizetype body = whole.body.size();
            // Longer names first: "{body}" is part of "{body+1}".
            return QString::fromUtf8(pattern)
                .replace(QLatin1String("{body+4096}"), QString::number(body + 4096))
                .replace(QLatin1String("{body+1}"), QString::number(body + 1))
                .replace(QLatin1String("{body}"), QString::number(body))
                .replace(QLatin1String("{page2+100}"), QString::number(page2 + 100))
                .replace(QLatin1String("{page2}"), QString::number(page2));
        };

        LoadError error;
        auto doc = folder.Open(path, &error);
        ASSERT_EQ(bool(doc), c.opens) << error.reason.toStdString();
        QStringList irregularities;
        QStringList damage;
        if (!doc) {
            EXPECT_EQ(error.kind, LoadError::Kind::Damaged);
            EXPECT_EQ(error.message, kDamagedMessage + QStringLiteral("LENIENT.PXA"));
            damage << error.reason;
        } else {
            irregularities = doc->irregularities;
            if (!doc->bodyDamage.isEmpty()) damage << doc->bodyDamage;
            QString readable;
            for (int p = 1; p <= doc->pageCount; ++p) {
                QString irregularity;
                const std::optional<QByteArray> page =
                    ReadPageBytes(*doc, p, &error, &irregularity);
                readable += page ? QLatin1Char('y') : QLatin1Char('n');
                if (!irregularity.isEmpty()) irregularities << irregularity;
                if (page) {
                    // The page is its declared bytes, a picture as the producer drew it.
                    EXPECT_TRUE(LoadPagePicture(*doc, p, &error)) << p;
                    continue;
                }
                EXPECT_EQ(error.kind, LoadError::Kind::Damaged);
                EXPECT_EQ(error.message, kDamagedMessage + QStringLiteral("LENIENT.PXA"));
                if (damage.isEmpty()) damage << error.reason;
            }
            EXPECT_EQ(readable.toStdString(), c.readablePages);
        }
        EXPECT_EQ(irregularities.join(QLatin1Char('\n')).toStdString(),
                  text(c.irregularity).toStdString());
        EXPECT_EQ(damage.value(0).toStdString(), text(c.damage).toStdString());

        // The tool reads every page: damage anywhere fails it, an irregularity
        // alone is one line on standard error.
        const auto [status, stderrText] = RunInfo(path);
        const bool damaged = *c.damage != '\0';
        EXPECT_EQ(status, damaged ? 1 : 0) << stderrText.toStdString();
        QStringList expected;
        if (*c.irregularity)
            expected << path + QStringLiteral(": irregular album: ") + text(c.irregularity);
        if (damaged)
            expected << path + QStringLiteral(": damaged or unreadable album: ") + text(c.damage);
        QStringList naming;  // the platform may add lines of its own
        for (const QString& line : stderrText.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (line.contains(path)) naming << line;
        }
        EXPECT_EQ(naming.join(QLatin1Char('\n')).toStdString(),
                  expected.join(QLatin1Char('\n')).toStdString());
    }
}
