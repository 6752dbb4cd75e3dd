#pragma once

#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QRegion>
#include <QTransform>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "metafile/dc/dc_state.h"
#include "metafile/dc/draw_output.h"
#include "metafile/dc/gdi_objects.h"
#include "metafile/dib/dib.h"

namespace mf {

class FontMapper;

// How the reference device of the metafile lies on the output device.
struct DeviceSetup {
    QTransform refToDevice;          // reference-device pixels to output pixels
    double refPxPerMmX = 96 / 25.4;  // for the metric mapping modes
    double refPxPerMmY = 96 / 25.4;
    QRectF deviceBounds;            // the output area, to bound drawing work
    std::uint32_t objectSlots = 0;  // size of the object table
    // A device that keeps images as images (PDF, a printer): bitmaps shown
    // larger than they are go out at their own resolution, scaled there.
    bool keepsImageResolution = false;
};

// GDI's device-context state and drawing calls, in logical coordinates as a
// metafile gives them. Shared by everything that plays records; it resolves
// mapping, objects, paths, clipping and text placement and hands device
// coordinates to a DrawOutput.
class DeviceContext {
public:
    DeviceContext(DrawOutput& out, const DeviceSetup& setup, const FontMapper& fonts);

    // Mapping.
    void SetMapMode(int mode);
    void SetWindowOrg(double x, double y);
    void SetWindowExt(double x, double y);
    void SetViewportOrg(double x, double y);
    void SetViewportExt(double x, double y);
    void ScaleWindowExt(double xNum, double xDen, double yNum, double yDen);
    void ScaleViewportExt(double xNum, double xDen, double yNum, double yDen);
    void SetWorldTransform(const QTransform& t);
    void ModifyWorldTransform(const QTransform& t, int mode);

    void SaveDc();
    void RestoreDc(int relative);

    // Attributes.
    void SetBkMode(int mode) { st_.bkMode = mode; }
    void SetBkColor(const QColor& c) { st_.bkColor = c; }
    void SetTextColor(const QColor& c) { st_.textColor = c; }
    void SetTextAlign(std::uint32_t a) { st_.textAlign = a; }
    void SetPolyFillMode(int m) { st_.polyFillMode = m; }
    void SetRop2(int r) { st_.rop2 = r; }
    void SetStretchMode(int m) { st_.stretchMode = m; }
    void SetArcDirection(int d) { st_.arcDirection = d; }
    void SetMiterLimit(double m) { st_.miterLimit = m; }
    int stretchMode() const { return st_.stretchMode; }
    const LogFont& font() const { return st_.font; }

    // Object table.
    void CreateObject(std::uint32_t index, GdiObject object);
    void SelectObject(std::uint32_t index);
    void DeleteObject(std::uint32_t index);
    const LogBrush* brushAt(std::uint32_t index) const;
    void SelectPalette(std::uint32_t index);
    // A COLORREF as drawn: palette indexes go through the selected palette
    // (or the default one).
    QColor color(std::uint32_t ref) const;

    // Drawing.
    void MoveTo(const QPointF& p);
    void LineTo(const QPointF& p);
    void Polyline(const QPolygonF& pts);
    void PolylineTo(const QPolygonF& pts);
    void Polygon(const QPolygonF& pts);
    void PolyPolyline(const std::vector<QPolygonF>& lines);
    void PolyPolygon(const std::vector<QPolygonF>& polys);
    void PolyBezier(const QPolygonF& pts);
    void PolyBezierTo(const QPolygonF& pts);
    void PolyDraw(const QPolygonF& pts, const std::vector<std::uint8_t>& types);
    void Rectangle(const QRectF& r);
    void RoundRect(const QRectF& r, const QSizeF& corner);
    void Ellipse(const QRectF& r);
    enum class ArcKind { Arc, ArcTo, Chord, Pie };
    void Arc(const QRectF& box, const QPointF& start, const QPointF& end, ArcKind kind);
    void AngleArc(const QPointF& center, double radius, double startDeg, double sweepDeg);
    void SetPixel(const QPointF& p, const QColor& c);

    // Paths.
    void BeginPath();
    void EndPath();
    void CloseFigure();
    void AbortPath();
    void FillPath();
    void StrokePath();
    void StrokeAndFillPath();
    void FlattenPath();
    void WidenPath();
    void SelectClipPath(int mode);

    // Clipping; regions are in reference-device pixels, as metafiles store them.
    void IntersectClipRect(const QRectF& logical);
    void ExcludeClipRect(const QRectF& logical);
    void OffsetClip(double dx, double dy);
    void SelectClipRegion(const std::optional<QPainterPath>& region, int mode);
    void SetMetaRegion();

