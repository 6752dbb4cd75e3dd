#include "document/album_writer.h"

#include <zlib.h>
#include <QFile>

namespace {

QByteArray Deflate(const QByteArray& data, int level) {
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(data.constData()), uLong(data.size()), level);
    out.resize(qsizetype(size));
    return out;
}

void AppendInt32(QByteArray& out, std::int32_t v) {
    const auto u = std::uint32_t(v);
    for (int i = 0; i < 4; ++i)
        out.append(char((u >> (8 * i)) & 0xFF));
}

TAlbumHeader MakeHeader(const AlbumDraft& draft) {
    TAlbumHeader h;
    const QByteArray tag = draft.producer.left(4);
    h.tag[0] = std::uint8_t(tag.size());
    for (int i = 0; i < 3 && i < tag.size(); ++i)
        h.tag[size_t(i) + 1] = std::uint8_t(tag[i]);
    h.producerVersion = WrittenProducerVersion(draft);
    h.marginTop = draft.marginTop;
    h.marginBottom = draft.marginBottom;
    h.marginLeft = draft.marginLeft;
    h.marginRight = draft.marginRight;
    return h;
}

// Settings, contents and the page index for the given stored pictures.
QByteArray IndexPart(const AlbumDraft& draft, bool wide, const std::vector<std::int32_t>& offsets,
                     const std::vector<std::int32_t>& sizes) {
    QByteArray out = draft.settings.Serialize(wide);
    QByteArray toc;
    for (const TTocEntry& e : draft.toc)
        toc += e.Serialize();
    toc += draft.tocExtraBytes;
    AppendInt32(out, draft.tocLengthOverride.value_or(std::int32_t(toc.size())));
    out += toc;
    TPageEntry record0;
    record0.size = draft.pageCountOverride.value_or(std::int32_t(draft.pages.size()));
    record0.orientation = draft.baseOrientation;
    out += record0.Serialize(draft.nineByteRecords);
    for (size_t i = 0; i < draft.pages.size(); ++i) {
        TPageEntry e;
        e.offset = draft.pages[i].offsetOverride.value_or(offsets[i]);
        e.size = draft.pages[i].sizeOverride.value_or(sizes[i]);
        e.orientation = draft.pages[i].orientation;
        out += e.Serialize(draft.nineByteRecords);
    }
    return out;
}

qsizetype IndexPartSize(const AlbumDraft& draft, bool wide) {
    const std::vector<std::int32_t> zeros(draft.pages.size(), 0);
    return IndexPart(draft, wide, zeros, zeros).size();
}

}  // namespace

Scaled WrittenProducerVersion(const AlbumDraft& draft) {
    if (draft.producer.size() < 4) return draft.producerVersion;
    const auto fourth = Scaled(static_cast<unsigned char>(draft.producer[3]));
    Scaled v = (draft.producerVersion & ~Scaled(0xFF)) | fourth;
    if (v > draft.producerVersion) v -= 0x100;
    return v;
}

QByteArray WriteAlbum(const AlbumDraft& draft) {
    TAlbumHeader header = MakeHeader(draft);
    const Scaled format = DocumentFormatVersion(header);
    const bool wide = HasWideSettings(header);
    const BodyScheme scheme = BodySchemeOf(format);

    std::vector<std::int32_t> offsets, sizes;
    QByteArray pictures;  // as stored: in the body (1.x) or after the stream
    for (const AlbumPage& page : draft.pages) {
        const QByteArray stored = scheme == BodyScheme::CompressedPictures
                                      ? Deflate(page.picture, draft.zlibLevel)
                                      : page.picture;
        offsets.push_back(std::int32_t(pictures.size()));
        sizes.push_back(std::int32_t(page.picture.size()));
        pictures += stored;
    }

    if (scheme == BodyScheme::WholeBody) {
        const std::int32_t base = std::int32_t(IndexPartSize(draft, wide));
        for (std::int32_t& o : offsets)
            o += base;
        const QByteArray body = IndexPart(draft, wide, offsets, sizes) + pictures;
        header.pageBase = draft.bodyLengthOverride.value_or(std::int32_t(body.size()));
        return header.Serialize() + Deflate(body, draft.zlibLevel);
    }
    const QByteArray stream = Deflate(IndexPart(draft, wide, offsets, sizes), draft.zlibLevel);
    header.pageBase = std::int32_t(kHeaderSize + stream.size() + draft.pictureGap);
    return header.Serialize() + stream + QByteArray(draft.pictureGap, '\0') + pictures;
}

bool WriteAlbumFile(const QString& path, const AlbumDraft& draft, QString* error) {
    QFile file(path);
    AlbumDraft named = draft;
    named.nineByteRecords = HasPxaExtension(path);
    const QByteArray bytes = WriteAlbum(named);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

TAlbumSettings DefaultSettings() {
    TAlbumSettings s;
    s.created = 46000.5;  // 2025-12-09 12:00
    s.paperCode = 9;      // DMPAPER_A4
    s.paperWidth = 210;
    s.paperHeight = 297;
    return s;
}
