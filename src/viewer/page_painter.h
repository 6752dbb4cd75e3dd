#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>

#include "document/page_sheet.h"

class QPainter;
namespace mf {
class Picture;
}

// Draws what the picture area of the sheet shows: white, with the page
// picture stretched into the margin-moved rectangle and clipped to `inner`.
// The painter's origin is the area's top-left corner.
void PaintPage(QPainter& painter, QSize inner, const mf::Picture& picture,
               const PageMargins& margins, int zoomPercent);

// The same drawing as an image of `inner` logical pixels at `devicePixelRatio`.
QImage RenderPage(QSize inner, qreal devicePixelRatio, const mf::Picture& picture,
                  const PageMargins& margins, int zoomPercent);

// Keeps the last rendering of a page at device pixels, so that scrolling and
// repainting the same page copy pixels instead of playing the picture again.
class PageRenderCache {
public:
    // `pageSerial` names the picture: it changes whenever another picture is loaded.
    const QImage& Render(std::uint64_t pageSerial, QSize inner, qreal devicePixelRatio,
                         const mf::Picture& picture, const PageMargins& margins, int zoomPercent);
    // Takes `image`, made elsewhere for these arguments, as the rendering.
    void Adopt(std::uint64_t pageSerial, QSize inner, qreal devicePixelRatio,
               const PageMargins& margins, int zoomPercent, QImage image);
    void Clear();
    // The last rendering and what it was made for (null when none is kept).
    const QImage& image() const { return image_; }
    QSize inner() const { return inner_; }
    qreal devicePixelRatio() const { return ratio_; }
    const PageMargins& margins() const { return margins_; }
    int zoomPercent() const { return zoom_; }
    // How many times the picture was played since creation (for tests).
    int renderCount() const { return renders_; }

private:
    QImage image_;
    std::uint64_t serial_ = 0;
    QSize inner_;
    qreal ratio_ = 0;
    PageMargins margins_;
    int zoom_ = 0;
    int renders_ = 0;
};
