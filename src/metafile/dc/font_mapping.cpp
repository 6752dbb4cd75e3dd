#include "metafile/dc/font_mapping.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QRawFont>

#include "metafile/gdi_constants.h"

namespace mf {

namespace {

struct FaceRow {
    const char16_t* face;
    const char* family;
};

// Faces compared case-insensitively with blanks removed, so "ＭＳ ゴシック" and
// "ＭＳゴシック" meet the same row.
const FaceRow kFaces[] = {
    {u"ｍｓゴシック", "IPAGothic"},
    {u"msgothic", "IPAGothic"},
    {u"ｍｓｐゴシック", "IPAPGothic"},
    {u"mspgothic", "IPAPGothic"},
    {u"msuigothic", "IPAPGothic"},
    {u"meiryo", "IPAPGothic"},
    {u"meiryoui", "IPAPGothic"},
    {u"メイリオ", "IPAPGothic"},
    {u"ｍｓ明朝", "IPAMincho"},
    {u"msmincho", "IPAMincho"},
    {u"ｍｓｐ明朝", "IPAPMincho"},
    {u"mspmincho", "IPAPMincho"},
    {u"arial", "Liberation Sans"},
    {u"arialnarrow", "Liberation Sans Narrow"},
    {u"helvetica", "Liberation Sans"},
    {u"mssansserif", "Liberation Sans"},
    {u"microsoftsansserif", "Liberation Sans"},
    {u"tahoma", "DejaVu Sans"},
    {u"verdana", "DejaVu Sans"},
    {u"segoeui", "Liberation Sans"},
    {u"timesnewroman", "Liberation Serif"},
    {u"times", "Liberation Serif"},
    {u"msserif", "Liberation Serif"},
    {u"couriernew", "Liberation Mono"},
    {u"courier", "Liberation Mono"},
    {u"lucidaconsole", "Liberation Mono"},
    {u"consolas", "Liberation Mono"},
    {u"calibri", "Carlito"},
    {u"cambria", "Caladea"},
    {u"cambriamath", "Caladea"},
    {u"symbol", "Standard Symbols PS"},
};

QString FaceKey(const QString& face) {
    QString key;
    for (QChar c : face) {
        if (c.isSpace() || c == QChar(0x3000)) continue;
        key += c.toLower();
    }
    return key;
}

}  // namespace

std::optional<QString> FontMapper::StandInFor(const QString& face) {
    const QString key = FaceKey(face);
    for (const FaceRow& row : kFaces) {
        if (key == QString::fromUtf16(row.face)) return QString::fromLatin1(row.family);
    }
    return std::nullopt;
}

QString FontMapper::FamilyFor(const QString& face, int charSet, int pitchAndFamily, int weight) {
    const QString key = FaceKey(face);
    // Tahoma's bold is far narrower than its regular against any stand-in.
    if (key == QLatin1String("tahoma") && weight >= 600) return QStringLiteral("Liberation Sans");
    if (std::optional<QString> standIn = StandInFor(face)) return *standIn;
    if (key.startsWith(QLatin1String("arial"))) return QStringLiteral("Liberation Sans");
    if (key.startsWith(QLatin1String("times"))) return QStringLiteral("Liberation Serif");
    if (key.startsWith(QLatin1String("courier"))) return QStringLiteral("Liberation Mono");
    const int family = pitchAndFamily & 0xF0;
    const bool fixed = (pitchAndFamily & 3) == 1;
    if (charSet == kShiftJisCharset) {
        if (family == 0x10) return QStringLiteral("IPAMincho");
        return fixed ? QStringLiteral("IPAGothic") : QStringLiteral("IPAPGothic");
    }
    if (fixed || family == 0x30) return QStringLiteral("Liberation Mono");
    if (family == 0x10) return QStringLiteral("Liberation Serif");
    return QStringLiteral("Liberation Sans");
}

QFont FontMapper::FontFor(const LogFont& lf, int emPixels) const {
    QFont font;
    const QString family = FamilyFor(lf.faceName, lf.charSet, lf.pitchAndFamily, lf.weight);
    // Characters the face lacks come from the Japanese faces, as font linking
    // does on Windows.
    font.setFamilies({family, QStringLiteral("IPAPGothic")});
    font.setPixelSize(std::max(1, emPixels));
    font.setWeight(QFont::Weight(std::clamp(lf.weight == 0 ? 400 : lf.weight, 1, 1000)));
    font.setItalic(lf.italic);
    font.setUnderline(lf.underline);
    font.setStrikeOut(lf.strikeOut);
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

double FontMapper::EmPerCell(const QString& family) const {
    auto it = emPerCell_.find(family);
    if (it != emPerCell_.end()) return *it;
    QFont f(family);
    f.setPixelSize(1000);
    const QFontMetricsF m(f);
    const double cell = m.ascent() + m.descent();
    const double ratio = cell > 0 ? 1000.0 / cell : 1.0;
    emPerCell_.insert(family, ratio);
    return ratio;
}

bool FontMapper::KeysSymbolsByCode(const QString& family) const {
    auto it = symbolsByCode_.find(family);
    if (it != symbolsByCode_.end()) return *it;
    QFont f(family);
    f.setPixelSize(100);
    // A symbol face converted from PostScript may map its glyphs at the
    // Latin positions of their bytes: it has "a" but no alpha.
    const QRawFont raw = QRawFont::fromFont(f);
    const bool byCode =
        QFontInfo(f).family().contains(QLatin1String("symbol"), Qt::CaseInsensitive) &&
        raw.supportsCharacter(QChar(u'a')) && !raw.supportsCharacter(QChar(u'\u03B1'));
    symbolsByCode_.insert(family, byCode);
    return byCode;
}

}  // namespace mf
