#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The settings store: a Windows-style INI file ("[Section]" lines and
// "Key=Value" lines). Sections and keys compare without regard to ASCII case,
// values are trimmed, booleans are written as 1 and 0 and integers in
// decimal. A key written for the first time goes to the end of its section, a
// new section to the end of the file, so the order of first writes is the
// order in the file; lines the store does not understand are kept as they
// are. Texts are stored in Shift-JIS.
//
// A store is made for one access and dropped right after: changes reach the
// disk on Flush and when the store is destroyed. A write that cannot reach the
// disk (missing folder, read-only file) fails without a message.
class QIniFile {
public:
    // `name` is taken relative to the settings folder unless it is absolute.
    explicit QIniFile(const QString& name);
    ~QIniFile();
    QIniFile(const QIniFile&) = delete;
    QIniFile& operator=(const QIniFile&) = delete;

    QString FileName() const { return fileName_; }

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    int ReadInteger(const QString& section, const QString& key, int def) const;
    bool ReadBool(const QString& section, const QString& key, bool def) const;
    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);
    void EraseSection(const QString& section);

    // Writes pending changes; false when the file could not be written.
    bool Flush();

private:
    qsizetype FindSection(const QByteArray& section) const;
    qsizetype SectionEnd(qsizetype header) const;
    qsizetype FindKey(qsizetype header, const QByteArray& key) const;
    void WriteRaw(const QByteArray& section, const QByteArray& key, const QByteArray& value);
    bool ReadRaw(const QString& section, const QString& key, QByteArray* value) const;

    QString fileName_;
    QList<QByteArray> lines_;
    bool dirty_ = false;
    bool writable_ = true;  // false when the file was too large to load
};

// The folder that relative settings-file names refer to (the work folder, with
// a trailing separator). Set once at start-up.
void SetSettingsFolder(const QString& folder);
QString SettingsFolder();

// The default settings-file name.
inline constexpr char kDefaultIniName[] = "NERIDAL.INI";

// Pure parsing helpers, exposed for the tests: the section name of a line
// ("[Name]" with blanks around it) and the key and value of a "Key=Value" line.
bool ParseIniSectionLine(const QByteArray& line, QByteArray* name);
bool ParseIniKeyLine(const QByteArray& line, QByteArray* key, QByteArray* value);
