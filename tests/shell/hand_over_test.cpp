#include "shell/hand_over.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSysInfo>
#include <atomic>
#include <thread>

#include <sys/socket.h>
#include <unistd.h>

#include "shell/single_instance.h"
#include "shell_fixture.h"

namespace {

HandOverMessage Message(quint32 code, const QByteArray& data) {
    return {code, data};
}

TEST(HandOverWire, RoundTripsAndRejectsMalformedInput) {
    const HandOverMessage m = Message(1, QByteArray("/tmp/a b.PXA\0", 13));
    const QByteArray wire = EncodeHandOver(m);
    HandOverMessage out;
    qsizetype used = 0;
    EXPECT_EQ(DecodeHandOver(wire, &out, &used), HandOverDecode::Complete);
    EXPECT_EQ(used, wire.size());
    EXPECT_EQ(out.code, 1u);
    EXPECT_EQ(HandOverText(out), "/tmp/a b.PXA");
    for (qsizetype cut : {0, 2, 11, 12, 20})
        EXPECT_EQ(DecodeHandOver(wire.left(cut), &out, &used), HandOverDecode::NeedMore) << cut;

    EXPECT_EQ(DecodeHandOver("XRDL", &out, &used), HandOverDecode::Invalid);
    QByteArray huge = EncodeHandOver(Message(1, "x"));
    huge[8] = char(0xFF);
    huge[9] = char(0xFF);
    huge[10] = char(0xFF);
    EXPECT_EQ(DecodeHandOver(huge, &out, &used), HandOverDecode::Invalid);
}

TEST(HandOverWire, RandomBytesNeverCrashTheDecoder) {
    QRandomGenerator random(5);
    for (int i = 0; i < 3000; ++i) {
        QByteArray bytes(random.bounded(40), '\0');
        for (char& b : bytes)
            b = char(random.bounded(256));
        if (i % 2) bytes.prepend("NRDL");
        HandOverMessage out;
        qsizetype used = 0;
        if (DecodeHandOver(bytes, &out, &used) == HandOverDecode::Complete) {
            EXPECT_LE(used, bytes.size());
            EXPECT_LE(out.data.size(), qsizetype(kMaxHandOverBytes));
            HandOverText(out);
        }
    }
}

TEST(HandOverWire, TextStopsAtTheFirstZeroAndNeverPassesCbData) {
    EXPECT_EQ(HandOverText(Message(1, QByteArray("ab\0cd", 5))), "ab");
    EXPECT_EQ(HandOverText(Message(1, "abc")), "abc");  // no terminator at all
    EXPECT_EQ(HandOverText(Message(1, QByteArray())), "");
}

TEST(HandOverRules, WhatTheRunningFrameDoes) {
    struct Case {
        quint32 code;
        QByteArray data;
        bool foreignActive;
        HandOverStep step;
    } cases[] = {
        {1, QByteArray("/a.PXA\0", 7), false, HandOverStep::RaiseAndOpen},
        {1, QByteArray("/a.PXA\0", 7), true, HandOverStep::Ignore},
        {1, QByteArray("\0", 1), false, HandOverStep::Raise},
        {2, QByteArray("*\0", 2), false, HandOverStep::Raise},
        {2, QByteArray("*\0", 2), true, HandOverStep::Ignore},
        {0, QByteArray("/a.PXA\0", 7), false, HandOverStep::Ignore},
        {3, QByteArray("/a.PXA\0", 7), false, HandOverStep::Ignore},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecideHandOver(Message(c.code, c.data), c.foreignActive), c.step)
            << c.code << " " << c.foreignActive;
}

TEST(HandOverRules, SecondStartSendsExistingFilesAsAbsolutePaths) {
    ScopedWorkFolder work;
    ScopedWorkFolder::Touch(work.root() + "a.PXA");
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(work.root());
    const QList<HandOverMessage> messages =
        HandOverMessagesFor({"a.PXA", "", "missing.PXA", work.root() + "a.PXA", "prog"});
    const QList<HandOverMessage> none = HandOverMessagesFor({"missing.PXA"});
    QDir::setCurrent(oldCwd);
    ASSERT_EQ(messages.size(), 2);
    for (const HandOverMessage& m : messages) {
        EXPECT_EQ(m.code, kHandOverOpen);
        EXPECT_TRUE(m.data.endsWith('\0'));
        EXPECT_EQ(HandOverText(m), QFileInfo(work.root() + "a.PXA").absoluteFilePath());
    }
    EXPECT_TRUE(none.isEmpty());
    const QList<HandOverMessage> raise = HandOverMessagesFor({});
    ASSERT_EQ(raise.size(), 1);
    EXPECT_EQ(raise[0].code, kHandOverRaise);
    EXPECT_EQ(raise[0].data, QByteArray("*\0", 2));
}

// Runs `send` on another thread while this thread serves the events, as the
// running instance's loop would.
template <typename F>
void WhileServing(F send) {
    std::atomic<bool> done = false;
    std::thread sender([&] {
        send();
        done = true;
    });
    QDeadlineTimer deadline(20000);
    while (!done && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    sender.join();
}

TEST(HandOverServer, AnswersEachMessageAfterHandlingItAndSurvivesBadClients) {
    ScopedWorkFolder work;
    const QString name = HandOverServerName(work.work());
    QStringList handled;
    HandOverServer server([&](const HandOverMessage& m) {
        handled << QString::number(m.code) + ":" + HandOverText(m);
    });
    ASSERT_TRUE(server.Listen(name));
    bool first = false, second = false;
    WhileServing([&] {
        QLocalSocket junk;  // garbage, then a half message that stalls
        junk.connectToServer(name);
        junk.waitForConnected(1000);
        junk.write("GARBAGE-GARBAGE");
        junk.waitForBytesWritten(1000);
        QLocalSocket stalled;
        stalled.connectToServer(name);
        stalled.waitForConnected(1000);
        stalled.write(EncodeHandOver(Message(1, "/x.PXA")).left(14));
        stalled.waitForBytesWritten(1000);
        first = SendHandOver(name, Message(1, QByteArray("/one.PXA\0", 9)));
        second = SendHandOver(name, Message(2, QByteArray("*\0", 2)));
    });
    EXPECT_TRUE(first);
    EXPECT_TRUE(second);
    EXPECT_EQ(handled, QStringList({"1:/one.PXA", "2:*"}));
}

TEST(HandOverServer, NoServerMeansNothingIsSent) {
    ScopedWorkFolder work;
    EXPECT_FALSE(SendHandOver(HandOverServerName(work.work()), Message(2, "*")));
}

TEST(HandOverServer, LongWorkFoldersUseAnAbstractName) {
    const QString longFolder = "/tmp/" + QString(120, 'x') + "/";
    const QString name = HandOverServerName(longFolder);
    EXPECT_TRUE(IsAbstractHandOverName(name));
    EXPECT_EQ(name, HandOverServerName(longFolder));
    EXPECT_NE(name, HandOverServerName("/tmp/" + QString(121, 'x') + "/"));
    HandOverServer server([](const HandOverMessage&) {});
    ASSERT_TRUE(server.Listen(name));
    bool sent = false;
    WhileServing([&] { sent = SendHandOver(name, Message(2, "*")); });
    EXPECT_TRUE(sent);
}

TEST(HandOverServer, PeersOfAnotherUserAreDroppedUnreadWhateverTheSocketKind) {
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    EXPECT_EQ(PeerUser(fds[0]), std::optional<quint32>(quint32(geteuid())));
    close(fds[0]);
    close(fds[1]);
    EXPECT_EQ(PeerUser(-1), std::nullopt);

    // The running instance serves only its own user: here it is told to be
    // someone else, so this process's connections count as a foreign user's.
    ScopedWorkFolder work;
    const QString longFolder = work.root() + QString(120, 'x') + "/";
    for (const QString& name : {HandOverServerName(work.work()), HandOverServerName(longFolder)}) {
        int handled = 0;
        HandOverServer server([&](const HandOverMessage&) { ++handled; });
        server.SetPeerUser(quint32(geteuid()) + 1);
        ASSERT_TRUE(server.Listen(name));
        bool sent = true;
        WhileServing([&] { sent = SendHandOver(name, Message(1, QByteArray("/x.PXA\0", 7))); });
        EXPECT_FALSE(sent) << name.toStdString();
        EXPECT_EQ(handled, 0) << name.toStdString();
    }
}

TEST(InstanceLock, OnlyOneHolderAndStaleLocksDoNotCount) {
    ScopedWorkFolder work;
    {
        InstanceLock first(work.work());
        InstanceLock second(work.work());
        EXPECT_TRUE(first.Acquire());
        EXPECT_FALSE(second.Acquire());
        first.Release();
        EXPECT_TRUE(second.Acquire());
    }
    // A lock left by a process that no longer runs.
    ScopedWorkFolder::Touch(InstanceLockPath(work.work()),
                            "2147483646\n" + QCoreApplication::applicationName().toUtf8() + "\n" +
                                QSysInfo::machineHostName().toUtf8() + "\n");
    InstanceLock next(work.work());
    EXPECT_TRUE(next.Acquire());
}

}  // namespace
