#include "document/whole_inflate.h"

#include <libdeflate.h>

#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

std::atomic<bool> oneCallInflate{true};

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

// Large buffers are filled once, straight after they are made: asking for
// huge pages spares the kernel a fault for every 4 KiB of them.
constexpr qint64 kHugePageAdviceFrom = 4 << 20;

void AdviseHugePages(QByteArray& buffer) {
#if defined(MADV_HUGEPAGE)
    if (buffer.size() < kHugePageAdviceFrom) return;
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(buffer.data());
    const std::uintptr_t first = (start + page - 1) / page * page;
    const std::uintptr_t end = (start + std::uintptr_t(buffer.size())) / page * page;
    if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#else
    Q_UNUSED(buffer);
#endif
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
        QByteArray buffer(qsizetype(size), Qt::Uninitialized);
        AdviseHugePages(buffer);
        return buffer;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

void SetOneCallInflate(bool enabled) {
    oneCallInflate.store(enabled, std::memory_order_relaxed);
}

bool OneCallInflate() {
    return oneCallInflate.load(std::memory_order_relaxed);
}
