#pragma once

// The printer's paper list as last read, and the rules that pick a paper in
// it for a document.

#include <QString>
#include <optional>
#include <vector>

struct PaperEntry {
    QString name;         // at most 64 characters
    int code = 0;         // DMPAPER code; 256 for a size without one
    int widthTenths = 0;  // tenths of a millimetre
    int heightTenths = 0;
};

inline constexpr int kPaperNeverRead = -999;
inline constexpr int kPaperReadFailed = -1;
inline constexpr int kMaxPaperEntries = 257;
inline constexpr int kUserDefinedPaper = 256;
inline constexpr int kFallbackPaperCode = 13;  // what an empty list answers

class PaperSnapshot {
public:
    // kPaperNeverRead, kPaperReadFailed or the number of entries.
    int count() const { return count_; }
    // Replaces the entries (at most kMaxPaperEntries are kept).
    void Set(std::vector<PaperEntry> entries);
    void SetFailed();
    void Clear();  // count 0, no entries
    bool NeedsRead() const { return count_ == kPaperNeverRead; }

    // An index outside 0..count-1 gives the first entry's name or code; an
    // empty list gives "" and 13.
    QString PaperName(int index) const;
    int PaperCode(int index) const;
    const std::vector<PaperEntry>& entries() const { return entries_; }

    // The first index with that code; -1 when none.
    int FindPaper(int code) const;
    // The first entry of exactly that size that is not user-defined; -1 when none.
    int FindPaperBySize(int widthTenths, int heightTenths) const;

    // The code to put into the printer for a document asking for `code`: the
    // code itself when listed; for a standard paper the device lacks, a listed
    // paper of the same size; nothing otherwise.
    std::optional<int> ChoosePaperCode(int code) const;

private:
    int count_ = kPaperNeverRead;
    std::vector<PaperEntry> entries_;
};
