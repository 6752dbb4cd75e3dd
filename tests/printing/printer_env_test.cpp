// The printer environment against a device with a paper list of the test's
// choosing: paper substitution, the no-printer and failing-device paths,
// the measurements, the current environment and the dialogs' guards.
#include <gtest/gtest.h>

#include <QDialog>
#include <QPrinter>

#include "printing/print_dialogs.h"
#include "printing/printer_env.h"

namespace {

class FakeDevice : public PrinterDevice {
public:
    QStringList names{QStringLiteral("One"), QStringLiteral("Two")};
    QString current = QStringLiteral("Two");
    std::optional<std::vector<PaperEntry>> papers;
    std::optional<DeviceMode> mode = DeviceMode{};
    std::optional<DeviceMeasures> measures;
    std::vector<DeviceMode> applied;
    int papersAsked = 0;
    QPrinter printer{QPrinter::ScreenResolution};

    QStringList PrinterNames() const override { return names; }
    QString CurrentPrinterName() const override { return current; }
    std::optional<std::vector<PaperEntry>> Papers() override {
        ++papersAsked;
        return papers;
    }
    std::optional<DeviceMode> Mode() override { return mode; }
    bool SetMode(const DeviceMode& m) override {
        applied.push_back(m);
        mode = m;
        return true;
    }
    std::optional<DeviceMeasures> Measures() override { return measures; }
    QPrinter* Printer() override { return &printer; }
};

class PrinterEnvTest : public ::testing::Test {
protected:
    PrinterEnvTest() {
        auto owned = std::make_unique<FakeDevice>();
        device = owned.get();
        device->papers = std::vector<PaperEntry>{{QStringLiteral("A4"), 9, 2100, 2970},
                                                 {QStringLiteral("B5"), 13, 1820, 2570}};
        SetProcessPrinterDevice(std::move(owned));
        previous_ = SetPrinterErrorFunction([this](PrinterErrorKind k) { errors.push_back(k); });
    }
    ~PrinterEnvTest() override {
        SetPrinterErrorFunction(std::move(previous_));
        SetProcessPrinterDevice(nullptr);
        PaperSettings() = TPaperSettings{};
    }

