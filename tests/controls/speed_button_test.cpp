// The flat toolbar button's hover frame and the drop-down button.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "controls/align_speed_button.h"
#include "controls/dropdown_speed_button.h"
#include "support/test_support.h"

namespace {

// Swallows the leave notifications of a widget, as when the pointer leaves
// too fast or a window pops up over it.
class LostLeave : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        return event->type() == QEvent::Leave || event->type() == QEvent::HoverLeave;
    }
};

class SpeedButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(300, 100);
        a = new TAlignSpeedButton(&window);
        b = new TAlignSpeedButton(&window);
        a->setGeometry(10, 10, 28, 28);
        b->setGeometry(38, 10, 28, 28);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        a->installEventFilter(&lostLeave);
        b->installEventFilter(&lostLeave);
    }
    // The pointer arrives over `button`.
    static void Enter(TAlignSpeedButton* button) {
        const QPoint centre = button->rect().center();
        QCursor::setPos(button->mapToGlobal(centre));
        QEnterEvent enter(centre, button->mapTo(button->window(), centre),
                          button->mapToGlobal(centre));
        QApplication::sendEvent(button, &enter);
    }

    QWidget window;
    TAlignSpeedButton* a = nullptr;
    TAlignSpeedButton* b = nullptr;
    LostLeave lostLeave;
};

TEST_F(SpeedButtonTest, HoverFrameClearsWithinTheCheckWithoutALeave) {
    Enter(a);
    EXPECT_TRUE(a->isHot());
    EXPECT_EQ(TAlignSpeedButton::HoveredButton(), a);
    QCursor::setPos(window.mapToGlobal(QPoint(200, 80)));
    EXPECT_TRUE(WaitUntil([&] { return !a->isHot(); }, 3 * TAlignSpeedButton::kHoverCheckMs));
    EXPECT_EQ(TAlignSpeedButton::HoveredButton(), nullptr);
}

TEST_F(SpeedButtonTest, MovingStraightOntoTheNextButtonLeavesOnlyThatOneHot) {
    Enter(a);
    Enter(b);
    EXPECT_FALSE(a->isHot());
    EXPECT_TRUE(b->isHot());
    EXPECT_EQ(TAlignSpeedButton::HoveredButton(), b);
    // A disabled button shows no frame; the pointer over it still counts.
    b->setEnabled(false);
    QTest::qWait(2 * TAlignSpeedButton::kHoverCheckMs);
    EXPECT_EQ(TAlignSpeedButton::HoveredButton(), b);
    delete b;
    EXPECT_EQ(TAlignSpeedButton::HoveredButton(), nullptr);
}

class DropdownTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(200, 60);
        button = new TDropdownSpeedButton(&window);
        button->setGeometry(0, 0, 93, 25);
        menu.addAction(QStringLiteral("item"));
        button->setDropdownMenu(&menu);
        // Every time the menu opens it is closed again at once.
        QObject::connect(&menu, &QMenu::aboutToShow, [this] {
            ++menuOpens;
            QTimer::singleShot(0, &menu, &QMenu::close);
        });
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QPoint Middle() const { return QPoint(20, 12); }
    QPoint Corner() const { return QPoint(button->width() - 3, button->height() - 3); }
    QColor MarkColour() const {
        return button->grab().toImage().pixelColor(button->width() - 6, button->height() - 6);
    }

    QWidget window;
    TDropdownSpeedButton* button = nullptr;
    QMenu menu;
    int menuOpens = 0;
};

TEST_F(DropdownTest, WithAClickHandlerOnlyTheHotCornerOpensTheMenu) {
    int clicks = 0;
    QObject::connect(button, &QAbstractButton::clicked, [&] { ++clicks; });
    EXPECT_EQ(MarkColour(), QColor(0, 0, 255));
    QTest::mouseClick(button, Qt::LeftButton, {}, Middle());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(menuOpens, 0);
    QTest::mouseClick(button, Qt::LeftButton, {}, Corner());
    EXPECT_EQ(menuOpens, 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button->isDown());
    EXPECT_TRUE(button->HotCorner().contains(Corner()));
    EXPECT_FALSE(button->HotCorner().contains(Middle()));
}

TEST_F(DropdownTest, WithoutAClickHandlerAnyPressOpensAndTheClosingPressDoesNotReopen) {
    EXPECT_EQ(MarkColour(), QColor(Qt::black));
    QTest::mouseClick(button, Qt::LeftButton, {}, Middle());
    EXPECT_EQ(menuOpens, 1);
    // The press that closed the menu reaches the button at once: ignored.
    QTest::mouseClick(button, Qt::LeftButton, {}, Middle());
    EXPECT_EQ(menuOpens, 1);
    QTest::qWait(TDropdownSpeedButton::kReopenGuardMs + 50);
    QTest::mouseClick(button, Qt::LeftButton, {}, Middle());
    EXPECT_EQ(menuOpens, 2);

    button->setEnabled(false);
    EXPECT_EQ(MarkColour(), QColor(button->palette().color(QPalette::Dark).rgb()));
    // Without its menu the button has no mark.
    button->setEnabled(true);
    button->setDropdownMenu(nullptr);
    EXPECT_NE(MarkColour(), QColor(Qt::black));
}

}  // namespace
