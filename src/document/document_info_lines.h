#pragma once

// The value texts of the document information dialog, from the header and
// settings of an album. Every text starts with one space.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "document/album_format.h"

struct DocumentInfoLines {
    QString version;         // LB_Ver
    QString created;         // LB_Date
    QString title;           // LB_Title
    QString author;          // LB_Name
    QString remarks;         // LB_Bikou
    QString paper;           // LB_Paper
    QString externalChars;   // LB_Gaiji
    QString substituteFont;  // LB_Font
    QStringList fonts;       // the memo's lines, each marked "○" or "×"

    // The dialog's order; the memo's lines last, as one text.
    QStringList All() const;
};

// What the printer environment says: the name of its paper with a code
// (nothing when it has none), and whether a font is offered.
struct PrinterFacts {
    std::function<std::optional<QString>(int paperCode)> paperName;
    std::function<bool(const QString& face)> hasFont;
};

DocumentInfoLines InfoLinesFor(const TAlbumHeader& header, const TAlbumSettings& settings,
                               const PrinterFacts& printer);

// "yyyy/m/d h:n:s" without leading zeros; empty outside the calendar.
QString InfoDateText(double oleDate);

// An OLE Automation date (days since 1899-12-30, the time as the fraction),
// rounded to the millisecond; nothing outside 0001..9999.
std::optional<QDateTime> OleDateTime(double oleDate);

// Whether the system can show a face: fontconfig has it, or the metafile
// player maps it to an installed stand-in.
bool FontAvailable(const QString& face);
