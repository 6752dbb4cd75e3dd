// The main frame: shared toolbar, menus and their merging, window arrangement,
// size presets and the open command.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTemporaryDir>
#include "controls/align_speed_button.h"

#include "controls/enable_panel.h"
#include "controls/paint_combo_box.h"
#include "document/album_writer.h"
#include "metafile/emf_writer.h"
#include "shell/main_frame.h"
#include "shell/web_links.h"
#include "viewer/messages.h"
#include "viewer/view_env.h"
#include "viewer/view_form.h"

namespace {

using B = FrameButton;

QString WriteAlbum(const QTemporaryDir& dir, const QString& name, int pages) {
    AlbumDraft draft;
    draft.settings = DefaultSettings();
    for (int p = 0; p < pages; ++p) {
        mf::EmfWriter w(QSizeF(210, 297));
        w.Rectangle(QRect(10, 10, 100, 100));
        AlbumPage page;
        page.picture = w.Finish();
        draft.pages.push_back(page);
    }
    const QString path = dir.filePath(name);
    EXPECT_TRUE(WriteAlbumFile(path, draft));
    return path;
}

QStringList MenuTitles(QMenuBar* bar) {
    QStringList titles;
    for (QAction* a : bar->actions())
        titles << a->text();
    return titles;
}

class MainFrameTest : public testing::Test {
protected:
    void SetUp() override {
        saved_ = ViewEnvironment();
        ViewEnvironment() = ViewEnv{};
        ViewEnvironment().formMaximized = false;
        previousMessage_ = SetMessageFunction([this](MessageKind, const QString& text) {
            messages << text;
            return true;
        });
        frame.setWorkFolder(dir.path() + QLatin1Char('/'));
        frame.resize(900, 700);
        frame.show();
    }
    void TearDown() override {
        SetMessageFunction(previousMessage_);
        ViewEnvironment() = saved_;
    }

    QTemporaryDir dir;
    TVMainForm frame;
    QStringList messages;

private:
    ViewEnv saved_;
    MessageFunction previousMessage_;
};

TEST_F(MainFrameTest, WithoutDocumentsOnlyOpenWorks) {
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("アルバーノ"));
    EXPECT_TRUE(frame.SB_Open->isEnabled());
    for (int i = 0; i < kFrameButtonCount; ++i)
        EXPECT_FALSE(frame.Buttons[size_t(i)]->isEnabled()) << i;
    EXPECT_FALSE(frame.PL_Ritu->isEnabled());
    EXPECT_FALSE(frame.CB_Ritu->isEnabled());
    EXPECT_EQ(frame.CB_Ritu->count(), 11);
    EXPECT_EQ(frame.CB_Ritu->itemText(7), QStringLiteral(" 100 % (実寸)"));
    EXPECT_EQ(frame.Buttons[size_t(B::PageScroll)]->toolTip(),
              QStringLiteral("ページを越えてスクロール"));
    EXPECT_EQ(MenuTitles(frame.menuBar()),
              (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("表示(&V)"),
                           QStringLiteral("ウィンドウ(&W)"), QStringLiteral("ヘルプ(&H)")}));
    // The status-bar items exist only with a document window.
    frame.Show1Click();
    frame.PopupMenuPopup();
    EXPECT_FALSE(frame.Mn_StatusBar->isVisible());
    EXPECT_FALSE(frame.Mn_StatusBar2->isVisible());
    EXPECT_EQ(frame.property("helpContext").toInt(), 82);
    // The web items name the pages they open, in the same words as the about box.
    EXPECT_EQ(frame.Mn_Delna->text(), "DELNA ホームページ  " + PartnerHomePageAddress() + "(&K)");
    EXPECT_EQ(frame.Mn_SeriesSite->text(), SeriesMenuCaption());
    EXPECT_TRUE(frame.Mn_SeriesSite->text().contains(SeriesSiteAddress()));
}

TEST_F(MainFrameTest, SaveDialogOffersTheLastNameWithoutItsExtension) {
    QStringList offered;
    QString answer;
    int entry = 0;
    // Answers as a user would: reads the offered name, picks the filter entry
    // and types a name.
    frame.execSaveDialog = [&](QFileDialog& dialog) {
        offered << dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        types->setCurrentIndex(entry);
        emit types->activated(entry);  // as a choice in the list does
        emit types->textActivated(types->itemText(entry));
        dialog.selectFile(answer);
        return int(QDialog::Accepted);
    };
    answer = dir.filePath(QStringLiteral("page1.wmf"));
    entry = 1;
    const auto first = frame.ChooseSaveFile();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->fileName, answer);
    EXPECT_EQ(first->filterIndex, 2);
    answer = dir.filePath(QStringLiteral("page2.bmp"));
    entry = 2;
    const auto second = frame.ChooseSaveFile();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->filterIndex, 3);
    EXPECT_EQ(offered, QStringList({QStringLiteral("画像"), QStringLiteral("page1")}));
    EXPECT_EQ(frame.SaveDialog->nameFilters().size(), 3);
    EXPECT_EQ(frame.SaveDialog->defaultSuffix(), QStringLiteral("bmp"));
    // A name typed without extension takes the chosen entry's.
    answer = dir.filePath(QStringLiteral("page3"));
    entry = 1;
    const auto third = frame.ChooseSaveFile();
    ASSERT_TRUE(third);
    EXPECT_EQ(third->fileName, answer + QStringLiteral(".wmf"));
}

