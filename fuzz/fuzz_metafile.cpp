// Parses and plays arbitrary bytes as an EMF or WMF picture.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstddef>
#include <cstdint>

#include "metafile/picture.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Text needs a GUI application; no screen is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto picture = mf::Picture::Load(bytes, nullptr, true);
    if (!picture) return 0;
    // Small enough to stay fast, stretched so that scaling paths run too.
    const QSize target = picture->naturalSize().boundedTo(QSize(160, 120)).expandedTo(QSize(1, 1));
    QImage image(target, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    picture->Draw(painter, QRectF(0, 0, target.width(), target.height()));
    painter.end();
    (void)picture->naturalSize();
    (void)picture->frameHundredthsMm();
    return 0;
}
