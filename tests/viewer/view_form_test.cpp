// The document window with real albums, driven by keys, the wheel and the mouse.

#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "controls/cng_lst_box.h"
#include "controls/focus_control.h"
#include "controls/panel_ext.h"
#include "document/album_document.h"
#include "printing/printable_area.h"
#include "support/test_support.h"
#include "viewer/messages.h"
#include "viewer/page_prefetch.h"
#include "viewer/sheet_layout.h"
#include "viewer/view_env.h"
#include "viewer/view_form.h"
#include "viewer/view_widgets.h"
#include "viewer/zoom_choices.h"
#include "viewer/zoom_stepping.h"
#include "viewer_fixture.h"

namespace {

using B = FrameButton;

class ViewFormTest : public testing::Test {
protected:
    void SetUp() override {
        saved_ = ViewEnvironment();
        ViewEnv& env = ViewEnvironment();
        env = ViewEnv{};
        env.formMaximized = false;
        env.zoomIndex = kZoomFitPage;
        env.pageScroll = true;
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override { ViewEnvironment() = saved_; }

    TViewForm* OpenAlbum(const TestAlbum& album, QSize size = QSize(700, 500)) {
        const QString path = WriteTestAlbum(dir, album, QStringLiteral("TEST%1").arg(++serial_));
        EXPECT_FALSE(path.isEmpty());
        return frame.Open(path, size);
    }

    static void Key(TViewForm* view, Qt::Key key) { QTest::keyClick(view->FocusControl, key); }

    static void Wheel(QWidget* target, int angle) {
        const QPointF pos(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }

    static QScrollBar* VBar(TViewForm* view) { return view->ScrollBox->verticalScrollBar(); }
    static QScrollBar* HBar(TViewForm* view) { return view->ScrollBox->horizontalScrollBar(); }

    QTemporaryDir dir;
    FakeFrame frame;

private:
    ViewEnv saved_;
    int serial_ = 0;
};

TEST_F(ViewFormTest, OpenShowsTheFirstPageWithItsStatus) {
    TestAlbum album;
    album.pageNumberOffset = 10;
    TViewForm* view = OpenAlbum(album);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->currentPage(), 1);
    EXPECT_TRUE(view->PL_Paper->isVisible());
    EXPECT_EQ(view->windowTitle(), QStringLiteral("TEST1"));
    EXPECT_EQ(view->PL_Bottom0->text(), QStringLiteral("0/0"));
    EXPECT_EQ(view->PL_Bottom1->text(), QStringLiteral("11/15"));
    EXPECT_EQ(view->PL_Bottom2->text(), QStringLiteral(" TEST1"));
    // The frame's controls follow the window.
    EXPECT_FALSE(frame.button(B::Start)->isEnabled());
    EXPECT_FALSE(frame.button(B::Back)->isEnabled());
    EXPECT_TRUE(frame.button(B::Next)->isEnabled());
    EXPECT_TRUE(frame.button(B::End)->isEnabled());
    EXPECT_TRUE(frame.button(B::Jump)->isEnabled());
    EXPECT_TRUE(frame.button(B::PageScroll)->isEnabled());
    EXPECT_TRUE(frame.button(B::PageScroll)->isChecked());
    EXPECT_TRUE(frame.button(B::JumpTree)->isChecked());
    EXPECT_TRUE(frame.panel->isEnabled());
    EXPECT_EQ(frame.selector->currentIndex(), kZoomFitPage);
}

TEST_F(ViewFormTest, RefusedAndDamagedDocumentsSayWhyAndLeaveNoWindow) {
    MessageRecorder recorder;
    EXPECT_FALSE(frame.Open(dir.filePath(QStringLiteral("MISSING.PXA"))));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].first, MessageKind::Info);
    EXPECT_EQ(recorder.messages[0].second,
              QStringLiteral("書類名がパラメータとして渡されていません。"));

