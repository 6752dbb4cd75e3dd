#include "viewer/page_prefetch.h"

#include <QLoggingCategory>
#include <algorithm>

#include "document/album_document.h"
#include "metafile/picture.h"
#include "viewer/page_painter.h"

Q_LOGGING_CATEGORY(lcPrefetch, "neridal.viewer.prefetch", QtWarningMsg)

namespace {

// Two workers: one page either side is the usual request.
constexpr int kWorkers = 2;

}  // namespace

std::vector<int> PagesToPrepare(int page, int pageCount, int travel) {
    std::vector<int> order;
    if (travel == 0)
        order = {page + 1, page - 1};
    else
        order = {page + travel, page + 2 * travel, page - travel};
    std::erase_if(order, [&](int p) { return p < 1 || p > pageCount; });
    return order;
}

qint64 PrefetchedPage::bytes() const {
    return image.sizeInBytes() + (picture ? picture->bytes().size() : 0);
}

PagePrefetcher::PagePrefetcher(int maxPages, qint64 maxBytes)
    : maxPages_(maxPages), maxBytes_(maxBytes) {
    pool_.setMaxThreadCount(kWorkers);
}

PagePrefetcher::~PagePrefetcher() {
    Cancel();
    pool_.waitForDone();
}

void PagePrefetcher::Request(std::shared_ptr<const AlbumDocument> doc,
                             const std::vector<PageViewKey>& wanted) {
    std::lock_guard lock(mutex_);
    const bool sameDocument = doc_ == doc;
    // Keep what this request still wants; the rest goes, running work too.
    const auto stillWanted = [&](const PageViewKey& have) {
        return sameDocument && std::any_of(wanted.begin(), wanted.end(), [&](const PageViewKey& k) {
                   return k.page == have.page && k.SameView(have);
               });
    };
    std::erase_if(cache_, [&](const PrefetchedPage& p) { return !stillWanted(p.key); });
    const bool keepsRunning = std::all_of(inFlight_.begin(), inFlight_.end(),
                                          [&](const PageViewKey& k) { return stillWanted(k); });
    if (!keepsRunning) {
        ++generation_;
        pool_.clear();
        inFlight_.clear();
    }
    doc_ = doc;
    wanted_.clear();
    for (const PageViewKey& key : wanted)
        wanted_.push_back(key.page);
    const std::uint64_t generation = generation_;
    for (const PageViewKey& key : wanted) {
        if (key.page < 1 || key.page > doc->pageCount) continue;
        const auto same = [&](const PageViewKey& k) {
            return k.page == key.page && k.SameView(key);
        };
        if (std::any_of(cache_.begin(), cache_.end(),
                        [&](const PrefetchedPage& p) { return same(p.key); }) ||
            std::any_of(inFlight_.begin(), inFlight_.end(), same))
            continue;
        inFlight_.push_back(key);
        pool_.start([this, doc, key, generation] { Work(doc, key, generation); });
    }
}

void PagePrefetcher::Work(std::shared_ptr<const AlbumDocument> doc, PageViewKey key,
                          std::uint64_t generation) {
    PrefetchedPage done;
    done.key = key;
    if (generation_ == generation) {
        LoadError error;
        if (std::optional<mf::Picture> picture = LoadPagePicture(*doc, key.page, &error)) {
            done.picture = std::make_shared<const mf::Picture>(std::move(*picture));
            // The window shows a page it could not load itself with its message.
            if (!key.inner.isEmpty() && generation_ == generation)
                done.image = RenderPage(key.inner, key.devicePixelRatio, *done.picture, key.margins,
                                        key.zoomPercent);
        }
    }
    Store(std::move(done), generation);
}

void PagePrefetcher::Keep(const std::shared_ptr<const AlbumDocument>& doc, PrefetchedPage page) {
    {
        std::lock_guard lock(mutex_);
        if (doc_ != doc) {
            cache_.clear();
            doc_ = doc;
        }
        std::erase_if(cache_, [&](const PrefetchedPage& p) { return p.key.page == page.key.page; });
    }
    Store(std::move(page), generation_);
}

void PagePrefetcher::Store(PrefetchedPage page, std::uint64_t generation) {
    std::lock_guard lock(mutex_);
    std::erase_if(inFlight_, [&](const PageViewKey& k) {
        return k.page == page.key.page && k.SameView(page.key);
    });
    stored_.notify_all();
    if (generation != generation_ || !page.picture) return;
    const int ready = page.key.page;
    cache_.push_back(std::move(page));
    // Over the budget, a page no longer asked for goes first, then the least
    // urgent one; among equals the oldest.
    const auto urgency = [&](const PrefetchedPage& p) {
        return std::find(wanted_.begin(), wanted_.end(), p.key.page) - wanted_.begin();
    };
    qint64 total = 0;
    for (const PrefetchedPage& p : cache_)
        total += p.bytes();
    while (!cache_.empty() && (int(cache_.size()) > maxPages_ || total > maxBytes_)) {
        auto victim = cache_.begin();
        for (auto it = cache_.begin(); it != cache_.end(); ++it) {
            if (urgency(*it) > urgency(*victim)) victim = it;
        }
        total -= victim->bytes();
        cache_.erase(victim);
    }
    qCDebug(lcPrefetch) << "ready: page" << ready << "cache" << total << "bytes";
}

std::optional<PrefetchedPage> PagePrefetcher::Take(int page) {
    std::unique_lock lock(mutex_);
    stored_.wait(lock, [&] {
        return std::none_of(inFlight_.begin(), inFlight_.end(),
                            [&](const PageViewKey& k) { return k.page == page; });
    });
    const auto it = std::find_if(cache_.begin(), cache_.end(),
                                 [&](const PrefetchedPage& p) { return p.key.page == page; });
    if (it == cache_.end()) return std::nullopt;
    PrefetchedPage taken = std::move(*it);
    cache_.erase(it);
    return taken;
}

void PagePrefetcher::Cancel() {
    std::lock_guard lock(mutex_);
    ++generation_;
    pool_.clear();
    inFlight_.clear();
    cache_.clear();
    wanted_.clear();
    doc_.reset();
}

void PagePrefetcher::WaitForIdle() {
    pool_.waitForDone();
}

std::vector<int> PagePrefetcher::ReadyPages() const {
    std::lock_guard lock(mutex_);
    std::vector<int> pages;
    for (const PrefetchedPage& p : cache_)
        pages.push_back(p.key.page);
    return pages;
}

qint64 PagePrefetcher::cachedBytes() const {
    std::lock_guard lock(mutex_);
    qint64 total = 0;
    for (const PrefetchedPage& p : cache_)
        total += p.bytes();
    return total;
}