    FakeDevice* device = nullptr;
    std::vector<PrinterErrorKind> errors;

private:
    PrinterErrorFunction previous_;
};

TEST_F(PrinterEnvTest, ApplyingAPaperTheDeviceLacksTakesAStandardPaperOfTheSameSizeOnly) {
    struct Case {
        const char* what;
        std::vector<PaperEntry> list;
        int asked;
        std::optional<int> applied;  // nothing: no change, false
    };
    const std::vector<Case> cases = {
        {"listed code", {{"A4", 9, 2100, 2970}}, 9, 9},
        {"A4 by size", {{"Letter", 1, 2159, 2794}, {"Plain A4", 70, 2100, 2970}}, 9, 70},
        {"only a user-defined 210 x 297", {{"Custom", 256, 2100, 2970}}, 9, std::nullopt},
        {"JIS B4 by the table's size", {{"B4", 300, 2500, 3540}}, 12, 300},
        {"a code outside 8..13", {{"A4", 9, 2100, 2970}}, 20, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        device->papers = c.list;
        device->applied.clear();
        TPrinterEnv env;
        env.RefreshCapabilities();
        TPaperSettings settings;
        settings.PaperCode = c.asked;
        settings.Orientation = 1;
        settings.Copies = 2;
        EXPECT_EQ(env.ApplyPaperSettings(settings), c.applied.has_value());
        if (c.applied) {
            ASSERT_EQ(device->applied.size(), 1u);
            EXPECT_EQ(device->applied[0].paperSize, *c.applied);
            EXPECT_EQ(device->applied[0].orientation, DeviceMode::kLandscape);
            EXPECT_EQ(device->applied[0].copies, 2);
        } else {
            EXPECT_TRUE(device->applied.empty());
        }
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(PrinterEnvTest, ACustomSizeIsWrittenOnlyWhenAskedForAndAStandardOneClearsIt) {
    device->papers->push_back({QStringLiteral("Custom"), kUserDefinedPaper, 0, 0});
    device->mode->paperWidth = 1234;
    device->mode->paperLength = 5678;
    TPrinterEnv env;
    TPaperSettings settings;
    settings.PaperCode = kUserDefinedPaper;
    settings.PaperWidth = 1000;
    settings.PaperLength = 2000;
    ASSERT_TRUE(env.ApplyPaperSettings(settings));
    EXPECT_EQ(device->mode->paperWidth, 1234);  // UseCustomSize not set
    settings.UseCustomSize = true;
    settings.UseSource = true;
    settings.Source = 7;
    ASSERT_TRUE(env.ApplyPaperSettings(settings));
    EXPECT_EQ(device->mode->paperWidth, 1000);
    EXPECT_EQ(device->mode->paperLength, 2000);
    EXPECT_EQ(device->mode->defaultSource, 7);
    settings.PaperCode = 9;
    ASSERT_TRUE(env.ApplyPaperSettings(settings));
    EXPECT_EQ(device->mode->paperWidth, 0);
    EXPECT_EQ(device->mode->paperLength, 0);

    // Reading back: orientation, copies and collation; the Use flags stay.
    device->mode->orientation = DeviceMode::kLandscape;
    device->mode->collate = 1;
    TPaperSettings read;
    read.UseCustomSize = true;
    ASSERT_TRUE(env.ReadPaperSettings(read));
    EXPECT_EQ(read.PaperCode, 9);
    EXPECT_EQ(read.Orientation, 1);
    EXPECT_TRUE(read.Collate);
    EXPECT_TRUE(read.UseCustomSize);
    device->mode->orientation = 0;  // neither: the record keeps its value
    ASSERT_TRUE(env.ReadPaperSettings(read));
    EXPECT_EQ(read.Orientation, 1);
}

TEST_F(PrinterEnvTest, SelectPaperAndCurrentPaperIndexGoThroughTheSharedSettings) {
    TPrinterEnv env;
    device->mode->paperSize = 9;
    EXPECT_EQ(env.CurrentPaperIndex(), 0);
    env.SelectPaper(1);
    EXPECT_EQ(device->mode->paperSize, 13);
    EXPECT_EQ(PaperSettings().PaperCode, 13);
    EXPECT_EQ(env.CurrentPaperIndex(), 1);
    device->applied.clear();
    env.SelectPaper(1);  // already that paper: nothing is applied
    EXPECT_TRUE(device->applied.empty());
    device->mode->paperSize = 42;  // a paper outside the list
    EXPECT_EQ(env.CurrentPaperIndex(), -1);
    EXPECT_EQ(env.PaperCode(env.CurrentPaperIndex()), 9);  // the first paper's code
}

TEST_F(PrinterEnvTest, WithoutAPrinterNothingIsAppliedAndTheListIsEmpty) {
    device->current.clear();
    TPrinterEnv env;
    EXPECT_EQ(env.PrinterIndex(), -1);
    TPaperSettings settings;
    EXPECT_FALSE(env.ReadPaperSettings(settings));
    EXPECT_FALSE(env.ApplyPaperSettings(settings));
    EXPECT_TRUE(errors.empty());  // those two stay quiet
    EXPECT_EQ(env.PaperCount(), 0);
    EXPECT_EQ(errors, std::vector<PrinterErrorKind>{PrinterErrorKind::SetupUnconfirmed});
    EXPECT_EQ(env.PaperCode(0), kFallbackPaperCode);
    EXPECT_EQ(env.PaperName(0), QString());
    EXPECT_EQ(env.CurrentPaperIndex(), -1);
    EXPECT_EQ(device->papersAsked, 0);
}

TEST_F(PrinterEnvTest, AFailingDeviceShowsTwoMessagesAndIsAskedAgainOnTheNextName) {
    device->papers.reset();
    TPrinterEnv env;
    EXPECT_EQ(env.PaperCount(), kPaperReadFailed);
    EXPECT_EQ(errors, (std::vector<PrinterErrorKind>{PrinterErrorKind::General,
                                                     PrinterErrorKind::SetupUnconfirmed}));
    EXPECT_EQ(env.PaperCount(), kPaperReadFailed);  // the count alone asks no more
    EXPECT_EQ(device->papersAsked, 1);
    device->papers = std::vector<PaperEntry>{{QStringLiteral("A5"), 11, 1480, 2100}};
    EXPECT_EQ(env.PaperName(5), QStringLiteral("A5"));
    EXPECT_EQ(device->papersAsked, 2);
    EXPECT_EQ(env.PaperCount(), 1);
}

TEST_F(PrinterEnvTest, MeasurementsAreWholeMillimetresOfTheDevice) {
    TPrinterEnv env;
    EXPECT_EQ(env.PhysicalOffsetMm(), std::make_pair(Scaled(0), Scaled(0)));
    EXPECT_EQ(errors, std::vector<PrinterErrorKind>{PrinterErrorKind::EscapeUnsupported});
    DeviceMeasures m;
    m.physicalWidth = 4960;  // 209.947 mm at 600 per inch
    m.physicalHeight = 7016;
    m.pixelsPerInchX = 600;
    m.pixelsPerInchY = 600;
    m.physicalOffsetX = 100;  // 4.2 mm
    m.physicalOffsetY = 150;  // 6.3 mm
    m.printableWidthMm = 201;
    m.printableHeightMm = 284;
    device->measures = m;
    EXPECT_EQ(env.PhysicalWidthMm(), WholeMm(210));
    EXPECT_EQ(env.PhysicalHeightMm(), WholeMm(297));
    EXPECT_EQ(env.PhysicalOffsetMm(), std::make_pair(WholeMm(4), WholeMm(6)));
    EXPECT_EQ(env.PrintableWidthMm(), WholeMm(201));
    const PrintableAreaMm area = env.PrintableAreaOnPaper();
    EXPECT_EQ(area.offsetLeft, WholeMm(4));
    EXPECT_EQ(area.height, WholeMm(284));
}

TEST_F(PrinterEnvTest, TheCurrentEnvironmentIsNeverADestroyedOne) {
    EXPECT_EQ(TPrinterEnv::CurrentPrinterEnv(), nullptr);
    auto first = std::make_unique<TPrinterEnv>();
    auto second = std::make_unique<TPrinterEnv>();
    EXPECT_EQ(TPrinterEnv::CurrentPrinterEnv(), second.get());
    second.reset();
    EXPECT_EQ(TPrinterEnv::CurrentPrinterEnv(), first.get());
    first.reset();
    EXPECT_EQ(TPrinterEnv::CurrentPrinterEnv(), nullptr);
}

TEST_F(PrinterEnvTest, DialogsRefuseDuringAJobAndReadThePapersAgainAfterAPrinterSwitch) {
    TPrinterEnv env;
    env.PaperCount();
    int shown = 0;
    env.runDialog = [&](QDialog&) {
        ++shown;
        return int(QDialog::Accepted);
    };
    {
        const PrintJobScope job;
        EXPECT_TRUE(env.IsPrinting());
        EXPECT_FALSE(env.PrintDialog().Execute());
        EXPECT_FALSE(env.SetupDialog().Execute());
        EXPECT_EQ(shown, 0);
    }
    EXPECT_FALSE(env.IsPrinting());
    EXPECT_TRUE(env.SetupDialog().Execute());  // the same printer: no new read
    EXPECT_EQ(device->papersAsked, 1);
    env.runDialog = [&](QDialog&) {
        device->current = QStringLiteral("One");
        device->papers = std::vector<PaperEntry>{{QStringLiteral("A3"), 8, 2970, 4200}};
        return int(QDialog::Accepted);
    };
    EXPECT_TRUE(env.PrintDialog().Execute());
    EXPECT_EQ(device->papersAsked, 2);
    EXPECT_EQ(env.PaperName(0), QStringLiteral("A3"));
    env.runDialog = [&](QDialog&) { return int(QDialog::Rejected); };
    EXPECT_FALSE(env.SetupDialog().Execute());
}

}  // namespace
