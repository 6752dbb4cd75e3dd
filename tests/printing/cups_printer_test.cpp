// The printer environment on the real CUPS queue that the set-up installs:
// its paper list carries Windows paper codes, a paper and orientation go in
// together, and the measurements follow them.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTransform>
#include <algorithm>

#include "printing/print_dialogs.h"
#include "printing/printer_env.h"
#include "support/test_support.h"

namespace {

const QString kTestPrinter = QStringLiteral("NeridalTestPrinter");

TEST(CupsPrinter, PapersSettingsAndMeasurementsOfTheTestQueue) {
    ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(kTestPrinter))
        << "the set-up's CUPS queue " << kTestPrinter.toStdString() << " is missing";
    SetProcessPrinterDevice(nullptr);
    std::vector<PrinterErrorKind> errors;
    const PrinterErrorFunction previous =
        SetPrinterErrorFunction([&](PrinterErrorKind k) { errors.push_back(k); });
    TPrinterEnv env;
    env.PrinterObject()->setPrinterName(kTestPrinter);
    EXPECT_EQ(env.PrinterIndex(), QPrinterInfo::availablePrinterNames().indexOf(kTestPrinter));
    env.RefreshCapabilities();
    ASSERT_GT(env.PaperCount(), 0);
    const int a4 = env.FindPaper(9);
    const int a3 = env.FindPaper(8);
    ASSERT_GE(a4, 0);
    ASSERT_GE(a3, 0);

    TPaperSettings settings;
    ASSERT_TRUE(env.ReadPaperSettings(settings));
    settings.PaperCode = 8;
    settings.Orientation = 1;
    ASSERT_TRUE(env.ApplyPaperSettings(settings));
    EXPECT_EQ(env.CurrentPaperIndex(), a3);
    EXPECT_EQ(env.GetOrientation(), 1);
    EXPECT_EQ(env.PhysicalWidthMm(), WholeMm(420));
    EXPECT_EQ(env.PhysicalHeightMm(), WholeMm(297));

    env.SelectPaper(a4);
    env.SetOrientation(0);
    EXPECT_EQ(env.CurrentPaperIndex(), a4);
    EXPECT_EQ(env.PhysicalWidthMm(), WholeMm(210));
    const auto [offsetX, offsetY] = env.PhysicalOffsetMm();
    EXPECT_GE(offsetX, 0);
    EXPECT_GE(offsetY, 0);
    EXPECT_GT(env.PrintableWidthMm(), 0);
    EXPECT_LE(offsetX + env.PrintableWidthMm(), WholeMm(210));
    EXPECT_LE(offsetY + env.PrintableHeightMm(), WholeMm(297));
    EXPECT_TRUE(errors.empty());
    SetPrinterErrorFunction(previous);
}

TEST(CupsPrinter, TheSetupDialogSetsPrinterPaperAndOrientationTogether) {
    ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(kTestPrinter));
    SetProcessPrinterDevice(nullptr);
    TPrinterEnv env;
    env.runDialog = [](QDialog& shown) {
        auto& dialog = static_cast<prn::QPrinterSetupDialog&>(shown);
        dialog.show();  // filled from the printer object
        dialog.PrinterBox->setCurrentText(kTestPrinter);
        const int a3 = dialog.PaperBox->findText(QStringLiteral("A3"));
        if (a3 < 0) return int(QDialog::Rejected);
        dialog.PaperBox->setCurrentIndex(a3);
        dialog.LandscapeButton->setChecked(true);
        dialog.accept();
        return dialog.result();
    };
    ASSERT_TRUE(env.SetupDialog().Execute());
    EXPECT_EQ(env.PrinterObject()->printerName(), kTestPrinter);
    EXPECT_EQ(env.PaperCode(env.CurrentPaperIndex()), 8);
    EXPECT_EQ(env.GetOrientation(), 1);
    EXPECT_EQ(env.PhysicalWidthMm(), WholeMm(420));
    SetProcessPrinterDevice(nullptr);
}

}  // namespace

