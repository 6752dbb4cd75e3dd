// Text placement: reference point, alignment, advances, escapement.
#include <QFontMetricsF>
#include <cmath>

#include "metafile/dc/device_context.h"
#include "metafile/dc/font_mapping.h"
#include "metafile/dc/symbol_encoding.h"

namespace mf {

namespace {

constexpr double kMaxEmPixels = 8192;

bool Near(double a, double b) {
    return std::fabs(a - b) < 1e-6;
}

}  // namespace

void DeviceContext::ExtTextOut(const TextCall& call) {
    if (collecting_) {
        // Only the current position matters ahead of a draw.
        if (!(st_.textAlign & kTaUpdateCp)) return;
    }
    const QTransform& m = toDevice();
    const LogFont& lf = st_.font;
    const bool updateCp = (st_.textAlign & kTaUpdateCp) != 0;
    const QPointF ref = updateCp ? st_.current : call.reference;

    // The escapement turns the baseline within the logical space (so a
    // mapping that flips y turns it the other way on the device); the glyphs
    // then stand upright on the baseline as the device shows it.
    const QTransform linear(m.m11(), m.m12(), m.m21(), m.m22(), 0, 0);
    const QTransform turn = QTransform().rotate(-lf.escapement / 10.0);
    const QPointF along = linear.map(turn.map(QPointF(1, 0)));
    const QPointF across = linear.map(turn.map(QPointF(0, 1)));
    const double sx = std::hypot(along.x(), along.y());
    const double sy = std::hypot(across.x(), across.y());
    if (!(sx > 0) || !(sy > 0) || !std::isfinite(sx) || !std::isfinite(sy)) return;
    const QPointF origin = m.map(ref);
    const QPointF ex = along / sx;
    // Run space, measured in device pixels: x along the baseline, y down.
    const QTransform pixelsToDevice(ex.x(), ex.y(), -ex.y(), ex.x(), origin.x(), origin.y());
    // Back to logical units along the baseline, for the current position.
    const QTransform runToLogical = turn * QTransform::fromTranslate(ref.x(), ref.y());

    if (call.options & kEtoOpaque && call.rect && !collecting_) {
        QPainterPath box;
        box.addRect(call.rect->normalized());
        out().FillPath(m.map(box), QBrush(st_.bkColor), Blend::Copy);
    }
    if (call.text.isEmpty()) return;

    // Em height: a negative LOGFONT height is the em, a positive one the cell.
    const QString family =
        FontMapper::FamilyFor(lf.faceName, lf.charSet, lf.pitchAndFamily, lf.weight);
    double emLogical =
        lf.height < 0 ? -double(lf.height) : double(lf.height) * fonts_.EmPerCell(family);
    double emPixels = lf.height == 0 ? 12 : emLogical * sy;
    if (!(emPixels <= kMaxEmPixels)) return;
    QFont font = fonts_.FontFor(lf, int(std::lround(emPixels)));
    if (lf.width != 0) {
        const double natural = QFontMetricsF(font).averageCharWidth();
        const double wanted = std::fabs(double(lf.width)) * sx;
        if (natural > 0) {
            const int stretch = int(std::lround(100 * wanted / natural));
            if (stretch != 100) font.setStretch(std::clamp(stretch, 1, 4000));
        }
    }
    const QFontMetricsF metrics(font);
    const bool glyphIndexes = (call.options & kEtoGlyphIndex) != 0;
    QString text = call.text;
    if (!glyphIndexes && IsSymbolFont(lf))
        text =
            fonts_.KeysSymbolsByCode(family) ? SymbolTextToCodes(text) : SymbolTextToUnicode(text);

    TextRun run;
    run.font = font;
    run.text = text;
    run.color = st_.textColor;
    const qsizetype n = text.size();
    run.positions.reserve(std::size_t(n));
    if (glyphIndexes) {
        run.glyphs.reserve(std::size_t(n));
        for (QChar c : text)
            run.glyphs.push_back(c.unicode());
    }
    const std::size_t step = call.dxHasY ? 2 : 1;
    const bool haveDx = call.dx.size() >= std::size_t(n) * step;
    double x = 0, y = 0;
    for (qsizetype i = 0; i < n; ++i) {
        run.positions.emplace_back(x, y);
        if (haveDx && call.dxHasY) {
            // A pair advances along the baseline and across it, in the
            // logical space, so a mapping that flips y steps the other way.
            const QPointF logical(call.dx[std::size_t(i) * step],
                                  call.dx[std::size_t(i) * step + 1]);
            const QPointF device = linear.map(turn.map(logical));
            x += QPointF::dotProduct(device, ex);
            y += QPointF::dotProduct(device, QPointF(-ex.y(), ex.x()));
        } else if (haveDx) {
            x += call.dx[std::size_t(i)] * sx;
        } else if (!glyphIndexes) {
            const QChar c = text[i];
            if (c.isHighSurrogate() && i + 1 < n) {
                x += std::round(metrics.horizontalAdvance(text.mid(i, 2)));
            } else if (!c.isLowSurrogate()) {
                x += std::round(metrics.horizontalAdvance(c));
            }
        } else {
            x += std::round(metrics.averageCharWidth());
        }
    }
    const double width = x;

    double shiftX = 0;
    switch (st_.textAlign & kTaCenter) {
        case kTaRight:
            shiftX = -width;
            break;
        case kTaCenter:
            shiftX = -width / 2;
            break;
        default:
            break;
    }
    double baseline = 0;
    switch (st_.textAlign & kTaBaseline) {
        case kTaBaseline:
            baseline = 0;
            break;
        case kTaBottom:
            baseline = -metrics.descent();
            break;
        default:
            baseline = metrics.ascent();
            break;
    }
    // GDI moves a top or bottom aligned run off its reference point across
    // the escapement as the page shows it, not as the world transform turns
    // the glyphs, and by the ascent foreshortened twice by that turn (once
    // when the font is realised, once when the offset is mapped).
    QPointF lift(0, baseline);
    if (baseline != 0 && !st_.mapping.world().isIdentity() && st_.mapping.world().isInvertible()) {
        const QTransform pageToDevice = st_.mapping.world().inverted() * m;
        const double pageFlip = pageToDevice.determinant() < 0 ? -1 : 1;
        const QTransform pageRun = QTransform().rotate(-lf.escapement / 10.0) *
                                   QTransform::fromScale(1, pageFlip) * pageToDevice;
        const QPointF down = pageRun.map(QPointF(0, 1)) - pageRun.map(QPointF(0, 0));
        const QPointF turned =
            st_.mapping.world().map(QPointF(0, 1)) - st_.mapping.world().map(QPointF(0, 0));
        const double len = std::hypot(down.x(), down.y());
        const double turnedLen = std::hypot(turned.x(), turned.y());
        bool invertible = false;
        const QTransform back = QTransform(pixelsToDevice.m11(), pixelsToDevice.m12(),
                                           pixelsToDevice.m21(), pixelsToDevice.m22(), 0, 0)
                                    .inverted(&invertible);
        if (len > 0 && turnedLen > 0 && invertible) {
            const double cosTurn = turned.y() / turnedLen;
            lift = back.map(down * (cosTurn * cosTurn * baseline / len));
        }
    }
    for (QPointF& p : run.positions)
        p += QPointF(shiftX, 0) + lift;

    if (st_.bkMode == kOpaque && !(call.options & kEtoOpaque) && !collecting_) {
        QPainterPath cell;
        cell.addRect(QRectF(shiftX, -metrics.ascent(), width, metrics.ascent() + metrics.descent())
                         .translated(lift));
        out().FillPath(pixelsToDevice.map(cell), QBrush(st_.bkColor), Blend::Copy);
    }

    // Upright, unscaled runs are placed straight in device pixels.
    if (Near(pixelsToDevice.m11(), 1) && Near(pixelsToDevice.m22(), 1) &&
        Near(pixelsToDevice.m12(), 0) && Near(pixelsToDevice.m21(), 0)) {
        const QPointF origin(pixelsToDevice.dx(), pixelsToDevice.dy());
        for (QPointF& p : run.positions)
            p += origin;
        run.toDevice = QTransform();
    } else {
        run.toDevice = pixelsToDevice;
    }
    if (call.options & kEtoClipped && call.rect) {
        QPainterPath box;
        box.addRect(call.rect->normalized());
        run.clip = m.map(box);
    }
    if (!inPath_ && !collecting_) out().DrawText(run);

    if (updateCp) {
        double advance = 0;
        if ((st_.textAlign & kTaCenter) == 0)
            advance = width;
        else if ((st_.textAlign & kTaCenter) == kTaRight)
            advance = -width;
        st_.current = runToLogical.map(QPointF(advance / sx, 0));
    }
}

}  // namespace mf
