#include "shell/about_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "controls/align_speed_button.h"
#include "controls/dropdown_speed_button.h"
#include "controls/focus_control.h"
#include "shell/web_links.h"
#include "support/test_support.h"
#include "viewer/messages.h"

namespace {

TEST(AboutBox, VersionLineComesFromTheBuild) {
    EXPECT_EQ(AboutVersionLine(""), "アルバーノ ver.8");
    EXPECT_EQ(AboutVersionLine("3.0 rel.0"), "アルバーノ ver.3.0 rel.0");
    EXPECT_EQ(BuildVersion(), "8.0.0");
    TVerForm box(nullptr);
    EXPECT_EQ(box.Version->text(), "アルバーノ ver.8.0.0");
    EXPECT_EQ(box.windowTitle(), "バージョン情報");
    EXPECT_EQ(box.size(), QSize(444, 239));
    EXPECT_EQ(TVerForm::NoticeLines().size(), 21);
}

class AboutBoxTest : public ::testing::Test {
protected:
    int opens = 0;
    bool confirm = false;
    QStringList messages;
    QList<QUrl> opened;
    bool browserWorks = true;
    MessageFunction previousMessages;
    UrlOpener previousOpener;
    std::unique_ptr<TVerForm> box;

    void SetUp() override {
        previousMessages = SetMessageFunction([this](MessageKind, const QString& text) {
            messages << text;
            return true;
        });
        previousOpener = SetUrlOpener([this](const QUrl& url) {
            opened << url;
            return browserWorks;
        });
        box = std::make_unique<TVerForm>([this] {
            ++opens;
            return confirm;
        });
        box->open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box.get()));
    }
    void TearDown() override {
        SetMessageFunction(previousMessages);
        SetUrlOpener(previousOpener);
    }
};

TEST_F(AboutBoxTest, EscEnterAndTheCloseButtonCloseTheBox) {
    for (int key : {int(Qt::Key_Escape), int(Qt::Key_Return), int(Qt::Key_Enter), 0}) {
        if (!box->isVisible()) box->open();
        ASSERT_TRUE(box->isVisible());
        if (key == 0)
            QTest::mouseClick(box->SpeedButton1, Qt::LeftButton);
        else
            QTest::keyClick(box->FocusControl, Qt::Key(key));
        EXPECT_FALSE(box->isVisible()) << key;
    }
}

TEST_F(AboutBoxTest, PageKeysScrollTheNoticeByOneLine) {
    box->FocusControl->setFocus();
    QScrollBar* bar = box->Memo->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 2 * bar->singleStep());
    QTest::keyClick(box->FocusControl, Qt::Key_PageDown);
    EXPECT_EQ(bar->value(), bar->singleStep());
    QTest::keyClick(box->FocusControl, Qt::Key_Down);
    EXPECT_EQ(bar->value(), 2 * bar->singleStep());
    QTest::keyClick(box->FocusControl, Qt::Key_PageUp);
    QTest::keyClick(box->FocusControl, Qt::Key_Up);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_TRUE(box->isVisible());
}

TEST_F(AboutBoxTest, TheOpenButtonClosesTheBoxOnlyWhenTheDialogWasConfirmed) {
    QTest::mouseClick(box->SpeedButton2, Qt::LeftButton);
    EXPECT_EQ(opens, 1);
    EXPECT_TRUE(box->isVisible());
    confirm = true;
    QTest::mouseClick(box->SpeedButton2, Qt::LeftButton);
    EXPECT_EQ(opens, 2);
    EXPECT_FALSE(box->isVisible());
}

TEST_F(AboutBoxTest, WebLinksOpenTheirAddressAndReportAMissingBrowserOncePerClick) {
    QTest::mouseClick(box->Button_NewPrg, Qt::LeftButton);
    EXPECT_EQ(opened, QList<QUrl>({QUrl(DownloadPageAddress())}));
    EXPECT_TRUE(messages.isEmpty());
    browserWorks = false;
    QTest::mouseClick(box->Button_NewPrg, Qt::LeftButton);
    QTest::mouseClick(box->Button_NewPrg, Qt::LeftButton);
    EXPECT_EQ(messages, QStringList({kNoInternetMessage, kNoInternetMessage}));

    const QList<QAction*> items = box->PopupMenu->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0]->text(), "DELNA ホームページ " + PartnerHomePageAddress() + "(&K)...");
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[3]->text(), "ハルカゼシリーズの紹介(&C)...");
    opened.clear();
    browserWorks = true;
    for (QAction* item : items)
        if (!item->isSeparator()) item->trigger();
    EXPECT_EQ(opened, QList<QUrl>({QUrl(PartnerHomePageAddress()), QUrl(SeriesSiteAddress()),
                                   QUrl(CatalogPageAddress())}));
}

TEST_F(AboutBoxTest, EnterAndEscInTheHomePageMenuActOnTheMenuOnly) {
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        opened.clear();
        bool menuShown = false, menuOpenAfterKey = true, boxOpenAfterKey = false;
        QTimer::singleShot(100, box.get(), [&] {
            menuShown = QApplication::activePopupWidget() == box->PopupMenu;
            if (!menuShown) return;
            box->PopupMenu->setActiveAction(box->PopupMenu->actions().value(0));
            QTest::keyClick(box->PopupMenu, key);
            menuOpenAfterKey = box->PopupMenu->isVisible();
            boxOpenAfterKey = box->isVisible();
            box->PopupMenu->close();  // whatever happened, let the test go on
        });
        QTest::mouseClick(box->Button1, Qt::LeftButton);
        ASSERT_TRUE(WaitUntil([&] { return !box->PopupMenu->isVisible(); }));
        ASSERT_TRUE(menuShown) << key;
        EXPECT_FALSE(menuOpenAfterKey) << key;
        EXPECT_TRUE(boxOpenAfterKey) << key;
        EXPECT_TRUE(box->isVisible()) << key;
        if (!box->isVisible()) box->open();
        QTest::qWait(TDropdownSpeedButton::kReopenGuardMs + 50);  // not the closing press
    }
    // Enter chose the highlighted item.
    EXPECT_EQ(opened, QList<QUrl>({QUrl(PartnerHomePageAddress())}));
}

}  // namespace
