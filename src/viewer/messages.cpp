#include "viewer/messages.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

bool ShowBox(MessageKind kind, const QString& text) {
    QApplication::beep();
    QMessageBox box(QApplication::activeWindow());
    box.setText(text);
    switch (kind) {
        case MessageKind::Info:
            box.setIcon(QMessageBox::Information);
            box.setWindowTitle(QStringLiteral("情報"));
            box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            break;
        case MessageKind::Confirm: {
            box.setIcon(QMessageBox::Question);
            box.setWindowTitle(QStringLiteral("確認"));
            QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
            QPushButton* no = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
            box.setDefaultButton(yes);
            box.setEscapeButton(no);
            box.exec();
            return box.clickedButton() == yes;
        }
        case MessageKind::Error:
            box.setIcon(QMessageBox::Critical);
            box.setWindowTitle(QStringLiteral("エラー"));
            box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            break;
    }
    box.exec();
    return true;
}

std::optional<QString> ShowPrompt(const QString& caption, const QString& prompt,
                                  const QString& initial) {
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(prompt, &dialog));
    auto* edit = new QLineEdit(initial, &dialog);
    edit->setMaxLength(255);
    edit->selectAll();
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = dialog.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        dialog.move(frame.topLeft());
    }
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return edit->text();
}

MessageFunction& CurrentMessage() {
    static MessageFunction f;
    return f;
}

PromptFunction& CurrentPrompt() {
    static PromptFunction f;
    return f;
}

bool Message(MessageKind kind, const QString& text) {
    if (CurrentMessage()) return CurrentMessage()(kind, text);
    return ShowBox(kind, text);
}

}  // namespace

MessageFunction SetMessageFunction(MessageFunction f) {
    return std::exchange(CurrentMessage(), std::move(f));
}

void InfoMessage(const QString& text) {
    Message(MessageKind::Info, text);
}
bool ConfirmMessage(const QString& text) {
    return Message(MessageKind::Confirm, text);
}
void ErrorMessage(const QString& text) {
    Message(MessageKind::Error, text);
}

PromptFunction SetPromptFunction(PromptFunction f) {
    return std::exchange(CurrentPrompt(), std::move(f));
}

std::optional<QString> AskText(const QString& caption, const QString& prompt,
                               const QString& initial) {
    if (CurrentPrompt()) return CurrentPrompt()(caption, prompt, initial);
    return ShowPrompt(caption, prompt, initial);
}
