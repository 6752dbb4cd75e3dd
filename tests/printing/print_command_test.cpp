// neridal-tool print: the print command's job to PDF, checked with poppler.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "support/test_support.h"

namespace {

QString Tool() {
    return binaryDir() + QStringLiteral("/neridal-tool");
}
QString Sample() {
    return binaryDir() + QStringLiteral("/sample/SAMPLE.PXA");
}

struct ProcessRun {
    int status = -1;
    QString out, err;
};

ProcessRun Start(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

class PrintCommandTest : public testing::Test {
protected:
    void SetUp() override {
        // The build makes the tool and the sample: their absence is a broken build.
        ASSERT_TRUE(QFileInfo::exists(Tool())) << Tool().toStdString();
        ASSERT_TRUE(QFileInfo::exists(Sample())) << Sample().toStdString();
    }
    QTemporaryDir dir;
};

TEST_F(PrintCommandTest, PdfHasOnePageOfThePapersSizePerAlbumPage) {
    const QString pdf = dir.filePath(QStringLiteral("all.pdf"));
    const ProcessRun print = Start(Tool(), {"print", Sample(), "--pdf", pdf});
    ASSERT_EQ(print.status, 0) << print.err.toStdString();
    EXPECT_TRUE(print.err.contains(QStringLiteral("page 1/6")));
    EXPECT_TRUE(print.err.contains(QStringLiteral("page 6/6")));
    const ProcessRun info = Start(QStringLiteral("pdfinfo"), {"-f", "1", "-l", "6", pdf});
    ASSERT_EQ(info.status, 0);
    EXPECT_TRUE(info.out.contains(QRegularExpression(QStringLiteral("Pages:\\s+6"))));
    // A4 upright, the turned fourth page landscape.
    EXPECT_TRUE(info.out.contains(
        QRegularExpression(QStringLiteral("Page    1 size:\\s+595(\\.\\d+)? x 84[12]"))))
        << info.out.toStdString();
    EXPECT_TRUE(info.out.contains(
        QRegularExpression(QStringLiteral("Page    4 size:\\s+84[12](\\.\\d+)? x 595"))))
        << info.out.toStdString();
    // The captions are text, and the page looks as the window shows it.
    // Photos keep their own pixels: the device scales them, nothing is
    // resampled to the printer's resolution.
    const ProcessRun images =
        Start(QStringLiteral("pdfimages"), {"-list", "-f", "1", "-l", "1", pdf});
    EXPECT_TRUE(images.out.contains(QRegularExpression(QStringLiteral("image\\s+480\\s+360\\s"))))
        << images.out.toStdString();
    const ProcessRun text = Start(QStringLiteral("pdftotext"), {"-f", "1", "-l", "1", pdf, "-"});
    EXPECT_TRUE(text.out.contains(QStringLiteral("工事写真帳"))) << text.out.toStdString();
    const QString rendered = dir.filePath(QStringLiteral("render.png"));
    ASSERT_EQ(Start(Tool(), {"render", Sample(), "--page", "2", "--out", rendered}).status, 0);
    const QString raster = dir.filePath(QStringLiteral("pdf"));
    ASSERT_EQ(Start(QStringLiteral("pdftoppm"),
                    {"-r", "96", "-png", "-f", "2", "-l", "2", "-singlefile", pdf, raster})
                  .status,
              0);
    const ProcessRun diff = Start(QStringLiteral("/usr/bin/python3"),
                                  {sharedDir() + QStringLiteral("/tools/imgdiff.py"), rendered,
                                   raster + QStringLiteral(".png")});
    EXPECT_GT(diff.out.trimmed().split('\n').last().toDouble(), 0.95) << diff.out.toStdString();
}

// A landscape album keeps its paper wider than high, as the window shows it:
// its pages print on landscape sheets, a turned page on an upright one.
TEST_F(PrintCommandTest, ALandscapeAlbumPrintsLandscapeAndItsTurnedPageUpright) {
    const QString page = dir.filePath(QStringLiteral("page.emf"));
    ASSERT_EQ(Start(Tool(), {"save", Sample(), "--page", "1", "--out", page}).status, 0);
    const QString album = dir.filePath(QStringLiteral("WIDE.PXA"));
    const ProcessRun pack = Start(Tool(), {"pack", album, "--paper", "297:210:9", "--orientation",
                                           "1", "--turned", "2", page, page});
    ASSERT_EQ(pack.status, 0) << pack.err.toStdString();
    const QString pdf = dir.filePath(QStringLiteral("wide.pdf"));
    ASSERT_EQ(Start(Tool(), {"print", album, "--pdf", pdf}).status, 0);
    const ProcessRun info = Start(QStringLiteral("pdfinfo"), {"-f", "1", "-l", "2", pdf});
    EXPECT_TRUE(info.out.contains(
        QRegularExpression(QStringLiteral("Page    1 size:\\s+84[12](\\.\\d+)? x 595"))))
        << info.out.toStdString();
    EXPECT_TRUE(info.out.contains(
        QRegularExpression(QStringLiteral("Page    2 size:\\s+595(\\.\\d+)? x 84[12]"))))
        << info.out.toStdString();
}

TEST_F(PrintCommandTest, RangesAreDisplayedNumbersAndRefusalsLeaveNoFile) {
    const QString pdf = dir.filePath(QStringLiteral("some.pdf"));
    ASSERT_EQ(Start(Tool(), {"print", Sample(), "--pdf", pdf, "--from", "2", "--to", "3"}).status,
              0);
    const ProcessRun info = Start(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.out.contains(QRegularExpression(QStringLiteral("Pages:\\s+2"))));

    const QString refused = dir.filePath(QStringLiteral("refused.pdf"));
    struct Case {
        QStringList args;
        int status;
    };
    const Case cases[] = {
        {{"print", Sample(), "--pdf", refused, "--from", "0"}, 1},
        {{"print", Sample(), "--pdf", refused, "--to", "99"}, 1},
        {{"print", Sample(), "--printer", "No Such Printer"}, 1},
        {{"print", dir.filePath("missing.PXA"), "--pdf", refused}, 1},
        {{"print", Sample()}, 2},
        {{"print", Sample(), "--pdf", refused, "--printer", "X"}, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Start(Tool(), c.args).status, c.status) << c.args.join(' ').toStdString();
        EXPECT_FALSE(QFileInfo::exists(refused));
        EXPECT_FALSE(QFileInfo::exists(refused + QStringLiteral(".part")));
    }
}

}  // namespace
