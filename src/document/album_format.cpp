#include "document/album_format.h"

#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

template <typename T>
T ReadLe(const char* p) {
    std::make_unsigned_t<T> v = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        v |= std::make_unsigned_t<T>(static_cast<unsigned char>(p[i])) << (8 * i);
    return static_cast<T>(v);
}

template <typename T>
void AppendLe(QByteArray& out, T value) {
    auto v = static_cast<std::make_unsigned_t<T>>(value);
    for (size_t i = 0; i < sizeof(T); ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

double ReadDouble(const char* p) {
    const std::uint64_t bits = ReadLe<std::uint64_t>(p);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

void AppendDouble(QByteArray& out, double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    AppendLe(out, bits);
}

// A short string of `capacity` characters takes capacity + 1 bytes.
QByteArray ReadShortString(const char* p, int capacity) {
    const int length = std::min(int(static_cast<unsigned char>(p[0])), capacity);
    return QByteArray(p + 1, length);
}

void AppendShortString(QByteArray& out, const QByteArray& text, int capacity) {
    const QByteArray cut = text.left(capacity);
    out.append(char(cut.size()));
    out.append(cut);
    out.append(QByteArray(capacity - cut.size(), '\0'));
}

int TitleCapacity(bool wide) {
    return wide ? 100 : 50;
}

}  // namespace

TAlbumHeader TAlbumHeader::Parse(const char* bytes) {
    TAlbumHeader h;
    std::memcpy(h.tag.data(), bytes, 4);
    h.producerVersion = ReadLe<std::int64_t>(bytes + 4);
    h.marginTop = ReadLe<std::int64_t>(bytes + 12);
    h.marginBottom = ReadLe<std::int64_t>(bytes + 20);
    h.marginLeft = ReadLe<std::int64_t>(bytes + 28);
    h.marginRight = ReadLe<std::int64_t>(bytes + 36);
    h.pageBase = ReadLe<std::int32_t>(bytes + 44);
    return h;
}

QByteArray TAlbumHeader::Serialize() const {
    QByteArray out(reinterpret_cast<const char*>(tag.data()), 4);
    AppendLe(out, producerVersion);
    AppendLe(out, marginTop);
    AppendLe(out, marginBottom);
    AppendLe(out, marginLeft);
    AppendLe(out, marginRight);
    AppendLe(out, pageBase);
    return out;
}

QByteArray TAlbumHeader::ProducerText() const {
    const QByteArray bytes = Serialize();
    const int length = std::min<int>(tag[0], kHeaderSize - 1);
    return bytes.mid(1, length);
}

bool TAlbumHeader::TagIs(const char* threeChars) const {
    return tag[0] == 3 && std::memcmp(tag.data() + 1, threeChars, 3) == 0;
}

TAlbumSettings TAlbumSettings::Parse(const char* bytes, bool wide) {
    const int shift = wide ? 0 : 50;  // only the title is shorter in the narrow layout
    TAlbumSettings s;
    s.created = ReadDouble(bytes);
    s.title = ReadShortString(bytes + 8, TitleCapacity(wide));
    s.remarks = ReadShortString(bytes + 109 - shift, 50);
    s.author = ReadShortString(bytes + 160 - shift, 30);
    s.pageNumberOffset = ReadLe<std::int32_t>(bytes + 191 - shift);
    s.paperCode = ReadLe<std::int32_t>(bytes + 195 - shift);
    s.orientation = static_cast<std::uint8_t>(bytes[199 - shift]);
    s.paperWidth = ReadLe<std::int32_t>(bytes + 200 - shift);
    s.paperHeight = ReadLe<std::int32_t>(bytes + 204 - shift);
    s.externalCharsConverted = static_cast<std::uint8_t>(bytes[208 - shift]);
    s.substituteFont = ReadShortString(bytes + 209 - shift, 30);
    s.fontsUsed = ReadShortString(bytes + 240 - shift, 200);
    return s;
}

QByteArray TAlbumSettings::Serialize(bool wide) const {
    QByteArray out;
    AppendDouble(out, created);
    AppendShortString(out, title, TitleCapacity(wide));
    AppendShortString(out, remarks, 50);
    AppendShortString(out, author, 30);
    AppendLe(out, pageNumberOffset);
    AppendLe(out, paperCode);
    out.append(char(orientation));
    AppendLe(out, paperWidth);
    AppendLe(out, paperHeight);
    out.append(char(externalCharsConverted));
    AppendShortString(out, substituteFont, 30);
    AppendShortString(out, fontsUsed, 200);
    return out;
}

TTocEntry TTocEntry::Parse(const char* bytes) {
    TTocEntry e;
    e.pageSlot = ReadLe<std::int32_t>(bytes);
    e.levelSlot = ReadLe<std::int32_t>(bytes + 4);
    e.text = ReadShortString(bytes + 8, 50);
    return e;
}

QByteArray TTocEntry::Serialize() const {
    QByteArray out;
    AppendLe(out, pageSlot);
    AppendLe(out, levelSlot);
    AppendShortString(out, text, 50);
    return out;
}

TPageEntry TPageEntry::Parse(const char* bytes, bool nineByte) {
    TPageEntry e;
    e.offset = ReadLe<std::int32_t>(bytes);
    e.size = ReadLe<std::int32_t>(bytes + 4);
    e.orientation = nineByte ? static_cast<std::uint8_t>(bytes[8]) : 0;
    return e;
}

QByteArray TPageEntry::Serialize(bool nineByte) const {
    QByteArray out;
    AppendLe(out, std::int32_t(std::uint32_t(offset)));
    AppendLe(out, size);
    if (nineByte) out.append(char(orientation));
    return out;
}

bool IsAlbumFileName(const QString& name) {
    // Searching Unicode text never lands inside a double-byte character.
    const QString upper = name.toUpper();
    return std::any_of(AlbumExtensions.begin(), AlbumExtensions.end(), [&](const char* ext) {
        return upper.contains(QLatin1Char('.') + QLatin1String(ext));
    });
}

bool HasPxaExtension(const QString& name) {
    const qsizetype slash =
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash) return false;
    return name.mid(dot).toUpper() == QLatin1String(".PXA");
}

Scaled DocumentFormatVersion(const TAlbumHeader& header) {
    const QByteArray text = header.ProducerText();
    for (const ProducerRow& row : ProducerTable) {
        if (text != QByteArray(row.tag) || header.producerVersion > row.highestVersion) continue;
        return header.TagIs("PXA") ? header.producerVersion : 10000;
    }
    return 0;
}

bool HasWideSettings(const TAlbumHeader& header) {
    if (header.TagIs("PXA") || header.TagIs("RTC")) return false;
    if (header.TagIs("RTB")) return header.producerVersion >= 90000;
    return true;
}

BodyScheme BodySchemeOf(Scaled formatVersion) {
    if (formatVersion < 20000) return BodyScheme::WholeBody;
    if (formatVersion == 30000) return BodyScheme::CompressedPictures;
    return BodyScheme::PlainPictures;
}

TAlbumHeader WithMargins(const TAlbumHeader& header, Scaled top, Scaled bottom, Scaled left,
                         Scaled right) {
    TAlbumHeader h = header;
    h.marginTop = top;
    h.marginBottom = bottom;
    h.marginLeft = left;
    h.marginRight = right;
    return h;
}

bool WriteHeaderMargins(const QString& path, const TAlbumHeader& header, QString* error) {
    const auto fail = [&](const QString& why) {
        if (error) *error = QStringLiteral("%1 に書き込めませんでした。 (%2)").arg(path, why);
        return false;
    };
    QFile file(path);
    // ReadWrite without Truncate keeps every byte after the header.
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    const QByteArray onDisk = file.read(kHeaderSize);
    if (onDisk.size() < kHeaderSize)
        return fail(QStringLiteral("the file is shorter than an album header"));
    // Another program may have put another file under the name since it was
    // opened: only the album that was read gets its margins rewritten.
    const TAlbumHeader disk = TAlbumHeader::Parse(onDisk.constData());
    if (WithMargins(disk, header.marginTop, header.marginBottom, header.marginLeft,
                    header.marginRight)
            .Serialize() != header.Serialize())
        return fail(QStringLiteral("the file is no longer the album that was opened"));
    // One write of 48 bytes at the start lies in one disk sector: it lands
    // whole or not at all.
    const QByteArray bytes = header.Serialize();
    if (!file.seek(0) || file.write(bytes) != bytes.size()) return fail(file.errorString());
    if (::fsync(file.handle()) != 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
    return true;
}