    // A damaged body: the message names the file, and no empty window stays.
    const QString good = WriteTestAlbum(dir, TestAlbum{}, QStringLiteral("CUT"));
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.resize(80);
    file.close();
    recorder.messages.clear();
    EXPECT_FALSE(frame.Open(good));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].first, MessageKind::Error);
    EXPECT_TRUE(recorder.messages[0].second.contains(QStringLiteral("CUT.PXA")))
        << recorder.messages[0].second.toStdString();

    // No pages: closed without a word.
    TestAlbum empty;
    empty.pages = 0;
    recorder.messages.clear();
    EXPECT_FALSE(OpenAlbum(empty));
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_TRUE(frame.area->subWindowList().isEmpty());
}

TEST_F(ViewFormTest, LayoutFollowsTheChoiceAndTheArea) {
    ViewEnvironment().zoomIndex = kZoomFitWidth;
    TViewForm* view = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(view);
    const auto expected =
        LayoutSheet(view->sheetGeometry().paperPixels, view->ScrollBox->viewport()->size(),
                    kZoomFitWidth, ZoomSelectorItems());
    ASSERT_TRUE(expected);
    EXPECT_EQ(view->zoomPercent(), expected->zoomPercent);
    EXPECT_EQ(view->PL_Paper->geometry(), expected->sheet);
    EXPECT_EQ(view->PaintBox->size(), expected->sheet.size() - QSize(4, 4));
    EXPECT_EQ(view->ScrollBox->content()->size(), QSize(expected->horzRange, expected->vertRange));

    // Resizing in a fit choice changes the zoom and returns to the origin.
    VBar(view)->setValue(50);
    const int before = view->zoomPercent();
    view->resize(view->width() - 150, view->height());
    EXPECT_LT(view->zoomPercent(), before);
    EXPECT_EQ(VBar(view)->value(), 0);
}

TEST_F(ViewFormTest, ZoomStepsFromAFitChoiceToFixedPercentages) {
    ViewEnvironment().zoomIndex = kZoomFitPage;
    TViewForm* view = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(view);
    const int fit = view->zoomPercent();
    const int up = ZoomStepUp(ZoomSelectorItems(), fit);
    ASSERT_GE(up, 2);
    frame.button(B::Big)->click();
    EXPECT_EQ(view->zoomIndex(), up);
    EXPECT_EQ(frame.selector->currentIndex(), up);
    EXPECT_EQ(view->zoomPercent(), ZoomItemPercent(ZoomSelectorItems()[up]));
    // Down to 50 %, where 縮小 stops.
    while (frame.button(B::Small)->isEnabled())
        frame.button(B::Small)->click();
    EXPECT_EQ(view->zoomPercent(), 50);
    EXPECT_EQ(view->zoomIndex(), 2);
    view->SmallBtnClick();  // the menu path with the button disabled
    EXPECT_EQ(view->zoomPercent(), 50);
    // The selector picks a choice for this window.
    frame.selector->setCurrentIndex(10);
    emit frame.selector->activated(10);
    EXPECT_EQ(view->zoomIndex(), 10);
    EXPECT_EQ(view->zoomPercent(), 200);
    EXPECT_FALSE(frame.button(B::Big)->isEnabled());
}

TEST_F(ViewFormTest, PageKeysStopAtBothEnds) {
    TViewForm* view = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(view);
    for (int i = 0; i < 6; ++i)
        Key(view, Qt::Key_PageDown);
    EXPECT_EQ(view->currentPage(), 5);
    EXPECT_FALSE(frame.button(B::Next)->isEnabled());
    EXPECT_TRUE(frame.button(B::Start)->isEnabled());
    EXPECT_EQ(view->PL_Bottom1->text(), QStringLiteral("5/5"));
    frame.button(B::Start)->click();
    EXPECT_EQ(view->currentPage(), 1);
    Key(view, Qt::Key_PageUp);
    EXPECT_EQ(view->currentPage(), 1);
    frame.button(B::End)->click();
    frame.button(B::Back)->click();
    EXPECT_EQ(view->currentPage(), 4);
}

