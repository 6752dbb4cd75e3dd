#pragma once

#include <QString>
#include <QUrl>
#include <functional>

// The four web pages of the partner and of the product series, opened in the
// user's browser.

QString PartnerHomePageAddress();  // the partner's home page
QString DownloadPageAddress();     // the partner's download page for the newest viewer
QString SeriesSiteAddress();       // the product series' web site
QString CatalogPageAddress();      // the partner's page introducing the product series
QString SeriesSiteName();

// Menu captions that show the addresses, built from the same values that the
// links open. The frame's item puts two blanks between the partner's name and
// its address; the about box's item one, and it ends in "...". The series
// site reads the same in both menus.
QString FramePartnerMenuCaption();
QString AboutPartnerMenuCaption();
QString SeriesMenuCaption();

inline const QString kNoInternetMessage =
    QStringLiteral("インターネットを使用できる環境ではないようです。");

// Opens `address` with the desktop's handler; on failure shows kNoInternetMessage.
// Returns whether it opened.
bool OpenWithShell(const QString& address);
void ShowNoInternet();

void OpenDownloadPage();
void OpenPartnerHomePage();
void OpenSeriesSite();
void OpenCatalogPage();

// Test use: replaces the desktop's opener; returns the previous one (empty =
// QDesktopServices).
using UrlOpener = std::function<bool(const QUrl&)>;
UrlOpener SetUrlOpener(UrlOpener opener);
