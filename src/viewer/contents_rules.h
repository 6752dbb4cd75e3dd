#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// One entry of the table of contents as the list uses it.
struct ContentsEntry {
    int page = 0;   // 1-based page index, without the page-number offset
    int level = 0;  // 0 = top level
};

// The entry that contains `page`: the entry starting on it, else the one
// before the first entry starting after it, else the last. -1 for an empty list.
int ContentsIndexForPage(const std::vector<ContentsEntry>& entries, int page);

// The red page text of entry `index`: shown start page, followed by "(span)"
// when the entry spans more than one page. Empty when the shown page is 0 or
// less (the line then shows its title only).
QString ContentsPageText(const std::vector<ContentsEntry>& entries, int index, int pageCount,
                         int pageNumberOffset);

// The page selecting entry `index` moves to, or nothing when the entry points
// outside the document.
std::optional<int> ContentsTargetPage(const std::vector<ContentsEntry>& entries, int index,
                                      int pageCount);

// Page-jump dialog: the prompt and the page an answer stands for.
QString JumpPrompt(int pageCount, int pageNumberOffset);
int JumpTargetPage(const QString& answer, int pageCount, int pageNumberOffset);