TEST_F(ViewFormTest, OnePageDocumentHasNoPageCommands) {
    TestAlbum album;
    album.pages = 1;
    TViewForm* view = OpenAlbum(album);
    ASSERT_TRUE(view);
    for (B b : {B::Jump, B::Start, B::Back, B::Next, B::End})
        EXPECT_FALSE(frame.button(b)->isEnabled());
    Key(view, Qt::Key_Down);
    Key(view, Qt::Key_PageDown);
    EXPECT_EQ(view->currentPage(), 1);
}

TEST_F(ViewFormTest, ArrowKeysCrossPagesBothWays) {
    ViewEnvironment().zoomIndex = 7;  // 100 %: taller than the area
    TViewForm* view = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(view);
    ASSERT_GT(VBar(view)->maximum(), 0);
    Key(view, Qt::Key_PageDown);
    ASSERT_EQ(view->currentPage(), 2);
    Key(view, Qt::Key_Down);
    EXPECT_EQ(VBar(view)->value(), 30);
    VBar(view)->setValue(VBar(view)->maximum());
    Key(view, Qt::Key_Down);
    EXPECT_EQ(view->currentPage(), 3);
    EXPECT_EQ(VBar(view)->value(), 0);
    Key(view, Qt::Key_Up);
    EXPECT_EQ(view->currentPage(), 2);
    EXPECT_EQ(VBar(view)->value(), VBar(view)->maximum());
    Key(view, Qt::Key_Right);
    EXPECT_EQ(HBar(view)->value(), std::min(30, HBar(view)->maximum()));

    // Page-crossing off: scrolling stops at the bottom.
    frame.button(B::PageScroll)->click();
    EXPECT_FALSE(ViewEnvironment().pageScroll);
    EXPECT_FALSE(frame.button(B::PageScroll)->isChecked());
    Key(view, Qt::Key_Down);
    EXPECT_EQ(view->currentPage(), 2);
}

TEST_F(ViewFormTest, WholePageInViewTurnsAtOnceWithArrows) {
    TViewForm* view = OpenAlbum(TestAlbum{});  // fit page
    ASSERT_TRUE(view);
    ASSERT_EQ(VBar(view)->maximum(), 0);
    Key(view, Qt::Key_Down);
    Key(view, Qt::Key_Down);
    EXPECT_EQ(view->currentPage(), 3);
    Key(view, Qt::Key_Up);
    EXPECT_EQ(view->currentPage(), 2);
}

TEST_F(ViewFormTest, WheelScrollsAndCrossesPagesOnlyOverThePage) {
    ViewEnvironment().zoomIndex = 7;
    TViewForm* view = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(view);
    QWidget* viewport = view->ScrollBox->viewport();
    Wheel(viewport, -120);
    EXPECT_EQ(VBar(view)->value(), QApplication::wheelScrollLines() * 20);
    VBar(view)->setValue(VBar(view)->maximum());
    Wheel(viewport, -120);
    EXPECT_EQ(view->currentPage(), 2);
    EXPECT_EQ(VBar(view)->value(), 0);
    Wheel(viewport, 120);
    EXPECT_EQ(view->currentPage(), 1);
    EXPECT_EQ(VBar(view)->value(), VBar(view)->maximum());
    // Over the scroll bar the wheel does what it does over the page.
    Wheel(VBar(view), -120);
    EXPECT_EQ(view->currentPage(), 2);
    EXPECT_EQ(VBar(view)->value(), 0);

    // Over the contents list the wheel never turns a page.
    Wheel(view->JumpTree->viewport(), -120);
    Wheel(view->JumpTree->viewport(), -120);
    EXPECT_EQ(view->currentPage(), 2);

    ViewEnvironment().pageScroll = false;
    Wheel(viewport, 120);
    EXPECT_EQ(view->currentPage(), 2);
}

