// The document information dialog shows the window's document and is reused.
#include "viewer/pro_form.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include "viewer/view_form.h"
#include "viewer_fixture.h"

namespace {

TEST(ProForm, ShowsTheValuesOfTheWindowItIsGiven) {
    QTemporaryDir dir;
    FakeFrame frame;
    TestAlbum b4;
    b4.paperWidthMm = 364;
    b4.paperHeightMm = 257;
    TViewForm* first = frame.Open(WriteTestAlbum(dir, TestAlbum{}, QStringLiteral("ONE")));
    TViewForm* second = frame.Open(WriteTestAlbum(dir, b4, QStringLiteral("TWO")));
    ASSERT_TRUE(first);
    TProForm dialog;
    EXPECT_EQ(dialog.size(), QSize(482, 243));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("書類情報"));
    dialog.setDocumentWindow(first);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.LB_Ver->text(), QStringLiteral(" PXA 3.0"));
    EXPECT_TRUE(dialog.LB_Paper->text().startsWith(QStringLiteral(" 不明 縦置 ")));
    EXPECT_EQ(dialog.LB_Paper->palette().color(QPalette::WindowText), QColor(Qt::white));
    dialog.hide();
    ASSERT_TRUE(second);
    dialog.setDocumentWindow(second);
    dialog.show();
    EXPECT_TRUE(dialog.LB_Paper->text().endsWith(QStringLiteral(" 36.4cm × 25.7cm")))
        << dialog.LB_Paper->text().toStdString();
}

}  // namespace
