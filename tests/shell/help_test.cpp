#include "shell/help.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMenu>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

#include "shell_fixture.h"
#include "support/test_support.h"

namespace {

QByteArray ReadShipped(const QString& name) {
    return ScopedWorkFolder::Read(sourceDir() + "/help/" + name);
}

// Every context number that a window or a menu item carries.
QList<int> UsedContexts() {
    QList<int> used = {82};
    for (int n = 34; n <= 67; ++n)
        if (n != 44 && n != 45) used << n;
    return used;
}

TEST(HelpPages, EveryContextHasATopicAnAnchorAndAPopupText) {
    const HelpIndex index = ParseHelpIndex(ReadShipped("contexts.txt"), ReadShipped("cshelp.txt"));
    EXPECT_EQ(index.defaultTopic, "index.html");
    for (int context : UsedContexts()) {
        ASSERT_TRUE(index.topics.contains(context)) << context;
        const QString topic = index.topics.value(context);
        const QString page = topic.section('#', 0, 0);
        const QString anchor = topic.section('#', 1);
        const QByteArray html = ReadShipped(page);
        ASSERT_FALSE(html.isEmpty()) << page.toStdString();
        if (!anchor.isEmpty()) {
            EXPECT_TRUE(html.contains("name=\"" + anchor.toUtf8() + "\"")) << context;
        }
        EXPECT_FALSE(index.popups.value(context).isEmpty()) << context;
    }
}

TEST(HelpPages, ParserIgnoresMalformedLines) {
    const HelpIndex index = ParseHelpIndex("; c\n=x\n82=\nabc=d.html\n-3=e.html\n7=f.html\n",
                                           ".topic\n.topic x\nlost\n.topic 7\n  text\n\n");
    EXPECT_EQ(index.topics.keys(), QList<int>({7}));
    EXPECT_EQ(index.popups.value(7), "text");
    EXPECT_EQ(index.popups.size(), 1);
}

class HelpRequestTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QStringList shown;
    void SetUp() override {
        ScopedWorkFolder::Touch(dir.filePath("contexts.txt"),
                                "default=index.html\n82=index.html\n"
                                "36=file.html#ctx36\n");
        ScopedWorkFolder::Touch(dir.filePath("cshelp.txt"), ".topic 99\nOnly a popup.\n");
        ApplicationHelp::Instance().SetFolder(dir.path() + "/");
        ApplicationHelp::Instance().SetShowSeam([this](const QString& s) { shown << s; });
    }
    void TearDown() override {
        ApplicationHelp::Instance().SetShowSeam(nullptr);
        ApplicationHelp::Instance().SetFolder(QString());
    }
    QString Url(const QString& file, const QString& anchor = QString()) const {
        QUrl url = QUrl::fromLocalFile(dir.path() + "/" + file);
        if (!anchor.isEmpty()) url.setFragment(anchor);
        return url.toString();
    }
};

TEST_F(HelpRequestTest, CommandsMapOntoTopicsAndPopups) {
    auto& help = ApplicationHelp::Instance();
    EXPECT_TRUE(help.Request(HelpCommand::Finder, 0));
    EXPECT_TRUE(help.Request(HelpCommand::Index, 0));
    EXPECT_TRUE(help.Request(HelpCommand::Context, 36));
    EXPECT_FALSE(help.Request(HelpCommand::Context, 99));
    EXPECT_TRUE(help.Request(HelpCommand::ContextPopup, 99));
    EXPECT_TRUE(help.Request(HelpCommand::ContextPopup, 82));
    EXPECT_FALSE(help.Request(HelpCommand::ContextPopup, 5));
    EXPECT_EQ(shown, QStringList({Url("index.html"), Url("index.html"), Url("file.html", "ctx36"),
                                  "popup:Only a popup.", Url("index.html")}));
}

TEST_F(HelpRequestTest, F1ShowsTheTopicOfTheFocusedWidgetOrOfTheOpenMenuItem) {
    InstallHelpKey();
    QWidget window;
    window.setProperty("helpContext", 82);
    auto* child = new QWidget(&window);
    child->setFocusPolicy(Qt::StrongFocus);
    window.show();
    window.activateWindow();
    child->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(child, Qt::Key_F1);
    EXPECT_EQ(shown, QStringList({Url("index.html")}));

    QMenu menu(&window);
    QAction* open = menu.addAction("開く(&O)...");
    open->setProperty("helpContext", 36);
    menu.popup(QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    menu.setActiveAction(open);
    QTest::keyClick(&menu, Qt::Key_F1);
    EXPECT_EQ(shown.value(1), Url("file.html", "ctx36"));
    EXPECT_FALSE(menu.isVisible());
}

TEST(HelpViewer, ShowsTheShippedPageInTheProgramsOwnWindow) {
    auto& help = ApplicationHelp::Instance();
    help.SetFolder(sourceDir() + "/help/");
    ASSERT_TRUE(help.Request(HelpCommand::Context, 52));
    ASSERT_NE(help.Viewer(), nullptr);
    EXPECT_TRUE(help.Viewer()->source().toString().endsWith("view.html#ctx52"));
    EXPECT_TRUE(help.Viewer()->document()->toPlainText().contains("縮小"));
    EXPECT_TRUE(help.Viewer()->window()->isVisible());
    help.Viewer()->window()->close();
    help.SetFolder(QString());
    EXPECT_TRUE(HelpAvailable(sourceDir() + "/help/"));
    EXPECT_FALSE(HelpAvailable(sourceDir() + "/nohelp/"));
}

}  // namespace
