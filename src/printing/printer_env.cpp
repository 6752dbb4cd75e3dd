#include "printing/printer_env.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPrinter>
#include <algorithm>
#include <vector>

#include "printing/print_dialogs.h"
#include "printing/prn_form.h"
#include "printing/qt_printer_device.h"

Q_LOGGING_CATEGORY(lcPrinterEnv, "neridal.printing.env", QtWarningMsg)

namespace {

std::unique_ptr<PrinterDevice>& DeviceSlot() {
    static std::unique_ptr<PrinterDevice> device;
    return device;
}

std::vector<TPrinterEnv*>& LiveEnvironments() {
    static std::vector<TPrinterEnv*> envs;
    return envs;
}

int& OpenJobs() {
    static int jobs = 0;
    return jobs;
}

PrinterErrorFunction& ErrorFunction() {
    static PrinterErrorFunction f;
    return f;
}

// The mode record's orientation as the settings record keeps it; nothing for
// a value that is neither portrait nor landscape.
std::optional<std::uint8_t> SettingsOrientation(int modeOrientation) {
    if (modeOrientation == DeviceMode::kPortrait) return 0;
    if (modeOrientation == DeviceMode::kLandscape) return 1;
    return std::nullopt;
}

bool IsUserDefined(int code) {
    return code == 0 || code == kUserDefinedPaper;
}

}  // namespace

PrinterDevice& ProcessPrinterDevice() {
    std::unique_ptr<PrinterDevice>& slot = DeviceSlot();
    if (!slot) slot = std::make_unique<QtPrinterDevice>();
    return *slot;
}

void SetProcessPrinterDevice(std::unique_ptr<PrinterDevice> device) {
    DeviceSlot() = std::move(device);
    ProcessPaperSnapshot() = PaperSnapshot();
}

PaperSnapshot& ProcessPaperSnapshot() {
    static PaperSnapshot snapshot;
    return snapshot;
}

TPaperSettings& PaperSettings() {
    static TPaperSettings settings;
    return settings;
}

void ShowPrinterError(PrinterErrorKind kind) {
    qCInfo(lcPrinterEnv) << "printer error of kind" << int(kind);
    QApplication::restoreOverrideCursor();
    if (const PrinterErrorFunction& f = ErrorFunction()) {
        f(kind);
        return;
    }
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), PrinterErrorText(kind),
                    QMessageBox::NoButton, QApplication::activeWindow());
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

PrinterErrorFunction SetPrinterErrorFunction(PrinterErrorFunction f) {
    PrinterErrorFunction previous = std::move(ErrorFunction());
    ErrorFunction() = std::move(f);
    return previous;
}

PrintJobScope::PrintJobScope() {
    ++OpenJobs();
}

PrintJobScope::~PrintJobScope() {
    --OpenJobs();
}

TPrinterEnv::TPrinterEnv(QWidget* dialogParent) : dialogParent_(dialogParent) {
    LiveEnvironments().push_back(this);
}

TPrinterEnv::~TPrinterEnv() {
    // The dialogs go with the environment; the current environment becomes
    // the most recent one still alive.
    std::vector<TPrinterEnv*>& envs = LiveEnvironments();
    envs.erase(std::remove(envs.begin(), envs.end(), this), envs.end());
}

TPrinterEnv* TPrinterEnv::CurrentPrinterEnv() {
    const std::vector<TPrinterEnv*>& envs = LiveEnvironments();
    return envs.empty() ? nullptr : envs.back();
}

QPrinter* TPrinterEnv::PrinterObject() const {
    return ProcessPrinterDevice().Printer();
}

bool TPrinterEnv::IsPrinting() const {
    return OpenJobs() > 0;
}

int TPrinterEnv::PrinterIndex() const {
    const PrinterDevice& device = ProcessPrinterDevice();
    const QString current = device.CurrentPrinterName();
    if (current.isEmpty()) return -1;
    return int(device.PrinterNames().indexOf(current));
}

