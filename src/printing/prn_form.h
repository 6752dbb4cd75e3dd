#pragma once

#include <QDialog>

#include "printing/print_rules.h"

class QProgressBar;
class QPushButton;

// The printing progress window: "印刷中 3/10" with a bar and 中止(&C). It lets
// pending input through between pages, so its button and the other windows
// stay live while a job runs. One for the whole run.
class TPrnForm : public QDialog {
    Q_OBJECT
public:
    explicit TPrnForm(QWidget* parent = nullptr);
    static TPrnForm& Instance();

    QProgressBar* ProgressBar = nullptr;
    QPushButton* Button = nullptr;

    void ProgressStart(const QString& caption, int count);
    // True when the user cancelled; then the window is closed.
    bool ProgressStep(int page);
    // Closes the window; returns whether the user cancelled.
    bool ProgressFinish();
    void ButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    PrintProgress progress_;
    bool cancelled_ = false;
};
