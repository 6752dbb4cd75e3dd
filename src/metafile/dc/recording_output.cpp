#include "metafile/dc/recording_output.h"

#include <cmath>

#include "metafile/dc/path_rect.h"

namespace mf {

namespace {

QString BlendName(Blend b) {
    switch (b) {
        case Blend::Copy:
            return QStringLiteral("copy");
        case Blend::And:
            return QStringLiteral("and");
        case Blend::Or:
            return QStringLiteral("or");
        case Blend::Xor:
            return QStringLiteral("xor");
        case Blend::NotDest:
            return QStringLiteral("notdest");
        case Blend::NotSourceOr:
            return QStringLiteral("notsrc-or");
        case Blend::NotSourceAndNotDest:
            return QStringLiteral("notsrc-and-notdest");
        case Blend::NotSourceAnd:
            return QStringLiteral("notsrc-and");
        case Blend::SourceAndNotDest:
            return QStringLiteral("src-and-notdest");
        case Blend::NotSourceOrNotDest:
            return QStringLiteral("notsrc-or-notdest");
        case Blend::NotSourceXor:
            return QStringLiteral("notsrc-xor");
        case Blend::SourceOrNotDest:
            return QStringLiteral("src-or-notdest");
    }
    return QString();
}

QString BrushName(const QBrush& b) {
    switch (b.style()) {
        case Qt::SolidPattern:
            return QStringLiteral("solid ") + DumpColor(b.color());
        case Qt::HorPattern:
            return QStringLiteral("hatch-h ") + DumpColor(b.color());
        case Qt::VerPattern:
            return QStringLiteral("hatch-v ") + DumpColor(b.color());
        case Qt::FDiagPattern:
            return QStringLiteral("hatch-fdiag ") + DumpColor(b.color());
        case Qt::BDiagPattern:
            return QStringLiteral("hatch-bdiag ") + DumpColor(b.color());
        case Qt::CrossPattern:
            return QStringLiteral("hatch-cross ") + DumpColor(b.color());
        case Qt::DiagCrossPattern:
            return QStringLiteral("hatch-diagcross ") + DumpColor(b.color());
        case Qt::TexturePattern:
            return QStringLiteral("pattern %1x%2")
                .arg(b.textureImage().width())
                .arg(b.textureImage().height());
        case Qt::LinearGradientPattern:
            return QStringLiteral("gradient");
        default:
            return QStringLiteral("other");
    }
}

QString Point(const QPointF& p) {
    return DumpNumber(p.x()) + QLatin1Char(',') + DumpNumber(p.y());
}

}  // namespace

QString DumpNumber(double v) {
    double r = std::round(v * 100) / 100;
    if (r == 0) r = 0;  // no "-0"
    return QString::number(r, 'g', 12);
}

QString DumpColor(const QColor& c) {
    return c.name(QColor::HexRgb);
}

QString DumpPath(const QPainterPath& path) {
    if (auto r = PathAsRect(path))
        return QStringLiteral("rect(%1 %2)").arg(Point(r->topLeft()), Point(r->bottomRight()));
    QString s;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (!s.isEmpty()) s += QLatin1Char(' ');
        switch (e.type) {
            case QPainterPath::MoveToElement:
                s += QLatin1Char('M');
                break;
            case QPainterPath::LineToElement:
                s += QLatin1Char('L');
                break;
            case QPainterPath::CurveToElement:
                s += QLatin1Char('C');
                break;
            case QPainterPath::CurveToDataElement:
                break;
        }
        s += Point(QPointF(e.x, e.y));
    }
    return s;
}

void RecordingOutput::SetClip(const std::optional<QPainterPath>& clip) {
    lines_ << (clip ? QStringLiteral("clip ") + DumpPath(*clip) : QStringLiteral("clip none"));
}

void RecordingOutput::FillPath(const QPainterPath& path, const QBrush& brush, Blend blend) {
    lines_
        << QStringLiteral("fill %1 %2 %3").arg(BrushName(brush), BlendName(blend), DumpPath(path));
}

void RecordingOutput::StrokePath(const QPainterPath& path, const QPen& pen, Blend blend) {
    QString style;
    if (pen.style() == Qt::CustomDashLine) {
        QStringList d;
        for (qreal v : pen.dashPattern())
            d << DumpNumber(v);
        style = QStringLiteral(" dash=") + d.join(QLatin1Char('/'));
    }
    lines_ << QStringLiteral("stroke %1 w=%2%3 %4 %5")
                  .arg(DumpColor(pen.color()), DumpNumber(pen.widthF()), style, BlendName(blend),
                       DumpPath(path));
}

void RecordingOutput::DrawImage(const QImage& image, const QTransform& t, Blend blend) {
    const QRectF at = t.mapRect(QRectF(0, 0, image.width(), image.height()));
    lines_ << QStringLiteral("image %1x%2 at %3 size %4x%5 %6 first=%7")
                  .arg(image.width())
                  .arg(image.height())
                  .arg(Point(at.topLeft()), DumpNumber(at.width()), DumpNumber(at.height()),
                       BlendName(blend))
                  .arg(QString::number(image.pixel(0, 0), 16));
}

void RecordingOutput::DrawText(const TextRun& run) {
    QStringList xs;
    for (const QPointF& p : run.positions)
        xs << Point(p);
    QString where;
    if (!run.toDevice.isIdentity())
        where = QStringLiteral(" xf=%1/%2/%3/%4")
                    .arg(DumpNumber(run.toDevice.m11()), DumpNumber(run.toDevice.m12()),
                         DumpNumber(run.toDevice.m21()), DumpNumber(run.toDevice.m22()));
    lines_ << QStringLiteral("text \"%1\" font=%2 px=%3 %4 at %5%6")
                  .arg(run.text, run.font.families().value(0))
                  .arg(run.font.pixelSize())
                  .arg(DumpColor(run.color), xs.join(QLatin1Char(' ')), where);
}

}  // namespace mf
