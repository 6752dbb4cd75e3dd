#include "core/ini_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void WriteAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const char* name = "NERIDAL.INI") const { return dir.filePath(name); }
};

TEST_F(IniFileTest, FirstWritesKeepTheirOrderAndBooleansAreOneAndZero) {
    {
        QIniFile ini(Path());
        ini.WriteBool("View_Env", "TreePanel", true);
        ini.WriteInteger("View_Env", "TreeWidth", 0);
        ini.WriteBool("View_Env", "FormMaximized", false);
        ini.WriteInteger("Sz_VMainForm", "szLeft", -12);
        ini.WriteString("View_Env", "Name", QString::fromUtf8("表示"));
        ini.WriteInteger("View_Env", "treewidth", 300);  // same key, other case
    }
    EXPECT_EQ(ReadAll(Path()),
              QByteArray("[View_Env]\r\nTreePanel=1\r\ntreewidth=300\r\nFormMaximized=0\r\n"
                         "Name=\x95\x5c\x8e\xa6\r\n\r\n[Sz_VMainForm]\r\nszLeft=-12\r\n"));

    QIniFile ini(Path());
    EXPECT_TRUE(ini.ReadBool("view_env", "TREEPANEL", false));
    EXPECT_EQ(ini.ReadInteger("View_Env", "TreeWidth", 7), 300);
    EXPECT_FALSE(ini.ReadBool("View_Env", "FormMaximized", true));
    EXPECT_EQ(ini.ReadInteger("Sz_VMainForm", "szLeft", 0), -12);
    EXPECT_EQ(ini.ReadString("View_Env", "Name", ""), QString::fromUtf8("表示"));
}

TEST_F(IniFileTest, MissingFileSectionKeyOrUnreadableValueGivesTheDefault) {
    WriteAll(Path(),
             "[A]\nNum= 42 \nBad=12abc\nEmpty=\nBig=99999999999\nNeg=-7\nYes=5\n"
             "Quoted=\"x y\"\n");
    QIniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("A", "Num", 1), 42);
    EXPECT_EQ(ini.ReadInteger("A", "Bad", 1), 1);
    EXPECT_EQ(ini.ReadInteger("A", "Empty", 2), 2);
    EXPECT_EQ(ini.ReadInteger("A", "Big", 3), 3);
    EXPECT_EQ(ini.ReadInteger("A", "Neg", 3), -7);
    EXPECT_TRUE(ini.ReadBool("A", "Yes", false));
    EXPECT_EQ(ini.ReadString("A", "Quoted", ""), "x y");
    EXPECT_EQ(ini.ReadInteger("A", "Missing", 4), 4);
    EXPECT_EQ(ini.ReadInteger("B", "Num", 5), 5);
    EXPECT_TRUE(ini.ReadBool("B", "Num", true));

    QIniFile none(dir.filePath("absent.ini"));
    EXPECT_EQ(none.ReadString("A", "Num", "d"), "d");
}

TEST_F(IniFileTest, RewritingKeepsForeignLinesAndPlacesNewKeysAtTheSectionEnd) {
    WriteAll(Path(), "; note\r\n[View_Env]\r\nZoomIndex=3\r\nOther=x\r\n\r\n[Keep]\r\nK=1\r\n");
    {
        QIniFile ini(Path());
        ini.WriteInteger("View_Env", "ZoomIndex", 4);
        ini.WriteBool("View_Env", "ToolBar", false);
    }
    EXPECT_EQ(ReadAll(Path()),
              QByteArray("; note\r\n[View_Env]\r\nZoomIndex=4\r\nOther=x\r\nToolBar=0\r\n\r\n"
                         "[Keep]\r\nK=1\r\n"));
}

TEST_F(IniFileTest, EraseSectionRemovesItsKeysAndARewriteStartsAfresh) {
    WriteAll(Path(), "[Sz_VMainForm]\nszTop=5\nszLeft=4\n[Keep]\nK=1\n");
    {
        QIniFile ini(Path());
        ini.EraseSection("sz_vmainform");
        EXPECT_FALSE(ini.SectionExists("Sz_VMainForm"));
        ini.WriteInteger("Sz_VMainForm", "szWindowState", 0);
        ini.WriteInteger("Sz_VMainForm", "szLeft", 1);
        EXPECT_TRUE(ini.Flush());
    }
    EXPECT_EQ(ReadAll(Path()),
              QByteArray("[Keep]\r\nK=1\r\n\r\n[Sz_VMainForm]\r\nszWindowState=0\r\nszLeft=1\r\n"));
}

TEST_F(IniFileTest, GarbledFileReadsDefaultsWithoutFailing) {
    static const char kJunk[] = "\xff\xfe\x00[\x81\n=novalue\n[Open\nKey=1\n[]\n==\n\x82\xa0=2\n";
    QByteArray junk(kJunk, sizeof kJunk - 1);
    junk.append(QByteArray(5000, '\0'));
    junk.append("\n[X]\nA=3");
    WriteAll(Path(), junk);
    QIniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("Open", "Key", 0), 1);  // an unclosed section name still counts
    EXPECT_EQ(ini.ReadInteger("X", "A", 9), 3);
    EXPECT_EQ(ini.ReadInteger("", "", 8), 8);
    ini.WriteInteger("X", "B", 1);
    EXPECT_TRUE(ini.Flush());
    EXPECT_EQ(QIniFile(Path()).ReadInteger("X", "B", 0), 1);
}

TEST_F(IniFileTest, RandomFilesReadAndRewriteWithoutFailing) {
    QRandomGenerator random(3);
    const char alphabet[] = "[]=;\r\n\" aZ1\x81\x40\xff";
    for (int round = 0; round < 300; ++round) {
        QByteArray junk(random.bounded(200), '\0');
        for (char& c : junk)
            c = alphabet[random.bounded(int(sizeof alphabet))];
        WriteAll(Path(), junk);
        QIniFile ini(Path());
        ini.ReadInteger("a", "Z", 0);
        ini.WriteInteger("a", "Z", round);
        ini.EraseSection("1");
        ASSERT_TRUE(ini.Flush());
        EXPECT_EQ(QIniFile(Path()).ReadInteger("a", "Z", -1), round) << junk.toHex().constData();
    }
}

TEST_F(IniFileTest, WritesIntoAMissingFolderFailQuietly) {
    QIniFile ini(dir.filePath("no/such/folder/NERIDAL.INI"));
    ini.WriteBool("View_Env", "ToolBar", true);
    EXPECT_FALSE(ini.Flush());
}

TEST_F(IniFileTest, RelativeNamesAreInTheSettingsFolder) {
    SetSettingsFolder(dir.path() + "/");
    {
        QIniFile ini(kDefaultIniName);
        ini.WriteInteger("S", "K", 1);
    }
    SetSettingsFolder(QString());
    EXPECT_TRUE(QFile::exists(Path()));
}

TEST_F(IniFileTest, ValuesCannotBreakTheLineStructure) {
    {
        QIniFile ini(Path());
        ini.WriteString("S", "K", "a\r\n[Evil]\nX=1");
    }
    QIniFile ini(Path());
    EXPECT_FALSE(ini.SectionExists("Evil"));
    EXPECT_EQ(ini.ReadString("S", "K", ""), "a  [Evil] X=1");
}

}  // namespace
