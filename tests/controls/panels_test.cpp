// The enable panel and the caption panel with its picture source.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>

#include "controls/enable_panel.h"
#include "controls/image_server.h"
#include "controls/panel_ext.h"

namespace {

TEST(EnablePanel, EverythingInsideTakesThePanelsState) {
    QWidget parent;
    auto* panel = new TEnablePanel(&parent);
    auto* label = new QLabel(QStringLiteral("表示率(&R):"), panel);
    auto* combo = new QComboBox(panel);
    auto* inner = new QWidget(panel);
    auto* nested = new QPushButton(inner);
    combo->setEnabled(false);  // disabled on its own

    panel->setEnabled(false);
    for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(combo), inner,
                       static_cast<QWidget*>(nested)})
        EXPECT_FALSE(w->isEnabled());
    panel->setEnabled(true);
    for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(combo), inner,
                       static_cast<QWidget*>(nested)})
        EXPECT_TRUE(w->isEnabled());
    EXPECT_TRUE(parent.isEnabled());

    panel->setUpdateParent(true);
    panel->setEnabled(false);
    EXPECT_FALSE(parent.isEnabled());
}

// The pixels of `image` inside `area` that have exactly `colour`.
QRect BoundsOf(const QImage& image, const QRect& area, const QColor& colour) {
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

class PanelExtTest : public ::testing::Test {
protected:
    void SetUp() override {
        panel.resize(80, 24);
        QFont font = panel.font();
        font.setPixelSize(14);
        font.setStyleStrategy(QFont::NoAntialias);
        panel.setFont(font);
        panel.setColor(kSilver);
        panel.setText(QStringLiteral("WW"));
    }
    QImage Image() { return panel.grab().toImage(); }
    // As an image holds them: eight bits a channel.
    QColor Light() const { return QColor(panel.palette().color(QPalette::Light).rgb()); }
    QColor Dark() const { return QColor(panel.palette().color(QPalette::Dark).rgb()); }
    QRect Inside() const { return panel.rect().adjusted(1, 1, -1, -1); }

    const QColor kSilver{192, 192, 192};
    TPanelExt panel;
};

TEST_F(PanelExtTest, BevelsFrameTheFaceLoweredOrRaised) {
    panel.setBevelOuter(BevelKind::Lowered);
    QImage image = Image();
    EXPECT_EQ(image.pixelColor(0, 0), Dark());
    EXPECT_EQ(image.pixelColor(79, 23), Light());
    EXPECT_EQ(image.pixelColor(2, 2), kSilver);
    panel.setBevelOuter(BevelKind::Raised);
    panel.setBevelInner(BevelKind::Lowered);
    panel.setBorderWidth(2);
    image = Image();
    EXPECT_EQ(image.pixelColor(0, 0), Light());
    EXPECT_EQ(image.pixelColor(2, 2), kSilver);  // the border, in the face colour
    EXPECT_EQ(image.pixelColor(3, 3), Dark());   // the inner bevel
    EXPECT_EQ(image.pixelColor(76, 20), Light());
}

TEST_F(PanelExtTest, ADisabledCaptionIsEmbossed) {
    const QColor text = panel.palette().color(QPalette::WindowText);
    QImage image = Image();
    EXPECT_TRUE(BoundsOf(image, Inside(), text).isValid());
    EXPECT_FALSE(BoundsOf(image, Inside(), Light()).isValid());

    panel.setEnabled(false);
    image = Image();
    EXPECT_FALSE(BoundsOf(image, Inside(), text).isValid());
    const QRect shadow = BoundsOf(image, Inside(), Dark());
    const QRect highlight = BoundsOf(image, Inside(), Light());
    ASSERT_TRUE(shadow.isValid() && highlight.isValid());
    // The light copy lies one pixel down and to the right of the grey one.
    EXPECT_EQ(highlight.bottomRight(), shadow.bottomRight() + QPoint(1, 1));
    // Centred in the panel.
    EXPECT_LE(std::abs(shadow.center().x() - panel.width() / 2), 2);
}

TEST_F(PanelExtTest, APictureSourceIsTheBackgroundUntilItGoes) {
    panel.setText(QString());
    auto* server = new TImageServer;
    EXPECT_EQ(server->transparentColor(), QColor(128, 128, 0));
    QPixmap glyph(4, 4);
    glyph.fill(Qt::red);
    server->setGlyph(glyph);
    glyph.fill(Qt::blue);  // the source keeps its own copy
    panel.setImageServer(server);
    EXPECT_EQ(Image().pixelColor(40, 12), QColor(Qt::red));
    delete server;
    EXPECT_EQ(panel.imageServer(), nullptr);
    EXPECT_EQ(Image().pixelColor(40, 12), kSilver);
}

}  // namespace
