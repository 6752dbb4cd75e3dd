// Draws a scalable icon as the square PNGs an icon theme wants beside it:
//   neridal-icon-png SVG OUTDIR NAME SIZE...
// writes OUTDIR/SIZExSIZE/NAME.png for each size. Desktops that cannot read
// SVG, and small sizes where a theme prefers pixels, take these.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {

constexpr int kMinSide = 1;
constexpr int kMaxSide = 1024;
constexpr int kFirstSizeArgument = 4;

int Fail(const QString& why) {
    std::fprintf(stderr, "neridal-icon-png: %s\n", qPrintable(why));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Shapes only, no text: drawing into an image needs no GUI application,
    // so the build needs neither a screen nor a platform plugin.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.size() <= kFirstSizeArgument)
        return Fail(QStringLiteral("usage: neridal-icon-png SVG OUTDIR NAME SIZE..."));
    const QString& svg = args[1];
    const QString& outDir = args[2];
    const QString& name = args[3];

    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) return Fail(QStringLiteral("%1: not a readable SVG").arg(svg));
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);

    for (int i = kFirstSizeArgument; i < args.size(); ++i) {
        bool ok = false;
        const int side = args[i].toInt(&ok);
        if (!ok || side < kMinSide || side > kMaxSide)
            return Fail(QStringLiteral("bad size %1").arg(args[i]));
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, side, side));
        painter.end();

        const QString folder = QStringLiteral("%1/%2x%2").arg(outDir).arg(side);
        const QString file = QStringLiteral("%1/%2.png").arg(folder, name);
        if (!QDir().mkpath(folder) || !image.save(file, "PNG"))
            return Fail(QStringLiteral("%1: cannot write").arg(file));
    }
    return 0;
}
