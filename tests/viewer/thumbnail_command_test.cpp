// neridal-tool thumbnail: page 1 at a given long side; nothing for a bad album.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "support/test_support.h"
#include "viewer_fixture.h"

namespace {

int Thumbnail(const QString& album, const QString& out, int size) {
    const QString tool = binaryDir() + QStringLiteral("/neridal-tool");
    EXPECT_TRUE(QFileInfo::exists(tool)) << "neridal-tool is missing: " << tool.toStdString();
    QProcess p;
    p.start(tool, {"thumbnail", album, out, "--size", QString::number(size)});
    p.waitForFinished(60000);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

TEST(ThumbnailCommand, PageOneAtTheLongSideOrNoFile) {
    QTemporaryDir dir;
    TestAlbum landscape;
    landscape.paperWidthMm = 297;
    landscape.paperHeightMm = 210;
    struct Case {
        TestAlbum album;
        QSize size;
    };
    const Case cases[] = {{TestAlbum{}, QSize(90, 128)}, {landscape, QSize(128, 90)}};
    int n = 0;
    for (const Case& c : cases) {
        const QString album = WriteTestAlbum(dir, c.album, QStringLiteral("T%1").arg(++n));
        const QString out = dir.filePath(QStringLiteral("t%1.png").arg(n));
        ASSERT_EQ(Thumbnail(album, out, 128), 0);
        EXPECT_EQ(QImage(out).size(), c.size);
    }
    const QString damaged = dir.filePath(QStringLiteral("CUT.PXA"));
    QFile source(WriteTestAlbum(dir, TestAlbum{}, QStringLiteral("WHOLE")));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QFile cut(damaged);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(source.read(100));  // inside the settings stream
    cut.close();
    const QString none = dir.filePath(QStringLiteral("none.png"));
    EXPECT_EQ(Thumbnail(damaged, none, 128), 1);
    EXPECT_FALSE(QFileInfo::exists(none));
}

}  // namespace
