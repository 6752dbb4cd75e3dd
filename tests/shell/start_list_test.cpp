#include "shell/start_list.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>

#include "shell/folders.h"
#include "shell_fixture.h"

namespace {

class StartListTest : public ::testing::Test {
protected:
    ScopedWorkFolder work;
    QString exe() const { return work.folders().program + "neridal"; }
    QString Make(const QString& name) {
        const QString path = work.root() + name;
        QDir().mkpath(QFileInfo(path).path());
        ScopedWorkFolder::Touch(path);
        return path;
    }
};

TEST_F(StartListTest, SixtyArgumentsGiveTheFirstFiftyExistingFiles) {
    QStringList args, expected;
    for (int i = 0; i < 60; ++i) {
        const QString path = Make(QStringLiteral("docs/a%1.PXA").arg(i));
        args << path;
        if (i % 7 == 3) args << work.root() + "docs/missing.PXA" << QString();
        if (expected.size() < kMaxStartDocuments) expected << path;
    }
    EXPECT_EQ(BuildStartList(args, exe(), work.folders().program), expected);
}

TEST_F(StartListTest, BareNamesFallBackToTheProgramFolderOnly) {
    const QString inProgram = Make("prog/only-in-program.PXA");
    const QString folder = Make("docs/in-folder.PXA");
    Make("docs/sub/only-in-program.PXA");
    Make("prog/sub/x.PXA");
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(work.root() + "docs");
    const QStringList list =
        BuildStartList({"only-in-program.PXA", "in-folder.PXA", "./only-in-program.PXA",
                        "sub/x.PXA", "sub/only-in-program.PXA", "missing.PXA", "sub"},
                       exe(), work.folders().program);
    QDir::setCurrent(oldCwd);
    // A name found in the current folder stays as given; one with a folder
    // part is never looked up in the program folder; a folder is no document.
    EXPECT_EQ(list, QStringList({inProgram, "in-folder.PXA", "sub/only-in-program.PXA"}));
    EXPECT_TRUE(QFileInfo(folder).isFile());
}

TEST_F(StartListTest, CompanionDocumentsFollowTheFiveEntryOrder) {
    EXPECT_TRUE(BuildStartList({}, exe(), work.folders().program).isEmpty());
    const QString pxa = Make("prog/neridal.PXA");
    const QString pxd = Make("prog/neridal.PXD");
    Make("prog/neridal.pxb");  // the extension is taken as the table spells it
    EXPECT_EQ(BuildStartList({}, exe(), work.folders().program), QStringList({pxa, pxd, pxa}));
}

TEST(StartListRules, ReplaceExtensionOnlyTouchesTheFileName) {
    EXPECT_EQ(ReplaceExtension("/opt/neridal", "PXA"), "/opt/neridal.PXA");
    EXPECT_EQ(ReplaceExtension("/opt/neridal.bin", "PXB"), "/opt/neridal.PXB");
    EXPECT_EQ(ReplaceExtension("/opt/v1.2/neridal", "PXC"), "/opt/v1.2/neridal.PXC");
}

TEST(Folders, ResolvedFromTheExecutableAndTheDataFolder) {
    const Folders f = ResolveFolders("/opt/neridal/bin/neridal", "/home/u/.local/share/");
    EXPECT_EQ(f.program, "/opt/neridal/bin/");
    EXPECT_EQ(f.document, "/opt/neridal/bin/VIEWFILE/");
    EXPECT_EQ(f.work, "/home/u/.local/share/MIRAT/TempFiles/NERIDAL/");
    EXPECT_EQ(ResolveFolders("/a/b", "/x").program, "/a/");
    EXPECT_EQ(ResolveFolders("/neridal", "/x").document, "/VIEWFILE/");
}

TEST(Folders, InitFoldersCreatesTheWorkFolderUnderXdgDataHome) {
    ScopedWorkFolder scope;
    QDir(scope.root() + "data").removeRecursively();
    InitFolders();
    EXPECT_EQ(AppFolders().work, scope.root() + "data/MIRAT/TempFiles/NERIDAL/");
    EXPECT_TRUE(QFileInfo(AppFolders().work).isDir());
    EXPECT_EQ(AppFolders().program, WithTrailingSeparator(QCoreApplication::applicationDirPath()));
}

}  // namespace
