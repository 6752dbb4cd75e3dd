#include "viewer/navigation_state.h"

#include <QFileInfo>

NavigationState NavigationFor(int currentPage, int pageCount) {
    NavigationState s;
    s.hasPages = pageCount > 0;
    if (pageCount <= 1) return s;
    s.jump = true;
    s.start = s.back = currentPage != 1;
    s.next = s.end = currentPage != pageCount;
    return s;
}

int NextPageFrom(int currentPage, int pageCount) {
    return currentPage < pageCount ? currentPage + 1 : 0;
}

int PreviousPageFrom(int currentPage) {
    return currentPage >= 2 ? currentPage - 1 : 0;
}

QString DocumentTitle(const QString& fileName) {
    if (fileName.isEmpty()) return QStringLiteral("無題");
    return QFileInfo(fileName).completeBaseName();
}

StatusTexts StatusTextsFor(const QString& fileName, int selectedEntry, int entryCount,
                           int currentPage, int pageCount, int pageNumberOffset) {
    StatusTexts t;
    t.title = DocumentTitle(fileName);
    t.contentsPosition = QStringLiteral("%1/%2").arg(selectedEntry + 1).arg(entryCount);
    t.pagePosition = QStringLiteral("%1/%2")
                         .arg(qint64(currentPage) + pageNumberOffset)
                         .arg(qint64(pageCount) + pageNumberOffset);
    t.documentTitle = QLatin1Char(' ') + t.title;
    return t;
}
