// Inflating the pages of a format-3.0 album of real photo pages: zlib and
// libdeflate on the same page streams, each into a fresh buffer of the page's
// declared size, and beside them reading every page as `neridal-tool info`
// does. At the end it prints the time per page of both inflaters and how long
// reading every page takes against plain zlib on the same streams (aim: at
// most 0.6).
//
// The page is read at run time from the shared benchmark folder
// (bench/photo-page.emf beside the checkout, or the file NERIDAL_BENCH_PAGE names).

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <memory>

#include "document/album_document.h"
#include "document/album_info.h"
#include "document/album_writer.h"
#include "document/whole_inflate.h"

namespace {

constexpr int kPages = 6;

QString BenchPage() {
    const QString given = qEnvironmentVariable("NERIDAL_BENCH_PAGE");
    if (!given.isEmpty()) return given;
    return QStringLiteral(NERIDAL_SHARED_DIR "/bench/photo-page.emf");
}

struct PageStream {
    QByteArray stored;  // the zlib stream as the album holds it
    qint64 size = 0;    // its declared size
};

struct Album {
    QTemporaryDir dir;
    QString path;
    QString problem;  // why there is no album to measure
    std::vector<PageStream> streams;
    qint64 inflatedBytes = 0;

    Album() {
        QFile page(BenchPage());
        if (!page.open(QIODevice::ReadOnly)) {
            problem = QStringLiteral("cannot read the benchmark page %1").arg(page.fileName());
            return;
        }
        AlbumDraft draft;
        draft.settings = DefaultSettings();
        draft.pages.assign(kPages, AlbumPage{page.readAll(), 0, {}, {}});
        path = dir.filePath(QStringLiteral("PHOTOS.PXA"));
        if (!WriteAlbumFile(path, draft)) {
            problem = QStringLiteral("cannot write %1").arg(path);
            return;
        }
        LoadError error;
        std::unique_ptr<const AlbumDocument> doc = OpenAlbum(path, OpenOptions{Work()}, &error);
        QFile file(path);
        if (!doc || !file.open(QIODevice::ReadOnly)) {
            problem = QStringLiteral("cannot open %1: %2").arg(path, error.reason);
            return;
        }
        // The writer stores the streams one after another, to the end of the file.
        for (int p = 1; p <= doc->pageCount; ++p) {
            const TPageEntry& entry = doc->pages[size_t(p)];
            const qint64 end = p < doc->pageCount ? doc->pages[size_t(p) + 1].offset : file.size();
            file.seek(entry.offset);
            streams.push_back({file.read(end - entry.offset), entry.size});
            inflatedBytes += entry.size;
        }
        std::fprintf(stderr, "album: %d pages, %.1f MB of pages, %.1f MB on disk\n", kPages,
                     double(inflatedBytes) / 1e6, double(file.size()) / 1e6);
    }
    QString Work() const { return dir.path() + QLatin1Char('/'); }
};

Album& PhotoAlbum() {
    static Album album;
    return album;
}

bool Ready(benchmark::State& state, const Album& album) {
    if (album.problem.isEmpty()) return true;
    state.SkipWithError(album.problem.toLocal8Bit().constData());
    return false;
}

bool ZlibInflate(const PageStream& s, QByteArray& out) {
    uLongf produced = uLongf(s.size);
    return uncompress(reinterpret_cast<Bytef*>(out.data()), &produced,
                      reinterpret_cast<const Bytef*>(s.stored.constData()),
                      uLong(s.stored.size())) == Z_OK &&
           qint64(produced) == s.size;
}

bool LibdeflateInflate(const PageStream& s, QByteArray& out) {
    return InflateWhole(s.stored, out) == s.size;
}

void InflatePages(benchmark::State& state, bool (*inflate)(const PageStream&, QByteArray&)) {
    Album& album = PhotoAlbum();
    if (!Ready(state, album)) return;
    for (auto _ : state) {
        for (const PageStream& s : album.streams) {
            QByteArray out(s.size, Qt::Uninitialized);
            if (!inflate(s, out)) state.SkipWithError("a page does not inflate");
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetBytesProcessed(state.iterations() * album.inflatedBytes);
}

void BM_ZlibInflatePages(benchmark::State& state) {
    InflatePages(state, ZlibInflate);
}

void BM_LibdeflateInflatePages(benchmark::State& state) {
    InflatePages(state, LibdeflateInflate);
}

void BM_ReadEveryPage(benchmark::State& state) {
    Album& album = PhotoAlbum();
    if (!Ready(state, album)) return;
    for (auto _ : state) {
        LoadError error;
        std::unique_ptr<const AlbumDocument> doc =
            OpenAlbum(album.path, OpenOptions{album.Work()}, &error);
        const std::optional<QString> info = doc ? AlbumInfoJson(*doc, 96, &error) : std::nullopt;
        if (!info) state.SkipWithError("the album does not read");
        benchmark::DoNotOptimize(info);
    }
    state.SetBytesProcessed(state.iterations() * album.inflatedBytes);
}

BENCHMARK(BM_ZlibInflatePages)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LibdeflateInflatePages)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReadEveryPage)->Unit(benchmark::kMillisecond)->Iterations(5);

// Prints the runs as usual and, at the end, the time per page and the ratios,
// in wall time and, for a machine shared with other work, in CPU time.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred) continue;
            real_[r.run_name.function_name] = r.GetAdjustedRealTime();
            cpu_[r.run_name.function_name] = r.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        Summary("wall", real_);
        Summary("CPU", cpu_);
    }

private:
    static void Summary(const char* clock, std::map<std::string, double>& times) {
        const double zlib = times["BM_ZlibInflatePages"];
        const double libdeflate = times["BM_LibdeflateInflatePages"];
        const double readAll = times["BM_ReadEveryPage"];
        if (zlib <= 0 || libdeflate <= 0 || readAll <= 0) return;
        std::printf(
            "%s time per page: zlib %.1f ms, libdeflate %.1f ms (%.2f of zlib); reading every "
            "page %.1f ms, %.2f of plain zlib on the same streams\n",
            clock, zlib / kPages, libdeflate / kPages, libdeflate / zlib, readAll / kPages,
            readAll / zlib);
    }

    std::map<std::string, double> real_, cpu_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
