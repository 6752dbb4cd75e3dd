// 印刷 from the document window: the dialog offers displayed page numbers and
// the chosen pages print; a second command during a job only beeps.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "document/album_document.h"
#include "printing/print_dialogs.h"
#include "printing/prn_form.h"
#include "support/pdf_printer_device.h"
#include "viewer/pro_form.h"
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
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    InstalledPdfPrinter printer(pdf);
    TViewForm* view = frame.Open(WriteTestAlbum(dir, album));
    ASSERT_TRUE(view);
    int lowest = 0, highest = 0;
    view->PrinterEnv->runDialog = [&](QDialog& shown) {
        auto& dialog = static_cast<QPrintDialog&>(shown);
        lowest = dialog.minPage();
        highest = dialog.maxPage();
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
    EXPECT_TRUE(printer.errors.empty());
    EXPECT_FALSE(view->showPrintableArea());

    // Cancelled dialog: nothing printed.
    QFile::remove(pdf);
    view->PrinterEnv->runDialog = [](QDialog&) { return int(QDialog::Rejected); };
    view->PrnBtnClick();
    EXPECT_FALSE(QFileInfo::exists(pdf));
    EXPECT_FALSE(view->showPrintableArea());
}

TEST(PrintCommand, CancelDuringPageTwoAbandonsTheJobAndRestoresThePage) {
    QTemporaryDir dir;
    FakeFrame frame;
    MessageRecorder recorder;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    InstalledPdfPrinter printer(pdf);
    TViewForm* view = frame.Open(WriteTestAlbum(dir, TestAlbum{}));
    ASSERT_TRUE(view);
    view->ChangePage(4);
    view->PrinterEnv->runDialog = [](QDialog&) { return int(QDialog::Accepted); };
    TPrnForm& progress = TPrnForm::Instance();
    QStringList captions;
    std::vector<int> pagesShown;
    const QMetaObject::Connection watch =
        QObject::connect(&progress, &QWidget::windowTitleChanged, [&](const QString& title) {
            captions << title;
            pagesShown.push_back(view->currentPage());
            if (title.endsWith(QStringLiteral("2/5"))) progress.ButtonClick();
        });
    view->PrnBtnClick();
    QObject::disconnect(watch);
    EXPECT_FALSE(captions.filter(QStringLiteral("2/5")).isEmpty());
    EXPECT_TRUE(captions.filter(QStringLiteral("3/5")).isEmpty());
    // The window followed the job and came back to the page it showed.
    EXPECT_EQ(pagesShown.front(), 4);
    EXPECT_EQ(view->currentPage(), 4);
    EXPECT_FALSE(view->PrinterEnv->IsPrinting());
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(PrinterSetupCommand, APaperChosenThereBecomesTheDocumentsAndTheSameOneChangesNothing) {
    QTemporaryDir dir;
    FakeFrame frame;
    InstalledPdfPrinter printer(dir.filePath(QStringLiteral("unused.pdf")));
    TViewForm* view = frame.Open(WriteTestAlbum(dir, TestAlbum{}));
    ASSERT_TRUE(view);
    const SheetGeometry before = view->sheetGeometry();

    view->PrinterEnv->runDialog = [](QDialog&) { return int(QDialog::Accepted); };
    view->S1Click();  // A4 portrait pushed in and accepted as it is
    EXPECT_EQ(view->sheetGeometry().paper.code, 9);
    EXPECT_EQ(view->sheetGeometry().paper.widthMm, 210);
    EXPECT_EQ(view->sheetGeometry().paperPixels, before.paperPixels);

    view->PrinterEnv->runDialog = [](QDialog& shown) {
        static_cast<prn::QPrinterSetupDialog&>(shown).printer()->setPageLayout(
            QPageLayout(QPageSize(QPageSize::A3), QPageLayout::Landscape, QMarginsF()));
        return int(QDialog::Accepted);
    };
    view->S1Click();
    EXPECT_EQ(view->sheetGeometry().paper, (DocumentPaper{8, 1, 420, 297}));
    EXPECT_EQ(view->sheetGeometry().paperPixels.width(),
              MmToScreenPixels(WholeMm(420), view->logicalDpiY()));
    // The window adopted the paper; the album as read from its file is unchanged.
    EXPECT_EQ(view->document()->settings.paperCode, 9);
    EXPECT_EQ(view->document()->settings.paperWidth, 210);
    // The information dialog tells the paper the window now uses.
    TProForm info;
    info.setDocumentWindow(view);
    info.show();
    EXPECT_TRUE(info.LB_Paper->text().contains(QStringLiteral(" 横置 ")));
    EXPECT_TRUE(info.LB_Paper->text().endsWith(QStringLiteral(" 42.0cm × 29.7cm")))
        << info.LB_Paper->text().toStdString();
    EXPECT_TRUE(printer.errors.empty());
}

}  // namespace
