#include "viewer/page_painter.h"

#include <QPainter>

#include "metafile/picture.h"

void PaintPage(QPainter& painter, QSize inner, const mf::Picture& picture,
               const PageMargins& margins, int zoomPercent) {
    const QRect area(QPoint(0, 0), inner);
    painter.save();
    painter.fillRect(area, Qt::white);
    painter.setClipRect(area);
    const QRect target = PageDrawRect(inner, margins, zoomPercent);
    if (target.width() > 0 && target.height() > 0)
        picture.Draw(painter, QRectF(target.left(), target.top(), target.width(), target.height()));
    painter.restore();
}

QImage RenderPage(QSize inner, qreal devicePixelRatio, const mf::Picture& picture,
                  const PageMargins& margins, int zoomPercent) {
    const QSize device(qRound(inner.width() * devicePixelRatio),
                       qRound(inner.height() * devicePixelRatio));
    QImage image(device.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::white);
    if (inner.isEmpty()) return image;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    PaintPage(painter, inner, picture, margins, zoomPercent);
    return image;
}

const QImage& PageRenderCache::Render(std::uint64_t pageSerial, QSize inner, qreal devicePixelRatio,
                                      const mf::Picture& picture, const PageMargins& margins,
                                      int zoomPercent) {
    if (image_.isNull() || serial_ != pageSerial || inner_ != inner || ratio_ != devicePixelRatio ||
        !(margins_ == margins) || zoom_ != zoomPercent) {
        // Drop the old image first so that two full renderings never coexist.
        image_ = QImage();
        image_ = RenderPage(inner, devicePixelRatio, picture, margins, zoomPercent);
        serial_ = pageSerial;
        inner_ = inner;
        ratio_ = devicePixelRatio;
        margins_ = margins;
        zoom_ = zoomPercent;
        ++renders_;
    }
    return image_;
}

void PageRenderCache::Adopt(std::uint64_t pageSerial, QSize inner, qreal devicePixelRatio,
                            const PageMargins& margins, int zoomPercent, QImage image) {
    image_ = std::move(image);
    serial_ = pageSerial;
    inner_ = inner;
    ratio_ = devicePixelRatio;
    margins_ = margins;
    zoom_ = zoomPercent;
}

void PageRenderCache::Clear() {
    image_ = QImage();
}
