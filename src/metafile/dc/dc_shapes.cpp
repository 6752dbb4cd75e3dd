// Lines, curves and closed shapes, and the pens and brushes that draw them.
#include <QtMath>
#include <cmath>

#include "metafile/dc/device_context.h"

namespace mf {

namespace {

QPainterPath OpenPath(const QPolygonF& pts) {
    QPainterPath p;
    if (pts.isEmpty()) return p;
    p.moveTo(pts[0]);
    for (qsizetype i = 1; i < pts.size(); ++i)
        p.lineTo(pts[i]);
    return p;
}

QPainterPath BezierPath(const QPointF& start, const QPolygonF& pts, qsizetype from) {
    QPainterPath p;
    p.moveTo(start);
    for (qsizetype i = from; i + 2 < pts.size(); i += 3)
        p.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
    return p;
}

// Qt's hatch pattern for a GDI hatch style.
Qt::BrushStyle HatchStyle(std::uint32_t hatch) {
    switch (hatch) {
        case 0:
            return Qt::HorPattern;
        case 1:
            return Qt::VerPattern;
        case 2:
            return Qt::FDiagPattern;
        case 3:
            return Qt::BDiagPattern;
        case 4:
            return Qt::CrossPattern;
        default:
            return Qt::DiagCrossPattern;
    }
}

}  // namespace

bool DeviceContext::WorkTooLarge(const QRectF& b) const {
    const QRectF area = setup_.deviceBounds;
    const double span = std::max(area.width(), area.height()) + 1;
    return b.width() > span * 64 || b.height() > span * 64;
}

Blend DeviceContext::BlendFor(QColor* color) const {
    // The sixteen binary raster operations of GDI, each one Qt has.
    switch (st_.rop2) {
        case 1:
            *color = Qt::black;
            return Blend::Copy;  // R2_BLACK
        case 2:
            return Blend::NotSourceAndNotDest;  // R2_NOTMERGEPEN
        case 3:
            return Blend::NotSourceAnd;  // R2_MASKNOTPEN
        case 4:                          // R2_NOTCOPYPEN
            *color = QColor(255 - color->red(), 255 - color->green(), 255 - color->blue());
            return Blend::Copy;
        case 5:
            return Blend::SourceAndNotDest;  // R2_MASKPENNOT
        case 6:
            return Blend::NotDest;  // R2_NOT
        case 7:
            return Blend::Xor;  // R2_XORPEN
        case 8:
            return Blend::NotSourceOrNotDest;  // R2_NOTMASKPEN
        case 9:
            return Blend::And;  // R2_MASKPEN
        case 10:
            return Blend::NotSourceXor;  // R2_NOTXORPEN
        case 12:
            return Blend::NotSourceOr;  // R2_MERGENOTPEN
        case 14:
            return Blend::SourceOrNotDest;  // R2_MERGEPENNOT
        case 15:
            return Blend::Or;  // R2_MERGEPEN
        case 16:
            *color = Qt::white;
            return Blend::Copy;  // R2_WHITE
        default:
            return Blend::Copy;  // R2_COPYPEN
    }
}

void DeviceContext::FillDevice(const QPainterPath& device, const LogBrush& brush,
                               std::optional<Blend> forced) {
    if (collecting_ || brush.style == kBsNull || st_.rop2 == 11) return;  // R2_NOP
    QColor color = brush.color;
    switch (brush.style) {
        case kBsSolid: {
            const Blend blend = BlendFor(&color);
            out().FillPath(device, QBrush(color), forced.value_or(blend));
            return;
        }
        case kBsHatched: {
            if (st_.bkMode == kOpaque) {
                QColor bk = st_.bkColor;
                out().FillPath(device, QBrush(bk), BlendFor(&bk));
            }
            const Blend blend = BlendFor(&color);
            out().FillPath(device, QBrush(color, HatchStyle(brush.hatch)), forced.value_or(blend));
            return;
        }
        default: {
            if (brush.pattern.isNull()) {
                out().FillPath(device, QBrush(color), Blend::Copy);
                return;
            }
            QImage pattern = brush.pattern;
            if (brush.monoPattern) {
                // Monochrome patterns take the text colour for 0 and the background
                // colour for 1 bits.
                pattern = pattern.convertToFormat(QImage::Format_RGB32);
                const QRgb fore = st_.textColor.rgb(), back = st_.bkColor.rgb();
                for (int y = 0; y < pattern.height(); ++y) {
                    auto* row = reinterpret_cast<QRgb*>(pattern.scanLine(y));
                    for (int x = 0; x < pattern.width(); ++x)
                        row[x] = qGray(row[x]) < 128 ? fore : back;
                }
            }
            QColor dummy = Qt::black;
            out().FillPath(device, QBrush(pattern), forced.value_or(BlendFor(&dummy)));
            return;
        }
    }
}

double DeviceContext::penWidthDevice() const {
    if (st_.pen.width <= 0) return 0;
    const QTransform& t = const_cast<DeviceContext*>(this)->toDevice();
    // GDI measures a pen along the x axis of the logical space.
    const double scale = std::hypot(t.m11(), t.m12());
    return st_.pen.width * scale;
}

bool DeviceContext::PenFor(QPen* pen, const QPainterPath& device) const {
    const LogPen& lp = st_.pen;
    if (lp.isNull()) return false;
    const std::uint32_t style = lp.style & kPsStyleMask;
    double w = penWidthDevice();
    const QRectF area = setup_.deviceBounds;
    const double maxWidth = 4 * (std::hypot(area.width(), area.height()) + 1);
    if (w > maxWidth) w = maxWidth;
    const bool wide = w > 1.5;
    QColor color = lp.color;
    *pen = QPen(color);
    pen->setWidthF(w < 1 ? 1 : w);
    if (lp.isGeometric() || wide) {
        switch (lp.style & kPsEndcapMask) {
            case kPsEndcapSquare:
                pen->setCapStyle(Qt::SquareCap);
                break;
            case kPsEndcapFlat:
                pen->setCapStyle(Qt::FlatCap);
                break;
            default:
                pen->setCapStyle(Qt::RoundCap);
                break;
        }
        switch (lp.style & kPsJoinMask) {
            case kPsJoinBevel:
                pen->setJoinStyle(Qt::BevelJoin);
                break;
            case kPsJoinMiter:
                pen->setJoinStyle(Qt::MiterJoin);
                pen->setMiterLimit(st_.miterLimit);
                break;
            default:
                pen->setJoinStyle(Qt::RoundJoin);
                break;
        }
    } else {
        pen->setCapStyle(Qt::FlatCap);
        pen->setJoinStyle(Qt::MiterJoin);
    }
    if (lp.hasBrush && lp.brush.style == kBsHatched)
        pen->setBrush(QBrush(lp.brush.color, HatchStyle(lp.brush.hatch)));
    else if (lp.hasBrush && !lp.brush.pattern.isNull())
        pen->setBrush(QBrush(lp.brush.pattern));

    // Styled lines: cosmetic pens use GDI's fixed pixel patterns; wide pens
    // from CreatePen are drawn solid, as GDI does.
    QList<qreal> dashes;
    const bool styled = lp.isGeometric() || !wide;
    if (styled) {
        switch (style) {
            case kPsDash:
                dashes = lp.isGeometric() ? QList<qreal>{3, 1} : QList<qreal>{18, 6};
                break;
            case kPsDot:
                dashes = lp.isGeometric() ? QList<qreal>{1, 1} : QList<qreal>{3, 3};
                break;
            case kPsDashDot:
                dashes = lp.isGeometric() ? QList<qreal>{3, 1, 1, 1} : QList<qreal>{9, 6, 3, 6};
                break;
            case kPsDashDotDot:
                dashes = lp.isGeometric() ? QList<qreal>{3, 1, 1, 1, 1, 1}
                                          : QList<qreal>{9, 3, 3, 3, 3, 3};
                break;
            case kPsAlternate:
                dashes = {1, 1};
                break;
            case kPsUserStyle:
                for (double d : lp.dashes)
                    dashes.push_back(std::max(0.0, d) * (lp.isGeometric() ? 1 : 1));
                break;
            default:
                break;
        }
    }
    if (!dashes.isEmpty()) {
        double total = 0;
        for (qreal d : dashes)
            total += d;
        // A dash pattern over an enormous outline would take forever; such
        // lines are drawn solid.
        const QRectF b = device.controlPointRect();
        const double length = 2 * (b.width() + b.height());
        const double unit = pen->widthF() < 1 ? 1 : pen->widthF();
        if (total > 0 && length / (total * unit) < 200000) pen->setDashPattern(dashes);
    }
    return true;
}

void DeviceContext::StrokeDevice(const QPainterPath& device) {
    QPen pen;
    if (collecting_ || st_.rop2 == 11 || !PenFor(&pen, device)) return;
    QColor color = pen.color();
    const Blend blend = BlendFor(&color);
    pen.setColor(color);
    if (st_.bkMode == kOpaque && pen.style() == Qt::CustomDashLine && !st_.pen.isGeometric()) {
        // Opaque background fills the gaps of styled cosmetic lines.
        QPen gaps = pen;
        gaps.setStyle(Qt::SolidLine);
        QColor bk = st_.bkColor;
        gaps.setColor(bk);
        out().StrokePath(device, gaps, BlendFor(&bk));
    }
    out().StrokePath(device, pen, blend);
}

void DeviceContext::Shape(const QPainterPath& logical, bool fill, bool stroke) {
    QPainterPath device = toDevice().map(logical);
    if (inPath_) {
        path_.addPath(device);
        return;
    }
    if (fill) {
        device.setFillRule(st_.polyFillMode == kAlternate ? Qt::OddEvenFill : Qt::WindingFill);
        FillDevice(device, st_.brush);
    }
    if (stroke) StrokeDevice(device);
}

void DeviceContext::MoveTo(const QPointF& p) {
    st_.current = p;
    if (inPath_) path_.moveTo(toDevice().map(p));
}

void DeviceContext::LineTo(const QPointF& p) {
    if (inPath_) {
        if (path_.elementCount() == 0) path_.moveTo(toDevice().map(st_.current));
        path_.lineTo(toDevice().map(p));
    } else {
        QPainterPath line;
        line.moveTo(st_.current);
        line.lineTo(p);
        Shape(line, false, true);
    }
    st_.current = p;
}

void DeviceContext::Polyline(const QPolygonF& pts) {
    if (pts.size() < 2 && !inPath_) return;
    Shape(OpenPath(pts), false, true);
}

void DeviceContext::PolylineTo(const QPolygonF& pts) {
    if (pts.isEmpty()) return;
    if (inPath_) {
        if (path_.elementCount() == 0) path_.moveTo(toDevice().map(st_.current));
        for (const QPointF& p : pts)
            path_.lineTo(toDevice().map(p));
    } else {
        QPolygonF all;
        all.reserve(pts.size() + 1);
        all << st_.current << pts;
        Shape(OpenPath(all), false, true);
    }
    st_.current = pts.last();
}

void DeviceContext::Polygon(const QPolygonF& pts) {
    if (pts.size() < 2) return;
    QPainterPath p = OpenPath(pts);
    p.closeSubpath();
    Shape(p, true, true);
}

void DeviceContext::PolyPolyline(const std::vector<QPolygonF>& lines) {
    QPainterPath p;
    for (const QPolygonF& l : lines)
        p.addPath(OpenPath(l));
    Shape(p, false, true);
}

void DeviceContext::PolyPolygon(const std::vector<QPolygonF>& polys) {
    QPainterPath p;
    for (const QPolygonF& poly : polys) {
        if (poly.size() < 2) continue;
        p.addPath(OpenPath(poly));
        p.closeSubpath();
    }
    Shape(p, true, true);
}

void DeviceContext::PolyBezier(const QPolygonF& pts) {
    if (pts.size() < 4) return;
    Shape(BezierPath(pts[0], pts, 1), false, true);
}

void DeviceContext::PolyBezierTo(const QPolygonF& pts) {
    if (pts.size() < 3) return;
    const qsizetype usable = pts.size() - pts.size() % 3;
    if (inPath_) {
        if (path_.elementCount() == 0) path_.moveTo(toDevice().map(st_.current));
        const QTransform& t = toDevice();
        for (qsizetype i = 0; i + 2 < usable; i += 3)
            path_.cubicTo(t.map(pts[i]), t.map(pts[i + 1]), t.map(pts[i + 2]));
    } else {
        Shape(BezierPath(st_.current, pts, 0), false, true);
    }
    st_.current = pts[usable - 1];
}

void DeviceContext::PolyDraw(const QPolygonF& pts, const std::vector<std::uint8_t>& types) {
    QPainterPath p;
    p.moveTo(st_.current);
    QPointF figureStart = st_.current;
    for (qsizetype i = 0; i < pts.size() && std::size_t(i) < types.size(); ++i) {
        const std::uint8_t t = types[std::size_t(i)];
        if ((t & ~kPtCloseFigure) == kPtMoveTo) {
            p.moveTo(pts[i]);
            figureStart = pts[i];
        } else if ((t & ~kPtCloseFigure) == kPtLineTo) {
            p.lineTo(pts[i]);
        } else if ((t & ~kPtCloseFigure) == kPtBezierTo && i + 2 < pts.size()) {
            p.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
            i += 2;
        }
        if (t & kPtCloseFigure) p.closeSubpath();
        st_.current = std::size_t(i) < types.size() && i < pts.size() ? pts[i] : st_.current;
    }
    (void)figureStart;
    Shape(p, false, true);
}

void DeviceContext::Rectangle(const QRectF& r) {
    QPainterPath p;
    p.addRect(r.normalized());
    Shape(p, true, true);
}

void DeviceContext::RoundRect(const QRectF& r, const QSizeF& corner) {
    QPainterPath p;
    p.addRoundedRect(r.normalized(), std::fabs(corner.width()) / 2, std::fabs(corner.height()) / 2);
    Shape(p, true, true);
}

void DeviceContext::Ellipse(const QRectF& r) {
    QPainterPath p;
    p.addEllipse(r.normalized());
    Shape(p, true, true);
}

QPainterPath DeviceContext::ArcPath(const QRectF& boxIn, const QPointF& start, const QPointF& end,
                                    ArcKind kind, bool lineFromCurrent) const {
    const QRectF box = boxIn.normalized();
    const QPointF c = box.center();
    const double rx = box.width() / 2, ry = box.height() / 2;
    QPainterPath p;
    if (rx <= 0 || ry <= 0) return p;
    auto angle = [&](const QPointF& q) {
        return qRadiansToDegrees(std::atan2(-(q.y() - c.y()) / ry, (q.x() - c.x()) / rx));
    };
    const double a1 = angle(start);
    const double a2 = angle(end);
    double sweep = a2 - a1;
    if (st_.arcDirection == kAdClockwise) {
        while (sweep >= 0)
            sweep -= 360;
    } else {
        while (sweep <= 0)
            sweep += 360;
    }
    if (kind == ArcKind::Pie) {
        p.moveTo(c);
        p.arcTo(box, a1, sweep);
        p.closeSubpath();
    } else {
        if (lineFromCurrent) {
            p.moveTo(st_.current);
            p.arcTo(box, a1, sweep);
        } else {
            p.arcMoveTo(box, a1);
            p.arcTo(box, a1, sweep);
        }
        if (kind == ArcKind::Chord) p.closeSubpath();
    }
    return p;
}

void DeviceContext::Arc(const QRectF& box, const QPointF& start, const QPointF& end, ArcKind kind) {
    const QPainterPath p = ArcPath(box, start, end, kind, kind == ArcKind::ArcTo);
    if (p.isEmpty()) return;
    const bool closed = kind == ArcKind::Chord || kind == ArcKind::Pie;
    if (inPath_ && kind == ArcKind::ArcTo) {
        const QPainterPath device = toDevice().map(p);
        if (path_.elementCount() == 0) path_.moveTo(device.elementAt(0));
        path_.connectPath(device);
    } else {
        Shape(p, closed, true);
    }
    if (kind == ArcKind::ArcTo) st_.current = p.currentPosition();
}

void DeviceContext::AngleArc(const QPointF& center, double radius, double startDeg,
                             double sweepDeg) {
    if (!(radius > 0) || !std::isfinite(startDeg) || !std::isfinite(sweepDeg)) return;
    sweepDeg = std::clamp(sweepDeg, -3600.0, 3600.0);
    const QRectF box(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    QPainterPath p;
    p.moveTo(st_.current);
    p.arcTo(box, startDeg, sweepDeg);
    if (inPath_) {
        const QPainterPath device = toDevice().map(p);
        if (path_.elementCount() == 0) path_.moveTo(device.elementAt(0));
        path_.connectPath(device);
    } else {
        Shape(p, false, true);
    }
    st_.current = p.currentPosition();
}

void DeviceContext::SetPixel(const QPointF& p, const QColor& c) {
    if (collecting_) return;
    const QPointF d = toDevice().map(p);
    QPainterPath px;
    px.addRect(QRectF(std::floor(d.x()), std::floor(d.y()), 1, 1));
    out().FillPath(px, QBrush(c), Blend::Copy);
}

}  // namespace mf
