#include "document/zlib_reader.h"

#include <zlib.h>
#include <QIODevice>
#include <algorithm>

struct ZlibReader::State {
    z_stream z{};
    bool initialised = false;
};

ZlibReader::ZlibReader(QIODevice& source, qint64 inputChunk)
    : state_(std::make_unique<State>()), source_(source), input_(size_t(inputChunk)) {
    if (inflateInit(&state_->z) == Z_OK)
        state_->initialised = true;
    else
        error_ = QStringLiteral("zlib could not be initialised");
}

ZlibReader::~ZlibReader() {
    if (state_->initialised) inflateEnd(&state_->z);
}

qint64 ZlibReader::read(char* out, qint64 max) {
    if (!error_.isEmpty()) return -1;
    z_stream& z = state_->z;
    qint64 produced = 0;
    while (produced < max && !streamEnd_) {
        if (z.avail_in == 0) {
            const qint64 got = source_.read(input_.data(), qint64(input_.size()));
            if (got <= 0) {
                error_ = QStringLiteral("the file ends inside the compressed data");
                return produced > 0 ? produced : -1;
            }
            z.next_in = reinterpret_cast<Bytef*>(input_.data());
            z.avail_in = uInt(got);
        }
        const qint64 want = std::min<qint64>(max - produced, 1 << 30);
        z.next_out = reinterpret_cast<Bytef*>(out + produced);
        z.avail_out = uInt(want);
        const int rc = inflate(&z, Z_NO_FLUSH);
        produced += want - qint64(z.avail_out);
        if (rc == Z_STREAM_END) {
            streamEnd_ = true;
        } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
            error_ = QStringLiteral("bad compressed data (%1)")
                         .arg(QString::fromLatin1(z.msg ? z.msg : "zlib error"));
            return produced > 0 ? produced : -1;
        }
    }
    return produced;
}
