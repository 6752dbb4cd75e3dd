#pragma once

// Loads and renders the pages next to the one shown, in the background, so
// that turning to them paints a finished image. The window asks after each
// page it shows; a request for another view drops what the last one asked
// for, and the finished pages are kept within a byte budget.

#include <QImage>
#include <QObject>
#include <QSize>
#include <QThreadPool>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "document/page_sheet.h"

struct AlbumDocument;
namespace mf {
class Picture;
}

// What a rendering was made for: page, picture area, density, margins, zoom.
struct PageViewKey {
    int page = 0;
    QSize inner;  // logical pixels; empty: load the picture only
    qreal devicePixelRatio = 1;
    PageMargins margins;
    int zoomPercent = 0;

    bool SameView(const PageViewKey& o) const {
        return inner == o.inner && devicePixelRatio == o.devicePixelRatio && margins == o.margins &&
               zoomPercent == o.zoomPercent;
    }
};

struct PrefetchedPage {
    PageViewKey key;
    std::shared_ptr<const mf::Picture> picture;
    QImage image;  // null when only the picture was asked for

    qint64 bytes() const;
};

// The pages to prepare around `page` of `pageCount`, the most urgent first.
// `travel` is the direction of the last turn (1 forward, -1 back, 0 none yet):
// a reader going one way gets the next two pages that way, so that both
// workers load while a key is held, and the page just left stays at hand.
std::vector<int> PagesToPrepare(int page, int pageCount, int travel);

class PagePrefetcher {
public:
    // At most `maxPages` finished pages, and at most `maxBytes` of them.
    explicit PagePrefetcher(int maxPages = kDefaultPages, qint64 maxBytes = kDefaultBytes);
    ~PagePrefetcher();  // cancels and waits for the workers
    PagePrefetcher(const PagePrefetcher&) = delete;
    PagePrefetcher& operator=(const PagePrefetcher&) = delete;

    static constexpr int kDefaultPages = 3;
    static constexpr qint64 kDefaultBytes = qint64(96) << 20;

    // Prepares `wanted` of `doc` in the background, the most urgent first.
    // Finished pages of other views or of other documents are dropped, and so
    // are workers still on them. Over the budget, the least urgent go first.
    void Request(std::shared_ptr<const AlbumDocument> doc, const std::vector<PageViewKey>& wanted);
    // The finished page `page`, taken out of the cache. A page still being
    // prepared is waited for rather than loaded twice; nothing when it was
    // not asked for or could not be loaded.
    std::optional<PrefetchedPage> Take(int page);
    // Keeps a page the window is leaving, as it was shown, so that turning
    // back to it, or asking for it next, costs nothing.
    void Keep(const std::shared_ptr<const AlbumDocument>& doc, PrefetchedPage page);
    // Drops everything and stops the workers' current work.
    void Cancel();
    // Waits until the workers are idle (tests and benchmarks).
    void WaitForIdle();
    // The pages finished and kept, oldest first (tests).
    std::vector<int> ReadyPages() const;
    qint64 cachedBytes() const;

private:
    void Work(std::shared_ptr<const AlbumDocument> doc, PageViewKey key, std::uint64_t generation);
    void Store(PrefetchedPage page, std::uint64_t generation);

    const int maxPages_;
    const qint64 maxBytes_;
    QThreadPool pool_;
    std::atomic<std::uint64_t> generation_{0};
    mutable std::mutex mutex_;
    std::condition_variable stored_;
    std::shared_ptr<const AlbumDocument> doc_;  // what the cache holds pages of
    std::deque<PrefetchedPage> cache_;          // oldest first
    std::vector<PageViewKey> inFlight_;
    std::vector<int> wanted_;  // the pages of the last request, the most urgent first
};
