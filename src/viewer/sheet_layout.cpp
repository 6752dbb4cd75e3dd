#include "viewer/sheet_layout.h"

#include <algorithm>

#include "viewer/zoom_choices.h"

namespace {

int FitPercent(int client, int paper) {
    return static_cast<int>(static_cast<double>(client - 10) / paper * 100.0);
}

}  // namespace

int ZoomPercentFor(QSize paper, QSize client, int zoomIndex, const QStringList& items) {
    if (paper.width() <= 0 || paper.height() <= 0) return 0;
    int percent = 100;
    if (zoomIndex == kZoomFitWidth) {
        percent = FitPercent(client.width(), paper.width());
    } else if (zoomIndex == kZoomFitPage) {
        percent = std::min(FitPercent(client.width(), paper.width()),
                           FitPercent(client.height(), paper.height()));
    } else if (zoomIndex >= 0 && zoomIndex < items.size()) {
        percent = ZoomItemPercent(items[zoomIndex]);
    }
    // An area too small to fit anything still shows the sheet at 1 %.
    return std::max(percent, 1);
}

std::optional<SheetLayout> LayoutSheet(QSize paper, QSize client, int zoomIndex,
                                       const QStringList& items) {
    if (paper.width() <= 0 || paper.height() <= 0) return std::nullopt;
    SheetLayout out;
    out.zoomPercent = ZoomPercentFor(paper, client, zoomIndex, items);
    const double factor = out.zoomPercent / 100.0;
    const int width = static_cast<int>(paper.width() * factor);
    const int height = static_cast<int>(paper.height() * factor);
    const int top = std::max(static_cast<int>((client.height() - height) / 2.5), 5);
    const int left = std::max((client.width() - width) / 2, 5);
    out.sheet = QRect(left, top, width, height);
    out.vertRange = top + height + 5;
    out.horzRange = left + width + 5;
    return out;
}
