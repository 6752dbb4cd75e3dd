// マージン調整: the bars move the window's margins live, the page buttons act
// on the window, and 書込 changes only the header's margins, safely.
#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>

#include "document/album_document.h"
#include "support/pdf_printer_device.h"
#include "viewer/set_form.h"
#include "viewer/view_form.h"
#include "viewer_fixture.h"

namespace {

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SetFormTest : public ::testing::Test {
protected:
    SetFormTest() : printer(dir.filePath(QStringLiteral("unused.pdf"))), form(nullptr) {}

    TViewForm* Open() {
        path = WriteTestAlbum(dir, TestAlbum{});
        TViewForm* view = frame.Open(path);
        if (view) {
            form.setDocumentWindow(view);
            form.show();
        }
        return view;
    }

    QTemporaryDir dir;
    FakeFrame frame;
    MessageRecorder recorder;
    InstalledPdfPrinter printer;
    TSetForm form;
    QString path;
};

TEST_F(SetFormTest, BarsMoveTheMarginsAndWriteStoresMillimetresThatReadBackAsTheSamePixels) {
    TViewForm* view = Open();
    ASSERT_TRUE(view);
    ASSERT_EQ(view->logicalDpiY(), 96);
    const QByteArray before = FileBytes(path);
    form.TrackBar_Top->setValue(10);
    form.TrackBar_Bottom->setValue(-10);
    form.TrackBar_Left->setValue(50);
    form.TrackBar_Right->setValue(0);
    EXPECT_EQ(view->sheetGeometry().margins, (PageMargins{10, -10, 50, 0}));

    form.BitBtn3Click();
    ASSERT_EQ(recorder.messages.size(), 1u);  // the question, answered yes
    EXPECT_EQ(recorder.messages[0].second,
              QStringLiteral("ブラウザファイルに設定を記録しますか？"));
    const QByteArray after = FileBytes(path);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.left(12), before.left(12));
    EXPECT_EQ(after.mid(44), before.mid(44));
    const TAlbumHeader h = TAlbumHeader::Parse(after.constData());
    EXPECT_EQ(h.marginTop, 26000);
    EXPECT_EQ(h.marginBottom, -26000);
    EXPECT_EQ(h.marginLeft, 132000);
    EXPECT_EQ(h.marginRight, 0);

    TViewForm* again = frame.Open(path);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->sheetGeometry().margins, (PageMargins{10, -10, 50, 0}));

    // Reset, then write: four zeros.
    form.setDocumentWindow(view);
    form.BitBtn1Click();
    EXPECT_EQ(form.TrackBar_Left->value(), 0);
    EXPECT_EQ(view->sheetGeometry().margins.left, 0);
    form.BitBtn3Click();
    const TAlbumHeader zero = TAlbumHeader::Parse(FileBytes(path).constData());
    EXPECT_EQ(zero.marginTop, 0);
    EXPECT_EQ(zero.marginLeft, 0);
}

TEST_F(SetFormTest, PageButtonsMirrorTheToolbarAndActOnTheWindow) {
    TViewForm* view = Open();
    ASSERT_TRUE(view);
    form.TrackBar_Left->setValue(20);
    EXPECT_FALSE(form.StartBtn->isEnabled());
    EXPECT_FALSE(form.BackBtn->isEnabled());
    EXPECT_TRUE(form.NextBtn->isEnabled());
    form.NextBtnClick();
    EXPECT_EQ(view->currentPage(), 2);
    EXPECT_TRUE(form.BackBtn->isEnabled());
    form.EndBtnClick();
    EXPECT_EQ(view->currentPage(), 5);
    EXPECT_FALSE(form.EndBtn->isEnabled());
    EXPECT_EQ(view->sheetGeometry().margins.left, 20);  // margins stay with the window
}

TEST_F(SetFormTest, WriteIsRefusedForAReadOnlyFileAndForAFileThatIsNoLongerTheAlbum) {
    TViewForm* view = Open();
    ASSERT_TRUE(view);
    form.hide();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser);
    form.show();
    EXPECT_FALSE(form.BitBtn3->isEnabled());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    form.hide();
    form.show();
    EXPECT_TRUE(form.BitBtn3->isEnabled());

    // Another album put under the same name: its header stays as it is.
    TestAlbum other;
    other.pages = 2;
    QTemporaryDir otherDir;
    QFile::remove(path);
    ASSERT_TRUE(QFile::copy(WriteTestAlbum(otherDir, other), path));
    const QByteArray replaced = FileBytes(path);
    form.TrackBar_Top->setValue(5);
    form.BitBtn3Click();
    EXPECT_EQ(FileBytes(path), replaced);
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[1].first, MessageKind::Error);
    EXPECT_TRUE(recorder.messages[1].second.contains(path));
}

}  // namespace
