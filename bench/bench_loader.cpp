// Opening a large format-1.x album: the open time, the throughput of its
// temporary copy, and beside it the throughput of a plain zlib inflate of the
// same stream, measured in the same run. The copy should reach at least 80 %
// of the plain inflate.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <random>

#include "document/album_document.h"
#include "document/album_writer.h"
#include "metafile/emf_writer.h"

namespace {

constexpr int kPages = 500;
constexpr int kDistinctPages = 10;

// A photo-like page: smooth gradients with some sensor noise, about 600 KB as a
// 24-bit DIB, so that the album inflates to about 300 MB at a realistic ratio.
QByteArray PhotoPage(int seed) {
    QImage image(470, 425, QImage::Format_RGB32);
    std::mt19937 noise{std::uint32_t(seed)};
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = int(noise() % 9) - 4;
            row[x] = qRgb(std::clamp(x / 2 + seed * 10 + n, 0, 255), std::clamp(y / 2 + n, 0, 255),
                          std::clamp(200 - y / 3 + n, 0, 255));
        }
    }
    mf::EmfWriter w(QSizeF(210, 297));
    w.StretchDIBits(QRect(40, 40, 700, 630), image);
    return w.Finish();
}

struct Fixture {
    QTemporaryDir dir;
    QString path;
    QByteArray stream;  // the compressed body, for the plain inflate
    qint64 bodyLength = 0;

    Fixture() {
        AlbumDraft draft;
        draft.producer = "PXA";
        draft.producerVersion = 15000;
        draft.settings = DefaultSettings();
        std::vector<QByteArray> distinct;
        for (int i = 0; i < kDistinctPages; ++i)
            distinct.push_back(PhotoPage(i));
        for (int i = 0; i < kPages; ++i)
            draft.pages.push_back({distinct[size_t(i % kDistinctPages)], 0, {}, {}});
        path = dir.filePath(QStringLiteral("BENCH.PXA"));
        WriteAlbumFile(path, draft);
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const QByteArray header = f.read(kHeaderSize);
        bodyLength = TAlbumHeader::Parse(header.constData()).pageBase;
        stream = f.readAll();
        std::fprintf(stderr, "album: %d pages, %.1f MB inflated, %.1f MB on disk\n", kPages,
                     double(bodyLength) / 1e6, double(stream.size() + kHeaderSize) / 1e6);
    }
};

Fixture& Album() {
    static Fixture fixture;
    return fixture;
}

void BM_PlainInflate(benchmark::State& state) {
    Fixture& f = Album();
    std::vector<char> out(256 * 1024);
    for (auto _ : state) {
        z_stream z{};
        inflateInit(&z);
        z.next_in = reinterpret_cast<Bytef*>(f.stream.data());
        z.avail_in = uInt(f.stream.size());
        int rc = Z_OK;
        while (rc == Z_OK) {
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = uInt(out.size());
            rc = inflate(&z, Z_NO_FLUSH);
        }
        if (rc != Z_STREAM_END || qint64(z.total_out) != f.bodyLength)
            state.SkipWithError("inflate failed");
        inflateEnd(&z);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * f.bodyLength);
}

void BM_OpenWithTemporaryCopy(benchmark::State& state) {
    Fixture& f = Album();
    const OpenOptions options{f.dir.path() + QLatin1Char('/')};
    for (auto _ : state) {
        LoadError error;
        std::unique_ptr<const AlbumDocument> doc = OpenAlbum(f.path, options, &error);
        if (!doc || doc->pageCount != kPages) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(doc.get());
    }
    state.SetBytesProcessed(state.iterations() * f.bodyLength);
}

BENCHMARK(BM_PlainInflate)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_OpenWithTemporaryCopy)->Unit(benchmark::kMillisecond)->Iterations(5);

// Prints the runs as usual and, at the end, the copy's share of the plain
// inflate's throughput.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            const auto it = r.counters.find("bytes_per_second");
            if (it != r.counters.end()) rates_[r.benchmark_name()] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const double plain = rates_["BM_PlainInflate/iterations:5"];
        const double copy = rates_["BM_OpenWithTemporaryCopy/iterations:5"];
        if (plain > 0 && copy > 0)
            std::printf(
                "temporary copy: %.0f MB/s, plain inflate: %.0f MB/s, copy reaches %.0f %%\n",
                copy / 1e6, plain / 1e6, 100.0 * copy / plain);
    }

private:
    std::map<std::string, double> rates_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