TEST_F(MainFrameTest, ActiveDocumentMenusReplaceFileAndView) {
    ASSERT_TRUE(frame.OpenDocumentPath(WriteAlbum(dir, QStringLiteral("A.PXA"), 3)));
    EXPECT_EQ(MenuTitles(frame.menuBar()),
              (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("書類(&D)"),
                           QStringLiteral("表示(&V)"), QStringLiteral("ウィンドウ(&W)"),
                           QStringLiteral("ヘルプ(&H)")}));
    TViewForm* view = frame.ActiveDocument();
    ASSERT_TRUE(view);
    EXPECT_EQ(frame.menuBar()->actions().first(), view->File1->menuAction());
    EXPECT_TRUE(frame.Buttons[size_t(B::Next)]->isEnabled());
    EXPECT_TRUE(frame.CB_Ritu->isEnabled());
    // The status bar toggles on the active window.
    frame.Show1Click();
    EXPECT_TRUE(frame.Mn_StatusBar->isVisible());
    EXPECT_TRUE(frame.Mn_StatusBar->isChecked());
    frame.Mn_StatusBar->trigger();
    EXPECT_TRUE(view->PL_Bottom->isHidden());
    view->close();
    QApplication::processEvents();
    EXPECT_EQ(MenuTitles(frame.menuBar()).size(), 4);
    EXPECT_FALSE(frame.Buttons[size_t(B::Next)]->isEnabled());
}

TEST_F(MainFrameTest, CascadePlacesWindowsOneStepApart) {
    for (const char* name : {"A.PXA", "B.PXA", "C.PXA"})
        ASSERT_TRUE(frame.OpenDocumentPath(WriteAlbum(dir, QString::fromLatin1(name), 2)));
    const QList<TViewForm*> windows = frame.DocumentWindows();
    ASSERT_EQ(windows.size(), 3);
    windows[1]->showMaximized();
    frame.MdiArea->setActiveSubWindow(windows[0]);
    const QList<TViewForm*> order = frame.DocumentWindows();
    frame.Cascade1Click();
    const int step = frame.CascadeStep();
    ASSERT_GT(step, 0);
    const QSize client = frame.centralWidget()->size();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(order[i]->isMaximized());
        EXPECT_EQ(order[i]->geometry(), QRect(i * step, i * step, client.width() - 3 * step,
                                              client.height() - frame.PL_Top->height() - 3 * step));
    }
    // Stacking order unchanged: the active window stays on top.
    EXPECT_EQ(frame.MdiArea->activeSubWindow(), order[0]);
}

TEST_F(MainFrameTest, TilingBothWays) {
    for (const char* name : {"A.PXA", "B.PXA"})
        ASSERT_TRUE(frame.OpenDocumentPath(WriteAlbum(dir, QString::fromLatin1(name), 2)));
    const QSize area = frame.MdiArea->viewport()->size();
    frame.V1Click();
    for (TViewForm* w : frame.DocumentWindows()) {
        EXPECT_EQ(w->height(), area.height());
        EXPECT_NEAR(w->width(), area.width() / 2, 1);
    }
    frame.T1Click();
    for (TViewForm* w : frame.DocumentWindows()) {
        EXPECT_EQ(w->width(), area.width());
        EXPECT_NEAR(w->height(), area.height() / 2, 1);
    }
}

TEST_F(MainFrameTest, ToolbarHidesWithItsLine) {
    frame.Mn_ToolBarClick();
    EXPECT_TRUE(frame.PL_Top->isHidden());
    EXPECT_TRUE(frame.Bevel->isHidden());
    frame.Show1Click();
    EXPECT_FALSE(frame.Mn_ToolBar->isChecked());
    frame.Mn_ToolBarClick();
    EXPECT_FALSE(frame.PL_Top->isHidden());
    EXPECT_FALSE(frame.Bevel->isHidden());
    EXPECT_LT(frame.Bevel->y(), frame.PL_Top->y());
}

TEST_F(MainFrameTest, SizePresetMakesAMaximisedFrameNormal) {
    frame.showMaximized();
    QApplication::processEvents();
    frame.SizePresetClick(800, 600);
    EXPECT_FALSE(frame.isMaximized());
    EXPECT_EQ(frame.frameGeometry().size(), QSize(800, 600));
}

TEST_F(MainFrameTest, OpenCommandOpensEverySelectedFileEvenWhenOneFails) {
    const QString a = WriteAlbum(dir, QStringLiteral("A.PXA"), 2);
    const QString bad = dir.filePath(QStringLiteral("BAD.PXA"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(200, 'x'));
    f.close();
    const QString c = WriteAlbum(dir, QStringLiteral("C.PXA"), 2);
    frame.chooseFiles = [&] { return QStringList{a, bad, c}; };
    EXPECT_TRUE(frame.OpenWithDialog());
    EXPECT_EQ(frame.DocumentWindows().size(), 2);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(frame.ActiveDocument()->windowTitle(), QStringLiteral("C"));
    frame.chooseFiles = [] { return QStringList{}; };
    EXPECT_FALSE(frame.OpenWithDialog());
}

TEST_F(MainFrameTest, OpenFilterListsTheFiveExtensions) {
    EXPECT_EQ(AlbumOpenFilter(),
              QStringLiteral("ブラウザファイル (*.PXA *.PXB *.PXC *.PXD *.PXA)"));
}

}  // namespace