TEST_F(ViewFormTest, ContentsLinesAndSelectionFollowThePage) {
    TestAlbum album;
    album.pages = 12;
    album.toc = {{1, 0}, {4, 1}, {9, 0}};
    TViewForm* view = OpenAlbum(album);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->ContentsLinePageText(0), QStringLiteral("1(3)"));
    EXPECT_EQ(view->ContentsLinePageText(1), QStringLiteral("4(5)"));
    EXPECT_EQ(view->ContentsLinePageText(2), QStringLiteral("9(4)"));
    EXPECT_EQ(view->JumpTree->currentRow(), 0);
    EXPECT_EQ(view->PL_Bottom0->text(), QStringLiteral("1/3"));
    for (auto [page, row] : {std::pair{6, 1}, {9, 2}, {11, 2}, {3, 0}}) {
        view->ChangePage(page);
        EXPECT_EQ(view->JumpTree->currentRow(), row) << page;
        EXPECT_FALSE(view->Timer->isActive()) << page;
    }
    EXPECT_EQ(view->PL_Bottom0->text(), QStringLiteral("1/3"));
    // Left and Right in the list turn pages.
    QTest::keyClick(view->JumpTree, Qt::Key_Right);
    EXPECT_EQ(view->currentPage(), 4);
    EXPECT_EQ(view->JumpTree->currentRow(), 1);
    QTest::keyClick(view->JumpTree, Qt::Key_Left);
    EXPECT_EQ(view->currentPage(), 3);
}

TEST_F(ViewFormTest, LastEntryWithoutSpan) {
    TestAlbum album;
    album.pages = 12;
    album.toc = {{1, 0}, {4, 1}, {9, 0}, {12, 0}};
    TViewForm* view = OpenAlbum(album);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->ContentsLinePageText(2), QStringLiteral("9(3)"));
    EXPECT_EQ(view->ContentsLinePageText(3), QStringLiteral("12"));
    // The list draws every line without trouble.
    view->JumpTree->grab();
}

TEST_F(ViewFormTest, SelectingAnEntryShowsItsPageAfterTheSelectionRests) {
    TestAlbum album;
    album.pages = 12;
    album.toc = {{1, 0}, {4, 0}, {9, 0}, {40, 0}};
    TViewForm* view = OpenAlbum(album);
    ASSERT_TRUE(view);
    view->JumpTree->setCurrentRow(1);
    view->JumpTree->setCurrentRow(2);
    EXPECT_TRUE(view->Timer->isActive());
    EXPECT_EQ(view->currentPage(), 1);  // nothing yet
    EXPECT_TRUE(WaitUntil([&] { return view->currentPage() == 9; }));
    EXPECT_FALSE(view->Timer->isActive());

    // An entry beyond the last page selects nothing and loads nothing.
    view->JumpTree->setCurrentRow(3);
    EXPECT_TRUE(WaitUntil([&] { return !view->Timer->isActive(); }));
    EXPECT_EQ(view->currentPage(), 9);
}

TEST_F(ViewFormTest, PageJumpAsksInShownNumbersAndClamps) {
    TestAlbum album;
    album.pages = 12;
    album.pageNumberOffset = 4;
    TViewForm* view = OpenAlbum(album);
    ASSERT_TRUE(view);
    QString caption, prompt, initial;
    std::optional<QString> answer = QStringLiteral("7");
    const PromptFunction previous =
        SetPromptFunction([&](const QString& c, const QString& p, const QString& i) {
            caption = c;
            prompt = p;
            initial = i;
            return answer;
        });
    frame.button(B::Jump)->click();
    EXPECT_EQ(caption, QStringLiteral("ﾍﾟｰｼﾞ指定"));
    EXPECT_EQ(prompt, QStringLiteral("ﾍﾟｰｼﾞ指定 (5～16)"));
    EXPECT_EQ(initial, QStringLiteral("5"));
    EXPECT_EQ(view->currentPage(), 3);
    for (auto [text, page] : {std::pair{"2", 1}, {"99", 12}, {"x", 1}}) {
        answer = QString::fromLatin1(text);
        view->Mn_JumpClick();
        EXPECT_EQ(view->currentPage(), page) << text;
    }
    answer.reset();  // cancelled
    view->Mn_JumpClick();
    EXPECT_EQ(view->currentPage(), 1);
    SetPromptFunction(previous);
}

