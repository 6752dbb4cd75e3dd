#include "document/whole_inflate.h"

#include <libdeflate.h>
#include <limits>
#include <memory>
#include <new>

namespace {

struct DecompressorDeleter {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// One per thread: a decompressor may not be shared, and making one costs
// more than a small page.
libdeflate_decompressor* ThreadDecompressor() {
    thread_local std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> decompressor(
        libdeflate_alloc_decompressor());
    return decompressor.get();
}

}  // namespace

std::optional<qint64> InflateWhole(std::span<const char> in, std::span<char> out) {
    libdeflate_decompressor* decompressor = ThreadDecompressor();
    if (!decompressor) return std::nullopt;
    size_t produced = 0;
    const libdeflate_result rc = libdeflate_zlib_decompress(decompressor, in.data(), in.size(),
                                                            out.data(), out.size(), &produced);
    if (rc != LIBDEFLATE_SUCCESS) return std::nullopt;
    return qint64(produced);
}

std::optional<QByteArray> AllocateBuffer(qint64 size) {
    if (size < 0 || size > std::numeric_limits<qsizetype>::max()) return std::nullopt;
    try {
        return QByteArray(qsizetype(size), Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}
