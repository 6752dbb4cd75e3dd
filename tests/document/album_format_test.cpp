#include <gtest/gtest.h>

#include <QFile>

#include "album_fixture.h"
#include "document/album_format.h"

namespace {

TAlbumHeader HeaderOf(const QByteArray& tag, Scaled version) {
    AlbumDraft draft;
    draft.producer = tag;
    draft.producerVersion = version;
    return TAlbumHeader::Parse(WriteAlbum(draft).constData());
}

struct VersionCase {
    const char* tag;
    Scaled version;
    Scaled format;  // 0 = rejected
    bool wide;
};

}  // namespace

TEST(DocumentFormatVersion, ProducerTable) {
    const VersionCase cases[] =
        {
            {"PXA", 30000, 30000, false}, {"PXA", 25000, 25000, false},
            {"PXA", 10000, 10000, false}, {"PXA", 30001, 0, false},
            {"PXA", 9000, 9000, false},  // matches the row, but below 1.0: refused on open
            {"RTB", 80000, 10000, false}, {"RTB", 85000, 0, false},
            {"RTB", 10000, 10000, false}, {"RTC", 70000, 10000, false},
            {"RTC", 70001, 0, false},     {"rtb", 10000, 0, true},
            {"XYZ", 10000, 0, true},      {"", 10000, 0, true},
        };
    for (const VersionCase& c : cases) {
        const TAlbumHeader h = HeaderOf(c.tag, c.version);
        EXPECT_EQ(DocumentFormatVersion(h), c.format) << c.tag << " " << c.version;
        EXPECT_EQ(HasWideSettings(h), c.wide) << c.tag;
    }
}

TEST(DocumentFormatVersion, FourCharacterTagTakesItsLastCharacterFromTheVersion) {
    // "RTWA": length 4, "RTW" at offsets 1-3, 'A' in the version's lowest byte.
    AlbumDraft draft;
    draft.producer = "RTWA";
    draft.producerVersion = 20000;
    const TAlbumHeader h = TAlbumHeader::Parse(WriteAlbum(draft).constData());
    EXPECT_EQ(h.tag[0], 4);
    EXPECT_EQ(h.producerVersion & 0xFF, 'A');
    EXPECT_LE(h.producerVersion, 20000);
    EXPECT_EQ(h.ProducerText(), QByteArray("RTWA"));
    EXPECT_EQ(DocumentFormatVersion(h), 10000);
    EXPECT_TRUE(HasWideSettings(h));
    // Any other fourth character is another producer.
    TAlbumHeader other = h;
    other.producerVersion = (h.producerVersion & ~Scaled(0xFF)) | 'B';
    EXPECT_EQ(DocumentFormatVersion(other), 0);
}

TEST(HasWideSettings, RtbFromVersionNine) {
    TAlbumHeader h = HeaderOf("RTB", 90000);
    EXPECT_TRUE(HasWideSettings(h));
    h.producerVersion = 89999;
    EXPECT_FALSE(HasWideSettings(h));
}

TEST(AlbumFileName, ContainmentAndRecordWidth) {
    struct NameCase {
        const char* name;
        bool album;
        bool pxa;
    };
    const NameCase cases[] = {
        {"/d/SAMPLE.PXA", true, true},    {"/d/sample.pxa", true, true},
        {"/d/PLAN.PXB.BAK", true, false}, {"/d/x.PXA.BAK", true, false},
        {"/d/a.pxc", true, false},        {"/d/a.PXD", true, false},
        {"/d/a.pxe", false, false},       {"/d/PXA", false, false},
        {"/d/a.p.xa", false, false},      {"/d.pxa/file", true, false},
    };
    for (const NameCase& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        EXPECT_EQ(IsAlbumFileName(name), c.album) << c.name;
        EXPECT_EQ(HasPxaExtension(name), c.pxa) << c.name;
    }
}

