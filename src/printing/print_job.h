#pragma once

// Prints a range of an album's pages on a printer: the document's paper, a
// page rectangle with the margins for each page, per-page orientation
// turning the sheet (a new job on a real printer, a turned page in a PDF).

#include <QString>
#include <functional>

class QPrinter;
struct AlbumDocument;
struct DocumentPaper;
struct SheetGeometry;

// Puts the paper and its orientation into the printer as one layout.
void ApplyDocumentPaper(QPrinter& printer, const DocumentPaper& paper);

struct PrintJobOutcome {
    enum class Result { Printed, Cancelled, Failed } result = Result::Printed;
    QString error;  // for Failed: names the file and the page
};

// Called before each page with its place in the job (1-based) and the count;
// returning false cancels: the open job is abandoned.
using PrintProgressFunction = std::function<bool(int position, int count)>;

// Prints page indexes first..last (1-based) of `doc`, laid out on the paper
// and with the margins of `geometry`.
PrintJobOutcome PrintAlbumPages(QPrinter& printer, const AlbumDocument& doc,
                                const SheetGeometry& geometry, int first, int last,
                                const PrintProgressFunction& progress);
