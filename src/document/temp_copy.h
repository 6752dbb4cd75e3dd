#pragma once

// The temporary copies NERIDAL_0.TMP .. NERIDAL_30.TMP in the work folder that
// hold the inflated body of a format-1.x document while its window is open.

#include <QFile>
#include <QString>
#include <memory>

constexpr int kTemporaryNameCount = 31;

// "NERIDAL_" + n + ".TMP".
QString TemporaryCopyName(int n);

// Creates (or truncates) the first name not held by another window or process
// and holds it with an exclusive lock for as long as the returned file stays
// open. Nothing when all 31 names are taken or cannot be created.
std::unique_ptr<QFile> CreateTemporaryCopy(const QString& workFolder, QString* path);
