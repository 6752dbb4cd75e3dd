#pragma once

#include <QString>
#include <QStringList>

// The start list: the documents opened when the program starts.

inline constexpr int kMaxStartDocuments = 50;

// The five accepted extensions in table order; the native one stands first
// and fifth.
QStringList AlbumExtensionList();

// True when a file (not a folder) exists at `path`.
bool FileExists(const QString& path);

// The start list for the command-line `arguments` (without the program name).
// With arguments: each existing file as given; else a bare name (no folder
// part) found in the program folder; at most 50 paths. Without arguments: the
// companion documents named like the executable at `exePath`, one per
// extension entry, in table order.
QStringList BuildStartList(const QStringList& arguments, const QString& exePath,
                           const QString& programFolder);

// `exePath` with its extension (if any) replaced by "." + `extension`.
QString ReplaceExtension(const QString& exePath, const QString& extension);
