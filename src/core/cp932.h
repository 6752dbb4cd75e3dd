#pragma once

#include <QByteArray>
#include <QString>

// Conversion between Shift-JIS (Windows code page 932) and Unicode.
// Bytes that do not convert become U+FFFD; characters without a CP932 form
// become '?'.
QString SjisToUnicode(const QByteArray& sjis);
QByteArray UnicodeToSjis(const QString& text);
