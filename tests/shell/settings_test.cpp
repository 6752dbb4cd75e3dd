#include <gtest/gtest.h>

#include "core/ini_file.h"
#include "shell/end_of_run.h"
#include "shell_fixture.h"
#include "viewer/view_env.h"
#include "viewer/view_env_commands.h"

namespace {

const QByteArray kDefaultsWithToolBar(bool toolBar) {
    return QByteArray(
               "[View_Env]\r\nTreePanel=1\r\nTreeWidth=0\r\nFormMaximized=1\r\n"
               "FormWidth=0\r\nFormHeight=0\r\nZoomIndex=1\r\nPageScroll=1\r\nToolBar=") +
           (toolBar ? "1" : "0") + "\r\nStatusBar=1\r\n";
}

TEST(ViewSettings, ReadKeepsCurrentValuesForMissingKeysAndWriteUsesTableOrder) {
    ScopedWorkFolder work;
    ScopedWorkFolder::Touch(work.ini(), "[View_Env]\nZoomIndex=5\nStatusBar=0\nTreeWidth=abc\n");
    ViewEnvironment().treeWidth = 33;
    AccessViewEnv(EnvAccess::Read);
    EXPECT_TRUE(ViewEnvLoaded());
    EXPECT_EQ(ViewEnvironment().zoomIndex, 5);
    EXPECT_FALSE(ViewEnvironment().statusBar);
    EXPECT_EQ(ViewEnvironment().treeWidth, 33);  // unreadable: the value in memory stays
    EXPECT_TRUE(ViewEnvironment().treePanel);

    // Keys already in the file keep their places; the others follow in table order.
    ViewEnvironment() = ViewEnv{};
    AccessViewEnv(EnvAccess::Write);
    EXPECT_EQ(ScopedWorkFolder::Read(work.ini()),
              QByteArray("[View_Env]\r\nZoomIndex=1\r\nStatusBar=1\r\nTreeWidth=0\r\n"
                         "TreePanel=1\r\nFormMaximized=1\r\nFormWidth=0\r\nFormHeight=0\r\n"
                         "PageScroll=1\r\nToolBar=1\r\n"));
}

TEST(ViewSettings, NothingIsWrittenBeforeTheSettingsWereRead) {
    ScopedWorkFolder work;
    AccessViewEnv(EnvAccess::Write);
    RecordViewEnvCommand({});
    EXPECT_FALSE(QFile::exists(work.ini()));
}

TEST(ViewSettings, RecordTakesTheWindowAndKeepsToolBarAndPageScroll) {
    ViewEnv env;
    env.toolBar = false;
    env.pageScroll = false;
    const ViewEnv maximised = RecordedViewEnv(env, {false, 180, true, 700, 500, 4, false});
    EXPECT_FALSE(maximised.treePanel);
    EXPECT_EQ(maximised.treeWidth, 180);
    EXPECT_TRUE(maximised.formMaximized);
    EXPECT_EQ(maximised.formWidth, 0);
    EXPECT_EQ(maximised.formHeight, 0);
    EXPECT_EQ(maximised.zoomIndex, 4);
    EXPECT_FALSE(maximised.statusBar);
    EXPECT_FALSE(maximised.toolBar);
    EXPECT_FALSE(maximised.pageScroll);
    const ViewEnv normal = RecordedViewEnv(env, {true, 0, false, 700, 500, 1, true});
    EXPECT_EQ(normal.formWidth, 700);
    EXPECT_EQ(normal.formHeight, 500);
}

TEST(ViewSettings, RecordCommandWritesAtOnce) {
    ScopedWorkFolder work;
    AccessViewEnv(EnvAccess::Read);
    RecordViewEnvCommand({true, 250, true, 640, 480, 7, true});
    QIniFile ini(work.ini());
    EXPECT_EQ(ini.ReadInteger("View_Env", "TreeWidth", -1), 250);
    EXPECT_EQ(ini.ReadInteger("View_Env", "FormWidth", -1), 0);
    EXPECT_EQ(ini.ReadInteger("View_Env", "ZoomIndex", -1), 7);
}

TEST(EndOfRun, WritesTheToolBarStateAndDeletesTemporaryCopiesZeroToThirty) {
    ScopedWorkFolder work;
    for (int n = 0; n <= 31; n += 1)
        if (n % 3 == 0 || n == 30 || n == 31)
            ScopedWorkFolder::Touch(TemporaryCopyPath(work.work(), n));
    ScopedWorkFolder::Touch(work.work() + "NERIDAL_00.TMP");
    AccessViewEnv(EnvAccess::Read);
    EndOfRun(false, work.work());
    for (int n = 0; n <= 30; ++n)
        EXPECT_FALSE(QFile::exists(TemporaryCopyPath(work.work(), n))) << n;
    EXPECT_TRUE(QFile::exists(work.work() + "NERIDAL_31.TMP"));
    EXPECT_TRUE(QFile::exists(work.work() + "NERIDAL_00.TMP"));
    EXPECT_EQ(ScopedWorkFolder::Read(work.ini()), kDefaultsWithToolBar(false));
}

TEST(EndOfRun, AfterTheResetCommandTheExitLeavesTheDefaultsInTheFile) {
    ScopedWorkFolder work;
    ScopedWorkFolder::Touch(work.ini(), "[View_Env]\nZoomIndex=5\nToolBar=0\n");
    AccessViewEnv(EnvAccess::Read);
    ViewEnvironment().treeWidth = 300;
    ResetViewEnvCommand();
    EXPECT_TRUE(ViewEnvWasReset());
    EXPECT_EQ(ViewEnvironment().zoomIndex, 1);
    const QByteArray afterReset = ScopedWorkFolder::Read(work.ini());
    ViewEnvironment().toolBar = false;  // the toolbar hidden again before exit
    EndOfRun(false, work.work());
    EXPECT_EQ(ScopedWorkFolder::Read(work.ini()), afterReset);
    QIniFile ini(work.ini());
    EXPECT_TRUE(ini.ReadBool("View_Env", "ToolBar", false));
    EXPECT_EQ(ini.ReadInteger("View_Env", "ZoomIndex", 0), 1);
}

TEST(EndOfRun, AMissingWorkFolderIsNoFailure) {
    ScopedWorkFolder work;
    AccessViewEnv(EnvAccess::Read);
    const QString gone = work.root() + "gone/";
    SetAppFolders(ResolveFolders(work.root() + "prog/neridal", gone));
    EndOfRun(true, AppFolders().work);
    EXPECT_FALSE(QFileInfo(gone).exists());
}

}  // namespace
