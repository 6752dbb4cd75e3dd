// The titles the window system shows are exactly the program's own, and Qt's
// own dialogs speak Japanese.
#include <gtest/gtest.h>

#include <qpa/qplatformwindow.h>
#include <QCoreApplication>
#include <QMessageBox>

#include "shell/app_shell.h"
#include "shell/main_frame.h"

namespace {

// What Qt's platform windows (xcb, wayland) send as the title for `title`.
struct WindowSystem : QPlatformWindow {
    static QString TitleFor(const QString& title) {
        return formatWindowTitle(title, QStringLiteral(" \u2014 "));
    }
};

TEST(WindowTitles, TheWindowSystemShowsTheProgramsOwnTitles) {
    ConfigureApplication();
    TVMainForm frame;
    EXPECT_EQ(WindowSystem::TitleFor(frame.windowTitle()), QStringLiteral("アルバーノ"));
    QMessageBox box(QMessageBox::Information, QStringLiteral("情報"), QStringLiteral("x"));
    EXPECT_EQ(WindowSystem::TitleFor(box.windowTitle()), QStringLiteral("情報"));
    EXPECT_EQ(WindowSystem::TitleFor(QStringLiteral("アルバーノ - [SAMPLE.PXA]")),
              QStringLiteral("アルバーノ - [SAMPLE.PXA]"));
}

TEST(WindowTitles, QtsOwnDialogsSpeakJapanese) {
    ConfigureApplication();
    // A highlighted folder turns the open dialog's button into Qt's "&Open".
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Open"), QStringLiteral("開く(&O)"));
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "&Save"), QStringLiteral("&Save"));
    EXPECT_NE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

}  // namespace