QStringList TPrinterEnv::PrinterFonts() const {
    return QFontDatabase::families();
}

int TPrinterEnv::GetOrientation() const {
    const std::optional<DeviceMode> mode = ProcessPrinterDevice().Mode();
    return mode && mode->orientation == DeviceMode::kLandscape ? 1 : 0;
}

void TPrinterEnv::SetOrientation(int orientation) {
    PrinterDevice& device = ProcessPrinterDevice();
    std::optional<DeviceMode> mode = device.Mode();
    if (!mode) return;
    mode->orientation = orientation == 0 ? DeviceMode::kPortrait : DeviceMode::kLandscape;
    device.SetMode(*mode);
}

void TPrinterEnv::SetTitle(const QString& title) {
    if (QPrinter* printer = PrinterObject(); printer && printer->docName() != title)
        printer->setDocName(title);
}

void TPrinterEnv::RefreshCapabilities() {
    PaperSnapshot& snapshot = ProcessPaperSnapshot();
    snapshot.Clear();
    bool read = false;
    if (PrinterIndex() >= 0) {
        if (std::optional<std::vector<PaperEntry>> papers = ProcessPrinterDevice().Papers()) {
            snapshot.Set(std::move(*papers));
            read = true;
        } else {
            // The device answered with a failure: the count says so, and
            // the next name or code asks again.
            snapshot.SetFailed();
            ShowPrinterError(PrinterErrorKind::General);
        }
    }
    if (!read) ShowPrinterError(PrinterErrorKind::SetupUnconfirmed);
    qCDebug(lcPrinterEnv) << "paper snapshot:" << snapshot.count() << "entries";
}

int TPrinterEnv::PaperCount() {
    if (ProcessPaperSnapshot().count() == kPaperNeverRead) RefreshCapabilities();
    return ProcessPaperSnapshot().count();
}

QString TPrinterEnv::PaperName(int index) {
    if (ProcessPaperSnapshot().count() == kPaperReadFailed) RefreshCapabilities();
    return ProcessPaperSnapshot().PaperName(index);
}

int TPrinterEnv::PaperCode(int index) {
    if (ProcessPaperSnapshot().count() == kPaperReadFailed) RefreshCapabilities();
    return ProcessPaperSnapshot().PaperCode(index);
}

int TPrinterEnv::FindPaper(int code) {
    PaperCount();
    return ProcessPaperSnapshot().FindPaper(code);
}

bool TPrinterEnv::ReadPaperSettings(TPaperSettings& r) {
    if (PrinterIndex() < 0) return false;
    const std::optional<DeviceMode> mode = ProcessPrinterDevice().Mode();
    if (!mode) {
        ShowPrinterError(PrinterErrorKind::SetupFailed);
        return false;
    }
    r.PaperCode = mode->paperSize;
    if (const std::optional<std::uint8_t> o = SettingsOrientation(mode->orientation))
        r.Orientation = *o;
    r.PaperWidth = mode->paperWidth;
    r.PaperLength = mode->paperLength;
    r.Source = std::int16_t(mode->defaultSource);
    r.Collate = mode->collate == 1;
    r.Copies = mode->copies;
    return true;
}

bool TPrinterEnv::ApplyPaperSettings(const TPaperSettings& r) {
    if (PrinterIndex() < 0) return false;
    PrinterDevice& device = ProcessPrinterDevice();
    std::optional<DeviceMode> mode = device.Mode();
    if (!mode) return false;
    PaperCount();
    const std::optional<int> code = ProcessPaperSnapshot().ChoosePaperCode(r.PaperCode);
    if (!code) {
        qCInfo(lcPrinterEnv) << "the printer has no paper for code" << r.PaperCode;
        return false;
    }
    mode->paperSize = *code;
    if (!IsUserDefined(*code)) {
        mode->paperWidth = 0;
        mode->paperLength = 0;
    } else if (r.UseCustomSize) {
        mode->paperWidth = r.PaperWidth;
        mode->paperLength = r.PaperLength;
    }
    if (r.Orientation == 0) mode->orientation = DeviceMode::kPortrait;
    if (r.Orientation == 1) mode->orientation = DeviceMode::kLandscape;
    if (r.UseSource) mode->defaultSource = r.Source;
    mode->collate = r.Collate ? 1 : 0;
    mode->copies = r.Copies;
    if (!device.SetMode(*mode)) ShowPrinterError(PrinterErrorKind::SetupFailed);
    return true;
}

