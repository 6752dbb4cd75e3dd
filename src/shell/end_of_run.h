#pragma once

#include <QString>

// The last steps of a run.

inline constexpr int kLastTemporaryCopy = 30;

// The name of temporary copy `n` in `workFolder`.
QString TemporaryCopyPath(const QString& workFolder, int n);

// Deletes NERIDAL_0.TMP to NERIDAL_30.TMP from `workFolder`; a file that
// cannot be deleted is left and the others are still tried.
void DeleteTemporaryCopies(const QString& workFolder);

// Unless the view settings were reset during this run, stores the toolbar's
// visibility into them and writes them; then deletes the temporary copies.
void EndOfRun(bool toolBarVisible, const QString& workFolder);
