// The titles the window system receives: the real program on a private X
// server, its windows' names read back from the server.

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include "shell_fixture.h"
#include "support/test_support.h"

namespace {

// An X server of its own for one test, on a display number it picks itself.
class PrivateXServer {
public:
    PrivateXServer() {
        server_.start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!server_.waitForStarted(10000)) return;
        QDeadlineTimer deadline(10000);
        QByteArray out;
        while (!out.contains('\n') && !deadline.hasExpired()) {
            server_.waitForReadyRead(200);
            out += server_.readAllStandardOutput();
        }
        bool ok = false;
        const int number = out.trimmed().toInt(&ok);
        if (ok) display_ = QStringLiteral(":%1").arg(number);
    }
    ~PrivateXServer() {
        server_.terminate();
        if (!server_.waitForFinished(5000)) server_.kill();
    }
    QString display() const { return display_; }

    // What an X client prints on this server.
    QString Ask(const QString& program, const QStringList& args) const {
        QProcess client;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display_);
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        client.setProcessEnvironment(env);
        client.start(program, args);
        client.waitForFinished(10000);
        return QString::fromUtf8(client.readAllStandardOutput());
    }

    // The names of the server's top-level windows, also those a window
    // manager has framed.
    QStringList WindowNames() const {
        const QString tree =
            Ask(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
        static const QRegularExpression line(QStringLiteral(R"re(^\s+0x[0-9a-f]+ "(.*)": )re"));
        QStringList names;
        for (const QString& l : tree.split('\n')) {
            const QRegularExpressionMatch m = line.match(l);
            if (m.hasMatch()) names << m.captured(1);
        }
        return names;
    }

    // The size of the window named `name` with the frame its window manager
    // put around it.
    QSize OuterSize(const QString& name) const {
        const QString info = Ask(QStringLiteral("xwininfo"), {QStringLiteral("-name"), name});
        const QString id = QRegularExpression(QStringLiteral(R"re(Window id: (0x[0-9a-f]+))re"))
                               .match(info)
                               .captured(1);
        const int width = QRegularExpression(QStringLiteral(R"re(Width: (\d+))re"))
                              .match(info)
                              .captured(1)
                              .toInt();
        const int height = QRegularExpression(QStringLiteral(R"re(Height: (\d+))re"))
                               .match(info)
                               .captured(1)
                               .toInt();
        const QString extents =
            Ask(QStringLiteral("xprop"),
                {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")});
        const QRegularExpressionMatch e =
            QRegularExpression(QStringLiteral(R"re(= (\d+), (\d+), (\d+), (\d+))re"))
                .match(extents);
        if (!e.hasMatch()) return {};
        return {width + e.captured(1).toInt() + e.captured(2).toInt(),
                height + e.captured(3).toInt() + e.captured(4).toInt()};
    }

private:
    QProcess server_;
    QString display_;
};

class WindowTitlesTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    PrivateXServer x;
    QProcess program;

    void SetUp() override {
        ASSERT_TRUE(QFileInfo(Executable()).isExecutable()) << "neridal is missing";
        ASSERT_FALSE(x.display().isEmpty()) << "Xvfb did not start";
    }
    void TearDown() override { Stop(); }
    static QString Executable() { return binaryDir() + QStringLiteral("/neridal"); }

    void Start(const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), root.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), x.display());
        program.setProcessEnvironment(env);
        program.start(Executable(), args);
        ASSERT_TRUE(program.waitForStarted(10000));
    }
    void Stop() {
        if (program.state() == QProcess::NotRunning) return;
        program.kill();
        program.waitForFinished(5000);
    }
    // Waits until a window named `name` is up; returns every window name then.
    QStringList WaitForWindow(const QString& name) const {
        QDeadlineTimer deadline(20000);
        QStringList names = x.WindowNames();
        while (!names.contains(name) && !deadline.hasExpired()) {
            QThread::msleep(100);
            names = x.WindowNames();
        }
        return names;
    }
};

TEST_F(WindowTitlesTest, TitlesAreExactlyTheProgramsOwn) {
    struct Case {
        QStringList args;
        QStringList expected;  // window names that must all be up
    };
    const QString album = WriteTestAlbum(root.filePath(QStringLiteral("ALBUM.PXA")));
    const QString text = root.filePath(QStringLiteral("NOTE.TXT"));
    ScopedWorkFolder::Touch(text);
    const Case cases[] = {
        {{}, {QStringLiteral("アルバーノ"), QStringLiteral("バージョン情報")}},
        // A document window opens maximised and lends the frame its name.
        {{album}, {QStringLiteral("アルバーノ - [ALBUM]")}},
        // The refusal comes while the new window still stands in the frame.
        {{text}, {QStringLiteral("アルバーノ - [無題]"), QStringLiteral("情報")}},
    };
    for (const Case& c : cases) {
        Start(c.args);
        QStringList names;
        for (const QString& name : c.expected)
            names = WaitForWindow(name);
        for (const QString& name : c.expected)
            EXPECT_TRUE(names.contains(name))
                << name.toStdString() << " not among: " << names.join(" | ").toStdString();
        for (const QString& name : names)
            EXPECT_FALSE(name.contains(QStringLiteral(" — "))) << name.toStdString();
        Stop();
    }
}

// The frame's designed size is its size on the desktop, title bar and
// borders included, under a real window manager.
TEST_F(WindowTitlesTest, TheFramesSizeIncludesTheWindowManagersFrame) {
    QProcess manager;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), x.display());
    manager.setProcessEnvironment(env);
    manager.start(QStringLiteral("openbox"), {});
    ASSERT_TRUE(manager.waitForStarted(10000)) << "openbox is missing";
    QThread::msleep(500);
    Start({});
    WaitForWindow(QStringLiteral("バージョン情報"));
    QDeadlineTimer deadline(10000);
    QSize outer = x.OuterSize(QStringLiteral("アルバーノ"));
    while (outer != QSize(870, 640) && !deadline.hasExpired()) {
        QThread::msleep(100);
        outer = x.OuterSize(QStringLiteral("アルバーノ"));
    }
    EXPECT_EQ(outer, QSize(870, 640));
    Stop();
    manager.terminate();
    manager.waitForFinished(5000);
}

}  // namespace
