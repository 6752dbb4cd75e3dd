#include "printing/prn_form.h"

#include <QApplication>
#include <QFrame>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr QSize kClientSize(323, 74);
constexpr double kThirdsOfHeight = 2.5;  // the window sits above the middle

void LetInputThrough() {
    QApplication::processEvents();
}

}  // namespace

TPrnForm::TPrnForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PrnForm"));
    setWindowTitle(QStringLiteral("印刷中"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    setFixedSize(kClientSize);
    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setGeometry(8, 8, kClientSize.width() - 16, 26);
    ProgressBar = new QProgressBar(panel);
    ProgressBar->setGeometry(2, 2, panel->width() - 4, 22);
    ProgressBar->setRange(0, 10);
    ProgressBar->setTextVisible(false);
    Button = new QPushButton(QStringLiteral("中止(&C)"), this);
    Button->setGeometry((kClientSize.width() - 75) / 2, 42, 75, 25);
    connect(Button, &QPushButton::clicked, this, &TPrnForm::ButtonClick);
}

TPrnForm& TPrnForm::Instance() {
    static TPrnForm* form = new TPrnForm;
    return *form;
}

void TPrnForm::showEvent(QShowEvent* event) {
    cancelled_ = false;
    if (QScreen* screen = this->screen()) {
        const QRect s = screen->geometry();
        move((s.width() - width()) / 2, int((s.height() - height()) / kThirdsOfHeight));
    }
    QDialog::showEvent(event);
    Button->setFocus();
}

void TPrnForm::ProgressStart(const QString& caption, int count) {
    progress_.Start(caption, count);
    ProgressBar->setRange(progress_.minimum(), progress_.maximum());
    ProgressBar->setValue(progress_.position());
    setWindowTitle(progress_.baseCaption());
    show();
    repaint();
    LetInputThrough();
}

bool TPrnForm::ProgressStep(int page) {
    LetInputThrough();
    if (cancelled_) {
        close();
        return true;
    }
    setWindowTitle(progress_.Step(page));
    ProgressBar->setRange(progress_.minimum(), progress_.maximum());
    ProgressBar->setValue(progress_.position());
    repaint();
    LetInputThrough();
    return false;
}

bool TPrnForm::ProgressFinish() {
    close();
    LetInputThrough();
    return cancelled_;
}

void TPrnForm::ButtonClick() {
    cancelled_ = true;
    hide();
    LetInputThrough();
}
