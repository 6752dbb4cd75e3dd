#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// Text helpers that work on Shift-JIS (code page 932) bytes and respect
// double-byte characters: a trail byte is never taken for a blank, a
// backslash or a full stop.

// True when `b` starts a double-byte Shift-JIS character.
bool IsSjisLeadByte(unsigned char b);

// Removes control characters and blanks (half-width blank, full-width space)
// at both ends.
QByteArray TrimBlanks(const QByteArray& sjis);
QString TrimBlanks(const QString& text);

// The value of the text as an integer, else of its leading integer part, else 0.
std::int32_t LeadingIntValue(const QByteArray& text);
std::int32_t LeadingIntValue(const QString& text);

// Appends a backslash to paths of at least 4 bytes that do not end in one;
// RemoveBackslash drops a trailing one from paths longer than 3 bytes.
QByteArray AddBackslash(const QByteArray& sjisPath);
QByteArray RemoveBackslash(const QByteArray& sjisPath);

// The same rules for this platform's paths (separator '/').
QString AddSeparator(const QString& path);
QString RemoveSeparator(const QString& path);
