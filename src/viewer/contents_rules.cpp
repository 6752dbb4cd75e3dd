#include "viewer/contents_rules.h"

#include "core/sjis_text.h"

int ContentsIndexForPage(const std::vector<ContentsEntry>& entries, int page) {
    const int n = int(entries.size());
    if (n == 0) return -1;
    for (int i = 0; i < n; ++i) {
        if (entries[i].page == page) return i;
        if (i > 0 && entries[i].page > page) return i - 1;
    }
    return n - 1;
}

QString ContentsPageText(const std::vector<ContentsEntry>& entries, int index, int pageCount,
                         int pageNumberOffset) {
    if (index < 0 || index >= int(entries.size())) return {};
    const qint64 start = entries[index].page;
    const qint64 shown = start + pageNumberOffset;
    if (shown <= 0) return {};
    const qint64 span = index + 1 < int(entries.size()) ? entries[index + 1].page - start
                                                        : qint64(pageCount) - start + 1;
    QString text = QString::number(shown);
    if (span > 1) text += QStringLiteral("(%1)").arg(span);
    return text;
}

std::optional<int> ContentsTargetPage(const std::vector<ContentsEntry>& entries, int index,
                                      int pageCount) {
    if (index < 0 || index >= int(entries.size())) return std::nullopt;
    const int page = entries[index].page;
    if (page < 1 || page > pageCount) return std::nullopt;
    return page;
}

QString JumpPrompt(int pageCount, int pageNumberOffset) {
    return QStringLiteral("ﾍﾟｰｼﾞ指定 (%1～%2)")
        .arg(qint64(pageNumberOffset) + 1)
        .arg(qint64(pageCount) + pageNumberOffset);
}

int JumpTargetPage(const QString& answer, int pageCount, int pageNumberOffset) {
    qint64 page = qint64(LeadingIntValue(answer)) - pageNumberOffset;
    if (page <= 0) page = 1;
    if (page > pageCount) page = pageCount;
    return int(page);
}
