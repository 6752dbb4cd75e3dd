// A real construction-photo album in the document window, 1920 x 1080 at fit
// page: 100 pages like the shared photo page as format 3.0, and 30 as format
// 1.x. Reports, per format:
// - opening the album and showing page 1;
// - a page turn from the PageDown key to the painted sheet, median and 95th
//   percentile, without prefetch, with prefetch after a reading pause, and
//   with prefetch while the key is held;
// - a jump through the contents to a distant page;
// - resident memory while turning;
// - printing all 100 pages to PDF, with the memory before each page, next to
//   rendering them at 300 dpi.
//
// The page is read at run time from the shared benchmark folder (or the file
// NERIDAL_BENCH_PAGE names); the albums are written into a temporary folder.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPrinter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench_support.h"
#include "controls/cng_lst_box.h"
#include "controls/focus_control.h"
#include "document/album_document.h"
#include "document/album_writer.h"
#include "document/page_sheet.h"
#include "document/whole_inflate.h"
#include "metafile/picture.h"
#include "printing/print_job.h"
#include "viewer/page_painter.h"
#include "viewer/page_prefetch.h"
#include "viewer/view_env.h"
#include "viewer/view_form.h"
#include "viewer/view_widgets.h"
#include "viewer/zoom_choices.h"

namespace {

constexpr int kPages30 = 100;
constexpr int kPages1x = 30;
constexpr int kTurns = 40;
constexpr int kJumpTo = 90;
// The screen the print job's margins are measured on, as neridal-tool prints.
constexpr int kScreenPpi = 96;

QString BenchPage() {
    const QString given = qEnvironmentVariable("NERIDAL_BENCH_PAGE");
    if (!given.isEmpty()) return given;
    return QStringLiteral(NERIDAL_SHARED_DIR "/bench/photo-page.emf");
}

struct PhotoAlbums {
    QTemporaryDir dir;
    QString v30, v1x, problem;

    PhotoAlbums() {
        QFile page(BenchPage());
        if (!page.open(QIODevice::ReadOnly)) {
            problem = QStringLiteral("cannot read the benchmark page %1").arg(page.fileName());
            return;
        }
        const QByteArray picture = page.readAll();
        AlbumDraft draft;
        draft.settings = DefaultSettings();
        draft.zlibLevel = 1;  // quick to write; inflating costs about the same
        for (int p = 1; p <= kPages30; ++p) {
            draft.pages.push_back(AlbumPage{picture, 0, {}, {}});
            TTocEntry entry;
            entry.pageSlot = p;
            entry.text = QByteArray("Photo ") + QByteArray::number(p);
            draft.toc.push_back(entry);
        }
        v30 = dir.filePath(QStringLiteral("PHOTOS.PXA"));
        draft.pages.resize(kPages30);
        if (!WriteAlbumFile(v30, draft)) problem = QStringLiteral("cannot write %1").arg(v30);
        draft.producer = "RTB";
        draft.producerVersion = 10000;
        draft.nineByteRecords = false;
        draft.pages.resize(kPages1x);
        draft.toc.resize(kPages1x);
        v1x = dir.filePath(QStringLiteral("PHOTOS.PXB"));
        if (!WriteAlbumFile(v1x, draft)) problem = QStringLiteral("cannot write %1").arg(v1x);
    }
};

PhotoAlbums& Albums() {
    static PhotoAlbums albums;
    return albums;
}

std::unique_ptr<TViewForm> NewWindow(bool prefetch) {
    ViewEnvironment().zoomIndex = kZoomFitPage;
    ViewEnvironment().formMaximized = false;
    auto view = std::make_unique<TViewForm>(nullptr);
    view->setWorkFolder(Albums().dir.path() + QLatin1Char('/'));
    view->setPrefetch(prefetch);
    view->resize(1920, 1080);
    view->show();
    QApplication::processEvents();
    return view;
}

void PressPageDown(TViewForm& view) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
    QApplication::sendEvent(view.FocusControl, &press);
    view.PaintBox->repaint();
}

double Percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(q * double(v.size() - 1) + 0.5))];
}

const QString& AlbumFor(const benchmark::State& state) {
    return state.range(0) == 30 ? Albums().v30 : Albums().v1x;
}

// The argument `index` of a run: 1 inflates in one call with libdeflate, 0
// with zlib piece by piece. Set for the run, back to the default after it.
class InflaterFor {
public:
    InflaterFor(const benchmark::State& state, int index) {
        SetOneCallInflate(state.range(index) != 0);
    }
    ~InflaterFor() { SetOneCallInflate(true); }
    InflaterFor(const InflaterFor&) = delete;
    InflaterFor& operator=(const InflaterFor&) = delete;
};

