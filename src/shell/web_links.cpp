#include "shell/web_links.h"

#include <QDesktopServices>

#include "viewer/messages.h"

namespace {

UrlOpener& Opener() {
    static UrlOpener opener;
    return opener;
}

}  // namespace

// The addresses are kept in this one place.
QString PartnerHomePageAddress() {
    return QStringLiteral("https://www.delna.example/");
}
QString DownloadPageAddress() {
    return QStringLiteral("https://www.delna.example/download/");
}
QString SeriesSiteAddress() {
    return QStringLiteral("https://www.harukaze.example/");
}
QString CatalogPageAddress() {
    return QStringLiteral("https://www.delna.example/harukaze/");
}
QString SeriesSiteName() {
    return QStringLiteral("ハルカゼシリーズ ホームページ");
}

QString FramePartnerMenuCaption() {
    return QStringLiteral("DELNA ホームページ  ") + PartnerHomePageAddress() +
           QStringLiteral("(&K)");
}

QString AboutPartnerMenuCaption() {
    return QStringLiteral("DELNA ホームページ ") + PartnerHomePageAddress() +
           QStringLiteral("(&K)...");
}

QString SeriesMenuCaption() {
    return SeriesSiteName() + QLatin1Char(' ') + SeriesSiteAddress() + QStringLiteral("(&M)");
}

UrlOpener SetUrlOpener(UrlOpener opener) {
    UrlOpener previous = std::move(Opener());
    Opener() = std::move(opener);
    return previous;
}

void ShowNoInternet() {
    InfoMessage(kNoInternetMessage);
}

bool OpenWithShell(const QString& address) {
    const QUrl url(address);
    const bool opened = Opener() ? Opener()(url) : QDesktopServices::openUrl(url);
    if (!opened) ShowNoInternet();
    return opened;
}

void OpenDownloadPage() {
    OpenWithShell(DownloadPageAddress());
}
void OpenPartnerHomePage() {
    OpenWithShell(PartnerHomePageAddress());
}
void OpenSeriesSite() {
    OpenWithShell(SeriesSiteAddress());
}
void OpenCatalogPage() {
    OpenWithShell(CatalogPageAddress());
}
