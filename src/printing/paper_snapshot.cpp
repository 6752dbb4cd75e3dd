#include "printing/paper_snapshot.h"

#include <array>

namespace {

struct StandardPaper {
    int code;
    int widthTenths;
    int heightTenths;
};

// The papers that may be taken by size when the device lacks their code. JIS
// B4 is 250 x 354 mm here, whatever other tables say.
constexpr std::array<StandardPaper, 6> kStandardPapers = {{
    {8, 2970, 4200},   // A3
    {9, 2100, 2970},   // A4
    {10, 2100, 2970},  // A4 small
    {11, 1480, 2100},  // A5
    {12, 2500, 3540},  // B4 (JIS)
    {13, 1820, 2570},  // B5 (JIS)
}};

}  // namespace

void PaperSnapshot::Set(std::vector<PaperEntry> entries) {
    if (entries.size() > size_t(kMaxPaperEntries)) entries.resize(size_t(kMaxPaperEntries));
    entries_ = std::move(entries);
    count_ = int(entries_.size());
}

void PaperSnapshot::SetFailed() {
    entries_.clear();
    count_ = kPaperReadFailed;
}

void PaperSnapshot::Clear() {
    entries_.clear();
    count_ = 0;
}

QString PaperSnapshot::PaperName(int index) const {
    if (count_ <= 0 || entries_.empty()) return QString();
    if (index < 0 || index >= count_) index = 0;
    return entries_[size_t(index)].name;
}

int PaperSnapshot::PaperCode(int index) const {
    if (count_ <= 0 || entries_.empty()) return kFallbackPaperCode;
    if (index < 0 || index >= count_) index = 0;
    return entries_[size_t(index)].code;
}

int PaperSnapshot::FindPaper(int code) const {
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].code == code) return int(i);
    return -1;
}

int PaperSnapshot::FindPaperBySize(int widthTenths, int heightTenths) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        const PaperEntry& e = entries_[i];
        if (e.widthTenths == widthTenths && e.heightTenths == heightTenths && e.code != 0 &&
            e.code != kUserDefinedPaper)
            return int(i);
    }
    return -1;
}

std::optional<int> PaperSnapshot::ChoosePaperCode(int code) const {
    if (FindPaper(code) >= 0) return code;
    for (const StandardPaper& p : kStandardPapers) {
        if (p.code != code) continue;
        const int index = FindPaperBySize(p.widthTenths, p.heightTenths);
        if (index >= 0) return entries_[size_t(index)].code;
    }
    return std::nullopt;
}