TEST_F(ViewFormTest, TwoWindowsKeepTheirOwnZoomChoices) {
    TViewForm* a = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(a);
    a->Mn10Click(7);
    TViewForm* b = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(b);
    b->Mn10Click(3);
    EXPECT_EQ(frame.selector->currentIndex(), 3);
    const QRect sheetA = a->PL_Paper->geometry();
    const QRect sheetB = b->PL_Paper->geometry();
    frame.area->setActiveSubWindow(a);
    EXPECT_EQ(frame.selector->currentIndex(), 7);
    EXPECT_EQ(a->zoomPercent(), 100);
    frame.button(B::Big)->click();  // acts on the active window only
    EXPECT_EQ(a->zoomPercent(), 120);
    EXPECT_EQ(b->zoomPercent(), 60);
    frame.area->setActiveSubWindow(b);
    EXPECT_EQ(frame.selector->currentIndex(), 3);
    EXPECT_EQ(b->PL_Paper->geometry(), sheetB);
    EXPECT_NE(a->PL_Paper->geometry(), sheetA);
}

TEST_F(ViewFormTest, ClosingTheLastWindowDisablesEveryBoundControl) {
    TViewForm* a = OpenAlbum(TestAlbum{});
    TViewForm* b = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(a && b);
    b->close();
    QApplication::processEvents();
    // The other window took over the toolbar again.
    EXPECT_TRUE(frame.button(B::Next)->isEnabled());
    EXPECT_TRUE(frame.panel->isEnabled());
    a->close();
    QApplication::processEvents();
    for (int i = 0; i < kFrameButtonCount; ++i)
        EXPECT_FALSE(frame.buttons[size_t(i)]->isEnabled()) << i;
    EXPECT_FALSE(frame.panel->isEnabled());
}

TEST_F(ViewFormTest, ContentsPaneTogglesWithItsButton) {
    TViewForm* view = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(view);
    frame.button(B::JumpTree)->click();
    EXPECT_TRUE(view->PL_JumpTree->isHidden());
    EXPECT_FALSE(frame.button(B::JumpTree)->isChecked());
    view->Show1Click();
    EXPECT_FALSE(view->Mn_Contents->isChecked());
    view->Mn_ContentsClick();
    EXPECT_FALSE(view->PL_JumpTree->isHidden());
    EXPECT_TRUE(frame.button(B::JumpTree)->isChecked());
}

TEST_F(ViewFormTest, MenusMirrorTheButtons) {
    TViewForm* view = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(view);
    view->N2Click();
    EXPECT_FALSE(view->Mn_Start->isEnabled());
    EXPECT_TRUE(view->Mn_Next->isEnabled());
    EXPECT_TRUE(view->Mn_PageScroll->isChecked());
    view->Mn_PageScroll->trigger();
    view->N2Click();
    EXPECT_FALSE(view->Mn_PageScroll->isChecked());
    EXPECT_FALSE(frame.button(B::PageScroll)->isChecked());
    view->Mn10Click(2);
    view->Show1Click();
    EXPECT_FALSE(view->Mn_Small->isEnabled());
    EXPECT_TRUE(view->MnZoom[2]->isChecked());
    EXPECT_FALSE(view->MnZoom[7]->isChecked());
}

