#include "printing/print_dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "printing/printer_env.h"

namespace prn {

namespace {

QPrinter& DialogPrinter(TPrinterEnv& env) {
    // A device without a printer object still needs one for the dialog.
    static QPrinter fallback(QPrinter::HighResolution);
    QPrinter* printer = env.PrinterObject();
    return printer ? *printer : fallback;
}

// The shared steps of both dialogs: refuse during a job, run, and read the
// paper list again when the accepted dialog switched printers.
bool RunPrinterDialog(TPrinterEnv& env, QDialog& dialog) {
    if (env.IsPrinting()) {
        QApplication::beep();
        return false;
    }
    TPrinterEnv* current = TPrinterEnv::CurrentPrinterEnv();
    const int before = current ? current->PrinterIndex() : -1;
    const int result = env.runDialog ? env.runDialog(dialog) : dialog.exec();
    const bool accepted = result == QDialog::Accepted;
    if (accepted && !DialogPrinter(env).isValid()) {
        ShowPrinterError(PrinterErrorKind::SetupFailed);
        return false;
    }
    current = TPrinterEnv::CurrentPrinterEnv();
    if (accepted && current && current->PrinterIndex() != before) env.RefreshCapabilities();
    return accepted;
}

// The entry of `box` with the same dimensions as `size`; -1 when none.
int FindPaperEntry(const QComboBox& box, const QPageSize& size) {
    for (int i = 0; i < box.count(); ++i)
        if (box.itemData(i).value<QPageSize>().isEquivalentTo(size)) return i;
    return -1;
}

}  // namespace

QPrintDialog::QPrintDialog(TPrinterEnv& env, QWidget* parent)
    : ::QPrintDialog(&DialogPrinter(env), parent), env_(env) {}

bool QPrintDialog::Execute() {
    return RunPrinterDialog(env_, *this);
}

QPrinterSetupDialog::QPrinterSetupDialog(TPrinterEnv& env, QWidget* parent)
    : QDialog(parent), env_(env) {
    setWindowTitle(QStringLiteral("印刷設定"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    auto* printerGroup = new QGroupBox(QStringLiteral("プリンタ"), this);
    auto* printerForm = new QFormLayout(printerGroup);
    PrinterBox = new QComboBox(printerGroup);
    PrinterBox->setMinimumContentsLength(28);
    printerForm->addRow(QStringLiteral("プリンタ名(&N):"), PrinterBox);
    layout->addWidget(printerGroup);

    auto* row = new QHBoxLayout;
    auto* paperGroup = new QGroupBox(QStringLiteral("用紙"), this);
    auto* paperForm = new QFormLayout(paperGroup);
    PaperBox = new QComboBox(paperGroup);
    paperForm->addRow(QStringLiteral("サイズ(&Z):"), PaperBox);
    row->addWidget(paperGroup, 1);
    auto* orientationGroup = new QGroupBox(QStringLiteral("印刷の向き"), this);
    auto* orientationLayout = new QVBoxLayout(orientationGroup);
    PortraitButton = new QRadioButton(QStringLiteral("縦(&O)"), orientationGroup);
    LandscapeButton = new QRadioButton(QStringLiteral("横(&A)"), orientationGroup);
    orientationLayout->addWidget(PortraitButton);
    orientationLayout->addWidget(LandscapeButton);
    row->addWidget(orientationGroup);
    layout->addLayout(row);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(PrinterBox, &QComboBox::currentTextChanged, this, &QPrinterSetupDialog::FillPapers);
}

bool QPrinterSetupDialog::Execute() {
    return RunPrinterDialog(env_, *this);
}

QPrinter* QPrinterSetupDialog::printer() const {
    return &DialogPrinter(env_);
}

void QPrinterSetupDialog::showEvent(QShowEvent* event) {
    // Each showing starts from the printer object as it is now.
    const QPrinter& current = *printer();
    const QSignalBlocker block(PrinterBox);
    PrinterBox->clear();
    PrinterBox->addItems(QPrinterInfo::availablePrinterNames());
    PrinterBox->setCurrentText(current.outputFormat() == QPrinter::NativeFormat
                                   ? current.printerName()
                                   : QPrinterInfo::defaultPrinterName());
    FillPapers(PrinterBox->currentText());
    const QPageLayout layout = current.pageLayout();
    const int index = FindPaperEntry(*PaperBox, layout.pageSize());
    if (index >= 0) PaperBox->setCurrentIndex(index);
    (layout.orientation() == QPageLayout::Landscape ? LandscapeButton : PortraitButton)
        ->setChecked(true);
    QDialog::showEvent(event);
}

void QPrinterSetupDialog::FillPapers(const QString& printerName) {
    const QPageSize keep = PaperBox->currentData().value<QPageSize>();
    PaperBox->clear();
    const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
    for (const QPageSize& size : info.supportedPageSizes())
        PaperBox->addItem(size.name(), QVariant::fromValue(size));
    int index = keep.isValid() ? FindPaperEntry(*PaperBox, keep) : -1;
    if (index < 0) index = FindPaperEntry(*PaperBox, info.defaultPageSize());
    PaperBox->setCurrentIndex(std::max(index, 0));
}

void QPrinterSetupDialog::accept() {
    QPrinter& target = *printer();
    if (!PrinterBox->currentText().isEmpty()) {
        target.setOutputFormat(QPrinter::NativeFormat);
        target.setPrinterName(PrinterBox->currentText());
    }
    const QPageSize size = PaperBox->currentData().value<QPageSize>();
    if (size.isValid()) {
        // Size and orientation go in together.
        target.setPageLayout(QPageLayout(
            size, LandscapeButton->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait,
            QMarginsF()));
    }
    QDialog::accept();
}

}  // namespace prn
