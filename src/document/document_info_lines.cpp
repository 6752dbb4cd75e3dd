#include "document/document_info_lines.h"

#include <QFontDatabase>
#include <cmath>

#include "core/cp932.h"
#include "metafile/picture.h"

namespace {

constexpr int kVersionTagWidth = 4;  // the space and at most three tag characters
constexpr int kVersionPrefixWidth = 5;
constexpr double kOleFirstDay = -693594.0;  // 0001-01-01
constexpr double kOleLastDay = 2958466.0;   // 10000-01-01
constexpr qint64 kMsPerDay = 86400000;

QString Spaced(const QByteArray& sjis) {
    return QLatin1Char(' ') + SjisToUnicode(sjis);
}

// The producer version as "0.0": one decimal, halves away from zero.
QString OneDecimal(Scaled v) {
    const qint64 tenths = v >= 0 ? (v + 500) / 1000 : (v - 500) / 1000;
    const qint64 whole = tenths / 10;
    const qint64 digit = tenths % 10;
    return QStringLiteral("%1%2.%3")
        .arg(tenths < 0 && whole == 0 ? QStringLiteral("-") : QString())
        .arg(whole)
        .arg(digit < 0 ? -digit : digit);
}

// Millimetres as centimetres with one decimal.
QString Centimetres(std::int32_t mm) {
    const std::int64_t magnitude = std::abs(std::int64_t(mm));
    return QStringLiteral("%1%2.%3")
        .arg(mm < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 10)
        .arg(magnitude % 10);
}

}  // namespace

std::optional<QDateTime> OleDateTime(double ole) {
    if (!std::isfinite(ole) || ole <= kOleFirstDay || ole >= kOleLastDay) return std::nullopt;
    const double days = std::trunc(ole);
    qint64 ms = std::llround(std::fabs(ole - days) * double(kMsPerDay));
    QDate date = QDate(1899, 12, 30).addDays(qint64(days));
    if (ms >= kMsPerDay) {
        date = date.addDays(1);
        ms -= kMsPerDay;
    }
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms)));
}

QString InfoDateText(double oleDate) {
    const std::optional<QDateTime> when = OleDateTime(oleDate);
    if (!when) return QString();
    return when->toString(QStringLiteral("yyyy/M/d H:m:s"));
}

QStringList DocumentInfoLines::All() const {
    return {version,       created,        title,
            author,        remarks,        paper,
            externalChars, substituteFont, fonts.join(QLatin1Char('\n'))};
}

DocumentInfoLines InfoLinesFor(const TAlbumHeader& header, const TAlbumSettings& settings,
                               const PrinterFacts& printer) {
    DocumentInfoLines lines;
    QString version =
        (QLatin1Char(' ') + SjisToUnicode(header.ProducerText())).left(kVersionTagWidth);
    version = (version + QLatin1Char(' ')).left(kVersionPrefixWidth);
    lines.version = version + OneDecimal(header.producerVersion);
    lines.created = QLatin1Char(' ') + InfoDateText(settings.created);
    lines.title = Spaced(settings.title);
    lines.author = Spaced(settings.author);
    lines.remarks = Spaced(settings.remarks);
    lines.externalChars = settings.externalCharsConverted != 0
                              ? QStringLiteral(" ビットデータに変換")
                              : QStringLiteral(" 無");
    lines.substituteFont =
        settings.substituteFont.isEmpty() ? QStringLiteral(" 無") : Spaced(settings.substituteFont);

    std::optional<QString> paperName;
    if (printer.paperName) paperName = printer.paperName(settings.paperCode);
    lines.paper = paperName ? QLatin1Char(' ') + *paperName : QStringLiteral(" 不明");
    lines.paper += settings.orientation != 0 ? QStringLiteral(" 横置 ") : QStringLiteral(" 縦置 ");
    lines.paper += QStringLiteral(" %1cm × %2cm")
                       .arg(Centimetres(settings.paperWidth), Centimetres(settings.paperHeight));

    const QString fontText = SjisToUnicode(settings.fontsUsed);
    if (!fontText.isEmpty()) {
        // A closing line break starts no further line.
        for (const QString& face : fontText.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
            const bool offered = printer.hasFont && printer.hasFont(face);
            lines.fonts << (offered ? QStringLiteral("○") : QStringLiteral("×")) + face;
        }
    }
    return lines;
}

bool FontAvailable(const QString& face) {
    const QStringList families = QFontDatabase::families();
    const auto installed = [&families](const QString& family) {
        return families.contains(family, Qt::CaseInsensitive);
    };
    if (installed(face)) return true;
    const std::optional<QString> standIn = mf::FontStandInFor(face);
    return standIn && installed(*standIn);
}
