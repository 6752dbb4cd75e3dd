#pragma once

// Records enhanced metafiles: a header, drawing records and the end record.
// Used for the sample album, the tests' fixtures and the fuzz seeds. Logical
// units are the reference device's pixels unless the mapping is changed.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <vector>

#include "metafile/gdi_constants.h"

namespace mf {

class EmfWriter {
public:
    // A picture of `sizeMm` millimetres for a reference device of `dpi` pixels per inch.
    explicit EmfWriter(QSizeF sizeMm, int dpi = 96);

    // The picture's size in reference-device pixels.
    QSize deviceSize() const { return device_; }

    void SetMapMode(int mode);
    void SetWindowOrg(QPoint origin);
    void SetWindowExt(QSize extent);
    void SetViewportOrg(QPoint origin);
    void SetViewportExt(QSize extent);
    void SetBkMode(int mode);
    void SetBkColor(QColor color);
    void SetTextColor(QColor color);
    void SetTextAlign(std::uint32_t align);

    // Each returns the object's handle index for SelectObject/DeleteObject.
    std::uint32_t CreatePen(int style, int width, QColor color);
    std::uint32_t CreateBrush(int style, QColor color, std::uint32_t hatch = 0);
    // `height` in logical units (negative: character height, as GDI takes it).
    std::uint32_t CreateFont(const QString& face, int height, int weight = 400,
                             std::uint8_t charSet = kShiftJisCharset, bool italic = false);
    void SelectObject(std::uint32_t handle);
    void DeleteObject(std::uint32_t handle);

    void MoveTo(QPoint p);
    void LineTo(QPoint p);
    void Rectangle(const QRect& box);
    // Text at `reference` in the selected font. The advance of each character
    // is given explicitly (full-width characters `cellWidth`, others half of it).
    void ExtTextOut(QPoint reference, const QString& text, int cellWidth,
                    std::uint32_t options = 0);
    // The image as a 24-bit bottom-up DIB stretched over `dest`.
    void StretchDIBits(const QRect& dest, const QImage& image);

    // Any record: type, then the payload after the 8-byte record head
    // (padded to a multiple of 4).
    void AppendRecord(std::uint32_t type, const QByteArray& payload);

    // Header + records + end record. The writer is spent afterwards.
    QByteArray finish();

private:
    std::uint32_t NewHandle();

    QSizeF sizeMm_;
    QSize device_;
    QByteArray records_;
    std::uint32_t recordCount_ = 0;
    std::uint32_t highestHandle_ = 0;
    std::vector<std::uint32_t> freeHandles_;
};

}  // namespace mf
