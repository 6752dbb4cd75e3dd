// Bitmaps: scaling each DIB once to the size it is shown at, raster
// operations, alpha, colour keys and masks; gradient fills.
#include <QLinearGradient>
#include <cmath>

#include "metafile/dc/device_context.h"

namespace mf {

namespace {

constexpr double kMaxBitmapPixels = 64.0 * 1024 * 1024;

std::uint32_t Rop3(std::uint32_t rop) {
    return (rop >> 16) & 0xFF;
}
bool UsesSource(std::uint32_t rop) {
    const std::uint32_t c = Rop3(rop);
    return ((c >> 2) & 0x33) != (c & 0x33);
}

bool AxisAligned(const QTransform& t) {
    return t.m12() == 0 && t.m21() == 0;
}

// Multiplies every pixel (premultiplied) by alpha / 255.
void ScaleAlpha(QImage& image, int alpha) {
    if (alpha >= 255) return;
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = row[x];
            row[x] = qRgba(qRed(p) * alpha / 255, qGreen(p) * alpha / 255, qBlue(p) * alpha / 255,
                           qAlpha(p) * alpha / 255);
        }
    }
}

// Pixels matching `key` become transparent; the others keep their colour.
void KeyOut(QImage& image, QRgb key) {
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((row[x] & 0xFFFFFF) == (key & 0xFFFFFF)) row[x] = 0;
        }
    }
}

// Keeps the colour `paint` where the source is black (or, with
// `onWhite`, not black) and leaves the rest transparent.
void PaintWhere(QImage& image, QRgb paint, bool onWhite) {
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const bool black = (row[x] & 0xFFFFFF) == 0;
            row[x] = black != onWhite ? (paint | 0xFF000000u) : 0;
        }
    }
}

}  // namespace