TEST_F(ViewFormTest, DraggingTheSheetPansWithEverySecondMove) {
    ViewEnvironment().zoomIndex = 10;  // 200 %
    TViewForm* view = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(view);
    HBar(view)->setValue(300);
    QWidget* sheet = view->PL_Paper;
    QPoint p = sheet->mapFrom(view->ScrollBox->viewport(), QPoint(100, 100));
    QTest::mousePress(sheet, Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_EQ(
        QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor,
        Qt::SizeAllCursor);
    for (int step = 0; step < 10; ++step) {
        // The sheet moves under the pointer; the pointer itself moves 10 right.
        p = sheet->mapFrom(view->ScrollBox->viewport(), QPoint(110 + step * 10, 100));
        QMouseEvent move(QEvent::MouseMove, p, sheet->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(sheet, &move);
    }
    QTest::mouseRelease(sheet, Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_LT(HBar(view)->value(), 300);
    EXPECT_GT(HBar(view)->value(), 200);
}

TEST_F(ViewFormTest, RepaintingTheSamePageReusesItsRendering) {
    TViewForm* view = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(view);
    view->setPrefetch(false);
    view->PaintBox->grab();
    const int first = view->pageRenderCount();
    EXPECT_GE(first, 1);
    view->PaintBox->grab();
    view->PaintBox->grab(QRect(10, 10, 50, 50));
    EXPECT_EQ(view->pageRenderCount(), first);
    Key(view, Qt::Key_PageDown);
    view->PaintBox->grab();
    EXPECT_EQ(view->pageRenderCount(), first + 1);
}

TEST_F(ViewFormTest, APrefetchedPageIsShownWithoutLoadingOrDrawingIt) {
    TViewForm* view = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(view);
    const QImage first = view->PaintBox->grab().toImage();
    ASSERT_TRUE(view->prefetcher());
    view->prefetcher()->WaitForIdle();
    const int renders = view->pageRenderCount();
    Key(view, Qt::Key_PageDown);
    const QImage second = view->PaintBox->grab().toImage();
    EXPECT_EQ(view->currentPage(), 2);
    EXPECT_EQ(view->pageRenderCount(), renders);
    EXPECT_NE(second, first);
    // The page left behind is kept as it was shown: turning back costs nothing.
    Key(view, Qt::Key_PageUp);
    EXPECT_EQ(view->PaintBox->grab().toImage(), first);
    EXPECT_EQ(view->pageRenderCount(), renders);
    view->prefetcher()->WaitForIdle();
    Key(view, Qt::Key_PageDown);
    // The same page drawn here, without the background work, looks the same.
    view->setPrefetch(false);
    view->ChangePage(1);
    view->ChangePage(2);
    EXPECT_EQ(view->PaintBox->grab().toImage(), second);
    EXPECT_EQ(view->pageRenderCount(), renders + 1);
}

TEST_F(ViewFormTest, TurningForwardPreparesTheNextTwoPagesAndKeepsTheOneLeft) {
    TViewForm* view = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(view);
    view->PaintBox->grab();
    ASSERT_TRUE(view->prefetcher());
    view->prefetcher()->WaitForIdle();
    Key(view, Qt::Key_PageDown);
    view->PaintBox->grab();
    view->prefetcher()->WaitForIdle();
    std::vector<int> ready = view->prefetcher()->ReadyPages();
    std::sort(ready.begin(), ready.end());
    EXPECT_EQ(ready, (std::vector<int>{1, 3, 4}));
    // Back the other way: the page just left and the two before it.
    Key(view, Qt::Key_PageDown);
    Key(view, Qt::Key_PageUp);
    view->PaintBox->grab();
    view->prefetcher()->WaitForIdle();
    ready = view->prefetcher()->ReadyPages();
    std::sort(ready.begin(), ready.end());
    EXPECT_EQ(ready, (std::vector<int>{1, 3}));
}

TEST_F(ViewFormTest, TurnedPageIsLaidOutCrosswise) {
    ViewEnvironment().zoomIndex = 7;
    TestAlbum album;
    album.turned = {2};
    TViewForm* view = OpenAlbum(album);
    ASSERT_TRUE(view);
    const QSize upright = view->PL_Paper->size();
    Key(view, Qt::Key_PageDown);
    EXPECT_TRUE(view->IsTurnedPage());
    EXPECT_EQ(view->PL_Paper->size(), upright.transposed());
}

TEST_F(ViewFormTest, OtherFormatsKeepTheScrollPositionOnPageChange) {
    ViewEnvironment().zoomIndex = 7;
    TestAlbum album;
    album.extension = QStringLiteral("PXB");
    TViewForm* view = OpenAlbum(album);
    ASSERT_TRUE(view);
    VBar(view)->setValue(100);
    Key(view, Qt::Key_PageDown);
    EXPECT_EQ(view->currentPage(), 2);
    EXPECT_EQ(VBar(view)->value(), 100);
}

class FixedPrintableArea : public PrintableArea {
public:
    PrintableAreaMm PrintableAreaOnPaper() const override {
        return {WholeMm(20), WholeMm(30), WholeMm(100), WholeMm(150)};
    }
    bool IsPrinting() const override { return false; }
};

TEST_F(ViewFormTest, PrintableAreaIsHatchedOnlyWhileShown) {
    ViewEnvironment().zoomIndex = 7;
    TViewForm* view = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(view);
    FixedPrintableArea area;
    view->setPrintableArea(&area);
    const QRect r = PrintableAreaRect(area.PrintableAreaOnPaper(), 100, view->logicalDpiX(), false);
    const QPoint corner = r.topLeft();
    const QColor silver(192, 192, 192);
    // Below the coloured band of the test page the picture is white.
    const QPoint inside = r.bottomLeft() + QPoint(0, -1);
    EXPECT_NE(view->PaintBox->grab().toImage().pixelColor(inside), silver);
    view->setShowPrintableArea(true);
    const QImage shown = view->PaintBox->grab().toImage();
    EXPECT_EQ(shown.pixelColor(inside), silver);
    EXPECT_EQ(shown.pixelColor(corner), silver);
    EXPECT_NE(shown.pixelColor(corner - QPoint(1, 1)), silver);
    view->setShowPrintableArea(false);
    EXPECT_NE(view->PaintBox->grab().toImage().pixelColor(inside), silver);
}

TEST_F(ViewFormTest, FocusOnThePageAreaDarkensItsSurroundings) {
    TViewForm* view = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(view);
    QApplication::setActiveWindow(frame.host.get());
    view->JumpTree->setFocus();
    view->FocusControl->setFocus();
    EXPECT_EQ(view->PL_Paper->rimColor(), QColor(Qt::black));
    EXPECT_EQ(view->ScrollBox->viewport()->palette().color(QPalette::Window),
              QColor(128, 128, 128));
    view->JumpTree->setFocus();
    EXPECT_EQ(view->PL_Paper->rimColor(), QColor(Qt::white));
    EXPECT_EQ(view->ScrollBox->viewport()->palette().color(QPalette::Window),
              QColor(211, 223, 224));
    // Alt+M goes to the contents, Alt+P to the page area.
    QTest::keyClick(view->FocusControl, Qt::Key_M, Qt::AltModifier);
    EXPECT_TRUE(view->JumpTree->hasFocus());
    QTest::keyClick(view->JumpTree, Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(view->FocusControl->hasFocus());
    view->JumpTree->setFocus();
    // Clicking the sheet puts the focus back on the page area.
    QTest::mouseClick(view->PL_Paper, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_TRUE(view->FocusControl->hasFocus());
    // So does a click beside the sheet or on a scroll bar; the keys then
    // still turn pages and the surround stays dark.
    for (QWidget* target : {static_cast<QWidget*>(view->ScrollBox->viewport()),
                            static_cast<QWidget*>(view->ScrollBox->verticalScrollBar())}) {
        view->JumpTree->setFocus();
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        EXPECT_TRUE(view->FocusControl->hasFocus()) << target->metaObject()->className();
        EXPECT_EQ(view->PL_Paper->rimColor(), QColor(Qt::black));
    }
    // Alt+P reaches the page area with the status strip hidden.
    view->PL_Bottom->hide();
    view->JumpTree->setFocus();
    QTest::keyClick(view->JumpTree, Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(view->FocusControl->hasFocus());
}

TEST_F(ViewFormTest, ClicksBesideThePageOrOnItsScrollBarsLeaveTheKeyboardOnThePage) {
    TViewForm* view = OpenAlbum(TestAlbum{});  // fit page: room beside the sheet
    ASSERT_TRUE(view);
    QApplication::setActiveWindow(frame.host.get());
    QWidget* viewport = view->ScrollBox->viewport();
    const QPoint beside(view->PL_Paper->geometry().left() / 2, viewport->height() / 2);
    ASSERT_GT(beside.x(), 2);
    for (QWidget* start :
         {static_cast<QWidget*>(view->FocusControl), static_cast<QWidget*>(view->JumpTree)}) {
        start->setFocus();
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, beside);
        EXPECT_TRUE(view->FocusControl->hasFocus()) << start->metaObject()->className();
        EXPECT_EQ(view->PL_Paper->rimColor(), QColor(Qt::black));
    }
    const int page = view->currentPage();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    EXPECT_EQ(view->currentPage(), page + 1);

    // At 100 % the scroll bars show; a click on either keeps the page keys.
    view->Mn10Click(7);
    for (QScrollBar* bar : {VBar(view), HBar(view)}) {
        ASSERT_TRUE(WaitUntil([&] { return bar->isVisible(); }));
        view->JumpTree->setFocus();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->rect().center());
        EXPECT_TRUE(view->FocusControl->hasFocus());
        EXPECT_EQ(view->PL_Paper->rimColor(), QColor(Qt::black));
    }
    VBar(view)->setValue(VBar(view)->maximum());
    const int before = view->currentPage();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(view->currentPage(), before + 1);
}

TEST_F(ViewFormTest, AltPReachesThePageWithTheStatusStripHidden) {
    TViewForm* view = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(view);
    QApplication::setActiveWindow(frame.host.get());
    view->PL_Bottom->hide();
    view->JumpTree->setFocus();
    QTest::keyClick(view->JumpTree, Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(view->FocusControl->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    EXPECT_EQ(view->currentPage(), 2);
}

TEST_F(ViewFormTest, WheelOverEitherScrollBarCrossesPagesLikeTheArea) {
    ViewEnvironment().zoomIndex = 7;
    TViewForm* view = OpenAlbum(TestAlbum{});
    ASSERT_TRUE(view);
    for (QScrollBar* bar : {VBar(view), HBar(view)}) {
        ASSERT_TRUE(WaitUntil([&] { return bar->isVisible(); }));
        const int page = view->currentPage();
        VBar(view)->setValue(VBar(view)->maximum());
        Wheel(bar, -120);
        EXPECT_EQ(view->currentPage(), page + 1);
        EXPECT_EQ(VBar(view)->value(), 0);
        Wheel(bar, 120);
        EXPECT_EQ(view->currentPage(), page);
        EXPECT_EQ(VBar(view)->value(), VBar(view)->maximum());
    }
}

TEST_F(ViewFormTest, RememberedLayoutAppliesOnlyAboveTwentyPixels) {
    struct Case {
        int treeWidth, formWidth, formHeight;
        int paneWidth;
        QSize size;
    } cases[] = {
        {20, 600, 20, 225, {793, 533}},
        {300, 600, 400, 300, {600, 400}},
        {0, 0, 0, 225, {793, 533}},
    };
    for (const Case& c : cases) {
        ViewEnv& env = ViewEnvironment();
        env.treeWidth = c.treeWidth;
        env.formWidth = c.formWidth;
        env.formHeight = c.formHeight;
        auto* view = new TViewForm(&frame);
        frame.area->addSubWindow(view);
        view->show();
        EXPECT_EQ(view->size(), c.size) << c.formWidth << "x" << c.formHeight;
        EXPECT_EQ(view->PL_JumpTree->width(), c.paneWidth) << c.treeWidth;
        EXPECT_EQ(view->windowTitle(), QStringLiteral("無題"));
        EXPECT_FALSE(view->PL_Paper->isVisible());
        delete view;
    }
}

}  // namespace
