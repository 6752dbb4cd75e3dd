#include "metafile/picture.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <thread>

#include "metafile/convert/placeable_wmf.h"
#include "metafile/convert/wmf_to_emf.h"
#include "metafile/dc/device_context.h"
#include "metafile/dc/font_mapping.h"
#include "metafile/dc/painter_output.h"
#include "metafile/dib/bmp_file.h"
#include "metafile/emf/emf_decoder.h"
#include "metafile/emf/emf_document.h"
#include "metafile/emf/emf_player.h"
#include "metafile/emf/emf_records.h"
#include "metafile/skipped_records.h"

namespace mf {

namespace {

// Pictures with this much bitmap data have their bitmaps decoded ahead of
// the draw, on two threads.
constexpr std::uint64_t kParallelDecodeBytes = 1 << 20;

class NullOutput : public DrawOutput {
public:
    void SetClip(const std::optional<QPainterPath>&) override {}
    void FillPath(const QPainterPath&, const QBrush&, Blend) override {}
    void StrokePath(const QPainterPath&, const QPen&, Blend) override {}
    void DrawImage(const QImage&, const QTransform&, Blend) override {}
    void DrawText(const TextRun&) override {}
};

void DecodeAhead(const EmfDocument& emf, const DeviceSetup& setup, const FontMapper& fonts,
                 const QRectF& bounds, std::vector<DeviceContext::DecodeJob>* jobs) {
    NullOutput none;
    DeviceContext scout(none, setup, fonts);
    scout.setCollecting(true);
    PlayEmf(emf, scout);
    *jobs = std::move(scout.decodeJobs());
    // Decoded bitmaps wait for their turn in memory: keep that within two
    // screens of pixels; the rest decode when drawn.
    const double budget = 2 * std::max(1.0, bounds.width() * bounds.height());
    double held = 0;
    std::vector<DeviceContext::DecodeJob*> mine, theirs;
    double mineCost = 0, theirsCost = 0;
    for (auto& job : *jobs) {
        const double pixels = double(job.size.width()) * job.size.height();
        if (held + pixels > budget) break;
        held += pixels;
        const double cost = double(job.part.width()) * job.part.height() + pixels;
        if (mineCost <= theirsCost) {
            mine.push_back(&job);
            mineCost += cost;
        } else {
            theirs.push_back(&job);
            theirsCost += cost;
        }
    }
    auto run = [](const std::vector<DeviceContext::DecodeJob*>& list) {
        for (auto* job : list)
            job->image = DecodeDibScaled(job->dib, job->part, job->size, job->averaging);
    };
    if (theirs.empty()) return run(mine);
    std::thread helper(run, std::cref(theirs));
    run(mine);
    helper.join();
}

}  // namespace

struct ParsedPicture {
    Picture::Kind kind = Picture::Kind::Emf;
    QByteArray original;  // the bytes as loaded
    EmfDocument emf;      // what is played (converted for a WMF)
    std::optional<WmfInfo> wmf;
    SkippedRecords skipped;  // by the conversion and by the player
};

namespace {

// The records the player will leave out, by the rules it plays by.
void CountSkippedRecords(const EmfDocument& doc, SkippedRecords* skipped) {
    const ByteReader file(reinterpret_cast<const std::uint8_t*>(doc.bytes.constData()),
                          std::min(std::size_t(doc.bytes.size()), doc.end));
    EmfRecordWalker walk(file, doc.firstRecord);
    EmfRecordView r;
    while (walk.Next(&r) && r.type != emr::Eof) {
        switch (EmfRecordUse(r.type, r.size())) {
            case RecordUse::Played:
                break;
            case RecordUse::Unknown:
                skipped->Note("EMF", r.type, nullptr, SkipReason::Unknown);
                break;
            case RecordUse::Unsupported:
                skipped->Note("EMF", r.type, EmfRecordName(r.type), SkipReason::Unsupported);
                break;
            case RecordUse::Damaged:
                skipped->Note("EMF", r.type, EmfRecordName(r.type), SkipReason::Damaged);
                break;
        }
    }
    if (doc.damagedTail)
        skipped->Note("EMF", *doc.damagedTail, EmfRecordName(*doc.damagedTail),
                      SkipReason::Damaged);
}

}  // namespace

std::optional<Picture> Picture::Load(const QByteArray& bytes, QString* error, bool allowPlainWmf) {
    auto parsed = std::make_shared<ParsedPicture>();
    parsed->original = bytes;
    QString why;
    if (LooksLikeEmf(bytes)) {
        auto emf = ReadEmf(bytes, &why);
        if (!emf) {
            if (error) *error = why;
            return std::nullopt;
        }
        parsed->emf = std::move(*emf);
    } else {
        auto info = ReadWmfInfo(bytes, &why);
        if (!info) {
            if (error) *error = QStringLiteral("not a metafile picture: %1").arg(why);
            return std::nullopt;
        }
        if (!info->placeable && !allowPlainWmf) {
            if (error) *error = QStringLiteral("a Windows metafile without the placeable header");
            return std::nullopt;
        }
        auto converted = ConvertWmfToEmf(bytes, &why, &parsed->skipped);
        if (!converted) {
            if (error) *error = QStringLiteral("unreadable Windows metafile: %1").arg(why);
            return std::nullopt;
        }
        auto emf = ReadEmf(*converted, &why);
        if (!emf) {
            if (error) *error = QStringLiteral("unreadable Windows metafile: %1").arg(why);
            return std::nullopt;
        }
        parsed->kind = Kind::Wmf;
        parsed->wmf = info;
        parsed->emf = std::move(*emf);
    }
    CountSkippedRecords(parsed->emf, &parsed->skipped);
    if (!parsed->skipped.empty())
        qCInfo(lcMetafile).noquote()
            << "records left out:" << parsed->skipped.Lines().join(QStringLiteral("; "));
    Picture p;
    p.parsed_ = std::move(parsed);
    return p;
}

Picture::Kind Picture::kind() const {
    return parsed_->kind;
}

int Picture::unitsPerInch() const {
    return parsed_->wmf ? parsed_->wmf->unitsPerInch : 96;
}

QSize Picture::naturalSize(int screenPpi) const {
    if (parsed_->wmf) return parsed_->wmf->naturalSize(screenPpi);
    return parsed_->emf.naturalSize();
}

QSizeF Picture::frameHundredthsMm() const {
    if (parsed_->wmf) return parsed_->wmf->frameHundredthsMm();
    const QRect f = parsed_->emf.frame;
    return QSizeF(double(f.right()) - f.left(), double(f.bottom()) - f.top());
}

void Picture::Play(DrawOutput& out, const QRectF& target, const QTransform& deviceTransform,
                   const QRectF& deviceBounds, bool keepsImageResolution) const {
    if (target.isEmpty()) return;
    const QRectF bounds = deviceBounds.isEmpty() ? deviceTransform.mapRect(target) : deviceBounds;
    DeviceSetup setup = SetupFor(parsed_->emf, target, deviceTransform, bounds);
    setup.keepsImageResolution = keepsImageResolution;
    FontMapper fonts;
    DeviceContext dc(out, setup, fonts);
    if (parsed_->emf.bitmapRecords >= 2 && parsed_->emf.bitmapBytes >= kParallelDecodeBytes)
        DecodeAhead(parsed_->emf, setup, fonts, bounds, &dc.decodeJobs());
    PlayEmf(parsed_->emf, dc);
}

void Picture::Draw(QPainter& painter, const QRectF& target) const {
    const QTransform deviceTransform = painter.worldTransform();
    QRectF bounds = deviceTransform.mapRect(target);
    if (const QPaintDevice* device = painter.device())
        bounds = bounds.intersected(QRectF(0, 0, device->width(), device->height()));
    if (bounds.isEmpty()) return;
    PainterOutput out(painter);
    const QPaintEngine* engine = painter.paintEngine();
    const bool vector =
        engine && (engine->type() == QPaintEngine::Pdf || engine->type() == QPaintEngine::Picture ||
                   painter.device()->devType() == QInternal::Printer);
    Play(out, target, deviceTransform, bounds, vector);
}

QString FontFamilyFor(const QString& face, int charSet, int pitchAndFamily) {
    return FontMapper::FamilyFor(face, charSet, pitchAndFamily);
}

std::optional<QString> FontStandInFor(const QString& face) {
    return FontMapper::StandInFor(face);
}

QStringList Picture::skippedRecords() const {
    return parsed_->skipped.Lines();
}

const QByteArray& Picture::bytes() const {
    return parsed_->original;
}

QByteArray Picture::ToEmf() const {
    return parsed_->emf.bytes;
}

QByteArray Picture::ToPlaceableWmf() const {
    return PlaceableWmfFor(*this);
}

QImage Picture::ToImage(const QSize& size) const {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    Draw(painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    painter.end();
    return image;
}

QByteArray Picture::ToBmp(int screenPpi) const {
    return BmpFile24(ToImage(naturalSize(screenPpi)));
}

}  // namespace mf
