// Turning pages in the document window: from the PageDown key to the painted
// sheet, at fit page in a 1920 x 1080 window, on the sample album. Also holds
// PageDown through 100 pages and reports how the memory changed.
//
// The sample album is looked for beside the build (sample/SAMPLE.PXA) or at
// the path in NERIDAL_SAMPLE_ALBUM.

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "bench_support.h"
#include "controls/focus_control.h"
#include "document/album_document.h"
#include "document/album_writer.h"
#include "viewer/view_env.h"
#include "viewer/view_form.h"
#include "viewer/view_widgets.h"
#include "viewer/zoom_choices.h"

namespace {

QString SampleAlbum() {
    const QString given = qEnvironmentVariable("NERIDAL_SAMPLE_ALBUM");
    if (!given.isEmpty()) return given;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../sample/SAMPLE.PXA");
}

// An album of `pages` pages made of the sample's own pages, in turn.
QString LongAlbum(const QTemporaryDir& dir, int pages) {
    LoadError error;
    OpenOptions options;
    options.workFolder = dir.path() + QLatin1Char('/');
    std::unique_ptr<const AlbumDocument> sample = OpenAlbum(SampleAlbum(), options, &error);
    if (!sample) return {};
    std::vector<QByteArray> pictures;
    for (int p = 1; p <= sample->pageCount; ++p) {
        auto bytes = ReadPageBytes(*sample, p, &error);
        if (!bytes) return {};
        pictures.push_back(*bytes);
    }
    AlbumDraft draft;
    draft.settings = sample->settings;
    for (int p = 0; p < pages; ++p) {
        AlbumPage page;
        page.picture = pictures[size_t(p) % pictures.size()];
        draft.pages.push_back(page);
    }
    const QString path = dir.filePath(QStringLiteral("LONG.PXA"));
    return WriteAlbumFile(path, draft) ? path : QString();
}

std::unique_ptr<TViewForm> OpenFitPage(const QString& path, const QString& work) {
    ViewEnvironment().zoomIndex = kZoomFitPage;
    ViewEnvironment().formMaximized = false;
    auto view = std::make_unique<TViewForm>(nullptr);
    view->setWorkFolder(work);
    view->resize(1920, 1080);
    view->show();
    QApplication::processEvents();  // exposes the window
    if (!view->OpenDocument(path)) return nullptr;
    QApplication::processEvents();
    view->PaintBox->repaint();
    return view;
}

void PressPageDown(TViewForm& view) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
    QApplication::sendEvent(view.FocusControl, &press);
    view.PaintBox->repaint();  // the painted sheet
}

void BM_PageTurnFitPage(benchmark::State& state) {
    QTemporaryDir dir;
    auto view = OpenFitPage(SampleAlbum(), dir.path() + QLatin1Char('/'));
    if (!view) {
        state.SkipWithError("sample album not found; build the neridal-sample target");
        return;
    }
    const int rendersBefore = view->pageRenderCount();
    for (auto _ : state) {
        if (view->currentPage() == view->pageCount()) {
            state.PauseTiming();
            view->StartBtnClick();
            view->PaintBox->repaint();
            state.ResumeTiming();
        }
        PressPageDown(*view);
    }
    // Every turn must have played its page once (the turns back to page 1 too).
    state.counters["renders_per_turn"] =
        double(view->pageRenderCount() - rendersBefore) / double(state.iterations());
    state.counters["zoom_percent"] = view->zoomPercent();
    state.counters["sheet_width"] = view->PaintBox->width();
}
BENCHMARK(BM_PageTurnFitPage)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_HoldPageDownThrough100Pages(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = LongAlbum(dir, 102);
    auto view = path.isEmpty() ? nullptr : OpenFitPage(path, dir.path() + QLatin1Char('/'));
    if (!view) {
        state.SkipWithError("sample album not found; build the neridal-sample target");
        return;
    }
    // Once through first, so that every cache and pool has its working size;
    // then the same 100 pages again, measured.
    for (int i = 0; i < 100; ++i)
        PressPageDown(*view);
    view->StartBtnClick();
    view->PaintBox->repaint();
    const long before = ResidentKb();
    long peak = before;
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) {
            PressPageDown(*view);
            peak = std::max(peak, ResidentKb());
        }
    }
    const long after = ResidentKb();
    state.counters["rss_before_kb"] = double(before);
    state.counters["rss_after_kb"] = double(after);
    state.counters["rss_growth_kb"] = double(after - before);
    state.counters["rss_peak_growth_kb"] = double(peak - before);
    state.counters["last_page"] = view->currentPage();
}
BENCHMARK(BM_HoldPageDownThrough100Pages)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    return RunWidgetBenchmarks(argc, argv);
}
