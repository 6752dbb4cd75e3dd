// A damaged album in the window: its damaged pages say so when they are shown,
// and its intact pages stay usable.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QProcess>

#include "document/album_fixture.h"
#include "support/test_support.h"
#include "viewer/view_form.h"
#include "viewer/view_widgets.h"
#include "viewer_fixture.h"

namespace {

const QString kDamaged = QStringLiteral("書類が壊れているため読み込めません。 > ");

class DamagedPagesTest : public testing::Test {
protected:
    // The album at `path` rewritten by `change`, given the file and its page
    // records (offsets in the file, or in the body for format 1.x).
    template <typename Change>
    void Rewrite(const QString& path, Change change) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray whole = file.readAll();
        file.close();
        LoadError error;
        auto doc = OpenAlbum(path, OpenOptions{dir.path() + QLatin1Char('/')}, &error);
        ASSERT_TRUE(doc) << error.reason.toStdString();
        const QByteArray changed = change(whole, doc->pages);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(changed);
    }

    // The page's sheet as painted: white when no picture is shown.
    static bool SheetIsBlank(TViewForm* view) {
        const QImage image = view->PaintBox->grab().toImage();
        for (int y = 0; y < image.height(); y += 4) {
            for (int x = 0; x < image.width(); x += 4) {
                if (image.pixel(x, y) != qRgb(255, 255, 255)) return false;
            }
        }
        return true;
    }

    QTemporaryDir dir;
    FakeFrame frame;
    MessageRecorder recorder;
};

QByteArray FlipFirstByteOfPage(QByteArray file, const std::vector<TPageEntry>& pages, int page) {
    const auto at = qsizetype(pages[size_t(page)].offset);
    file[at] = char(file[at] ^ 0x01);
    return file;
}

TEST_F(DamagedPagesTest, DamagedPageInTheMiddleKeepsTheWindowOnItsPage) {
    const QString path = WriteTestAlbum(dir, TestAlbum{}, QStringLiteral("MIDDLE"));
    Rewrite(path, [](const QByteArray& file, const std::vector<TPageEntry>& pages) {
        return FlipFirstByteOfPage(file, pages, 3);
    });
    TViewForm* view = frame.Open(path);
    ASSERT_TRUE(view);
    EXPECT_TRUE(recorder.messages.empty());
    view->ChangePage(2);
    view->ChangePage(3);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].first, MessageKind::Error);
    EXPECT_EQ(recorder.messages[0].second, kDamaged + QStringLiteral("MIDDLE.PXA"));
    EXPECT_EQ(view->currentPage(), 2);
    EXPECT_FALSE(SheetIsBlank(view));
    view->ChangePage(4);
    EXPECT_EQ(view->currentPage(), 4);
    EXPECT_EQ(recorder.messages.size(), 1u);
    EXPECT_FALSE(SheetIsBlank(view));
}

TEST_F(DamagedPagesTest, DamagedFirstPageOpensOnAnEmptySheetWhenOthersAreIntact) {
    const QString path = WriteTestAlbum(dir, TestAlbum{}, QStringLiteral("FIRST"));
    Rewrite(path, [](const QByteArray& file, const std::vector<TPageEntry>& pages) {
        return FlipFirstByteOfPage(file, pages, 1);
    });
    TViewForm* view = frame.Open(path);
    ASSERT_TRUE(view);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].second, kDamaged + QStringLiteral("FIRST.PXA"));
    EXPECT_EQ(view->currentPage(), 1);
    EXPECT_TRUE(view->PL_Paper->isVisible());
    EXPECT_TRUE(SheetIsBlank(view));
    view->ChangePage(2);
    EXPECT_EQ(view->currentPage(), 2);
    EXPECT_FALSE(SheetIsBlank(view));

    // With no intact page at all the album is refused, as before.
    TestAlbum single;
    single.pages = 1;
    const QString lone = WriteTestAlbum(dir, single, QStringLiteral("LONE"));
    Rewrite(lone, [](const QByteArray& file, const std::vector<TPageEntry>& pages) {
        return FlipFirstByteOfPage(file, pages, 1);
    });
    recorder.messages.clear();
    EXPECT_FALSE(frame.Open(lone));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].second, kDamaged + QStringLiteral("LONE.PXA"));
}

TEST_F(DamagedPagesTest, FormatOneBodyCutInsideAPageOpensWithThePagesBefore) {
    AlbumDraft draft = BasicDraft("RTB", 50000, 4);
    const QString path = dir.filePath(QStringLiteral("CUT.PXB"));
    ASSERT_TRUE(WriteAlbumFile(path, draft));
    Rewrite(path, [](const QByteArray& file, const std::vector<TPageEntry>& pages) {
        const QByteArray cut =
            PartialBodyStream(InflatedBody(file), pages[3].offset + 10, Ending::Cut);
        return file.left(kHeaderSize) + cut;
    });
    TViewForm* view = frame.Open(path);
    ASSERT_TRUE(view);
    EXPECT_TRUE(recorder.messages.empty());
    view->ChangePage(2);
    EXPECT_EQ(view->currentPage(), 2);
    for (const int damaged : {3, 4}) {
        recorder.messages.clear();
        view->ChangePage(damaged);
        ASSERT_EQ(recorder.messages.size(), 1u) << damaged;
        EXPECT_EQ(recorder.messages[0].second, kDamaged + QStringLiteral("CUT.PXB"));
        EXPECT_EQ(view->currentPage(), 2);
    }
    recorder.messages.clear();
    view->ChangePage(1);
    EXPECT_EQ(view->currentPage(), 1);
    EXPECT_TRUE(recorder.messages.empty());
}

// neridal-tool thumbnail draws page 1 of an album damaged only further on.
TEST(DamagedAlbumThumbnail, PageOneOfAnAlbumDamagedLaterOn) {
    QTemporaryDir dir;
    const QString tool = binaryDir() + QStringLiteral("/neridal-tool");
    ASSERT_TRUE(QFileInfo::exists(tool)) << "neridal-tool is missing: " << tool.toStdString();
    struct Case {
        const char* name;
        Scaled version;
    };
    for (const Case& c : {Case{"PAGES.PXA", 30000}, Case{"BODY.PXA", 15000}}) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(WriteAlbumFile(path, BasicDraft("PXA", c.version, 4)));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const QByteArray whole = file.readAll();
        LoadError error;
        auto doc = OpenAlbum(path, OpenOptions{dir.path() + QLatin1Char('/')}, &error);
        ASSERT_TRUE(doc) << error.reason.toStdString();
        // Pages 3 and 4 are lost.
        const qint64 page3 = doc->pages[3].offset;
        const QByteArray damaged =
            c.version == 30000 ? whole.left(page3 + 5)
                               : whole.left(kHeaderSize) +
                                     PartialBodyStream(InflatedBody(whole), page3 + 5, Ending::Cut);
        ASSERT_TRUE(file.resize(0));
        ASSERT_TRUE(file.seek(0));
        file.write(damaged);
        file.close();

        const QString out = dir.filePath(QStringLiteral("page1.png"));
        QFile::remove(out);
        QProcess p;
        p.start(tool, {QStringLiteral("thumbnail"), path, out, QStringLiteral("--size"),
                       QStringLiteral("128")});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        EXPECT_EQ(QImage(out).size(), QSize(90, 128));
    }
}

}  // namespace
