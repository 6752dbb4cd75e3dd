#pragma once

#include <QString>
#include <functional>
#include <optional>

// The program's message boxes. Every box goes through one replaceable
// function so that tests can answer it.
enum class MessageKind {
    Info,     // "情報", one OK button
    Confirm,  // "確認", "はい(&Y)" and "キャンセル"
    Error,    // an unexpected failure of a command
};

// Returns true for OK / "はい(&Y)".
using MessageFunction = std::function<bool(MessageKind kind, const QString& text)>;

// Installs `f` (an empty function restores the real boxes); returns the previous one.
MessageFunction SetMessageFunction(MessageFunction f);

void InfoMessage(const QString& text);
bool ConfirmMessage(const QString& text);
void ErrorMessage(const QString& text);

// A modal one-line input box (caption, prompt, initial text fully selected).
// Nothing when cancelled.
using PromptFunction = std::function<std::optional<QString>(
    const QString& caption, const QString& prompt, const QString& initial)>;
PromptFunction SetPromptFunction(PromptFunction f);
std::optional<QString> AskText(const QString& caption, const QString& prompt,
                               const QString& initial);
