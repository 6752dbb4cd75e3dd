#pragma once

#include <QStringList>

#include "metafile/dc/draw_output.h"

namespace mf {

// Writes every drawing call as one line of plain text, so that tests can
// check what a record turned into without comparing pixels. Coordinates are
// rounded to two decimals.
class RecordingOutput : public DrawOutput {
public:
    void SetClip(const std::optional<QPainterPath>& clip) override;
    void FillPath(const QPainterPath& path, const QBrush& brush, Blend blend) override;
    void StrokePath(const QPainterPath& path, const QPen& pen, Blend blend) override;
    void DrawImage(const QImage& image, const QTransform& toDevice, Blend blend) override;
    void DrawText(const TextRun& run) override;

    const QStringList& lines() const { return lines_; }
    QString dump() const { return lines_.join(QLatin1Char('\n')); }

private:
    QStringList lines_;
};

// Helpers the dump uses, shared with tests that build expectations.
QString DumpNumber(double v);
QString DumpPath(const QPainterPath& path);
QString DumpColor(const QColor& c);

}  // namespace mf