namespace {

struct ToolRun {
    int status = -1;
    QString out, err;
};

ToolRun Start(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(180000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// Where the queue's PDF driver writes the jobs of this user.
QString QueueOutputFolder() {
    return QDir::home().filePath(QStringLiteral("PDF"));
}

// The queue's output files for documents named `stem`, in job order.
QStringList JobFiles(const QString& stem) {
    QStringList files =
        QDir(QueueOutputFolder()).entryList({stem + QStringLiteral("*.pdf")}, QDir::Files);
    const QRegularExpression job(QStringLiteral("job_(\\d+)"));
    std::sort(files.begin(), files.end(), [&](const QString& a, const QString& b) {
        return job.match(a).captured(1).toInt() < job.match(b).captured(1).toInt();
    });
    for (QString& f : files)
        f = QDir(QueueOutputFolder()).filePath(f);
    return files;
}

double ImageScore(const QString& a, const QString& b) {
    const ToolRun diff = Start(QStringLiteral("/usr/bin/python3"),
                               {sharedDir() + QStringLiteral("/tools/imgdiff.py"), a, b});
    return diff.out.trimmed().split('\n').last().toDouble();
}

TEST(CupsPrinter, AThreePageAlbumWithMarginsAndATurnedPagePrintsThroughTheQueue) {
    const QString tool = binaryDir() + QStringLiteral("/neridal-tool");
    const QString sample = binaryDir() + QStringLiteral("/sample/SAMPLE.PXA");
    ASSERT_TRUE(QFileInfo::exists(tool)) << tool.toStdString();
    ASSERT_TRUE(QFileInfo::exists(sample)) << sample.toStdString();
    ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(kTestPrinter));
    QTemporaryDir dir;
    // Sample pages 1 and 2 upright, its landscape page 4 as the turned page 2.
    QStringList pages;
    for (const char* page : {"1", "4", "2"}) {
        pages << dir.filePath(QStringLiteral("p%1.emf").arg(page));
        ASSERT_EQ(Start(tool, {"save", sample, "--page", page, "--out", pages.last()}).status, 0);
    }
    const QString stem = QStringLiteral("Q%1").arg(QDateTime::currentMSecsSinceEpoch());
    const QString album = dir.filePath(stem + QStringLiteral(".PXA"));
    ASSERT_EQ(Start(tool, QStringList{"pack", album, "--paper", "210:297:9", "--margins",
                                      "5,5,10,0", "--turned", "2"} +
                              pages)
                  .status,
              0);
    const ToolRun print = Start(tool, {"print", album, "--printer", kTestPrinter});
    ASSERT_EQ(print.status, 0) << print.err.toStdString();
    // One job per run of orientation: upright, turned, upright.
    QStringList jobs;
    for (int wait = 0; wait < 240 && jobs.size() < 3; ++wait) {
        QThread::msleep(500);
        jobs = JobFiles(stem);
    }
    ASSERT_EQ(jobs.size(), 3) << "the queue wrote " << jobs.join(' ').toStdString();

    const QString ours = dir.filePath(QStringLiteral("ours.pdf"));
    ASSERT_EQ(Start(tool, {"print", album, "--pdf", ours}).status, 0);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i + 1);
        const ToolRun info = Start(QStringLiteral("pdfinfo"), {jobs[i]});
        EXPECT_TRUE(info.out.contains(QRegularExpression(QStringLiteral("Pages:\\s+1"))));
        // The queue's sheet is A4 upright; a landscape job is turned onto it.
        EXPECT_TRUE(info.out.contains(QRegularExpression(QStringLiteral("595(\\.\\d+)? x 84[12]"))))
            << info.out.toStdString();
        const QString printed = dir.filePath(QStringLiteral("queue%1").arg(i));
        const QString expected = dir.filePath(QStringLiteral("ours%1").arg(i));
        ASSERT_EQ(
            Start(QStringLiteral("pdftoppm"), {"-r", "30", "-png", "-singlefile", jobs[i], printed})
                .status,
            0);
        const QString page = QString::number(i + 1);
        ASSERT_EQ(Start(QStringLiteral("pdftoppm"),
                        {"-r", "30", "-png", "-singlefile", "-f", page, "-l", page, ours, expected})
                      .status,
                  0);
        QImage sheet(printed + QStringLiteral(".png"));
        if (i == 1) sheet = sheet.transformed(QTransform().rotate(90));
        sheet.save(printed + QStringLiteral(".png"));
        // The picture lands where the PDF output puts it, margins included.
        EXPECT_GT(ImageScore(expected + QStringLiteral(".png"), printed + QStringLiteral(".png")),
                  0.95);
    }
    for (const QString& job : jobs)
        QFile::remove(job);
}

}  // namespace
