#pragma once

// Records a picture leaves out (unknown to GDI, damaged, or of a kind the
// player does not draw), counted per format, type and reason, for the
// `neridal.metafile` logging category and `neridal-tool picture --trace`.

#include <QLoggingCategory>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>

Q_DECLARE_LOGGING_CATEGORY(lcMetafile)

namespace mf {

enum class SkipReason { Unknown, Unsupported, Damaged };

class SkippedRecords {
public:
    // `name`: the record's name (nullptr for a type the format does not define).
    void Note(const char* format, std::uint32_t type, const char* name, SkipReason why);
    bool empty() const { return counts_.empty(); }
    // One line per format, type and reason, e.g. "EMF GdiComment (70) unsupported: 3".
    QStringList Lines() const;

private:
    std::map<QString, int> counts_;
};

}  // namespace mf
