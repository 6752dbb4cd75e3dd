#include "shell/drop_target.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "shell/open_dialog.h"
#include "shell_fixture.h"

namespace {

// Drops `paths` at `pos` of `window` the way the windowing system delivers a
// drop: to the window, which hands it to the widget under the point.
bool DropOnWindow(QWidget* window, QPoint pos, const QStringList& paths) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    mime.setUrls(urls);
    QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window->windowHandle(), &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(pos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window->windowHandle(), &drop);
    return drop.isAccepted();
}

class DropTest : public ::testing::Test {
protected:
    ScopedWorkFolder work;
    QMainWindow frame;
    QMdiArea* area = new QMdiArea;
    QStringList opened;
    QStringList files;
    void SetUp() override {
        frame.setCentralWidget(area);
        frame.resize(600, 400);
        for (const char* name : {"a.PXA", "b.PXB", "c.PXD"}) {
            files << work.root() + name;
            ScopedWorkFolder::Touch(files.last());
        }
        QDir().mkpath(work.root() + "folder.PXA");
        auto* drop = new TDropDst(&frame);
        drop->OnFileDrop = [this](const QStringList& paths, int, int) {
            OpenDroppedFiles(paths, [this](const QString& p) {
                opened << p;
                area->addSubWindow(new QWidget)->show();
            });
        };
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    }
};

TEST_F(DropTest, ThreeFilesAndAFolderOpenThreeWindowsInOrder) {
    const QStringList dropped = {files[0], work.root() + "folder.PXA", files[1],
                                 work.root() + "missing.PXA", files[2]};
    ASSERT_TRUE(DropOnWindow(&frame, QPoint(300, 200), dropped));
    EXPECT_EQ(opened, files);
    EXPECT_EQ(area->subWindowList().size(), 3);
}

TEST_F(DropTest, ADropOnADocumentWindowReachesTheFrame) {
    QMdiSubWindow* doc = area->addSubWindow(new QWidget);
    doc->showMaximized();
    const QPoint inDoc = doc->widget()->mapTo(&frame, doc->widget()->rect().center());
    ASSERT_TRUE(DropOnWindow(&frame, inDoc, {files[1]}));
    EXPECT_EQ(opened, QStringList({files[1]}));
}

TEST_F(DropTest, AcceptDropOffRefusesDrops) {
    auto* drop = frame.findChild<TDropDst*>();
    drop->SetAcceptDrop(false);
    EXPECT_FALSE(frame.acceptDrops());
    drop->SetAcceptDrop(false);
    EXPECT_FALSE(DropOnWindow(&frame, QPoint(300, 200), files));
    drop->SetAcceptDrop(true);
    EXPECT_TRUE(DropOnWindow(&frame, QPoint(300, 200), files));
    EXPECT_EQ(opened, files);
}

TEST(OpenDialog, ButtonsShowTheProgramsCaptions) {
    QFileDialog dialog;
    PrepareAlbumOpenDialog(dialog);
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog.labelText(QFileDialog::Accept), "開く(&O)");
    EXPECT_EQ(dialog.labelText(QFileDialog::Reject), "中止(&C)");
    // Longer than 64 bytes: not used.
    SetDialogCaptions(dialog, QString(33, QChar(0x3042)), QString(64, 'x'));
    EXPECT_EQ(dialog.labelText(QFileDialog::Accept), "開く(&O)");
    EXPECT_EQ(dialog.labelText(QFileDialog::Reject), QString(64, 'x'));
}

}  // namespace
