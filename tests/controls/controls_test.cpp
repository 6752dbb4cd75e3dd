// The focus-catching control, the list that reports every current-item
// change, and the combo boxes.

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "controls/cng_lst_box.h"
#include "controls/combo_box_next.h"
#include "controls/focus_control.h"
#include "controls/paint_combo_box.h"

namespace {

TEST(FocusControl, EveryKeyReachesItsHandlerAndFocusStays) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* before = new QLineEdit(&window);
    auto* focus = new TFocusControl(&window);
    auto* after = new QLineEdit(&window);
    layout->addWidget(before);
    layout->addWidget(focus);
    layout->addWidget(after);
    window.show();
    QApplication::setActiveWindow(&window);
    focus->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_TRUE(focus->hasFocus());

    std::vector<int> keys;
    QObject::connect(focus, &TFocusControl::keyDown, [&](QKeyEvent* e) {
        if (e->key() != Qt::Key_Shift) keys.push_back(e->key());
        e->accept();
    });
    for (Qt::Key k : {Qt::Key_Tab, Qt::Key_Down, Qt::Key_Right, Qt::Key_PageDown})
        QTest::keyClick(focus, k);
    QTest::keyClick(focus, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(keys, (std::vector<int>{Qt::Key_Tab, Qt::Key_Down, Qt::Key_Right, Qt::Key_PageDown,
                                      Qt::Key_Backtab}));
    EXPECT_TRUE(focus->hasFocus());

    int exits = 0, enters = 0;
    QObject::connect(focus, &TFocusControl::exited, [&] { ++exits; });
    QObject::connect(focus, &TFocusControl::entered, [&] { ++enters; });
    after->setFocus();
    focus->setFocus();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(enters, 1);

    // Switching to another window and back: exit, then enter.
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    EXPECT_EQ(exits, 2);
    QApplication::setActiveWindow(&window);
    EXPECT_EQ(enters, 2);
    EXPECT_TRUE(focus->hasFocus());
}

TEST(CngLstBox, ReportsSelectionsByCodeAndByKeys) {
    TCngLstBox list;
    list.addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    int reports = 0;
    QObject::connect(&list, &TCngLstBox::indexChange, [&] { ++reports; });
    list.SetItemIndex(1);
    EXPECT_EQ(reports, 1);
    list.SetItemIndex(1);  // unchanged, still reported
    EXPECT_EQ(reports, 2);
    list.show();
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.currentRow(), 2);
    EXPECT_EQ(reports, 3);

    // A key handler that consumes the key keeps it from the list.
    QObject::connect(&list, &TCngLstBox::keyDown, [](QKeyEvent* e) {
        if (e->key() == Qt::Key_Up) e->accept();
    });
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(list.currentRow(), 2);
}

TEST(CngLstBox, DrawsNothingWhileAsleep) {
    TCngLstBox list;
    list.addItems({QStringLiteral("a"), QStringLiteral("b")});
    int drawn = 0;
    list.setDrawItem([&](QPainter&, int, const QRect&, bool) { ++drawn; });
    list.resize(100, 60);
    list.grab();
    EXPECT_GT(drawn, 0);
    drawn = 0;
    list.setSleepUpdate(true);
    list.grab();
    EXPECT_EQ(drawn, 0);
}

// A combo box between two line edits in an active window.
class ComboBoxNextTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        before = new QLineEdit(&window);
        box = new TComboBoxNext(&window);
        after = new QLineEdit(&window);
        layout->addWidget(before);
        layout->addWidget(box);
        layout->addWidget(after);
        box->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        box->setCurrentIndex(1);
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        box->setFocus();
    }
    QWidget window;
    QLineEdit* before = nullptr;
    TComboBoxNext* box = nullptr;
    QLineEdit* after = nullptr;
};

TEST_F(ComboBoxNextTest, EnterAndDownMoveOnAndUpIsSwallowed) {
    box->setEnterNext(TEnterStyle::esEnter | TEnterStyle::esDown);
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(box->currentIndex(), 1);
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_TRUE(after->hasFocus());
    EXPECT_EQ(box->currentIndex(), 1);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(after->hasFocus());
    // With Shift held nothing moves the focus.
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_TRUE(box->hasFocus());
    // Without neighbour keys the arrows choose, as usual.
    box->setEnterNext({});
    box->setCurrentIndex(1);
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(box->currentIndex(), 2);
    EXPECT_TRUE(box->hasFocus());
}

TEST_F(ComboBoxNextTest, LeftMovesBackOnlyFromTheStartOfTheText) {
    box->setEditable(true);
    box->setEnterNext(TEnterStyle::esLeft);
    box->setEditText(QStringLiteral("abc"));
    box->lineEdit()->setCursorPosition(3);
    QTest::keyClick(box, Qt::Key_Left);
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(box->lineEdit()->cursorPosition(), 2);
    box->lineEdit()->setCursorPosition(0);
    QTest::keyClick(box, Qt::Key_Left);
    EXPECT_TRUE(before->hasFocus());
}

TEST_F(ComboBoxNextTest, ColoursFollowTheFocus) {
    box->setFocusColor(Qt::yellow);
    box->setNoFocusColor(Qt::white);
    box->setFocusFontColor(Qt::red);
    box->setFocusColorChange(true);
    EXPECT_EQ(box->shownColor(), QColor(Qt::yellow));
    EXPECT_EQ(box->shownFontColor(), QColor(Qt::red));
    after->setFocus();
    EXPECT_EQ(box->shownColor(), QColor(Qt::white));
    box->setNoFocusColor(Qt::cyan);  // applied at once while unfocused
    EXPECT_EQ(box->shownColor(), QColor(Qt::cyan));
    box->setFocus();
    EXPECT_EQ(box->shownColor(), QColor(Qt::yellow));
}

TEST(PaintComboBox, LeftRightAndEnterDoNotChangeTheChoice) {
    TPaintComboBox box;
    box.addItems({QStringLiteral(" 50 %"), QStringLiteral(" 60 %"), QStringLiteral(" 70 %")});
    box.setCurrentIndex(1);
    int activations = 0;
    QObject::connect(&box, &QComboBox::activated, [&] { ++activations; });
    box.show();
    for (Qt::Key k : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Return})
        QTest::keyClick(&box, k);
    EXPECT_EQ(box.currentIndex(), 1);
    EXPECT_EQ(activations, 0);
    QTest::keyClick(&box, Qt::Key_Down);
    EXPECT_EQ(box.currentIndex(), 2);

    // Closing the list is reported.
    int closeUps = 0;
    QObject::connect(&box, &TPaintComboBox::closeUp, [&] { ++closeUps; });
    box.showPopup();
    box.hidePopup();
    EXPECT_EQ(closeUps, 1);
}

}  // namespace
