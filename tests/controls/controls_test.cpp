// The stand-in controls: the focus-catching control, the list that reports
// every current-item change, the zoom selector's combo box.

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "controls/cng_lst_box.h"
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
}

}  // namespace
