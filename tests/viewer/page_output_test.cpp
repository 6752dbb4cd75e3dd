// The window's page output commands and neridal-tool save.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>

#include "metafile/picture.h"
#include "support/test_support.h"
#include "viewer/messages.h"
#include "viewer/view_form.h"
#include "viewer_fixture.h"

namespace {

QString Tool() {
    return binaryDir() + QStringLiteral("/neridal-tool");
}

int RunTool(const QStringList& args) {
    QProcess p;
    p.start(Tool(), args);
    p.waitForFinished(60000);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// The page saved as a WMF draws like the page itself (imgdiff of the shared tools).
TEST(SaveCommand, WmfOfAPageDrawsLikeThePage) {
    ASSERT_TRUE(QFileInfo::exists(Tool())) << "neridal-tool is missing: " << Tool().toStdString();
    QTemporaryDir dir;
    const QString album = WriteTestAlbum(dir, TestAlbum{});
    const QString wmf = dir.filePath(QStringLiteral("page.wmf"));
    const QString bmp = dir.filePath(QStringLiteral("page.bmp"));
    const QString png = dir.filePath(QStringLiteral("wmf.png"));
    const QString page = QStringLiteral("2");
    ASSERT_EQ(RunTool({"save", album, "--page", page, "--out", wmf}), 0);
    ASSERT_EQ(RunTool({"save", album, "--page", page, "--out", bmp}), 0);
    QFile file(wmf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(mf::DetectPictureFormat(file.readAll()), mf::PictureFormat::PlaceableWmf);
    const QImage reference(bmp);
    ASSERT_FALSE(reference.isNull());
    ASSERT_EQ(RunTool({"picture", wmf, "--out", png, "--size",
                       QStringLiteral("%1x%2").arg(reference.width()).arg(reference.height())}),
              0);
    QProcess diff;
    diff.start(QStringLiteral("/usr/bin/python3"),
               {sharedDir() + QStringLiteral("/tools/imgdiff.py"), bmp, png});
    ASSERT_TRUE(diff.waitForFinished(60000));
    const QString score =
        QString::fromUtf8(diff.readAllStandardOutput()).trimmed().split('\n').last();
    EXPECT_GT(score.toDouble(), 0.95) << score.toStdString();

    EXPECT_EQ(RunTool({"save", album, "--page", "99", "--out", wmf}), 1);
    EXPECT_EQ(RunTool({"save", album, "--page", "1", "--out", dir.filePath("page.png")}), 2);
}

TEST(PageOutputCommands, FileAndClipboardWriteThePage) {
    QTemporaryDir dir;
    FakeFrame frame;
    MessageRecorder recorder;
    TViewForm* view = frame.Open(WriteTestAlbum(dir, TestAlbum{}));
    ASSERT_TRUE(view);
    const QString wmf = dir.filePath(QStringLiteral("out.WMF"));
    frame.saveChoice = SaveChoice{wmf, 2};
    view->Mn_FileClick();
    QFile file(wmf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(mf::DetectPictureFormat(file.readAll()), mf::PictureFormat::PlaceableWmf);

    frame.saveChoice = SaveChoice{dir.filePath(QStringLiteral("missing/out.emf")), 1};
    view->Mn_FileClick();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_TRUE(recorder.messages[0].second.contains(QStringLiteral("missing/out.emf")));

    frame.saveChoice.reset();  // the dialog was cancelled
    view->Mn_FileClick();
    EXPECT_EQ(recorder.messages.size(), 1u);

    view->Mn_ClipClick();
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(clip);
    EXPECT_FALSE(clip->data(QStringLiteral("image/x-emf")).isEmpty());
}

}  // namespace