void DeviceContext::Bitmap(const BitmapCall& call) {
    const QTransform& m = toDevice();
    QPainterPath destPath;
    destPath.addRect(call.dest.normalized());
    const QPainterPath destDevice = m.map(destPath);
    if (destDevice.isEmpty()) return;
    const std::uint32_t code = Rop3(call.rop);

    // Raster operations without a source paint with the brush or fixed colours.
    if (!call.dib || !UsesSource(call.rop)) {
        if (collecting_) return;
        LogBrush solid;
        const int rop2 = st_.rop2;
        st_.rop2 = 13;  // the ternary code decides, not the binary one
        switch (code) {
            case 0x00:
                solid.color = Qt::black;
                FillDevice(destDevice, solid);
                break;
            case 0xFF:
                solid.color = Qt::white;
                FillDevice(destDevice, solid);
                break;
            case 0x55:
                FillDevice(destDevice, solid, Blend::NotDest);
                break;  // DSTINVERT
            case 0xAA:
                break;  // destination
            case 0x5A:
                FillDevice(destDevice, st_.brush, Blend::Xor);
                break;  // PATINVERT
            case 0xA0:
                FillDevice(destDevice, st_.brush, Blend::And);
                break;  // DPa
            case 0xFA:
                FillDevice(destDevice, st_.brush, Blend::Or);
                break;  // DPo
            default:
                FillDevice(destDevice, st_.brush);
                break;  // PATCOPY
        }
        st_.rop2 = rop2;
        return;
    }

    QRect src = call.src.normalized().intersected(QRect(0, 0, call.dib->width, call.dib->height));
    if (src.isEmpty()) return;

    // Where the bitmap lands on the device, and the part of it worth decoding.
    const bool aligned = AxisAligned(m);
    QTransform imageToDevice;
    QImage image;
    DibView dib = *call.dib;
    if (!call.alphaBlend) dib.hasAlpha = false;  // GDI copies alpha bytes as they are
    const bool averaging = st_.stretchMode == kHalftone && !call.transparent;
    if (aligned) {
        const QRectF d = m.mapRect(call.dest).normalized();
        const bool flipX = (call.dest.width() * m.m11()) < 0;
        const bool flipY = (call.dest.height() * m.m22()) < 0;
        const double left = std::round(d.left()), top = std::round(d.top());
        const double right = std::round(d.right()), bottom = std::round(d.bottom());
        const QRectF snapped(left, top, std::max(1.0, right - left), std::max(1.0, bottom - top));
        // Only the visible part is decoded when the bitmap reaches far beyond
        // the output.
        QRectF visible = snapped.intersected(setup_.deviceBounds.adjusted(-2, -2, 2, 2));
        if (visible.isEmpty()) return;
        QRect part = src;
        QRectF shown = snapped;
        if (visible.width() * visible.height() < snapped.width() * snapped.height() / 2) {
            const double kx = src.width() / snapped.width(), ky = src.height() / snapped.height();
            // Distances into the bitmap from the edge its first column (row)
            // is shown at: the right (bottom) edge when it is mirrored.
            const double fromX0 =
                flipX ? snapped.right() - visible.right() : visible.left() - snapped.left();
            const double fromX1 =
                flipX ? snapped.right() - visible.left() : visible.right() - snapped.left();
            const double fromY0 =
                flipY ? snapped.bottom() - visible.bottom() : visible.top() - snapped.top();
            const double fromY1 =
                flipY ? snapped.bottom() - visible.top() : visible.bottom() - snapped.top();
            const int x0 = int(std::floor(fromX0 * kx)), x1 = int(std::ceil(fromX1 * kx));
            const int y0 = int(std::floor(fromY0 * ky)), y1 = int(std::ceil(fromY1 * ky));
            part = QRect(src.left() + x0, src.top() + y0, x1 - x0, y1 - y0).intersected(src);
            if (part.isEmpty()) return;
            const double w = part.width() / kx, h = part.height() / ky;
            const double left = flipX ? snapped.right() - (part.right() + 1 - src.left()) / kx
                                      : snapped.left() + (part.left() - src.left()) / kx;
            const double top = flipY ? snapped.bottom() - (part.bottom() + 1 - src.top()) / ky
                                     : snapped.top() + (part.top() - src.top()) / ky;
            shown = QRectF(left, top, w, h);
        }
        QSize size(std::max(1, int(std::lround(shown.width()))),
                   std::max(1, int(std::lround(shown.height()))));
        // Enlarged on a device that keeps images: the bitmap's own pixels,
        // scaled by the device.
        const bool ownPixels = setup_.keepsImageResolution && size.width() > part.width() &&
                               size.height() > part.height();
        if (ownPixels) size = part.size();
        if (double(size.width()) * size.height() > kMaxBitmapPixels) return;
        image = Decode(dib, part, size, averaging);
        if (image.isNull()) return;
        if (flipX || flipY) image = image.mirrored(flipX, flipY);
        imageToDevice =
            QTransform::fromTranslate(std::round(shown.left()), std::round(shown.top()));
        if (ownPixels)
            imageToDevice = QTransform::fromScale(std::round(shown.width()) / size.width(),
                                                  std::round(shown.height()) / size.height()) *
                            imageToDevice;
    } else {
        // Turned or sheared: decode at the size the edges have on the device
        // and let the output transform it.
        const QPointF o = m.map(call.dest.topLeft());
        const double w = QLineF(o, m.map(call.dest.topRight())).length();
        const double h = QLineF(o, m.map(call.dest.bottomLeft())).length();
        const double cap =
            std::hypot(setup_.deviceBounds.width(), setup_.deviceBounds.height()) * 2;
        const QSize size(std::clamp(int(std::lround(w)), 1, int(cap) + 1),
                         std::clamp(int(std::lround(h)), 1, int(cap) + 1));
        image = Decode(dib, src, size, averaging);
        if (image.isNull()) return;
        imageToDevice = QTransform::fromScale(call.dest.width() / size.width(),
                                              call.dest.height() / size.height()) *
                        QTransform::fromTranslate(call.dest.left(), call.dest.top()) * m;
    }

    if (collecting_) return;
    if (call.mask) {
        DibView maskDib = *call.mask;
        const QRect maskSrc(call.maskOrigin, src.size());
        QImage mask = DecodeDibScaled(maskDib, maskSrc, image.size(), false);
        if (!mask.isNull()) {
            image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < image.height() && y < mask.height(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
                const auto* mrow = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
                for (int x = 0; x < image.width() && x < mask.width(); ++x) {
                    if ((mrow[x] & 0xFFFFFF) == 0) row[x] = 0;
                }
            }
        }
    }
    if (call.transparent) KeyOut(image, call.transparent->rgb());
    if (call.alphaBlend) ScaleAlpha(image, call.constantAlpha);

    Blend blend = Blend::Copy;
    switch (code) {
        case 0xCC:
            break;  // SRCCOPY
        case 0x88:
            blend = Blend::And;
            break;  // SRCAND
        case 0xEE:
            blend = Blend::Or;
            break;  // SRCPAINT
        case 0x66:
            blend = Blend::Xor;
            break;  // SRCINVERT
        case 0x33:
            image.invertPixels();
            break;  // NOTSRCCOPY
        case 0xBB:
            image.invertPixels();
            blend = Blend::Or;
            break;  // MERGEPAINT
        case 0x11:  // NOTSRCERASE
            image.invertPixels();
            blend = Blend::And;
            break;
        case 0xB8:
            PaintWhere(image, st_.brush.color.rgb(), false);
            break;  // PSDPxax
        case 0xE2:
            PaintWhere(image, st_.brush.color.rgb(), true);
            break;  // DSPDxax
        default:
            break;
    }
    out().DrawImage(image, imageToDevice, blend);
}

