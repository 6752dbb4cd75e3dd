// The real executable, started twice: the second start hands its documents
// to the first and ends. NERIDAL_TEST_LOG makes the running instance note
// what it opens and when it comes forward.

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include "core/ini_file.h"
#include "shell/end_of_run.h"
#include "shell/single_instance.h"
#include "shell_fixture.h"
#include "support/test_support.h"

namespace {

QString Executable() {
    return binaryDir() + "/neridal";
}

class TwoProcessTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    QString albums;
    QString work, log, elsewhere;
    QProcess first;

    void SetUp() override {
        // The build makes the program; a build without it has failed.
        ASSERT_TRUE(QFileInfo(Executable()).isExecutable()) << "neridal is missing";
        work = root.filePath("data/MIRAT/TempFiles/NERIDAL/");
        log = root.filePath("events.log");
        elsewhere = root.filePath("elsewhere");
        QDir().mkpath(elsewhere);
        albums = root.filePath("albums") + "/";
        QDir().mkpath(albums);
    }
    void TearDown() override {
        if (first.state() != QProcess::NotRunning) {
            first.kill();
            first.waitForFinished(5000);
        }
    }
    QProcessEnvironment Env() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", root.filePath("data"));
        env.insert("NERIDAL_TEST_LOG", log);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        return env;
    }
    void Start(QProcess& p, const QStringList& args, const QString& cwd) {
        p.setProcessEnvironment(Env());
        p.setWorkingDirectory(cwd);
        p.start(Executable(), args);
        ASSERT_TRUE(p.waitForStarted(10000));
    }
    QStringList Log() const {
        return QString::fromUtf8(ScopedRead(log)).split('\n', Qt::SkipEmptyParts);
    }
    static QByteArray ScopedRead(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool WaitForLog(int lines, int ms = 20000) const {
        QDeadlineTimer deadline(ms);
        while (Log().size() < lines && !deadline.hasExpired())
            QThread::msleep(50);
        return Log().size() >= lines;
    }
    // A second start: returns its exit status, -1 when it did not end in time.
    int Second(const QStringList& args, const QString& cwd) {
        QProcess p;
        Start(p, args, cwd);
        if (!p.waitForFinished(20000)) {
            p.kill();
            return -1;
        }
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    }
};

TEST_F(TwoProcessTest, SecondStartsHandTheirDocumentsToTheRunningInstance) {
    const QString a = WriteTestAlbum(albums + "A.PXA", 15000);  // gets a temporary copy
    const QString b = WriteTestAlbum(albums + "B.PXA", 30000);
    const QString c = WriteTestAlbum(albums + "C.PXA", 30000);
    Start(first, {a}, elsewhere);
    ASSERT_TRUE(WaitForLog(1)) << first.readAllStandardError().toStdString();
    EXPECT_EQ(Log(), QStringList({"open " + a}));
    EXPECT_TRUE(QFile::exists(TemporaryCopyPath(work, 0)));

    // Relative names, from the documents' folder: the running instance, whose
    // current folder is another, still opens them, in order.
    EXPECT_EQ(Second({"B.PXA", "missing.PXA", "C.PXA"}, albums), 0);
    EXPECT_EQ(Log(), QStringList({"open " + a, "raise", "open " + b, "raise", "open " + c}));

    EXPECT_EQ(Second({}, elsewhere), 0);
    EXPECT_EQ(Log().size(), 6);
    EXPECT_EQ(Log().value(5), "raise");

    EXPECT_EQ(Second({"missing.PXA", ""}, elsewhere), 0);
    EXPECT_EQ(Log().size(), 6);

    // Ended by a signal, as at logout: settings written, temporary copies gone.
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(20000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(TemporaryCopyPath(work, 0)));
    QIniFile ini(work + "NERIDAL.INI");
    EXPECT_TRUE(ini.ValueExists("View_Env", "StatusBar"));
    EXPECT_TRUE(ini.ValueExists("Sz_VMainForm", "szWidth"));
    // Nothing else was written outside the documents.
    QStringList written = QDir(work).entryList(QDir::Files | QDir::System | QDir::Hidden);
    written.removeAll("NERIDAL.INI");
    EXPECT_TRUE(written.isEmpty()) << written.join(' ').toStdString();
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
    EXPECT_EQ(QDir(albums).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList({"A.PXA", "B.PXA", "C.PXA"}));
}

TEST_F(TwoProcessTest, ACrashedInstanceDoesNotBlockTheNextStart) {
    const QString a = WriteTestAlbum(albums + "A.PXA", 30000);
    Start(first, {a}, elsewhere);
    ASSERT_TRUE(WaitForLog(1));
    first.kill();  // no clean-up at all: lock file and socket stay behind
    first.waitForFinished(5000);
    ASSERT_TRUE(QFile::exists(InstanceLockPath(work)));

    QProcess next;
    Start(next, {a}, elsewhere);
    EXPECT_TRUE(WaitForLog(2));
    EXPECT_EQ(Log().value(1), "open " + a);
    next.terminate();
    EXPECT_TRUE(next.waitForFinished(20000));
}

TEST_F(TwoProcessTest, WithoutArgumentsOrCompanionTheAboutBoxIsShown) {
    Start(first, {}, elsewhere);
    ASSERT_TRUE(WaitForLog(1));
    EXPECT_EQ(Log(), QStringList({"about"}));
    // While the about box is up, a hand-over changes nothing.
    const QString b = WriteTestAlbum(albums + "B.PXA", 30000);
    EXPECT_EQ(Second({b}, elsewhere), 0);
    EXPECT_EQ(Log(), QStringList({"about"}));
    first.terminate();
    EXPECT_TRUE(first.waitForFinished(20000));
    EXPECT_EQ(first.exitCode(), 0);
}

}  // namespace
