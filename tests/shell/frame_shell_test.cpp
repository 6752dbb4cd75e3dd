// The shell's parts on the real main frame: start documents, hand-over
// handling, file drop and the end of run.

#include "shell/app_shell.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QFileDialog>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "core/ini_file.h"
#include "shell/about_box.h"
#include "shell/end_of_run.h"
#include "shell/hand_over.h"
#include "shell/main_frame.h"
#include "shell/web_links.h"
#include "shell_fixture.h"
#include "viewer/messages.h"
#include "viewer/view_form.h"

namespace {

bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QTest::qWait(20);
    return done();
}

HandOverMessage OpenMessage(const QString& path) {
    QByteArray data = QFile::encodeName(path);
    data.append('\0');
    return {kHandOverOpen, data};
}

class FrameShellTest : public ::testing::Test {
protected:
    ScopedWorkFolder work;
    std::unique_ptr<TVMainForm> frame;
    FrameShell* shell = nullptr;
    QStringList messages;
    MessageFunction previous;

    void SetUp() override {
        previous = SetMessageFunction([this](MessageKind, const QString& text) {
            messages << text;
            return true;
        });
    }
    void TearDown() override {
        frame.reset();
        SetMessageFunction(previous);
    }
    void Make(const QStringList& arguments) {
        frame = std::make_unique<TVMainForm>();
        frame->setWorkFolder(work.work());
        shell = new FrameShell(frame.get(), arguments, work.folders().program + "neridal");
    }
    int Windows() const { return frame->DocumentWindows().size(); }
    QString Album(const QString& name) { return WriteTestAlbum(work.root() + name); }
};

TEST_F(FrameShellTest, StartDocumentsOpenOnceAfterTheFrameIsShown) {
    const QString a = Album("A.PXA");
    const QString b = Album("B.PXA");
    Make({a, work.root() + "missing.PXA", b});
    EXPECT_FALSE(shell->Timer_Start->isActive());
    frame->show();
    EXPECT_TRUE(shell->Timer_Start->isActive());
    EXPECT_EQ(shell->Timer_Start->interval(), 300);
    ASSERT_TRUE(WaitFor([&] { return Windows() == 2; }));
    frame->hide();
    frame->show();  // a later show does not start again
    QTest::qWait(400);
    EXPECT_EQ(Windows(), 2);
    EXPECT_EQ(shell->About(), nullptr);
}

TEST_F(FrameShellTest, NothingToOpenShowsTheAboutBoxModally) {
    Make({});
    bool sawBox = false;
    QTimer::singleShot(500, [&] {
        if (shell->About() && shell->About()->isVisible()) {
            sawBox = QApplication::activeModalWidget() == shell->About();
            shell->About()->reject();
        }
    });
    frame->show();
    ASSERT_TRUE(WaitFor([&] { return shell->About() && !shell->About()->isVisible(); }));
    EXPECT_TRUE(sawBox);
    EXPECT_EQ(Windows(), 0);
}

TEST_F(FrameShellTest, HandOversAreIgnoredWhileADialogIsUpAndRestoreTheFrame) {
    Make({});
    shell->Timer_Start->setInterval(3600 * 1000);  // no about box in this test
    frame->show();
    const QString a = Album("A.PXA");
    QDialog dialog(frame.get());
    dialog.setModal(true);
    dialog.open();
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeModalWidget() == &dialog; }));
    shell->WMCopyData(OpenMessage(a));
    EXPECT_EQ(Windows(), 0);
    dialog.close();

    frame->showMinimized();
    shell->WMCopyData({kHandOverRaise, QByteArray("*\0", 2)});
    EXPECT_FALSE(frame->isMinimized());
    EXPECT_EQ(Windows(), 0);
    shell->WMCopyData({7, QFile::encodeName(a)});
    EXPECT_EQ(Windows(), 0);
    shell->WMCopyData(OpenMessage(a));
    EXPECT_EQ(Windows(), 1);
    // An unreadable path opens nothing and leaves no empty window.
    ScopedWorkFolder::Touch(work.root() + "BAD.PXA", "not an album");
    shell->WMCopyData(OpenMessage(work.root() + "BAD.PXA"));
    EXPECT_EQ(Windows(), 1);
}

