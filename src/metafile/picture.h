#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QPainter;
class QTransform;

namespace mf {

// How a buffer looks at first sight (the page-picture test of the album format).
enum class PictureFormat { Emf, PlaceableWmf, PlainWmf, Invalid };

// EMF: longer than 100 bytes, first dword 1, " EMF" at offset 40. Placeable WMF:
// key 0x9AC6CDD7 and a valid header checksum. PlainWmf: a WMF header without
// the placeable one (accepted by the tool, not as an album page).
PictureFormat DetectPictureFormat(const char* data, qsizetype size);
inline PictureFormat DetectPictureFormat(const QByteArray& b) {
    return DetectPictureFormat(b.constData(), b.size());
}

// The installed family a Windows face is drawn with; an unknown face goes by
// its character set and pitch and family.
QString FontFamilyFor(const QString& face, int charSet, int pitchAndFamily);
// The installed family that stands in for a Windows face by name, if the
// face is one of those mapped.
std::optional<QString> FontStandInFor(const QString& face);

struct ParsedPicture;  // records decoded once, shared by every draw
class DrawOutput;

// One page picture: the bytes it was loaded from, parsed once; drawn as often
// as needed. Copies share the parsed records.
class Picture {
public:
    enum class Kind { Emf, Wmf };

    // Loads an EMF or a placeable WMF; with `allowPlainWmf` also a WMF without
    // the placeable header. Returns nothing and sets `error` when the bytes are
    // not such a picture.
    static std::optional<Picture> Load(const QByteArray& bytes, QString* error = nullptr,
                                       bool allowPlainWmf = false);

    Kind kind() const;
    // Units per inch of the placeable header (96 for an EMF).
    int unitsPerInch() const;
    // Natural size in pixels: EMF frame at its reference device's resolution;
    // WMF bounding box at `screenPpi`.
    QSize naturalSize(int screenPpi = 96) const;
    // Frame in 0.01 mm.
    QSizeF frameHundredthsMm() const;

    // Stretches the picture over `target` (device coordinates of the painter's
    // current transform). Nothing is kept between draws.
    void Draw(QPainter& painter, const QRectF& target) const;
    // The same onto any output; `deviceTransform` maps `target`'s space to
    // the output's pixels, `deviceBounds` is the visible output area (empty:
    // the mapped target).
    void Play(DrawOutput& out, const QRectF& target, const QTransform& deviceTransform,
              const QRectF& deviceBounds = QRectF(), bool keepsImageResolution = false) const;

    // Records left out (unknown, damaged, or of a kind not drawn), one line
    // per format, type and reason with its count, e.g.
    // "EMF GdiComment (70) unsupported: 3".
    QStringList skippedRecords() const;

    // The bytes as loaded (EMF bits for an EMF).
    const QByteArray& bytes() const;
    // Written forms for page output.
    QByteArray ToEmf() const;
    QByteArray ToPlaceableWmf() const;
    // 24-bit BMP at natural size on white.
    QByteArray ToBmp(int screenPpi = 96) const;
    // Natural-size image on white.
    QImage ToImage(const QSize& size) const;

private:
    std::shared_ptr<const ParsedPicture> parsed_;
};

}  // namespace mf
