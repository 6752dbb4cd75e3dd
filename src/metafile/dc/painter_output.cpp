#include "metafile/dc/painter_output.h"

#include <QGlyphRun>
#include <QPainter>

#include "metafile/dc/path_rect.h"

namespace mf {

PainterOutput::PainterOutput(QPainter& painter) : painter_(painter) {
    painter_.save();  // the caller's state
    painter_.save();  // the picture's clip lives inside this one
    painter_.setWorldTransform(QTransform());
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

PainterOutput::~PainterOutput() {
    painter_.restore();
    painter_.restore();
}

void PainterOutput::SetClip(const std::optional<QPainterPath>& clip) {
    // Back to the caller's clip, then narrowed by the picture's.
    painter_.restore();
    painter_.save();
    painter_.setWorldTransform(QTransform());
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (!clip) return;
    // Whole-pixel rectangles take Qt's fast rectangle clip; one reaching far
    // beyond any device is first cut to a range that integers hold.
    if (auto rect = PathAsRect(*clip); rect && rect->isValid()) {
        const QRectF kept = rect->intersected(QRectF(-1e8, -1e8, 2e8, 2e8));
        if (kept.toRect() == kept) {
            painter_.setClipRect(kept.toRect(), Qt::IntersectClip);
            return;
        }
    }
    painter_.setClipPath(*clip, Qt::IntersectClip);
}

void PainterOutput::SetBlend(Blend blend) {
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (blend) {
        case Blend::Copy:
            break;
        case Blend::And:
            mode = QPainter::RasterOp_SourceAndDestination;
            break;
        case Blend::Or:
            mode = QPainter::RasterOp_SourceOrDestination;
            break;
        case Blend::Xor:
            mode = QPainter::RasterOp_SourceXorDestination;
            break;
        case Blend::NotDest:
            mode = QPainter::RasterOp_NotDestination;
            break;
        case Blend::NotSourceOr:
            mode = QPainter::RasterOp_NotSourceOrDestination;
            break;
        case Blend::NotSourceAndNotDest:
            mode = QPainter::RasterOp_NotSourceAndNotDestination;
            break;
        case Blend::NotSourceAnd:
            mode = QPainter::RasterOp_NotSourceAndDestination;
            break;
        case Blend::SourceAndNotDest:
            mode = QPainter::RasterOp_SourceAndNotDestination;
            break;
        case Blend::NotSourceOrNotDest:
            mode = QPainter::RasterOp_NotSourceOrNotDestination;
            break;
        case Blend::NotSourceXor:
            mode = QPainter::RasterOp_NotSourceXorDestination;
            break;
        case Blend::SourceOrNotDest:
            mode = QPainter::RasterOp_SourceOrNotDestination;
            break;
    }
    painter_.setCompositionMode(mode);
}

namespace {

// Length along the control points: at least the length drawn. No segment
// counts for more than `segmentCap`.
double OutlineLength(const QPainterPath& path, double segmentCap = HUGE_VAL) {
    double length = 0;
    for (int i = 1; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) continue;
        const QPainterPath::Element p = path.elementAt(i - 1);
        length += std::min(std::hypot(e.x - p.x, e.y - p.y), segmentCap);
    }
    return length;
}

}  // namespace

void PainterOutput::FillPath(const QPainterPath& path, const QBrush& brush, Blend blend) {
    SetBlend(blend);
    painter_.fillPath(path, brush);
    SetBlend(Blend::Copy);
}

void PainterOutput::StrokePath(const QPainterPath& path, const QPen& pen, Blend blend) {
    // Qt's stroker spends microseconds on every join of a wide pen. Past this
    // many elements in one draw (far beyond any real page), further wide
    // outlines are left out so that millions of wide segments still draw in
    // bounded time. A one-pixel pen is no cheaper over such lengths.
    constexpr qsizetype kWideStrokeBudget = 200000;
    // Dashes cost about as much each; the length of an outline, not its
    // bounds, says how many there are (a zigzag of many points stays small).
    // Past the budget, dashed outlines are drawn solid.
    constexpr double kDashBudget = 5e6;
    // Thin lines cost by the pixel: a segment crosses at most the width plus
    // the height of the device. Past the length of this many lines across the
    // whole device, outlines are left out.
    constexpr double kLineBudget = 100000;
    if (!pen.isCosmetic() && pen.widthF() > 1) {
        wideStrokeElements_ += path.elementCount();
        if (wideStrokeElements_ > kWideStrokeBudget) return;
    }
    if (const QPaintDevice* device = painter_.device()) {
        const double across = double(device->width()) + device->height();
        linePixels_ += OutlineLength(path, across);
        if (linePixels_ > kLineBudget * across) return;
    }
    QPen drawn = pen;
    if (pen.style() != Qt::SolidLine && pen.style() != Qt::NoPen) {
        double period = 0;
        for (qreal d : pen.dashPattern())
            period += d;
        period *= std::max(1.0, pen.widthF());
        if (period > 0) dashes_ += std::min(OutlineLength(path) / period, kDashBudget + 1);
        if (!(period > 0) || dashes_ > kDashBudget) drawn.setStyle(Qt::SolidLine);
    }
    SetBlend(blend);
    painter_.strokePath(path, drawn);
    SetBlend(Blend::Copy);
}

void PainterOutput::DrawImage(const QImage& image, const QTransform& toDevice, Blend blend) {
    SetBlend(blend);
    if (toDevice.type() <= QTransform::TxTranslate) {
        painter_.drawImage(QPointF(toDevice.dx(), toDevice.dy()), image);
    } else {
        painter_.setWorldTransform(toDevice);
        painter_.drawImage(QPointF(0, 0), image);
        painter_.setWorldTransform(QTransform());
    }
    SetBlend(Blend::Copy);
}

const QRawFont& PainterOutput::RawFont(const QFont& font) {
    const QString key = font.key();
    auto it = rawFonts_.find(key);
    if (it == rawFonts_.end()) it = rawFonts_.insert(key, QRawFont::fromFont(font));
    return *it;
}

void PainterOutput::DrawText(const TextRun& run) {
    if (run.clip) {
        painter_.save();
        painter_.setClipPath(*run.clip, Qt::IntersectClip);
    }
    painter_.setWorldTransform(run.toDevice);
    painter_.setPen(run.color);
    painter_.setFont(run.font);
    const QRawFont& raw = RawFont(run.font);

    QList<quint32> glyphs;
    QList<QPointF> positions;
    auto flush = [&](const QRawFont& face) {
        if (glyphs.isEmpty()) return;
        QGlyphRun g;
        g.setRawFont(face);
        g.setGlyphIndexes(glyphs);
        g.setPositions(positions);
        g.setUnderline(run.font.underline());
        g.setStrikeOut(run.font.strikeOut());
        painter_.drawGlyphRun(QPointF(0, 0), g);
        glyphs.clear();
        positions.clear();
    };
    if (!run.glyphs.empty()) {
        for (std::size_t i = 0; i < run.glyphs.size() && i < run.positions.size(); ++i) {
            glyphs.push_back(run.glyphs[i]);
            positions.push_back(run.positions[i]);
        }
        flush(raw);
    } else {
        // Characters the face lacks come from the Japanese face, as font
        // linking gives them on Windows; anything else stays blank (searching
        // every installed font for stray characters costs too much).
        QFont linkedFont = run.font;
        linkedFont.setFamilies({QStringLiteral("IPAPGothic")});
        const QRawFont* linked = nullptr;
        QList<quint32> linkedGlyphs;
        QList<QPointF> linkedPositions;
        const qsizetype n = run.text.size();
        for (qsizetype i = 0; i < n && std::size_t(i) < run.positions.size(); ++i) {
            const QChar c = run.text[i];
            int units = 1;
            if (c.isHighSurrogate() && i + 1 < n && run.text[i + 1].isLowSurrogate()) units = 2;
            if (c.unicode() < 0x20 || c.isLowSurrogate()) continue;
            quint32 glyph = 0;
            int count = 1;
            if (raw.isValid())
                raw.glyphIndexesForChars(run.text.constData() + i, units, &glyph, &count);
            if (glyph != 0) {
                glyphs.push_back(glyph);
                positions.push_back(run.positions[std::size_t(i)]);
            } else if (!c.isSpace()) {
                if (!linked) linked = &RawFont(linkedFont);
                count = 1;
                if (linked->isValid())
                    linked->glyphIndexesForChars(run.text.constData() + i, units, &glyph, &count);
                if (glyph != 0) {
                    linkedGlyphs.push_back(glyph);
                    linkedPositions.push_back(run.positions[std::size_t(i)]);
                }
            }
            i += units - 1;
        }
        flush(raw);
        if (linked && !linkedGlyphs.isEmpty()) {
            glyphs = linkedGlyphs;
            positions = linkedPositions;
            flush(*linked);
        }
    }
    painter_.setWorldTransform(QTransform());
    if (run.clip) painter_.restore();
}

}  // namespace mf