void BM_OpenAndShowPage1(benchmark::State& state) {
    if (!Albums().problem.isEmpty()) return state.SkipWithError(qPrintable(Albums().problem));
    const InflaterFor inflater(state, 1);
    for (auto _ : state) {
        state.PauseTiming();
        auto view = NewWindow(false);
        state.ResumeTiming();
        if (!view->OpenDocument(AlbumFor(state))) return state.SkipWithError("cannot open");
        view->PaintBox->repaint();
        state.PauseTiming();
        state.counters["rss_mb"] = ResidentMb();
        view.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenAndShowPage1)
    ->ArgsProduct({{30, 10}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Arg 0: format; arg 1: 0 no prefetch, 1 prefetch after a reading pause,
// 2 prefetch with the key held; arg 2: the inflater.
void BM_PageTurn(benchmark::State& state) {
    if (!Albums().problem.isEmpty()) return state.SkipWithError(qPrintable(Albums().problem));
    const InflaterFor inflater(state, 2);
    const int mode = int(state.range(1));
    auto view = NewWindow(mode != 0);
    if (!view->OpenDocument(AlbumFor(state))) return state.SkipWithError("cannot open");
    view->PaintBox->repaint();
    std::vector<double> turns;
    double peak = ResidentMb();
    const double start = peak;
    for (auto _ : state) {
        turns.clear();
        view->ChangePage(1);
        view->PaintBox->repaint();
        for (int i = 0; i < kTurns && view->currentPage() < view->pageCount(); ++i) {
            if (mode == 1 && view->prefetcher()) view->prefetcher()->WaitForIdle();
            QElapsedTimer timer;
            timer.start();
            PressPageDown(*view);
            turns.push_back(double(timer.nsecsElapsed()) / 1e6);
            peak = std::max(peak, ResidentMb());
        }
        state.SetIterationTime(Percentile(turns, 0.5) / 1e3);
    }
    state.counters["median_ms"] = Percentile(turns, 0.5);
    state.counters["p95_ms"] = Percentile(turns, 0.95);
    state.counters["rss_start_mb"] = start;
    state.counters["rss_peak_mb"] = peak;
    state.counters["rss_end_mb"] = ResidentMb();
}
BENCHMARK(BM_PageTurn)
    ->ArgsProduct({{30, 10}, {0, 1, 2}, {1, 0}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_JumpThroughContents(benchmark::State& state) {
    if (!Albums().problem.isEmpty()) return state.SkipWithError(qPrintable(Albums().problem));
    const InflaterFor inflater(state, 1);
    auto view = NewWindow(true);
    if (!view->OpenDocument(AlbumFor(state))) return state.SkipWithError("cannot open");
    const int target = std::min(kJumpTo, view->pageCount() - 2);
    for (auto _ : state) {
        state.PauseTiming();
        view->ChangePage(1);
        view->PaintBox->repaint();
        if (view->prefetcher()) view->prefetcher()->WaitForIdle();
        state.ResumeTiming();
        view->JumpTree->SetItemIndex(target - 1);  // the entry of that page
        view->TimerTimer();                        // the contents' pause has passed
        view->PaintBox->repaint();
    }
    state.counters["page"] = view->currentPage();
}
BENCHMARK(BM_JumpThroughContents)
    ->ArgsProduct({{30, 10}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The print command's job to PDF for every page of the 100-page album; the
// resident memory is sampled before each page, so growth across pages shows.
void BM_PrintAlbumToPdf(benchmark::State& state) {
    if (!Albums().problem.isEmpty()) return state.SkipWithError(qPrintable(Albums().problem));
    LoadError error;
    OpenOptions options;
    options.workFolder = Albums().dir.path() + QLatin1Char('/');
    std::unique_ptr<const AlbumDocument> doc = OpenAlbum(Albums().v30, options, &error);
    if (!doc) return state.SkipWithError("cannot open");
    const QString pdf = Albums().dir.filePath(QStringLiteral("print.pdf"));
    std::vector<double> rss;
    for (auto _ : state) {
        rss.clear();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        const SheetGeometry geometry = SheetGeometryOf(*doc, kScreenPpi);
        ApplyDocumentPaper(printer, geometry.paper);
        const PrintJobOutcome outcome =
            PrintAlbumPages(printer, *doc, geometry, 1, doc->pageCount, [&](int, int) {
                rss.push_back(ResidentMb());
                return true;
            });
        if (outcome.result != PrintJobOutcome::Result::Printed)
            return state.SkipWithError("the job failed");
    }
    state.counters["pages"] = double(rss.size());
    state.counters["rss_page1_mb"] = rss.front();
    state.counters["rss_page50_mb"] = rss[rss.size() / 2];
    state.counters["rss_last_mb"] = rss.back();
    state.counters["rss_peak_mb"] = *std::max_element(rss.begin(), rss.end());
    state.counters["pdf_mb"] = double(QFileInfo(pdf).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_PrintAlbumToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same pages rendered as neridal-tool render --dpi 300 does, for scale.
void BM_RenderAlbumAt300Dpi(benchmark::State& state) {
    if (!Albums().problem.isEmpty()) return state.SkipWithError(qPrintable(Albums().problem));
    constexpr int kDpi = 300;
    LoadError error;
    std::unique_ptr<const AlbumDocument> doc = OpenAlbum(Albums().v30, OpenOptions{}, &error);
    if (!doc) return state.SkipWithError("cannot open");
    const SheetGeometry geometry = SheetGeometryOf(*doc, kDpi);
    double peak = 0;
    for (auto _ : state) {
        for (int page = 1; page <= doc->pageCount; ++page) {
            std::optional<mf::Picture> picture = LoadPagePicture(*doc, page, &error);
            if (!picture) return state.SkipWithError("a page failed");
            const PageSheet sheet = PageSheetOf(*doc, geometry, page);
            const QImage image =
                RenderPage(sheet.PaperAtZoom(100), 1.0, *picture, sheet.margins, 100);
            benchmark::DoNotOptimize(image.constBits());
            peak = std::max(peak, ResidentMb());
        }
    }
    state.counters["pages"] = doc->pageCount;
    state.counters["rss_peak_mb"] = peak;
}
BENCHMARK(BM_RenderAlbumAt300Dpi)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    return RunWidgetBenchmarks(argc, argv);
}
