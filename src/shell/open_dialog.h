#pragma once

#include <QFileDialog>

// The open dialog's extras: the toolkit's own file dialog (not the desktop's,
// whose buttons cannot be labelled) with settable captions for its OK and
// cancel buttons.

inline constexpr int kMaxDialogCaptionBytes = 64;

// Sets the captions; an empty caption, or one longer than 64 bytes in
// Shift-JIS, leaves that button's caption as it is.
void SetDialogCaptions(QFileDialog& dialog, const QString& ok, const QString& cancel);

// The frame's open dialog: "開く(&O)" and "中止(&C)".
void PrepareAlbumOpenDialog(QFileDialog& dialog);

class TOpenDialogEx : public QFileDialog {
    Q_OBJECT
public:
    explicit TOpenDialogEx(QWidget* parent = nullptr);
    void SetOkCaption(const QString& text) { SetDialogCaptions(*this, text, QString()); }
    void SetCancelCaption(const QString& text) { SetDialogCaptions(*this, QString(), text); }
};
