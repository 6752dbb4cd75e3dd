// 印刷 from the document window: the dialog offers displayed page numbers and
// the chosen pages print; a second command during a job only beeps.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "viewer/view_form.h"
#include "viewer_fixture.h"

namespace {

int PdfPages(const QString& pdf) {
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(60000);
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                          .match(QString::fromUtf8(info.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

TEST(PrintCommand, TheDialogOffersDisplayedNumbersAndTheChosenPagesPrint) {
    QTemporaryDir dir;
    FakeFrame frame;
    MessageRecorder recorder;
    TestAlbum album;
    album.pages = 10;
    album.pageNumberOffset = 4;
    TViewForm* view = frame.Open(WriteTestAlbum(dir, album));
    ASSERT_TRUE(view);
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    int lowest = 0, highest = 0;
    view->execPrintDialog = [&](QPrintDialog& dialog) {
        lowest = dialog.minPage();
        highest = dialog.maxPage();
        dialog.printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog.printer()->setOutputFileName(pdf);
        dialog.printer()->setPrintRange(QPrinter::PageRange);
        dialog.printer()->setFromTo(7, 8);  // displayed numbers: page indexes 3 and 4
        return int(QDialog::Accepted);
    };
    view->PrnBtnClick();
    EXPECT_EQ(lowest, 5);
    EXPECT_EQ(highest, 14);
    EXPECT_EQ(PdfPages(pdf), 2);
    EXPECT_EQ(view->currentPage(), 1);
    EXPECT_TRUE(recorder.messages.empty());

    // Cancelled dialog: nothing printed.
    QFile::remove(pdf);
    view->execPrintDialog = [](QPrintDialog&) { return int(QDialog::Rejected); };
    view->PrnBtnClick();
    EXPECT_FALSE(QFileInfo::exists(pdf));
}

}  // namespace
