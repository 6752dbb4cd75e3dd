#pragma once

#include <QHash>
#include <QRawFont>

#include "metafile/dc/draw_output.h"

class QPainter;

namespace mf {

// Draws onto a QPainter. Shapes are drawn without antialiasing, as GDI draws
// them; text is smoothed. The painter's state is restored afterwards.
class PainterOutput : public DrawOutput {
public:
    explicit PainterOutput(QPainter& painter);
    ~PainterOutput() override;

    void SetClip(const std::optional<QPainterPath>& clip) override;
    void FillPath(const QPainterPath& path, const QBrush& brush, Blend blend) override;
    void StrokePath(const QPainterPath& path, const QPen& pen, Blend blend) override;
    void DrawImage(const QImage& image, const QTransform& toDevice, Blend blend) override;
    void DrawText(const TextRun& run) override;

private:
    void SetBlend(Blend blend);
    const QRawFont& RawFont(const QFont& font);

    QPainter& painter_;
    QHash<QString, QRawFont> rawFonts_;  // for this draw only
    qsizetype wideStrokeElements_ = 0;   // outline elements stroked with wide pens so far
    double dashes_ = 0;                  // dashes stroked so far
    double linePixels_ = 0;              // length of outlines stroked so far
};

}  // namespace mf
