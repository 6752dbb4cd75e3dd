#include "document/album_info.h"

#include <QDate>
#include <QStringList>
#include <cmath>

#include "core/cp932.h"
#include "document/document_info_lines.h"
#include "document/page_sheet.h"

namespace {

QString JsonString(const QString& text) {
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        switch (c.unicode()) {
            case '"':
                out += QStringLiteral("\\\"");
                break;
            case '\\':
                out += QStringLiteral("\\\\");
                break;
            case '\n':
                out += QStringLiteral("\\n");
                break;
            case '\r':
                out += QStringLiteral("\\r");
                break;
            case '\t':
                out += QStringLiteral("\\t");
                break;
            default:
                if (c.unicode() < 0x20)
                    out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
                else
                    out += c;
        }
    }
    return out + QLatin1Char('"');
}

QString JsonBool(bool b) {
    return b ? QStringLiteral("true") : QStringLiteral("false");
}

// Keys in the order given.
class JsonObject {
public:
    JsonObject& add(const char* key, const QString& json) {
        parts_ << JsonString(QString::fromLatin1(key)) + QStringLiteral(": ") + json;
        return *this;
    }
    JsonObject& add(const char* key, qint64 n) { return add(key, QString::number(n)); }
    QString text() const {
        return QLatin1Char('{') + parts_.join(QStringLiteral(", ")) + QLatin1Char('}');
    }

private:
    QStringList parts_;
};

QString JsonArray(const QStringList& items) {
    return QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']');
}

QString SjisJson(const QByteArray& sjis) {
    return JsonString(SjisToUnicode(sjis));
}

QString SettingsJson(const AlbumDocument& doc, const SheetGeometry& geometry) {
    const TAlbumSettings& s = doc.settings;
    QStringList fonts;
    const QString fontText = SjisToUnicode(s.fontsUsed);
    if (!fontText.isEmpty()) {
        for (const QString& f : fontText.split(QStringLiteral("\r\n")))
            fonts << JsonString(f);
    }
    return JsonObject()
        .add("created", JsonString(OleDateText(s.created)))
        .add("title", SjisJson(s.title))
        .add("remarks", SjisJson(s.remarks))
        .add("author", SjisJson(s.author))
        .add("page_number_offset", s.pageNumberOffset)
        .add("paper_code", s.paperCode)
        .add("orientation", s.orientation)
        .add("paper_width_mm", s.paperWidth)
        .add("paper_height_mm", s.paperHeight)
        .add("paper_width_px", geometry.paperPixels.width())
        .add("paper_height_px", geometry.paperPixels.height())
        .add("external_chars_converted", JsonBool(s.externalCharsConverted != 0))
        .add("substitute_font", SjisJson(s.substituteFont))
        .add("fonts_used", JsonArray(fonts))
        .text();
}

QString KindOf(const QByteArray& bytes) {
    switch (mf::DetectPictureFormat(bytes)) {
        case mf::PictureFormat::Emf:
            return QStringLiteral("emf");
        case mf::PictureFormat::PlaceableWmf:
            return QStringLiteral("wmf");
        default:
            return QStringLiteral("invalid");
    }
}

// The information dialog's value texts, the printer's side as this machine
// answers it without a printer environment.
QString InfoLinesJson(const AlbumDocument& doc) {
    PrinterFacts facts;
    facts.hasFont = FontAvailable;
    QStringList items;
    for (const QString& line : InfoLinesFor(doc.header, doc.settings, facts).All())
        items << JsonString(line);
    return JsonArray(items);
}

}  // namespace

// An OLE Automation date: whole days since 1899-12-30 and the time of day as
// the fraction's magnitude, rounded to the millisecond, shown to the second.
QString OleDateText(double ole) {
    const std::optional<QDateTime> when = OleDateTime(ole);
    return when ? when->toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

std::optional<QString> AlbumInfoJson(const AlbumDocument& doc, int screenPpi, LoadError* error,
                                     QStringList* irregularities) {
    if (!doc.bodyDamage.isEmpty()) {
        if (error) *error = MakeLoadError(LoadError::Kind::Damaged, doc.fileName, doc.bodyDamage);
        return std::nullopt;
    }
    const TAlbumHeader& h = doc.header;
    const SheetGeometry geometry = SheetGeometryOf(doc, screenPpi);
    QStringList toc;
    for (const TocItem& item : doc.toc)
        toc << JsonObject()
                   .add("page", item.page)
                   .add("level", item.level)
                   .add("text", JsonString(item.text))
                   .text();
    QStringList pages;
    for (int p = 1; p <= doc.pageCount; ++p) {
        QString irregularity;
        const std::optional<QByteArray> bytes = ReadPageBytes(doc, p, error, &irregularity);
        if (!bytes) return std::nullopt;
        if (irregularities && !irregularity.isEmpty()) *irregularities << irregularity;
        const TPageEntry& e = doc.pages[size_t(p)];
        pages << JsonObject()
                     .add("offset", e.offset)
                     .add("size", e.size)
                     .add("orientation",
                          doc.pxaFlag ? QString::number(e.orientation) : QStringLiteral("null"))
                     .add("turned", JsonBool(doc.IsTurnedPage(p)))
                     .add("kind", JsonString(KindOf(*bytes)))
                     .text();
    }
    const auto ints = [](std::initializer_list<qint64> values) {
        QStringList items;
        for (qint64 v : values)
            items << QString::number(v);
        return JsonArray(items);
    };
    const QString json =
        JsonObject()
            .add("format_version", doc.formatVersion)
            .add("producer", SjisJson(h.ProducerText()))
            .add("producer_version", h.producerVersion)
            .add("pxa_flag", JsonBool(doc.pxaFlag))
            .add("wide_settings", JsonBool(doc.wideSettings))
            .add("margins_mm", ints({h.marginTop, h.marginBottom, h.marginLeft, h.marginRight}))
            .add("margins_px", ints({geometry.margins.top, geometry.margins.bottom,
                                     geometry.margins.left, geometry.margins.right}))
            .add("page_base", h.pageBase)
            .add("settings", SettingsJson(doc, geometry))
            .add("toc", JsonArray(toc))
            .add("page_count", doc.pageCount)
            .add("pages", JsonArray(pages))
            .add("info_lines", InfoLinesJson(doc))
            .text();
    return json;
}
