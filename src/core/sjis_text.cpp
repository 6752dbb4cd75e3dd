#include "core/sjis_text.h"

#include <limits>
#include <vector>

namespace {

// Byte offsets where characters start, double-byte aware; a lead byte at the
// very end counts as a character of its own.
std::vector<qsizetype> CharStarts(const QByteArray& s) {
    std::vector<qsizetype> starts;
    for (qsizetype i = 0; i < s.size();) {
        starts.push_back(i);
        i += (IsSjisLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
    }
    return starts;
}

bool IsFullWidthSpace(const QByteArray& s, qsizetype at, qsizetype end) {
    return end - at == 2 && static_cast<unsigned char>(s[at]) == 0x81 &&
           static_cast<unsigned char>(s[at + 1]) == 0x40;
}

bool IsBlankChar(const QByteArray& s, qsizetype at, qsizetype end) {
    return (end - at == 1 && s[at] == ' ') || IsFullWidthSpace(s, at, end);
}

bool IsControlOrSpaceChar(const QByteArray& s, qsizetype at, qsizetype end) {
    return end - at == 1 && static_cast<unsigned char>(s[at]) <= 32;
}

bool IsAsciiBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QChar(0x3000);
}

// The last character of a path is a backslash (not the trail byte of a
// double-byte character).
bool EndsWithBackslashChar(const QByteArray& path) {
    const std::vector<qsizetype> starts = CharStarts(path);
    return !starts.empty() && starts.back() == path.size() - 1 && path.back() == '\\';
}

std::int32_t ParseLeadingInt(const QString& text, bool* whole) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    const qsizetype firstDigit = i;
    std::int64_t value = 0;
    while (i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1) return 0;
        ++i;
    }
    if (i == firstDigit) return 0;
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) return 0;
    *whole = (i == text.size());
    return std::int32_t(value);
}

}  // namespace

bool IsSjisLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

QByteArray TrimBlanks(const QByteArray& sjis) {
    const std::vector<qsizetype> starts = CharStarts(sjis);
    const auto endOf = [&](size_t k) {
        return k + 1 < starts.size() ? starts[k + 1] : sjis.size();
    };
    size_t first = 0;
    size_t last = starts.size();  // one past the last kept character
    while (first < last && IsControlOrSpaceChar(sjis, starts[first], endOf(first)))
        ++first;
    while (first < last && IsBlankChar(sjis, starts[first], endOf(first)))
        ++first;
    while (last > first && IsControlOrSpaceChar(sjis, starts[last - 1], endOf(last - 1)))
        --last;
    while (last > first && IsBlankChar(sjis, starts[last - 1], endOf(last - 1)))
        --last;
    if (first >= last) return QByteArray();
    const qsizetype from = starts[first];
    return sjis.mid(from, endOf(last - 1) - from);
}

QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 32)
        ++first;
    while (first < last && IsAsciiBlank(text[first]))
        ++first;
    while (last > first && text[last - 1].unicode() <= 32)
        --last;
    while (last > first && IsAsciiBlank(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

std::int32_t LeadingIntValue(const QString& text) {
    bool whole = false;
    return ParseLeadingInt(text, &whole);
}

// Digits, blanks and signs are single bytes in Shift-JIS, and no trail byte
// takes their codes before the first double-byte character is reached.
std::int32_t LeadingIntValue(const QByteArray& text) {
    return LeadingIntValue(QString::fromLatin1(text));
}

QByteArray AddBackslash(const QByteArray& sjisPath) {
    if (sjisPath.size() < 4 || EndsWithBackslashChar(sjisPath)) return sjisPath;
    return sjisPath + '\\';
}

QByteArray RemoveBackslash(const QByteArray& sjisPath) {
    if (sjisPath.size() <= 3 || !EndsWithBackslashChar(sjisPath)) return sjisPath;
    return sjisPath.left(sjisPath.size() - 1);
}

QString AddSeparator(const QString& path) {
    if (path.size() < 4 || path.endsWith(QLatin1Char('/'))) return path;
    return path + QLatin1Char('/');
}

QString RemoveSeparator(const QString& path) {
    if (path.size() <= 3 || !path.endsWith(QLatin1Char('/'))) return path;
    return path.left(path.size() - 1);
}
