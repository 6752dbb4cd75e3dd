#pragma once

#include <QString>

// The printer error messages: a first line by kind, then fixed advice.
enum class PrinterErrorKind { General, SetupFailed, SetupUnconfirmed, EscapeUnsupported };

QString PrinterErrorText(PrinterErrorKind kind);