    // Regions.
    void FillRegion(const QPainterPath& region, const LogBrush& brush);
    void FrameRegion(const QPainterPath& region, const LogBrush& brush, double w, double h);
    void InvertRegion(const QPainterPath& region);
    void PaintRegion(const QPainterPath& region);

    // Text. `dx` holds one advance per UTF-16 unit (logical units), or pairs
    // of x and y advances with `dxHasY`.
    struct TextCall {
        QPointF reference;
        QString text;
        std::vector<double> dx;
        bool dxHasY = false;
        std::uint32_t options = 0;
        std::optional<QRectF> rect;  // logical
    };
    void ExtTextOut(const TextCall& call);

    // Bitmaps. `dest` in logical units, `src` in DIB pixels (top-down).
    struct BitmapCall {
        QRectF dest;
        const DibView* dib = nullptr;  // nothing for pattern-only raster ops
        QRect src;
        std::uint32_t rop = kSrcCopy;
        bool alphaBlend = false;
        int constantAlpha = 255;
        bool sourceAlpha = false;
        std::optional<QColor> transparent;  // TransparentBlt's colour key
        const DibView* mask = nullptr;      // MaskBlt
        QPoint maskOrigin;
    };
    void Bitmap(const BitmapCall& call);
    void GradientRect(const QRectF& logical, const QColor& c0, const QColor& c1, bool vertical);
    void GradientTriangle(const QPolygonF& logical, const QColor& c0, const QColor& c1,
                          const QColor& c2);

    // Logical to output-device transform.
    const QTransform& toDevice();

    // Bitmap decoding done ahead of a draw: a first pass with `collect` set
    // only notes which bitmaps are shown at what size (drawing nothing); the
    // decodes can then run in parallel, and the drawing pass takes them in
    // the same order.
    struct DecodeJob {
        DibView dib;
        QRect part;
        QSize size;
        bool averaging = false;
        QImage image;
    };
    void setCollecting(bool collect) { collecting_ = collect; }
    std::vector<DecodeJob>& decodeJobs() { return jobs_; }

private:
    struct State {
        Mapping mapping;
        LogPen pen;
        LogBrush brush;
        LogFont font;
        QColor textColor = Qt::black;
        QColor bkColor = Qt::white;
        int bkMode = kOpaque;
        std::uint32_t textAlign = 0;
        int polyFillMode = kAlternate;
        int rop2 = kR2CopyPen;
        int stretchMode = kBlackOnWhite;
        int arcDirection = kAdCounterClockwise;
        double miterLimit = 10;
        QPointF current;
        std::optional<QPainterPath> clip;      // output-device pixels
        std::optional<QRegion> clipRegion;     // in place of `clip` while it is rectangles
        std::optional<QPainterPath> metaClip;  // output-device pixels
    };

    void MappingChanged();
    void ApplyClip();
    std::optional<QPainterPath> effectiveClip() const;
    void SetClip(std::optional<QPainterPath> clip);
    void SetClipRegion(const QRegion& region);
    // The output, with the clip brought up to date first (clip changes are
    // sent only when something is drawn).
    DrawOutput& out();
    void CombineClip(const QPainterPath& devicePath, int mode);

    // Sends a closed or open figure (in logical coordinates) to the path
    // bracket or to the output.
    void Shape(const QPainterPath& logical, bool fill, bool stroke);
    void FillDevice(const QPainterPath& device, const LogBrush& brush,
                    std::optional<Blend> forced = std::nullopt);
    QImage Decode(const DibView& dib, const QRect& part, const QSize& size, bool averaging);
    void StrokeDevice(const QPainterPath& device);
    bool PenFor(QPen* pen, const QPainterPath& device) const;
    double penWidthDevice() const;
    Blend BlendFor(QColor* color) const;
    bool WorkTooLarge(const QRectF& deviceBounds) const;
    QPainterPath RegionToDevice(const QPainterPath& refRegion) const;
    QPainterPath ArcPath(const QRectF& box, const QPointF& start, const QPointF& end, ArcKind kind,
                         bool moveFirst) const;

    DrawOutput& out_;
    DeviceSetup setup_;
    const FontMapper& fonts_;
    State st_;
    std::vector<State> saved_;
    std::unordered_map<std::uint32_t, GdiObject> objects_;
    std::vector<QRgb> palette_;

    bool inPath_ = false;
    QPainterPath path_;  // output-device pixels
    bool pathReady_ = false;

    QTransform xf_;
    bool xfDirty_ = true;
    std::optional<QPainterPath> lastClipSent_;
    bool clipSent_ = false;
    bool clipDirty_ = true;

    bool collecting_ = false;
    std::vector<DecodeJob> jobs_;
    std::size_t nextJob_ = 0;
};

}  // namespace mf
