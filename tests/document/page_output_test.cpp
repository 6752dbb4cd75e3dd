// Page output: which kind a name writes, the written forms, safe writing.
#include "document/page_output.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>

#include "metafile/emf_writer.h"

namespace {

mf::Picture A4Page() {
    mf::EmfWriter w(QSizeF(210, 297));  // recorded at 96 pixels per inch
    w.Rectangle(QRect(100, 100, 400, 300));
    return *mf::Picture::Load(w.Finish());
}

TEST(PageOutput, TheExtensionDecidesTheKind) {
    using K = PageOutputKind;
    using S = mf::Picture::Kind;
    struct Case {
        const char* name;
        int filter;
        S stored;
        K kind;
    };
    const Case cases[] = {
        {"/a/page.WMF", kSaveFilterWmf, S::Emf, K::PlaceableWmf},
        {"/a/page.emf", kSaveFilterWmf, S::Emf, K::Emf},
        {"/a/page.wmf", kSaveFilterEmf, S::Emf, K::PlaceableWmf},
        {"/a/page", kSaveFilterEmf, S::Wmf, K::PlaceableWmf},  // the kind it was stored as
        {"/a/page.emf", kSaveFilterBmp, S::Emf, K::Emf},
        {"/a/page.emf", kSaveFilterEmf, S::Wmf, K::Emf},
        {"/a/page", kSaveFilterBmp, S::Emf, K::Bmp},
        {"/a/page.BMP", kSaveFilterEmf, S::Emf, K::Bmp},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PageOutputKindFor(QString::fromLatin1(c.name), c.filter, c.stored), c.kind)
            << c.name << " " << c.filter;
}

TEST(PageOutput, NamesLoseOnlyTheirExtension) {
    EXPECT_EQ(NameWithoutExtension("/p/画像.emf"), "/p/画像");
    EXPECT_EQ(NameWithoutExtension("/p/画像"), "/p/画像");
    EXPECT_EQ(NameWithoutExtension("/p.d/page"), "/p.d/page");
    EXPECT_EQ(NameWithoutExtension("/p/a.b.wmf"), "/p/a.b");
}

TEST(PageOutput, WrittenFormsReadBack) {
    const mf::Picture page = A4Page();
    EXPECT_EQ(PageOutputBytes(page, PageOutputKind::Emf), page.bytes());

    const QByteArray wmf = PageOutputBytes(page, PageOutputKind::PlaceableWmf);
    ASSERT_EQ(mf::DetectPictureFormat(wmf), mf::PictureFormat::PlaceableWmf);  // key and checksum
    const auto back = mf::Picture::Load(wmf);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->unitsPerInch(), 96);
    EXPECT_EQ(back->naturalSize(96), page.naturalSize());
    EXPECT_NEAR(back->frameHundredthsMm().width(), 21000, 30);
    EXPECT_NEAR(back->frameHundredthsMm().height(), 29700, 30);

    const QImage bmp = QImage::fromData(PageOutputBytes(page, PageOutputKind::Bmp), "BMP");
    EXPECT_NEAR(bmp.width(), 794, 1);
    EXPECT_NEAR(bmp.height(), 1123, 1);
    EXPECT_EQ(bmp.pixel(5, 5), qRgb(255, 255, 255));

    std::unique_ptr<QMimeData> clip(PageClipboardData(page));
    EXPECT_EQ(clip->data(QStringLiteral("image/x-emf")), page.bytes());
    EXPECT_EQ(clip->data(QStringLiteral("image/emf")), page.bytes());
    EXPECT_TRUE(clip->hasImage());
}

TEST(PageOutput, AFailedWriteLeavesTheOldFileAndNamesTheNewOne) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("page.emf"));
    ASSERT_TRUE(WritePageFile(target, "old bytes", nullptr));
    QString error;
    EXPECT_FALSE(WritePageFile(target, QByteArray(), &error));  // nothing to write
    EXPECT_TRUE(error.contains(target));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "old bytes");

    const QString beneathAFile = target + QStringLiteral("/x.emf");
    EXPECT_FALSE(WritePageFile(beneathAFile, "new", &error));
    EXPECT_TRUE(error.contains(beneathAFile));
}

}  // namespace
