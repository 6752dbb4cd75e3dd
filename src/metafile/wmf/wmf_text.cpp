#include "metafile/wmf/wmf_text.h"

#include <iconv.h>

#include <cerrno>

namespace mf::wmf {

namespace {

bool IsDoubleByteCharset(std::uint8_t charset) {
    switch (charset) {
        case 128:
        case 129:
        case 130:
        case 134:
        case 136:
            return true;
        default:
            return false;
    }
}

bool IsLeadByte(std::uint8_t charset, unsigned char b) {
    switch (charset) {
        case 128:
            return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        case 129:
        case 134:
        case 136:
            return b >= 0x81 && b <= 0xFE;
        case 130:
            return (b >= 0x84 && b <= 0xD3) || (b >= 0xD8 && b <= 0xDE) || (b >= 0xE0 && b <= 0xF9);
        default:
            return false;
    }
}

// A conversion descriptor for one call; closed when it goes.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != iconv_t(-1); }

    // Converts one whole unit; false when it does not convert completely.
    bool run(const char* in, size_t inBytes, char* out, size_t& outBytes) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in);
        char* dst = out;
        size_t outLeft = outBytes;
        const size_t r = iconv(cd_, &src, &inBytes, &dst, &outLeft);
        outBytes -= outLeft;
        return r != size_t(-1) && inBytes == 0;
    }

private:
    iconv_t cd_;
};

// Decodes one character's bytes to UTF-16.
QString DecodeUnit(Converter& cv, const char* p, size_t n, bool singleByte) {
    char16_t out[8];
    size_t outBytes = sizeof(out);
    if (cv.ok() && cv.run(p, n, reinterpret_cast<char*>(out), outBytes) && outBytes >= 2)
        return QString::fromUtf16(out, qsizetype(outBytes / 2));
    if (singleByte) return QString(QChar(char16_t(static_cast<unsigned char>(p[0]))));
    return QString(QChar(char16_t(0xFFFD)));
}

}  // namespace

const char* CodePageName(std::uint8_t charset) {
    switch (charset) {
        case 77:
            return "MACINTOSH";
        case 128:
            return "CP932";
        case 129:
            return "UHC";
        case 130:
            return "JOHAB";
        case 134:
            return "GBK";
        case 136:
            return "CP950";
        case 161:
            return "CP1253";
        case 162:
            return "CP1254";
        case 163:
            return "CP1258";
        case 177:
            return "CP1255";
        case 178:
            return "CP1256";
        case 186:
            return "CP1257";
        case 204:
            return "CP1251";
        case 222:
            return "CP874";
        case 238:
            return "CP1250";
        case 255:
            return "CP437";
        default:
            return "CP1252";
    }
}

DecodedText DecodeText(const QByteArray& bytes, std::uint8_t charset,
                       const std::vector<std::int16_t>* dxPerByte) {
    DecodedText out;
    const bool withDx = dxPerByte && qsizetype(dxPerByte->size()) >= bytes.size();
    const qsizetype n = bytes.size();
    if (charset == kSymbolCharset) {
        for (qsizetype i = 0; i < n; ++i) {
            out.text.append(QChar(char16_t(0xF000 + static_cast<unsigned char>(bytes[i]))));
            if (withDx) out.dx.push_back((*dxPerByte)[size_t(i)]);
        }
        return out;
    }
    Converter cv("UTF-16LE", CodePageName(charset));
    const bool dbcs = IsDoubleByteCharset(charset);
    for (qsizetype i = 0; i < n;) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const qsizetype len = dbcs && IsLeadByte(charset, b) && i + 1 < n ? 2 : 1;
        const QString unit = b < 0x80 && len == 1
                                 ? QString(QChar(char16_t(b)))
                                 : DecodeUnit(cv, bytes.constData() + i, size_t(len), !dbcs);
        out.text.append(unit);
        if (withDx) {
            std::int32_t advance = 0;
            for (qsizetype k = 0; k < len; ++k)
                advance += (*dxPerByte)[size_t(i + k)];
            out.dx.push_back(advance);
            for (qsizetype k = 1; k < unit.size(); ++k)
                out.dx.push_back(0);
        }
        i += len;
    }
    return out;
}

QString DecodeFaceName(const QByteArray& bytes, std::uint8_t charset) {
    const qsizetype end = bytes.indexOf('\0');
    const QByteArray name = end < 0 ? bytes : bytes.left(end);
    // A symbol font's name is plain text, not symbols.
    return DecodeText(name, charset == kSymbolCharset ? kAnsiCharset : charset).text;
}

QByteArray EncodeText(const QString& text, std::uint8_t charset) {
    QByteArray out;
    if (charset == kSymbolCharset) {
        for (QChar c : text)
            out.append(char(c.unicode() & 0xFF));
        return out;
    }
    Converter cv(CodePageName(charset), "UTF-16LE");
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80) {
            out.append(char(u));
            continue;
        }
        const qsizetype len = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        char buf[8];
        size_t outBytes = sizeof(buf);
        if (cv.ok() &&
            cv.run(reinterpret_cast<const char*>(text.constData() + i), size_t(len) * 2, buf,
                   outBytes) &&
            outBytes > 0)
            out.append(buf, qsizetype(outBytes));
        else
            out.append('?');
        i += len - 1;
    }
    return out;
}

}  // namespace mf::wmf
