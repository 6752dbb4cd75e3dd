#include "controls/align_speed_button.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include "controls/bevel_painting.h"

namespace {

// Between the picture and the caption.
constexpr int kGlyphSpacing = 4;
// Around the contents, inside the frame.
constexpr int kContentMargin = 4;

QPointer<TAlignSpeedButton>& Hovered() {
    static QPointer<TAlignSpeedButton> hovered;
    return hovered;
}

}  // namespace

TAlignSpeedButton::TAlignSpeedButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover, false);
    HoverTimer();  // created with the first button, kept to the end of the run
}

TAlignSpeedButton::~TAlignSpeedButton() {
    if (Hovered() == this) {
        Hovered() = nullptr;
        HoverTimer()->stop();
    }
}

QTimer* TAlignSpeedButton::HoverTimer() {
    static QPointer<QTimer> timer;
    if (!timer) {
        timer = new QTimer(QCoreApplication::instance());
        timer->setInterval(kHoverCheckMs);
        QObject::connect(timer, &QTimer::timeout, &TAlignSpeedButton::CheckHover);
    }
    return timer;
}

TAlignSpeedButton* TAlignSpeedButton::HoveredButton() {
    return Hovered();
}

void TAlignSpeedButton::CheckHover() {
    TAlignSpeedButton* hovered = Hovered();
    if (!hovered) {
        HoverTimer()->stop();
        return;
    }
    // Disabled controls count: widgetAt finds them as well.
    if (QApplication::widgetAt(QCursor::pos()) != hovered) hovered->MouseLeave();
}

void TAlignSpeedButton::setFlat(bool flat) {
    if (flat_ == flat) return;
    flat_ = flat;
    update();
}

bool TAlignSpeedButton::PointerInside() const {
    return isVisible() && rect().contains(mapFromGlobal(QCursor::pos()));
}

void TAlignSpeedButton::SetHot(bool hot) {
    if (hot_ == hot) return;
    hot_ = hot;
    update();
}

void TAlignSpeedButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    SetHot(true);
    if (TAlignSpeedButton* other = Hovered(); other && other != this) other->MouseLeave();
    if (rect().contains(event->position().toPoint()) || PointerInside()) {
        Hovered() = this;
        HoverTimer()->start();
    }
}

void TAlignSpeedButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    MouseLeave();
}

void TAlignSpeedButton::MouseLeave() {
    SetHot(false);
    if (Hovered() == this && !PointerInside()) {
        Hovered() = nullptr;
        HoverTimer()->stop();
    }
}

void TAlignSpeedButton::changeEvent(QEvent* event) {
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) update();
}

QSize TAlignSpeedButton::sizeHint() const {
    const QFontMetrics metrics(font());
    int width = 0;
    int height = 0;
    if (!icon().isNull()) {
        width = iconSize().width();
        height = iconSize().height();
    }
    if (!text().isEmpty()) {
        const QSize textSize = metrics.size(Qt::TextShowMnemonic, text());
        width += (width > 0 ? kGlyphSpacing : 0) + textSize.width();
        height = std::max(height, textSize.height());
    }
    return {width + 2 * kContentMargin, height + 2 * kContentMargin};
}

void TAlignSpeedButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintButton(painter);
}

void TAlignSpeedButton::PaintButton(QPainter& painter) {
    const QPalette& pal = palette();
    QRect r = rect();
    const bool down = isShownDown();
    if (down && isChecked() && !isDown()) {
        // A toggle held down: the classic light dither behind the picture.
        painter.fillRect(r.adjusted(1, 1, -1, -1),
                         QBrush(pal.color(QPalette::Light), Qt::Dense4Pattern));
    }
    if (down)
        DrawBevel(painter, r, BevelKind::Lowered, 1, pal);
    else if (!flat_ || (hot_ && isEnabled()))
        DrawBevel(painter, r, BevelKind::Raised, 1, pal);

    // Picture and caption, centred together; one pixel down-right when pressed.
    const bool hasGlyph = !icon().isNull();
    const QFontMetrics metrics(font());
    const QSize textSize = text().isEmpty() ? QSize() : metrics.size(Qt::TextShowMnemonic, text());
    const QSize glyph = hasGlyph ? iconSize() : QSize();
    const int contentWidth =
        glyph.width() + textSize.width() + (hasGlyph && !text().isEmpty() ? kGlyphSpacing : 0);
    int x = r.left() + (r.width() - contentWidth) / 2;
    const QPoint shift = down ? QPoint(1, 1) : QPoint();
    if (hasGlyph) {
        const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        const QPixmap pixmap = icon().pixmap(glyph, devicePixelRatio(), mode);
        const QRect target(QPoint(x, r.top() + (r.height() - glyph.height()) / 2) + shift, glyph);
        painter.drawPixmap(target, pixmap);
        x += glyph.width() + kGlyphSpacing;
    }
    if (!text().isEmpty()) {
        const QRect textRect(QPoint(x, r.top() + (r.height() - textSize.height()) / 2) + shift,
                             textSize);
        DrawCaption(painter, textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                    text(), isEnabled(), pal, pal.color(QPalette::ButtonText));
    }
}