void TPrinterEnv::SelectPaper(int index) {
    TPaperSettings& settings = PaperSettings();
    if (!ReadPaperSettings(settings)) return;
    const int code = PaperCode(index);
    if (code == settings.PaperCode) return;
    settings.PaperCode = code;
    ApplyPaperSettings(settings);
}

int TPrinterEnv::CurrentPaperIndex() {
    TPaperSettings& settings = PaperSettings();
    if (!ReadPaperSettings(settings)) return -1;
    return FindPaper(settings.PaperCode);
}

Scaled TPrinterEnv::PhysicalWidthMm() {
    const std::optional<DeviceMeasures> m = ProcessPrinterDevice().Measures();
    return m ? WholeMm(DeviceUnitsToWholeMm(m->physicalWidth, m->pixelsPerInchX)) : 0;
}

Scaled TPrinterEnv::PhysicalHeightMm() {
    const std::optional<DeviceMeasures> m = ProcessPrinterDevice().Measures();
    return m ? WholeMm(DeviceUnitsToWholeMm(m->physicalHeight, m->pixelsPerInchY)) : 0;
}

Scaled TPrinterEnv::PrintableWidthMm() {
    const std::optional<DeviceMeasures> m = ProcessPrinterDevice().Measures();
    return m ? WholeMm(m->printableWidthMm) : 0;
}

Scaled TPrinterEnv::PrintableHeightMm() {
    const std::optional<DeviceMeasures> m = ProcessPrinterDevice().Measures();
    return m ? WholeMm(m->printableHeightMm) : 0;
}

std::pair<Scaled, Scaled> TPrinterEnv::PhysicalOffsetMm() {
    const std::optional<DeviceMeasures> m = ProcessPrinterDevice().Measures();
    if (!m) {
        ShowPrinterError(PrinterErrorKind::EscapeUnsupported);
        return {0, 0};
    }
    return {WholeMm(DeviceUnitsToWholeMm(m->physicalOffsetX, m->pixelsPerInchX)),
            WholeMm(DeviceUnitsToWholeMm(m->physicalOffsetY, m->pixelsPerInchY))};
}

PrintableAreaMm TPrinterEnv::PrintableAreaOnPaper() const {
    // The overlay asks while painting: it reads the measures once, quietly.
    const std::optional<DeviceMeasures> m = ProcessPrinterDevice().Measures();
    if (!m) return {};
    return {WholeMm(DeviceUnitsToWholeMm(m->physicalOffsetX, m->pixelsPerInchX)),
            WholeMm(DeviceUnitsToWholeMm(m->physicalOffsetY, m->pixelsPerInchY)),
            WholeMm(m->printableWidthMm), WholeMm(m->printableHeightMm)};
}

void TPrinterEnv::ProgressStart(const QString& caption, int count) {
    TPrnForm::Instance().ProgressStart(caption, count);
}

bool TPrinterEnv::ProgressStep(int page) {
    return TPrnForm::Instance().ProgressStep(page);
}

bool TPrinterEnv::ProgressFinish() {
    return TPrnForm::Instance().ProgressFinish();
}

prn::QPrintDialog& TPrinterEnv::PrintDialog() {
    if (!printDialog_) printDialog_ = std::make_unique<prn::QPrintDialog>(*this, dialogParent_);
    return *printDialog_;
}

prn::QPrinterSetupDialog& TPrinterEnv::SetupDialog() {
    if (!setupDialog_)
        setupDialog_ = std::make_unique<prn::QPrinterSetupDialog>(*this, dialogParent_);
    return *setupDialog_;
}
