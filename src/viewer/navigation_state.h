#pragma once

#include <QString>

// Which page commands apply at a position in the document.
struct NavigationState {
    bool jump = false;
    bool start = false;
    bool back = false;
    bool next = false;
    bool end = false;
    bool hasPages = false;  // zoom panel, margin and print, the sheet itself
};
NavigationState NavigationFor(int currentPage, int pageCount);

// The page a command moves to, or 0 when it does not move.
int NextPageFrom(int currentPage, int pageCount);
int PreviousPageFrom(int currentPage);

// The caption and the three texts of the status strip.
struct StatusTexts {
    QString title;             // window caption
    QString contentsPosition;  // PL_Bottom0: "i/n"
    QString pagePosition;      // PL_Bottom1: "a/b"
    QString documentTitle;     // PL_Bottom2: " " + title
};

// The document title: the file name without folder and extension, "無題"
// while there is none.
QString DocumentTitle(const QString& fileName);

// `selectedEntry` is -1 when no contents entry is selected.
StatusTexts StatusTextsFor(const QString& fileName, int selectedEntry, int entryCount,
                           int currentPage, int pageCount, int pageNumberOffset);
