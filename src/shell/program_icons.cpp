#include "shell/program_icons.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmapCache>
#include <QSvgRenderer>

namespace {

// Pixels darker than this count as the picture's lines; the ramp above it
// keeps anti-aliased edges soft in the disabled form.
constexpr int kInkLuminance = 150;
constexpr int kInkRamp = 40;

const char* const kToolbarFiles[kToolbarPictureCount] = {
    "open",  "margin",   "print", "page_scroll", "contents", "jump",
    "first", "previous", "next",  "last",        "zoom_out", "zoom_in",
};

// Renders an SVG resource at the size asked for; the disabled form comes
// from the normal one.
class SvgPictureEngine : public QIconEngine {
public:
    SvgPictureEngine(const QString& path, int designSize) : path_(path), designSize_(designSize) {}

    QIconEngine* clone() const override { return new SvgPictureEngine(path_, designSize_); }
    QString key() const override { return QStringLiteral("neridal-svg"); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size() * scale, mode, state, scale));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // `device` is in device pixels, as QIcon asks: the size shown times `scale`.
    QPixmap scaledPixmap(const QSize& device, QIcon::Mode mode, QIcon::State,
                         qreal scale) override {
        if (device.isEmpty()) return {};
        const bool disabled = mode == QIcon::Disabled;
        const QString cacheKey = QStringLiteral("%1|%2x%3|%4")
                                     .arg(path_)
                                     .arg(device.width())
                                     .arg(device.height())
                                     .arg(disabled);
        QPixmap pixmap;
        if (!QPixmapCache::find(cacheKey, &pixmap)) {
            QImage image(device, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QSvgRenderer renderer(path_);
            QPainter painter(&image);
            renderer.render(&painter, QRectF(QPointF(), QSizeF(device)));
            painter.end();
            if (disabled) image = DisabledPicture(image, std::max(1, device.width() / designSize_));
            pixmap = QPixmap::fromImage(image);
            QPixmapCache::insert(cacheKey, pixmap);
        }
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(designSize_, designSize_), QSize(2 * designSize_, 2 * designSize_)};
    }

private:
    QString path_;
    int designSize_;
};

// The share of a pixel that belongs to the picture's lines.
int InkAlpha(QRgb pixel) {
    const int alpha = qAlpha(pixel);
    if (alpha == 0) return 0;
    // Un-premultiply for the colour's own lightness.
    const int luminance =
        qGray(qRed(pixel) * 255 / alpha, qGreen(pixel) * 255 / alpha, qBlue(pixel) * 255 / alpha);
    const int weight = std::clamp((kInkLuminance + kInkRamp - luminance) * 255 / kInkRamp, 0, 255);
    return alpha * weight / 255;
}

}  // namespace

QImage DisabledPicture(const QImage& normal, int offset) {
    const QImage source = normal.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QPalette palette = QGuiApplication::palette();
    const QColor highlight = palette.color(QPalette::Light);
    const QColor shadow = palette.color(QPalette::Dark);
    QImage out(source.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    auto stamp = [&](const QColor& color, int dx, int dy) {
        for (int y = 0; y < source.height(); ++y) {
            const int ty = y + dy;
            if (ty < 0 || ty >= out.height()) continue;
            const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(ty));
            for (int x = 0; x < source.width(); ++x) {
                const int tx = x + dx;
                if (tx < 0 || tx >= out.width()) continue;
                const int a = InkAlpha(in[x]);
                if (a == 0) continue;
                // Source-over of an opaque colour at alpha a, premultiplied.
                const QRgb below = line[tx];
                const int keep = 255 - a;
                line[tx] = qRgba(color.red() * a / 255 + qRed(below) * keep / 255,
                                 color.green() * a / 255 + qGreen(below) * keep / 255,
                                 color.blue() * a / 255 + qBlue(below) * keep / 255,
                                 a + qAlpha(below) * keep / 255);
            }
        }
    };
    stamp(highlight, offset, offset);
    stamp(shadow, 0, 0);
    return out;
}

QIcon ToolbarIcon(ToolbarPicture picture) {
    const int index = static_cast<int>(picture);
    return QIcon(new SvgPictureEngine(
        QStringLiteral(":/icons/toolbar/%1.svg").arg(QLatin1String(kToolbarFiles[index])),
        kToolbarPictureSize));
}

QIcon ApplicationIcon() {
    constexpr int kDesignSize = 48;
    return QIcon(new SvgPictureEngine(QStringLiteral(":/icons/neridal.svg"), kDesignSize));
}
