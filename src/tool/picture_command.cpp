// neridal-tool picture IN --out OUT.png [--size WxH] [--bench N] [--trace]
// --trace lists on standard error the records the picture leaves out
// (unknown, damaged or of a kind not drawn), counted per type.
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <vector>

#include "metafile/picture.h"
#include "tool/tool_command.h"

namespace {

constexpr int kMaxSide = 20000;

bool ParseSize(const QString& text, QSize* size) {
    const QStringList parts = text.toLower().split(QLatin1Char('x'));
    if (parts.size() != 2) return false;
    bool okW = false, okH = false;
    const int w = parts[0].toInt(&okW), h = parts[1].toInt(&okH);
    if (!okW || !okH || w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return false;
    *size = QSize(w, h);
    return true;
}

int RunPicture(const QStringList& args) {
    QString in, out;
    QSize size;
    int bench = 0;
    bool trace = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--out") && hasValue) {
            out = args[++i];
        } else if (a == QLatin1String("--size") && hasValue) {
            if (!ParseSize(args[++i], &size)) {
                ToolErr(QStringLiteral("picture: bad --size, expected WxH\n"));
                return 2;
            }
        } else if (a == QLatin1String("--bench") && hasValue) {
            bool ok = false;
            bench = args[++i].toInt(&ok);
            if (!ok || bench < 1) {
                ToolErr(QStringLiteral("picture: bad --bench count\n"));
                return 2;
            }
        } else if (a == QLatin1String("--trace")) {
            trace = true;
        } else if (in.isEmpty() && !a.startsWith(QLatin1String("--"))) {
            in = a;
        } else {
            ToolErr(QStringLiteral("picture: unexpected argument %1\n").arg(a));
            return 2;
        }
    }
    if (in.isEmpty() || out.isEmpty()) {
        ToolErr(QStringLiteral(
            "usage: neridal-tool picture IN --out OUT.png [--size WxH] [--bench N] [--trace]\n"));
        return 2;
    }
    QFile file(in);
    if (!file.open(QIODevice::ReadOnly)) {
        ToolErr(QStringLiteral("picture: cannot read %1\n").arg(in));
        return 1;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    QString why;
    const std::optional<mf::Picture> picture = mf::Picture::Load(bytes, &why, true);
    if (!picture) {
        ToolErr(QStringLiteral("picture: %1 is not a valid picture: %2\n").arg(in, why));
        return 1;
    }
    if (trace) {
        const QStringList skipped = picture->skippedRecords();
        ToolErr(skipped.isEmpty() ? QStringLiteral("picture: no records left out\n")
                                  : QStringLiteral("picture: records left out:\n  %1\n")
                                        .arg(skipped.join(QStringLiteral("\n  "))));
    }
    if (size.isEmpty()) {
        // The natural size, but never beyond what --size accepts: some
        // pictures claim frames of metres at their device's resolution.
        size = picture->naturalSize();
        if (size.width() > kMaxSide || size.height() > kMaxSide) {
            size = size.scaled(kMaxSide, kMaxSide, Qt::KeepAspectRatio);
            ToolErr(QStringLiteral("picture: natural size too large, drawn at %1x%2\n")
                        .arg(size.width())
                        .arg(size.height()));
        }
        if (size.isEmpty()) size = QSize(1, 1);
    }

    QImage image(size, QImage::Format_RGB32);
    std::vector<double> times;
    const int draws = std::max(1, bench);
    for (int i = 0; i < draws; ++i) {
        image.fill(Qt::white);
        QElapsedTimer timer;
        timer.start();
        QPainter painter(&image);
        picture->Draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
        painter.end();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    if (!image.save(out, "PNG")) {
        ToolErr(QStringLiteral("picture: cannot write %1\n").arg(out));
        return 1;
    }
    if (bench > 0) {
        std::sort(times.begin(), times.end());
        const double median = times.size() % 2
                                  ? times[times.size() / 2]
                                  : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
        ToolOut(
            QStringLiteral("draws %1 at %2x%3\n").arg(bench).arg(size.width()).arg(size.height()));
        ToolOut(QStringLiteral("%1\n").arg(median, 0, 'f', 3));
    }
    return 0;
}

const ToolCommand kPicture("picture", "IN --out OUT.png [--size WxH] [--bench N] [--trace]",
                           RunPicture);

}  // namespace
