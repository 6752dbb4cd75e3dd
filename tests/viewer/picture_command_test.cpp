// neridal-tool picture --trace: the records a picture leaves out, counted.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "metafile/emf_writer.h"
#include "support/test_support.h"

namespace {

QString Tool() {
    const QString top = binaryDir() + QStringLiteral("/neridal-tool");
    return QFileInfo::exists(top) ? top : binaryDir() + QStringLiteral("/src/tool/neridal-tool");
}

// A page with a rectangle, two comments (not drawn), a record type GDI does
// not define and a rectangle cut short.
QByteArray PageWithSkippedRecords() {
    mf::EmfWriter w(QSizeF(20, 20));
    w.Rectangle(QRect(10, 10, 20, 20));
    mf::EmfRecord comment(mf::emr::GdiComment);
    comment.u32(4).u32(0);
    w.Add(comment);
    w.Add(comment);
    mf::EmfRecord unknown(200);
    w.Add(unknown.u32(0));
    mf::EmfRecord cut(mf::emr::Rectangle);
    w.Add(cut.i32(0).i32(0));
    return w.Finish();
}

TEST(PictureCommand, TraceCountsTheRecordsLeftOutPerType) {
    ASSERT_TRUE(QFileInfo(Tool()).isExecutable()) << "neridal-tool is missing";
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("page.emf"));
    QFile file(in);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(PageWithSkippedRecords());
    file.close();

    for (const bool trace : {true, false}) {
        SCOPED_TRACE(trace ? "--trace" : "plain");
        QStringList args = {QStringLiteral("picture"), in, QStringLiteral("--out"),
                            dir.filePath(QStringLiteral("page.png"))};
        if (trace) args << QStringLiteral("--trace");
        QProcess p;
        p.start(Tool(), args);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        if (!trace) {
            EXPECT_FALSE(err.contains(QStringLiteral("left out"))) << err.toStdString();
            continue;
        }
        EXPECT_TRUE(err.contains(QStringLiteral("EMF GdiComment (70) unsupported: 2")))
            << err.toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("EMF record (200) unknown: 1")))
            << err.toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("EMF Rectangle (43) damaged: 1")))
            << err.toStdString();
        EXPECT_FALSE(err.contains(QStringLiteral("Rectangle (43) unsupported")));
    }
}

}  // namespace
