#include "controls/panel_ext.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>

#include "controls/image_server.h"

namespace {

// The size of a new caption panel.
constexpr QSize kDefaultSize(185, 41);

}  // namespace

TCustomPanelExt::TCustomPanelExt(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize TCustomPanelExt::sizeHint() const {
    return kDefaultSize;
}

void TCustomPanelExt::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    switch (event->type()) {
        case QEvent::EnabledChange:
        case QEvent::FontChange:
        case QEvent::PaletteChange:
            update();
            break;
        default:
            break;
    }
}

void TCustomPanelExt::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const QColor face = FaceColor();
    QRect r = rect();

    QPixmap picture;
    if (imageServer_ && !imageServer_->glyph().isNull())
        picture = imageServer_->glyph();
    else if (image_ && !image_->pixmap().isNull())
        picture = image_->pixmap();
    if (!picture.isNull()) painter.drawPixmap(r, picture);

    r = DrawBevel(painter, r, bevelOuter_, bevelWidth_, pal);
    if (borderWidth_ > 0) {
        const QRect inner = r.adjusted(borderWidth_, borderWidth_, -borderWidth_, -borderWidth_);
        QRegion border(r);
        border -= QRegion(inner);
        for (const QRect& part : border)
            painter.fillRect(part, face);
        r = inner;
    }
    r = DrawBevel(painter, r, bevelInner_, bevelWidth_, pal);
    if (picture.isNull()) painter.fillRect(r, face);

    // One line as high as the font's "W", centred vertically in what is left.
    const int lineHeight = QFontMetrics(font()).height();
    const QRect band(r.left(), r.top() + (r.height() - lineHeight) / 2, r.width(), lineHeight);
    const Qt::Alignment horizontal = alignment_ & Qt::AlignHorizontal_Mask;
    const int flags = int(horizontal ? horizontal : Qt::AlignHCenter) | Qt::AlignVCenter |
                      Qt::TextExpandTabs | Qt::TextSingleLine;
    painter.setFont(font());
    DrawCaption(painter, band, flags, caption_, isEnabled(), pal, pal.color(QPalette::WindowText));
}

void TPanelExt::setText(const QString& text) {
    if (caption_ == text) return;
    caption_ = text;
    update();
}

void TPanelExt::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void TPanelExt::setBevelInner(BevelKind kind) {
    bevelInner_ = kind;
    update();
}

void TPanelExt::setBevelOuter(BevelKind kind) {
    bevelOuter_ = kind;
    update();
}

void TPanelExt::setBevelWidth(int width) {
    bevelWidth_ = std::max(width, 1);
    update();
}

void TPanelExt::setBorderWidth(int width) {
    borderWidth_ = std::max(width, 0);
    update();
}

void TPanelExt::setFullRepaint(bool full) {
    fullRepaint_ = full;
    update();
}

void TPanelExt::setLocked(bool locked) {
    locked_ = locked;
    update();
}

void TPanelExt::setColor(const QColor& color) {
    color_ = color;
    update();
}

QColor TCustomPanelExt::FaceColor() const {
    return color_.isValid() ? color_ : palette().color(QPalette::Button);
}

void TPanelExt::setImage(QLabel* image) {
    image_ = image;
    if (image) connect(image, &QObject::destroyed, this, qOverload<>(&QWidget::update));
    update();
}

void TPanelExt::setImageServer(TImageServer* server) {
    imageServer_ = server;
    if (server) {
        connect(server, &QObject::destroyed, this, qOverload<>(&QWidget::update));
        connect(server, &TImageServer::changed, this, qOverload<>(&QWidget::update));
    }
    update();
}