QImage DeviceContext::Decode(const DibView& dib, const QRect& part, const QSize& size,
                             bool averaging) {
    if (collecting_) {
        jobs_.push_back({dib, part, size, averaging, QImage()});
        return QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
    }
    // A decode done ahead of the draw, when this is the one it was made for.
    for (std::size_t k = nextJob_; k < jobs_.size(); ++k) {
        DecodeJob& job = jobs_[k];
        if (job.dib.bits == dib.bits && job.part == part && job.size == size &&
            job.averaging == averaging) {
            nextJob_ = k + 1;
            if (job.image.isNull()) break;
            return std::move(job.image);
        }
    }
    return DecodeDibScaled(dib, part, size, averaging);
}

void DeviceContext::GradientRect(const QRectF& logical, const QColor& c0, const QColor& c1,
                                 bool vertical) {
    if (collecting_) return;
    QPainterPath p;
    p.addRect(logical.normalized());
    const QTransform& m = toDevice();
    const QPointF a = m.map(logical.topLeft());
    const QPointF b = m.map(vertical ? logical.bottomLeft() : logical.topRight());
    QLinearGradient g(a, b);
    g.setColorAt(0, c0);
    g.setColorAt(1, c1);
    out().FillPath(m.map(p), QBrush(g), Blend::Copy);
}

void DeviceContext::GradientTriangle(const QPolygonF& logical, const QColor& c0, const QColor& c1,
                                     const QColor& c2) {
    if (collecting_ || logical.size() != 3) return;
    const QPolygonF d = toDevice().map(logical);
    const QRectF bounds = d.boundingRect().intersected(setup_.deviceBounds);
    if (bounds.isEmpty()) return;
    const QRect area = bounds.toAlignedRect();
    if (double(area.width()) * area.height() > kMaxBitmapPixels) return;
    // Colours interpolated over the triangle, pixel by pixel.
    QImage img(area.size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(0);
    const QPointF p0 = d[0], p1 = d[1], p2 = d[2];
    const double den =
        (p1.y() - p2.y()) * (p0.x() - p2.x()) + (p2.x() - p1.x()) * (p0.y() - p2.y());
    if (std::fabs(den) < 1e-9) return;
    for (int y = 0; y < area.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        const double py = area.top() + y + 0.5;
        for (int x = 0; x < area.width(); ++x) {
            const double px = area.left() + x + 0.5;
            const double w0 =
                ((p1.y() - p2.y()) * (px - p2.x()) + (p2.x() - p1.x()) * (py - p2.y())) / den;
            const double w1 =
                ((p2.y() - p0.y()) * (px - p2.x()) + (p0.x() - p2.x()) * (py - p2.y())) / den;
            const double w2 = 1 - w0 - w1;
            if (w0 < -0.001 || w1 < -0.001 || w2 < -0.001) continue;
            auto mix = [&](int a, int b, int c) {
                return std::clamp(int(std::lround(w0 * a + w1 * b + w2 * c)), 0, 255);
            };
            row[x] =
                qRgb(mix(c0.red(), c1.red(), c2.red()), mix(c0.green(), c1.green(), c2.green()),
                     mix(c0.blue(), c1.blue(), c2.blue()));
        }
    }
    out().DrawImage(img, QTransform::fromTranslate(area.left(), area.top()), Blend::Copy);
}

}  // namespace mf
