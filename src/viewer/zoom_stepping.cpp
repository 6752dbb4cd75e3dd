#include "viewer/zoom_stepping.h"

#include "viewer/zoom_choices.h"

ZoomButtonsState ZoomButtonsFor(int pageCount, int zoomPercent) {
    return {pageCount > 0 && zoomPercent<200, pageCount> 0 && zoomPercent > 50};
}

int ZoomStepUp(const QStringList& items, int zoomPercent) {
    for (int i = 0; i < items.size(); ++i) {
        const int p = ZoomItemPercent(items[i]);
        if (p > 0 && p > zoomPercent) return i;
    }
    return -1;
}

int ZoomStepDown(const QStringList& items, int zoomPercent) {
    for (int i = int(items.size()) - 1; i >= 0; --i) {
        const int p = ZoomItemPercent(items[i]);
        if (p > 0 && p < zoomPercent) return i;
    }
    return -1;
}
