// neridal-tool pack OUT [options] PAGE...: writes an album from page pictures.

#include <QDateTime>
#include <QFile>
#include <QStringList>

#include "core/cp932.h"
#include "core/units.h"
#include "document/album_writer.h"
#include "tool/tool_command.h"

namespace {

const char kUsage[] =
    "OUT [--producer PXA|RTWA|RTB|RTC] [--version 3.0] [--title T] [--remarks R]\n"
    "      [--author A] [--created 'YYYY-MM-DD HH:MM:SS'] [--paper W:H[:CODE]] [--orientation N]\n"
    "      [--page-offset N] [--margins T,B,L,R (mm)] [--font NAME]... [--substitute-font NAME]\n"
    "      [--external-chars] [--toc PAGE:LEVEL:TEXT]... [--turned PAGE]... PAGE.emf|PAGE.wmf...";

bool ParseScaled(const QString& text, Scaled* out) {
    const std::optional<Scaled> v = ::ParseScaled(text);
    if (v) *out = *v;
    return v.has_value();
}

bool ParseInt(const QString& text, std::int32_t* out) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (ok) *out = v;
    return ok;
}

// Days since 1899-12-30 with the time as the fraction.
bool ParseCreated(const QString& text, double* out) {
    const QDateTime t = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!t.isValid()) return false;
    const double days = double(QDate(1899, 12, 30).daysTo(t.date()));
    *out = days + t.time().msecsSinceStartOfDay() / 86400000.0;
    return true;
}

int UsageError(const QString& why) {
    ToolErr(QStringLiteral("neridal-tool pack: %1\nusage: neridal-tool pack %2\n")
                .arg(why, QString::fromLatin1(kUsage)));
    return 2;
}

int RunPack(const QStringList& args) {
    AlbumDraft draft;
    draft.settings = DefaultSettings();
    draft.settings.created = 0;
    QString out;
    QStringList pageFiles, fonts;
    std::vector<int> turned;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (!a.startsWith(QLatin1String("--"))) {
            if (out.isEmpty())
                out = a;
            else
                pageFiles << a;
            continue;
        }
        if (a == QLatin1String("--external-chars")) {
            draft.settings.externalCharsConverted = 1;
            continue;
        }
        if (i + 1 >= args.size()) return UsageError(a + QStringLiteral(" needs a value"));
        const QString v = args[++i];
        bool ok = true;
        if (a == QLatin1String("--producer")) {
            draft.producer = v.toLatin1();
            ok = !v.isEmpty() && v.size() <= 4;
        } else if (a == QLatin1String("--version")) {
            ok = ParseScaled(v, &draft.producerVersion);
        } else if (a == QLatin1String("--title")) {
            draft.settings.title = UnicodeToSjis(v);
        } else if (a == QLatin1String("--remarks")) {
            draft.settings.remarks = UnicodeToSjis(v);
        } else if (a == QLatin1String("--author")) {
            draft.settings.author = UnicodeToSjis(v);
        } else if (a == QLatin1String("--created")) {
            ok = ParseCreated(v, &draft.settings.created);
        } else if (a == QLatin1String("--paper")) {
            const QStringList p = v.split(QLatin1Char(':'));
            ok = (p.size() == 2 || p.size() == 3) && ParseInt(p[0], &draft.settings.paperWidth) &&
                 ParseInt(p[1], &draft.settings.paperHeight) &&
                 (p.size() == 2 || ParseInt(p[2], &draft.settings.paperCode));
        } else if (a == QLatin1String("--orientation")) {
            std::int32_t o = 0;
            ok = ParseInt(v, &o) && o >= 0 && o <= 255;
            draft.settings.orientation = std::uint8_t(o);
            draft.baseOrientation = std::uint8_t(o);
        } else if (a == QLatin1String("--page-offset")) {
            ok = ParseInt(v, &draft.settings.pageNumberOffset);
        } else if (a == QLatin1String("--margins")) {
            const QStringList m = v.split(QLatin1Char(','));
            ok = m.size() == 4 && ParseScaled(m[0], &draft.marginTop) &&
                 ParseScaled(m[1], &draft.marginBottom) && ParseScaled(m[2], &draft.marginLeft) &&
                 ParseScaled(m[3], &draft.marginRight);
        } else if (a == QLatin1String("--font")) {
            fonts << v;
        } else if (a == QLatin1String("--substitute-font")) {
            draft.settings.substituteFont = UnicodeToSjis(v);
        } else if (a == QLatin1String("--toc")) {
            const QStringList t = v.split(QLatin1Char(':'));
            TTocEntry e;
            ok = t.size() >= 3 && ParseInt(t[0], &e.pageSlot) && ParseInt(t[1], &e.levelSlot);
            e.text = UnicodeToSjis(t.mid(2).join(QLatin1Char(':')));
            draft.toc.push_back(e);
        } else if (a == QLatin1String("--turned")) {
            std::int32_t page = 0;
            ok = ParseInt(v, &page) && page >= 1;
            turned.push_back(page);
        } else {
            return UsageError(QStringLiteral("unknown option ") + a);
        }
        if (!ok) return UsageError(QStringLiteral("bad value for %1: %2").arg(a, v));
    }
    if (out.isEmpty() || pageFiles.isEmpty())
        return UsageError(QStringLiteral("an output file and at least one page are needed"));
    draft.settings.fontsUsed = UnicodeToSjis(fonts.join(QStringLiteral("\r\n")));
    for (const QString& f : pageFiles) {
        QFile file(f);
        if (!file.open(QIODevice::ReadOnly)) {
            ToolErr(QStringLiteral("%1: %2\n").arg(f, file.errorString()));
            return 1;
        }
        draft.pages.push_back({file.readAll(), draft.baseOrientation, {}, {}});
    }
    for (int page : turned) {
        if (page > int(draft.pages.size()))
            return UsageError(QStringLiteral("no page %1 to turn").arg(page));
        draft.pages[size_t(page) - 1].orientation = draft.baseOrientation == 0 ? 1 : 0;
    }
    QString error;
    if (!WriteAlbumFile(out, draft, &error)) {
        ToolErr(QStringLiteral("%1: %2\n").arg(out, error));
        return 1;
    }
    return 0;
}

const ToolCommand kPack("pack", kUsage, RunPack);

}  // namespace