TEST(AlbumStructures, LayoutsRoundTrip) {
    TAlbumSettings s = DefaultSettings();
    s.title = QByteArray(120, 'T');  // cut to the capacity
    s.author = "A";
    s.paperWidth = 297;
    s.fontsUsed = "a\r\nb";
    const QByteArray wide = s.Serialize(true);
    const QByteArray narrow = s.Serialize(false);
    ASSERT_EQ(wide.size(), kWideSettingsSize);
    ASSERT_EQ(narrow.size(), kNarrowSettingsSize);
    EXPECT_EQ(std::uint8_t(wide[8]), 100);
    EXPECT_EQ(std::uint8_t(narrow[8]), 50);
    EXPECT_EQ(std::uint8_t(narrow[150]), 297 & 0xFF);  // paper width, narrow offset
    EXPECT_EQ(std::uint8_t(wide[200]), 297 & 0xFF);
    const TAlbumSettings back = TAlbumSettings::Parse(narrow.constData(), false);
    EXPECT_EQ(back.title, QByteArray(50, 'T'));
    EXPECT_EQ(back.fontsUsed, QByteArray("a\r\nb"));
    EXPECT_EQ(back.paperWidth, 297);

    // A length byte above the capacity reads no further than the field.
    QByteArray bad = narrow;
    bad[110] = char(200);  // author, capacity 30
    EXPECT_EQ(TAlbumSettings::Parse(bad.constData(), false).author.size(), 30);

    TTocEntry e;
    e.pageSlot = 0x0001FFFF;
    e.levelSlot = 0x00020003;
    const QByteArray eb = e.Serialize();
    ASSERT_EQ(eb.size(), kTocEntrySize);
    EXPECT_EQ(TTocEntry::Parse(eb.constData()).page(), -1);
    EXPECT_EQ(TTocEntry::Parse(eb.constData()).level(), 3);
}

TEST(MarginWriteBack, RewritesOnlyTheMargins) {
    AlbumFolder folder;
    const QString path = folder.Write(QStringLiteral("M.PXA"), BasicDraft("PXA", 30000));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    const TAlbumHeader h = TAlbumHeader::Parse(before.constData());
    const TAlbumHeader changed = WithMargins(h, 100000, 200000, -26000, 5000);
    QString error;
    ASSERT_TRUE(WriteHeaderMargins(path, changed, &error)) << error.toStdString();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray after = f.readAll();
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(after.left(12), before.left(12));
    EXPECT_EQ(after.mid(44), before.mid(44));
    const TAlbumHeader read = TAlbumHeader::Parse(after.constData());
    EXPECT_EQ(read.marginTop, 100000);
    EXPECT_EQ(read.marginLeft, -26000);
    EXPECT_EQ(read.marginRight, 5000);

    const QString shortFile = folder.WriteBytes(QStringLiteral("S.PXA"), "PXA");
    EXPECT_FALSE(WriteHeaderMargins(shortFile, changed, &error));
    EXPECT_EQ(QFileInfo(shortFile).size(), 3);
}

TEST(DetectPictureFormat, EmfPlaceableAndPlainWmf) {
    const QByteArray emf = SmallEmf();
    EXPECT_EQ(mf::DetectPictureFormat(emf), mf::PictureFormat::Emf);
    EXPECT_EQ(mf::DetectPictureFormat(emf.left(100)), mf::PictureFormat::Invalid);
    QByteArray noSignature = emf;
    noSignature[40] = 'X';
    EXPECT_EQ(mf::DetectPictureFormat(noSignature), mf::PictureFormat::Invalid);
    EXPECT_EQ(mf::DetectPictureFormat(PlaceableWmf()), mf::PictureFormat::PlaceableWmf);
    EXPECT_EQ(mf::DetectPictureFormat(PlaceableWmf(false)), mf::PictureFormat::Invalid);
    EXPECT_EQ(mf::DetectPictureFormat(PlaceableWmf().left(21)), mf::PictureFormat::Invalid);
    EXPECT_EQ(mf::DetectPictureFormat(PlaceableWmf().mid(22)), mf::PictureFormat::PlainWmf);
    EXPECT_EQ(mf::DetectPictureFormat(QByteArray()), mf::PictureFormat::Invalid);
}
