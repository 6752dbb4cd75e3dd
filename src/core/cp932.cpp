#include "core/cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace {

// One conversion with iconv; `onBad` is appended for each byte (or character)
// that does not convert, and conversion goes on after it.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Converts `in`; on an invalid or unconvertible unit of `unit` bytes, writes
// `replacement` and skips the unit.
QByteArray Convert(const char* to, const char* from, const QByteArray& in, qsizetype unit,
                   const QByteArray& replacement) {
    Iconv conv(to, from);
    if (!conv.ok()) return QByteArray();
    QByteArray out;
    std::vector<char> buffer(4096);
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = size_t(in.size());
    while (srcLeft > 0) {
        char* dst = buffer.data();
        size_t dstLeft = buffer.size();
        const size_t r = iconv(conv.get(), &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer.data(), qsizetype(buffer.size() - dstLeft));
        if (r != size_t(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL (incomplete at the end): replace one unit and go on.
        const size_t skip = std::min(size_t(unit), srcLeft);
        src += skip;
        srcLeft -= skip;
        out.append(replacement);
        iconv(conv.get(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace

QString SjisToUnicode(const QByteArray& sjis) {
    // UTF-16LE with U+FFFD for a byte that does not convert.
    const QByteArray utf16 = Convert("UTF-16LE", "CP932", sjis, 1, QByteArray("\xFD\xFF", 2));
    return QString(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2);
}

QByteArray UnicodeToSjis(const QString& text) {
    const QByteArray utf16(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return Convert("CP932", "UTF-16LE", utf16, 2, QByteArray("?"));
}
