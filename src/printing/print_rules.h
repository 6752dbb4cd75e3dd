#pragma once

// The arithmetic of a print job: which pages the dialog offers, where the
// picture lands on the printer's sheet, how per-page orientation splits the
// job, and what the progress window counts.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

#include "core/units.h"
#include "document/page_sheet.h"

// The displayed page numbers the print dialog offers, and how they map back.
struct PrintPageRange {
    int offset = 0;  // the page-number offset in use (a negative one counts as 0)
    int lowest = 1;  // displayed numbers
    int highest = 1;
    // A displayed number as a page index.
    int IndexOf(int displayed) const { return displayed - offset; }
};
PrintPageRange PrintRangeFor(int pageCount, int pageNumberOffset);

// The message for a negative page-number offset; nothing for any other.
std::optional<QString> NegativeOffsetMessage(int pageNumberOffset);

// The sheet on the printer in device units: its whole size and the corner of
// its printable area.
struct PrinterSheet {
    QSize physical;  // PHYSICALWIDTH, PHYSICALHEIGHT
    QPoint offset;   // PHYSICALOFFSETX, PHYSICALOFFSETY
};

// The factor from screen pixels to printer units: PW / W to four decimals.
Scaled PrintScale(const PrinterSheet& sheet, int pageWidthPixels);

// Where the page picture is stretched, in the printer canvas's coordinates
// (origin at the printable area's corner): the whole sheet with each edge
// moved by its margin, scaled by PrintScale and truncated toward zero.
QRect PrintPageRect(const PrinterSheet& sheet, int pageWidthPixels, const PageMargins& margins);

// What the job does before drawing a page.
enum class JobStep {
    BeginDoc,               // the first page: open the job
    NewPage,                // next page of the same job
    TurnThenBeginDoc,       // first page, in the other orientation
    EndDocTurnThenBeginDoc  // orientation changes: close the job, turn, open another
};
// Orientations are 0 portrait, 1 landscape. `perPage` is whether the document's
// pages carry their own orientation.
JobStep NextJobStep(bool jobOpen, bool perPage, int printerOrientation, int pageOrientation);

// The progress window's bar and caption while pages print.
class PrintProgress {
public:
    void Start(const QString& caption, int count);
    // The caption shown for `page`, the bar following it.
    QString Step(int page);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int position() const { return position_; }
    QString baseCaption() const { return base_; }

private:
    QString base_;
    int minimum_ = 0, maximum_ = 10, position_ = 0;
};
