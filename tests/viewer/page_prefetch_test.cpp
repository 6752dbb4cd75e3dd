// The background page loads: what a request leaves ready, the budget that
// bounds it, and what another view or document drops.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "document/album_document.h"
#include "metafile/picture.h"
#include "viewer/page_prefetch.h"
#include "viewer_fixture.h"

namespace {

std::shared_ptr<const AlbumDocument> Open(const QString& path) {
    LoadError error;
    return std::shared_ptr<const AlbumDocument>(OpenAlbum(path, OpenOptions{}, &error));
}

PageViewKey Key(int page, int zoom = 50) {
    PageViewKey key;
    key.page = page;
    key.inner = QSize(200, 280);
    key.zoomPercent = zoom;
    return key;
}

TEST(PagesToPrepare, TwoAheadInTheDirectionOfTravelAndThePageJustLeft) {
    struct Case {
        int page, count, travel;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {1, 5, 0, {2}},         // just opened
        {3, 5, 0, {4, 2}},      // no turn yet: one either side
        {3, 5, 1, {4, 5, 2}},   // forward
        {3, 5, -1, {2, 1, 4}},  // back
        {4, 5, 1, {5, 3}},      // the end is near
        {2, 5, -1, {1, 3}},     // so is the start
        {1, 1, 1, {}},          // one page
    };
    for (const Case& c : cases)
        EXPECT_EQ(PagesToPrepare(c.page, c.count, c.travel), c.expected)
            << "page " << c.page << " travel " << c.travel;
}

TEST(PagePrefetcher, RequestedPagesAreReadyRenderedForTheirViewAndTakenOnce) {
    QTemporaryDir dir;
    const auto doc = Open(WriteTestAlbum(dir, TestAlbum{}));
    ASSERT_TRUE(doc);
    PagePrefetcher prefetch;
    PageViewKey pictureOnly = Key(4);
    pictureOnly.inner = QSize();
    prefetch.Request(doc, {Key(2), pictureOnly, Key(99)});
    prefetch.WaitForIdle();
    std::optional<PrefetchedPage> two = prefetch.Take(2);
    ASSERT_TRUE(two);
    ASSERT_TRUE(two->picture);
    EXPECT_EQ(two->image.size(), QSize(200, 280));
    EXPECT_FALSE(prefetch.Take(2));
    std::optional<PrefetchedPage> four = prefetch.Take(4);
    ASSERT_TRUE(four);
    EXPECT_TRUE(four->image.isNull());
    EXPECT_FALSE(prefetch.Take(99));
}

TEST(PagePrefetcher, TheCacheKeepsWithinItsBudgetAndAnotherViewOrDocumentDropsIt) {
    QTemporaryDir dir;
    const auto doc = Open(WriteTestAlbum(dir, TestAlbum{}));
    ASSERT_TRUE(doc);
    PagePrefetcher byCount(2);
    byCount.Request(doc, {Key(1), Key(2), Key(3), Key(4)});
    byCount.WaitForIdle();
    // The most urgent stay, whatever order the workers finish in.
    EXPECT_EQ(byCount.ReadyPages().size(), 2u);
    EXPECT_TRUE(byCount.Take(1));
    EXPECT_TRUE(byCount.Take(2));

    PagePrefetcher byBytes(10, 1);  // no room for any page
    byBytes.Request(doc, {Key(1), Key(2)});
    byBytes.WaitForIdle();
    EXPECT_EQ(byBytes.cachedBytes(), 0);

    PagePrefetcher prefetch;
    prefetch.Request(doc, {Key(1), Key(2)});
    prefetch.WaitForIdle();
    EXPECT_GT(prefetch.cachedBytes(), 0);
    prefetch.Request(doc, {Key(2), Key(3)});  // page 1 is no longer wanted
    prefetch.WaitForIdle();
    EXPECT_FALSE(prefetch.Take(1));
    EXPECT_TRUE(prefetch.Take(2));
    prefetch.Request(doc, {Key(3, 100)});  // another zoom: the old page 3 goes
    prefetch.WaitForIdle();
    std::optional<PrefetchedPage> three = prefetch.Take(3);
    ASSERT_TRUE(three);
    EXPECT_EQ(three->key.zoomPercent, 100);

    const auto other = Open(WriteTestAlbum(dir, TestAlbum{}, QStringLiteral("OTHER")));
    prefetch.Request(doc, {Key(5)});
    prefetch.WaitForIdle();
    prefetch.Request(other, {Key(1)});
    prefetch.WaitForIdle();
    EXPECT_FALSE(prefetch.Take(5));
    prefetch.Cancel();
    EXPECT_EQ(prefetch.cachedBytes(), 0);
}

}  // namespace
