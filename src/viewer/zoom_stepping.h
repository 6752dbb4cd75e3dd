#pragma once

#include <QStringList>

// Enabled states of 拡大 and 縮小.
struct ZoomButtonsState {
    bool big = false;
    bool small = false;
};
ZoomButtonsState ZoomButtonsFor(int pageCount, int zoomPercent);

// The selector item that 拡大 / 縮小 moves to from `zoomPercent`: the first
// fixed percentage above it (from the first item on) or below it (from the
// last item back). -1 when there is none.
int ZoomStepUp(const QStringList& items, int zoomPercent);
int ZoomStepDown(const QStringList& items, int zoomPercent);
