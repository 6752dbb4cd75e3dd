#include "metafile/skipped_records.h"

Q_LOGGING_CATEGORY(lcMetafile, "neridal.metafile", QtWarningMsg)

namespace mf {

namespace {

const char* ReasonText(SkipReason why) {
    switch (why) {
        case SkipReason::Unknown:
            return "unknown";
        case SkipReason::Unsupported:
            return "unsupported";
        case SkipReason::Damaged:
            return "damaged";
    }
    return "";
}

}  // namespace

void SkippedRecords::Note(const char* format, std::uint32_t type, const char* name,
                          SkipReason why) {
    // WMF functions read best in hexadecimal, as GDI's headers give them.
    const bool wmf = qstrcmp(format, "WMF") == 0;
    const QString number =
        wmf ? QStringLiteral("0x%1").arg(type, 4, 16, QLatin1Char('0')) : QString::number(type);
    const QString key =
        QStringLiteral("%1 %2 (%3) %4")
            .arg(QLatin1String(format), name ? QLatin1String(name) : QLatin1String("record"),
                 number, QLatin1String(ReasonText(why)));
    ++counts_[key];
}

QStringList SkippedRecords::Lines() const {
    QStringList lines;
    for (const auto& [key, count] : counts_)
        lines << QStringLiteral("%1: %2").arg(key).arg(count);
    return lines;
}

}  // namespace mf
