#include "core/ini_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/cp932.h"

namespace {

// Files larger than this are not settings files; they are neither read nor
// overwritten.
constexpr qint64 kMaxIniBytes = 4 * 1024 * 1024;

QString& SettingsFolderValue() {
    static QString folder;
    return folder;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v';
}

QByteArray TrimIni(const QByteArray& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && IsBlank(text[from]))
        ++from;
    while (to > from && IsBlank(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

bool SameName(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool IsCommentLine(const QByteArray& trimmed) {
    return trimmed.startsWith(';') || trimmed.startsWith('#');
}

}  // namespace

void SetSettingsFolder(const QString& folder) {
    SettingsFolderValue() = folder;
}
QString SettingsFolder() {
    return SettingsFolderValue();
}

bool ParseIniSectionLine(const QByteArray& line, QByteArray* name) {
    const QByteArray t = TrimIni(line);
    if (!t.startsWith('[')) return false;
    qsizetype close = t.indexOf(']');
    if (close < 0) close = t.size();
    *name = TrimIni(t.mid(1, close - 1));
    return true;
}

bool ParseIniKeyLine(const QByteArray& line, QByteArray* key, QByteArray* value) {
    const QByteArray t = TrimIni(line);
    if (t.isEmpty() || t.startsWith('[') || IsCommentLine(t)) return false;
    const qsizetype eq = t.indexOf('=');
    if (eq <= 0) return false;
    *key = TrimIni(t.left(eq));
    if (key->isEmpty()) return false;
    QByteArray v = TrimIni(t.mid(eq + 1));
    if (v.size() >= 2 &&
        ((v.startsWith('"') && v.endsWith('"')) || (v.startsWith('\'') && v.endsWith('\''))))
        v = v.mid(1, v.size() - 2);
    *value = v;
    return true;
}

QIniFile::QIniFile(const QString& name) {
    fileName_ = QFileInfo(name).isAbsolute() ? name : SettingsFolder() + name;
    QFile file(fileName_);
    if (!file.exists()) return;
    if (file.size() > kMaxIniBytes) {
        writable_ = false;
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        writable_ = false;  // keep a file we cannot read rather than replace it
        return;
    }
    const QByteArray data = file.read(kMaxIniBytes + 1);
    if (data.size() > kMaxIniBytes) {
        writable_ = false;
        return;
    }
    lines_ = data.split('\n');
    if (!lines_.isEmpty() && lines_.last().isEmpty()) lines_.removeLast();
    for (QByteArray& line : lines_)
        if (line.endsWith('\r')) line.chop(1);
}

QIniFile::~QIniFile() {
    if (dirty_) Flush();
}

qsizetype QIniFile::FindSection(const QByteArray& section) const {
    QByteArray name;
    for (qsizetype i = 0; i < lines_.size(); ++i)
        if (ParseIniSectionLine(lines_[i], &name) && SameName(name, section)) return i;
    return -1;
}

qsizetype QIniFile::SectionEnd(qsizetype header) const {
    QByteArray name;
    qsizetype i = header + 1;
    while (i < lines_.size() && !ParseIniSectionLine(lines_[i], &name))
        ++i;
    return i;
}

qsizetype QIniFile::FindKey(qsizetype header, const QByteArray& key) const {
    QByteArray k, v;
    const qsizetype end = SectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i)
        if (ParseIniKeyLine(lines_[i], &k, &v) && SameName(k, key)) return i;
    return -1;
}

bool QIniFile::ReadRaw(const QString& section, const QString& key, QByteArray* value) const {
    const qsizetype header = FindSection(UnicodeToSjis(section));
    if (header < 0) return false;
    const qsizetype line = FindKey(header, UnicodeToSjis(key));
    if (line < 0) return false;
    QByteArray k;
    return ParseIniKeyLine(lines_[line], &k, value);
}

QString QIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    QByteArray value;
    return ReadRaw(section, key, &value) ? SjisToUnicode(value) : def;
}

int QIniFile::ReadInteger(const QString& section, const QString& key, int def) const {
    QByteArray value;
    if (!ReadRaw(section, key, &value)) return def;
    bool ok = false;
    const int n = value.toInt(&ok, 10);
    return ok ? n : def;
}

bool QIniFile::ReadBool(const QString& section, const QString& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool QIniFile::SectionExists(const QString& section) const {
    return FindSection(UnicodeToSjis(section)) >= 0;
}

bool QIniFile::ValueExists(const QString& section, const QString& key) const {
    QByteArray value;
    return ReadRaw(section, key, &value);
}

void QIniFile::WriteRaw(const QByteArray& section, const QByteArray& key, const QByteArray& value) {
    // A line break inside a value would start a new line in the file.
    QByteArray clean = value;
    clean.replace('\r', ' ').replace('\n', ' ');
    const QByteArray line = key + '=' + clean;
    dirty_ = true;
    qsizetype header = FindSection(section);
    if (header < 0) {
        if (!lines_.isEmpty() && !TrimIni(lines_.last()).isEmpty()) lines_.append(QByteArray());
        lines_.append('[' + section + ']');
        lines_.append(line);
        return;
    }
    const qsizetype existing = FindKey(header, key);
    if (existing >= 0) {
        lines_[existing] = line;
        return;
    }
    // After the section's last non-blank line, so that a blank line before the
    // next section stays where it is.
    qsizetype at = SectionEnd(header);
    while (at > header + 1 && TrimIni(lines_[at - 1]).isEmpty())
        --at;
    lines_.insert(at, line);
}

void QIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    WriteRaw(UnicodeToSjis(section), UnicodeToSjis(key), UnicodeToSjis(value));
}

void QIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteRaw(UnicodeToSjis(section), UnicodeToSjis(key), QByteArray::number(value));
}

void QIniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteInteger(section, key, value ? 1 : 0);
}

void QIniFile::EraseSection(const QString& section) {
    const QByteArray name = UnicodeToSjis(section);
    for (qsizetype header = FindSection(name); header >= 0; header = FindSection(name)) {
        lines_.remove(header, SectionEnd(header) - header);
        dirty_ = true;
    }
}

bool QIniFile::Flush() {
    if (!dirty_) return true;
    if (!writable_) return false;
    QSaveFile file(fileName_);
    if (!file.open(QIODevice::WriteOnly)) return false;
    for (const QByteArray& line : lines_) {
        file.write(line);
        file.write("\r\n");
    }
    if (!file.commit()) return false;
    dirty_ = false;
    return true;
}
