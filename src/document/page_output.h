#pragma once

// Writing the page picture out: to a picture file whose kind its extension
// decides, or to the clipboard.

#include <QByteArray>
#include <QString>

#include "metafile/picture.h"

class QMimeData;

enum class PageOutputKind { Emf, PlaceableWmf, Bmp };

// The save dialog's filter entries, numbered from 1 as the dialog numbers them.
inline constexpr int kSaveFilterEmf = 1;
inline constexpr int kSaveFilterWmf = 2;
inline constexpr int kSaveFilterBmp = 3;
// "エンハンスメタファイル(*.emf)", "Windowsメタファイル(*.wmf)", "ビットマップ(*.bmp)".
QStringList PageSaveFilters();
inline constexpr char kPageSaveDefaultSuffix[] = "emf";

// The name's extension decides (in any case): ".wmf" a placeable WMF, ".emf"
// the EMF, ".bmp" a bitmap. A name without one of these takes a bitmap under
// the bitmap entry, else the kind the page was stored as.
PageOutputKind PageOutputKindFor(const QString& fileName, int filterIndex,
                                 mf::Picture::Kind stored);

// The file's bytes: the EMF bits as loaded, a placeable WMF with its Aldus
// header and checksum, or a 24-bit BMP at natural size on white.
QByteArray PageOutputBytes(const mf::Picture& picture, PageOutputKind kind);

// Writes beside the target and renames, so that a failed write leaves any
// file of that name as it was. `error` names the file.
bool WritePageFile(const QString& path, const QByteArray& bytes, QString* error);

// `name` without its extension (folders untouched), as the save dialog offers
// the previous name again.
QString NameWithoutExtension(const QString& name);

// The page for the clipboard: the EMF bytes under the types programs read
// for enhanced metafiles, and the page as an image for everything else.
QMimeData* PageClipboardData(const mf::Picture& picture);
