#include "shell/open_dialog.h"

#include "core/cp932.h"

namespace {

bool CaptionFits(const QString& text) {
    return !text.isEmpty() && UnicodeToSjis(text).size() <= kMaxDialogCaptionBytes;
}

}  // namespace

void SetDialogCaptions(QFileDialog& dialog, const QString& ok, const QString& cancel) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (CaptionFits(ok)) dialog.setLabelText(QFileDialog::Accept, ok);
    if (CaptionFits(cancel)) dialog.setLabelText(QFileDialog::Reject, cancel);
}

void PrepareAlbumOpenDialog(QFileDialog& dialog) {
    SetDialogCaptions(dialog, QStringLiteral("開く(&O)"), QStringLiteral("中止(&C)"));
}

TOpenDialogEx::TOpenDialogEx(QWidget* parent) : QFileDialog(parent) {
    setOption(QFileDialog::DontUseNativeDialog, true);
}
