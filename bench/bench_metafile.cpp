// Drawing speed of the metafile player: the photo page at screen size and
// every corpus file at its natural size. Each iteration draws from the parsed
// picture with nothing kept from earlier draws.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <memory>
#include <optional>

#include "metafile/picture.h"

namespace {

QString SharedDir() {
    return QStringLiteral(NERIDAL_SHARED_DIR);
}

std::optional<mf::Picture> LoadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return mf::Picture::Load(file.readAll(), nullptr, true);
}

void DrawLoop(benchmark::State& state, const mf::Picture& picture, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (auto _ : state) {
        state.PauseTiming();
        image.fill(Qt::white);
        state.ResumeTiming();
        QPainter painter(&image);
        picture.Draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void RegisterPhotoPage() {
    auto picture = std::make_shared<std::optional<mf::Picture>>(
        LoadFile(SharedDir() + QStringLiteral("/bench/photo-page.emf")));
    if (!*picture) return;
    for (QSize size : {QSize(1123, 794), QSize(2246, 1588)}) {
        const std::string name =
            "PhotoPage/" + std::to_string(size.width()) + "x" + std::to_string(size.height());
        benchmark::RegisterBenchmark(name.c_str(), [picture, size](benchmark::State& state) {
            DrawLoop(state, **picture, size);
        })->Unit(benchmark::kMillisecond);
    }
}

void RegisterCorpus() {
    for (const char* folder : {"/corpus/metafiles", "/corpus/synthetic", "/corpus/fuzz-found"}) {
        const QDir dir(SharedDir() + QLatin1String(folder));
        const QStringList files = dir.entryList({QStringLiteral("*.emf"), QStringLiteral("*.wmf")},
                                                QDir::Files, QDir::Name);
        for (const QString& name : files) {
            auto picture =
                std::make_shared<std::optional<mf::Picture>>(LoadFile(dir.filePath(name)));
            if (!*picture) continue;
            // Natural size, long side capped as the reference renders are.
            QSize size = (*picture)->naturalSize();
            if (std::max(size.width(), size.height()) > 2000)
                size.scale(2000, 2000, Qt::KeepAspectRatio);
            size = size.expandedTo(QSize(1, 1));
            const std::string title = "Corpus/" + name.toStdString();
            benchmark::RegisterBenchmark(title.c_str(), [picture, size](benchmark::State& state) {
                DrawLoop(state, **picture, size);
            })->Unit(benchmark::kMillisecond);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    RegisterPhotoPage();
    RegisterCorpus();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