TEST_F(FrameShellTest, DroppingThreeFilesAndAFolderOnTheFrameOpensThreeWindows) {
    Make({});
    shell->Timer_Start->setInterval(3600 * 1000);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    QDir().mkpath(work.root() + "FOLDER.PXA");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(Album("A.PXA")),
                  QUrl::fromLocalFile(work.root() + "FOLDER.PXA"),
                  QUrl::fromLocalFile(Album("B.PXB.PXA")), QUrl::fromLocalFile(Album("C.PXA"))});
    auto drop = [&](QPoint at) {
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame->windowHandle(), &enter);
        QDropEvent event(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame->windowHandle(), &event);
        return event.isAccepted();
    };
    EXPECT_TRUE(drop(frame->MdiArea->geometry().center()));
    EXPECT_EQ(Windows(), 3);
    // Onto a document window: the frame takes it all the same.
    QWidget* doc = frame->DocumentWindows().first();
    EXPECT_TRUE(drop(doc->mapTo(frame.get(), doc->rect().center())));
    EXPECT_EQ(Windows(), 6);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(FrameShellTest, TheOpenDialogShowsTheProgramsButtonCaptions) {
    Make({});
    shell->Timer_Start->setInterval(3600 * 1000);
    frame->setDocumentFolder(work.root());
    frame->show();
    QString accept, reject;
    bool native = true;
    QTimer::singleShot(300, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            accept = dialog->labelText(QFileDialog::Accept);
            reject = dialog->labelText(QFileDialog::Reject);
            native = !dialog->testOption(QFileDialog::DontUseNativeDialog);
            dialog->reject();
        }
    });
    EXPECT_FALSE(frame->OpenWithDialog());
    EXPECT_EQ(accept, "開く(&O)");
    EXPECT_EQ(reject, "中止(&C)");
    EXPECT_FALSE(native);
}

TEST_F(FrameShellTest, WebLinkItemsShowTheAddressTheyOpenAndNameTheSeriesAlike) {
    Make({});
    TVerForm about(nullptr);
    QList<QUrl> opened;
    const UrlOpener previousOpener = SetUrlOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    auto aboutItem = [&](const char* name) { return about.PopupMenu->findChild<QAction*>(name); };
    ASSERT_TRUE(aboutItem("DELNA1") && aboutItem("SeriesSite1"));
    for (QAction* item :
         {frame->Mn_Delna, frame->Mn_SeriesSite, aboutItem("DELNA1"), aboutItem("SeriesSite1")}) {
        opened.clear();
        item->trigger();
        ASSERT_EQ(opened.size(), 1) << item->text().toStdString();
        EXPECT_TRUE(item->text().contains(opened[0].toString())) << item->text().toStdString();
    }
    EXPECT_EQ(frame->Mn_SeriesSite->text(), aboutItem("SeriesSite1")->text());
    EXPECT_EQ(frame->Mn_Delna->text(), "DELNA ホームページ  " + PartnerHomePageAddress() + "(&K)");
    EXPECT_EQ(aboutItem("DELNA1")->text(),
              "DELNA ホームページ " + PartnerHomePageAddress() + "(&K)...");
    SetUrlOpener(previousOpener);
}

TEST_F(FrameShellTest, AFirstStartShowsTheFrameAtItsDesignedOuterSize) {
    Make({});
    shell->Timer_Start->setInterval(3600 * 1000);
    frame->show();
    // 870 x 640 with title bar and frame, within the desktop.
    const QRect desktop = frame->screen()->virtualGeometry();
    const QSize expected = QSize(870, 640).boundedTo(desktop.size());
    EXPECT_EQ(frame->frameGeometry().size(), expected);
    EXPECT_TRUE(desktop.contains(frame->frameGeometry()));
}

TEST_F(FrameShellTest, EndOfRunWritesSettingsAndPlacementAndDeletesCopies) {
    AccessViewEnv(EnvAccess::Read);
    Make({});
    shell->Timer_Start->setInterval(3600 * 1000);
    frame->show();
    frame->ToolBarToggle();
    ScopedWorkFolder::Touch(TemporaryCopyPath(work.work(), 30));
    shell->FormDestroy();
    shell->FormDestroy();  // once only
    EXPECT_FALSE(QFile::exists(TemporaryCopyPath(work.work(), 30)));
    QIniFile ini(work.ini());
    EXPECT_FALSE(ini.ReadBool("View_Env", "ToolBar", true));
    EXPECT_EQ(ini.ReadInteger("Sz_VMainForm", "szWindowState", -1), 0);
    EXPECT_EQ(ini.ReadInteger("Sz_VMainForm", "szWidth", -1), frame->frameGeometry().width());
}

}  // namespace
