// neridal-tool render draws what the sheet shows, through the window's drawing.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "document/album_document.h"
#include "support/test_support.h"
#include "viewer/page_painter.h"
#include "viewer_fixture.h"

namespace {

QString Tool() {
    const QString top = binaryDir() + QStringLiteral("/neridal-tool");
    return QFileInfo::exists(top) ? top : binaryDir() + QStringLiteral("/src/tool/neridal-tool");
}

struct ToolRun {
    int status = -1;
    QString err;
};

ToolRun RunTool(const QStringList& args) {
    QProcess p;
    p.start(Tool(), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardError())};
}

class RenderCommandTest : public testing::Test {
protected:
    void SetUp() override {
        // The build makes the tool; a build without it has failed.
        ASSERT_TRUE(QFileInfo(Tool()).isExecutable()) << "neridal-tool is missing";
        TestAlbum album;
        album.pages = 3;
        album.turned = {2};
        album.marginLeftMm = 10;
        path = WriteTestAlbum(dir, album);
    }
    QTemporaryDir dir;
    QString path;
};

TEST_F(RenderCommandTest, ImageIsTheSheetAtTheZoom) {
    const QString out = dir.filePath(QStringLiteral("p1.png"));
    ASSERT_EQ(
        RunTool({QStringLiteral("render"), path, QStringLiteral("--page"), QStringLiteral("1"),
                 QStringLiteral("--out"), out, QStringLiteral("--zoom"), QStringLiteral("50")})
            .status,
        0);
    const QImage image(out);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(int(794 * 0.5), int(1123 * 0.5)));

    // The same pixels as the window's own drawing of that page.
    OpenOptions options;
    options.workFolder = dir.path() + QLatin1Char('/');
    LoadError error;
    auto doc = OpenAlbum(path, options, &error);
    ASSERT_TRUE(doc);
    auto picture = LoadPagePicture(*doc, 1, &error);
    ASSERT_TRUE(picture);
    const QImage expected =
        RenderPage(image.size(), 1.0, *picture, SheetGeometryOf(*doc, 96).margins, 50);
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), expected);
    // The left margin leaves a white strip.
    EXPECT_EQ(image.pixelColor(2, 5), QColor(Qt::white));
    EXPECT_NE(image.pixelColor(30, 5), QColor(Qt::white));
}

TEST_F(RenderCommandTest, TurnedPageAndResolution) {
    const QString out = dir.filePath(QStringLiteral("p2.png"));
    ASSERT_EQ(
        RunTool({QStringLiteral("render"), path, QStringLiteral("--page"), QStringLiteral("2"),
                 QStringLiteral("--out"), out, QStringLiteral("--dpi"), QStringLiteral("192")})
            .status,
        0);
    EXPECT_EQ(QImage(out).size(),
              QSize(MmToScreenPixels(WholeMm(297), 192), MmToScreenPixels(WholeMm(210), 192)));
}

TEST_F(RenderCommandTest, PageThatCannotBeLoaded) {
    const ToolRun run =
        RunTool({QStringLiteral("render"), path, QStringLiteral("--page"), QStringLiteral("9"),
                 QStringLiteral("--out"), dir.filePath(QStringLiteral("x.png"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(path)) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("page 9"))) << run.err.toStdString();
    EXPECT_EQ(RunTool({QStringLiteral("render"), path}).status, 2);
}

}  // namespace
