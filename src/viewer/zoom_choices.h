#pragma once

#include <QString>
#include <QStringList>

// The eleven zoom choices. The selector's item texts are the one source of
// the fixed percentages: index 0 fits the width, index 1 fits the whole page,
// the others carry their percentage in the text.
inline constexpr int kZoomFitWidth = 0;
inline constexpr int kZoomFitPage = 1;
inline constexpr int kZoomChoiceCount = 11;

// " 幅に合わせる", " 全体表示", " 50 %" ... " 200 %" (each with one leading blank).
QStringList ZoomSelectorItems();

// The menu captions of the same choices: "幅に合わせる(&J)", "&1 50 %" ...
QStringList ZoomMenuCaptions();

// The percentage an item text stands for (0 for the fit choices).
int ZoomItemPercent(const QString& itemText);
