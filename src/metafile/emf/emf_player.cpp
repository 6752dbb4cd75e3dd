// Decodes EMF records into device-context calls.
#include "metafile/emf/emf_player.h"

#include <cmath>

#include "core/cp932.h"
#include "metafile/byte_reader.h"
#include "metafile/emf/emf_decoder.h"
#include "metafile/emf/emf_records.h"

namespace mf {

namespace {

// A source rectangle as a record gives it, kept within a range where no
// coordinate arithmetic can overflow (bitmaps are far smaller anyway).
QRect SourceRect(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
    constexpr std::int64_t kLimit = std::int64_t(1) << 28;
    if (w < 0) x += w, w = -w;
    if (h < 0) y += h, h = -h;
    return QRect(int(std::clamp(x, -kLimit, kLimit)), int(std::clamp(y, -kLimit, kLimit)),
                 int(std::min(w, kLimit)), int(std::min(h, kLimit)));
}

// A RGNDATA as a path of its rectangles (reference-device pixels).
std::optional<QPainterPath> ReadRegion(const ByteReader& r, std::size_t off, std::uint32_t size) {
    const ByteReader rgn = r.sub(off, size);
    if (!r.ok() || !rgn.has(0, 32)) return std::nullopt;
    const std::uint32_t count = rgn.u32(8);
    if (!rgn.hasArray(32, count, 16)) return std::nullopt;
    QPainterPath p;
    p.setFillRule(Qt::WindingFill);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t o = 32 + std::size_t(i) * 16;
        const QRectF rect(QPointF(rgn.i32(o), rgn.i32(o + 4)),
                          QPointF(rgn.i32(o + 8), rgn.i32(o + 12)));
        if (rect.width() > 0 && rect.height() > 0) p.addRect(rect);
    }
    return p;
}

// A DIB stored in the record at the given offsets.
std::optional<DibView> ReadDib(const ByteReader& r, std::uint32_t offBmi, std::uint32_t cbBmi,
                               std::uint32_t offBits, std::uint32_t cbBits, std::uint32_t usage) {
    if (cbBmi == 0 || !r.has(offBmi, cbBmi) || !r.has(offBits, cbBits)) return std::nullopt;
    return ParseDib(r.data() + offBmi, cbBmi, r.data() + offBits, cbBits, usage);
}

LogFont ReadLogFont(const ByteReader& r, std::size_t off) {
    LogFont f;
    f.height = r.i32(off);
    f.width = r.i32(off + 4);
    f.escapement = r.i32(off + 8);
    f.orientation = r.i32(off + 12);
    f.weight = r.i32(off + 16);
    f.italic = r.u8(off + 20) != 0;
    f.underline = r.u8(off + 21) != 0;
    f.strikeOut = r.u8(off + 22) != 0;
    f.charSet = r.u8(off + 23);
    f.pitchAndFamily = r.u8(off + 27);
    QString face;
    for (std::size_t i = 0; i < 32 && r.has(off + 28 + i * 2, 2); ++i) {
        const char16_t c = r.u16(off + 28 + i * 2);
        if (c == 0) break;
        face += QChar(c);
    }
    f.faceName = face;
    return f;
}

class Player {
public:
    Player(const EmfDocument& doc, DeviceContext& dc) : doc_(doc), dc_(dc) {}

    void Run() {
        const ByteReader file(reinterpret_cast<const std::uint8_t*>(doc_.bytes.constData()),
                              std::min(std::size_t(doc_.bytes.size()), doc_.end));
        EmfRecordWalker walk(file, doc_.firstRecord);
        EmfRecordView r;
        while (walk.Next(&r) && r.type != emr::Eof)
            Record(r.type, r);
    }

private:
    void Record(std::uint32_t type, const ByteReader& r);
    void Poly(std::uint32_t type, const ByteReader& r, bool small);
    void PolyPoly(std::uint32_t type, const ByteReader& r, bool small);
    void Text(const ByteReader& r, std::size_t emrText, bool wide);
    void SmallText(const ByteReader& r);
    void Blt(std::uint32_t type, const ByteReader& r);
    void StretchDib(const ByteReader& r);
    void DibToDevice(const ByteReader& r);
    void Pen(const ByteReader& r);
    void ExtPen(const ByteReader& r);
    void PatternBrush(const ByteReader& r, bool mono);
    void Gradient(const ByteReader& r);
    void Palette(const ByteReader& r);
    QString DecodeAnsi(const ByteReader& r, std::size_t off, std::uint32_t count,
                       const std::vector<double>& dxIn, bool pairs, std::vector<double>* dxOut);

    const EmfDocument& doc_;
    DeviceContext& dc_;
};

void Player::Record(std::uint32_t type, const ByteReader& r) {
    // Records the player leaves out, and those too short for what it reads
    // first, draw nothing.
    if (EmfRecordUse(type, r.size()) != RecordUse::Played) return;
    switch (type) {
        case emr::PolyBezier:
        case emr::Polygon:
        case emr::Polyline:
        case emr::PolyBezierTo:
        case emr::PolyLineTo:
            return Poly(type, r, false);
        case emr::PolyBezier16:
        case emr::Polygon16:
        case emr::Polyline16:
        case emr::PolyBezierTo16:
        case emr::PolylineTo16:
            return Poly(type, r, true);
        case emr::PolyPolyline:
        case emr::PolyPolygon:
            return PolyPoly(type, r, false);
        case emr::PolyPolyline16:
        case emr::PolyPolygon16:
            return PolyPoly(type, r, true);
        case emr::PolyDraw:
        case emr::PolyDraw16: {
            const bool small = type == emr::PolyDraw16;
            const std::uint32_t count = r.u32(24);
            QPolygonF pts;
            if (!ReadPoints(r, 28, count, small, &pts)) return;
            const std::size_t typesAt = 28 + std::size_t(count) * (small ? 4 : 8);
            if (!r.hasArray(typesAt, count, 1)) return;
            std::vector<std::uint8_t> types(count);
            for (std::uint32_t i = 0; i < count; ++i)
                types[i] = r.u8(typesAt + i);
            return dc_.PolyDraw(pts, types);
        }
        case emr::SetWindowExtEx:
            return dc_.SetWindowExt(r.i32(8), r.i32(12));
        case emr::SetWindowOrgEx:
            return dc_.SetWindowOrg(r.i32(8), r.i32(12));
        case emr::SetViewportExtEx:
            return dc_.SetViewportExt(r.i32(8), r.i32(12));
        case emr::SetViewportOrgEx:
            return dc_.SetViewportOrg(r.i32(8), r.i32(12));
        case emr::SetPixelV:
            return dc_.SetPixel(ReadPointL(r, 8), dc_.color(r.u32(16)));
        case emr::SetMapMode:
            return dc_.SetMapMode(r.i32(8));
        case emr::SetBkMode:
            return dc_.SetBkMode(r.i32(8));
        case emr::SetPolyFillMode:
            return dc_.SetPolyFillMode(r.i32(8));
        case emr::SetRop2:
            return dc_.SetRop2(r.i32(8));
        case emr::SetStretchBltMode:
            return dc_.SetStretchMode(r.i32(8));
        case emr::SetTextAlign:
            return dc_.SetTextAlign(r.u32(8));
        case emr::SetTextColor:
            return dc_.SetTextColor(dc_.color(r.u32(8)));
        case emr::SetBkColor:
            return dc_.SetBkColor(dc_.color(r.u32(8)));
        case emr::OffsetClipRgn:
            return dc_.OffsetClip(r.i32(8), r.i32(12));
        case emr::MoveToEx:
            return dc_.MoveTo(ReadPointL(r, 8));
        case emr::SetMetaRgn:
            return dc_.SetMetaRegion();
        case emr::ExcludeClipRect:
            return dc_.ExcludeClipRect(ReadRectL(r, 8));
        case emr::IntersectClipRect:
            return dc_.IntersectClipRect(ReadRectL(r, 8));
        case emr::ScaleViewportExtEx:
            return dc_.ScaleViewportExt(r.i32(8), r.i32(12), r.i32(16), r.i32(20));
        case emr::ScaleWindowExtEx:
            return dc_.ScaleWindowExt(r.i32(8), r.i32(12), r.i32(16), r.i32(20));
        case emr::SaveDc:
            return dc_.SaveDc();
        case emr::RestoreDc:
            return dc_.RestoreDc(r.i32(8));
        case emr::SetWorldTransform:
            return dc_.SetWorldTransform(ReadXform(r, 8));
        case emr::ModifyWorldTransform:
            return dc_.ModifyWorldTransform(ReadXform(r, 8), int(r.u32(32)));
        case emr::SelectObject:
            return dc_.SelectObject(r.u32(8));
        case emr::DeleteObject:
            return dc_.DeleteObject(r.u32(8));
        case emr::CreatePen:
            return Pen(r);
        case emr::ExtCreatePen:
            return ExtPen(r);
        case emr::CreateBrushIndirect: {
            LogBrush b;
            b.style = r.u32(12);
            b.color = dc_.color(r.u32(16));
            b.hatch = r.u32(20);
            if (b.style != kBsSolid && b.style != kBsNull && b.style != kBsHatched)
                b.style = kBsSolid;
            return dc_.CreateObject(r.u32(8), b);
        }
        case emr::CreateMonoBrush:
            return PatternBrush(r, true);
        case emr::CreateDibPatternBrushPt:
            return PatternBrush(r, false);
        case emr::ExtCreateFontIndirectW: {
            LogFont f = ReadLogFont(r, 12);
            return dc_.CreateObject(r.u32(8), f);
        }
        case emr::CreatePalette:
            return Palette(r);
        case emr::SelectPalette:
            return dc_.SelectPalette(r.u32(8));
        case emr::AngleArc:
            return dc_.AngleArc(ReadPointL(r, 8), r.u32(16), r.f32(20), r.f32(24));
        case emr::Ellipse:
            return dc_.Ellipse(ReadRectL(r, 8));
        case emr::Rectangle:
            return dc_.Rectangle(ReadRectL(r, 8));
        case emr::RoundRect:
            return dc_.RoundRect(ReadRectL(r, 8), QSizeF(r.i32(24), r.i32(28)));
        case emr::Arc:
        case emr::ArcTo:
        case emr::Chord:
        case emr::Pie: {
            const auto kind = type == emr::Arc     ? DeviceContext::ArcKind::Arc
                              : type == emr::ArcTo ? DeviceContext::ArcKind::ArcTo
                              : type == emr::Chord ? DeviceContext::ArcKind::Chord
                                                   : DeviceContext::ArcKind::Pie;
            return dc_.Arc(ReadRectL(r, 8), ReadPointL(r, 24), ReadPointL(r, 32), kind);
        }
        case emr::LineTo:
            return dc_.LineTo(ReadPointL(r, 8));
        case emr::SetArcDirection:
            return dc_.SetArcDirection(r.i32(8));
        case emr::SetMiterLimit:
            return dc_.SetMiterLimit(std::clamp(double(r.u32(8)), 1.0, 100.0));
        case emr::BeginPath:
            return dc_.BeginPath();
        case emr::EndPath:
            return dc_.EndPath();
        case emr::CloseFigure:
            return dc_.CloseFigure();
        case emr::FillPath:
            return dc_.FillPath();
        case emr::StrokeAndFillPath:
            return dc_.StrokeAndFillPath();
        case emr::StrokePath:
            return dc_.StrokePath();
        case emr::FlattenPath:
            return dc_.FlattenPath();
        case emr::WidenPath:
            return dc_.WidenPath();
        case emr::SelectClipPath:
            return dc_.SelectClipPath(r.i32(8));
        case emr::AbortPath:
            return dc_.AbortPath();
        case emr::FillRgn: {
            const LogBrush* brush = dc_.brushAt(r.u32(28));
            auto rgn = ReadRegion(r, 32, r.u32(24));
            if (brush && rgn) dc_.FillRegion(*rgn, *brush);
            return;
        }
        case emr::FrameRgn: {
            const LogBrush* brush = dc_.brushAt(r.u32(28));
            auto rgn = ReadRegion(r, 40, r.u32(24));
            if (brush && rgn) dc_.FrameRegion(*rgn, *brush, r.i32(32), r.i32(36));
            return;
        }
        case emr::InvertRgn:
        case emr::PaintRgn: {
            auto rgn = ReadRegion(r, 28, r.u32(24));
            if (!rgn) return;
            return type == emr::InvertRgn ? dc_.InvertRegion(*rgn) : dc_.PaintRegion(*rgn);
        }
        case emr::ExtSelectClipRgn: {
            const std::uint32_t cb = r.u32(8);
            const int mode = r.i32(12);
            if (cb == 0) return dc_.SelectClipRegion(std::nullopt, mode);
            auto rgn = ReadRegion(r, 16, cb);
            if (rgn) dc_.SelectClipRegion(rgn, mode);
            return;
        }
        case emr::BitBlt:
        case emr::StretchBlt:
        case emr::MaskBlt:
        case emr::PlgBlt:
        case emr::AlphaBlend:
        case emr::TransparentBlt:
            return Blt(type, r);
        case emr::StretchDiBits:
            return StretchDib(r);
        case emr::SetDiBitsToDevice:
            return DibToDevice(r);
        case emr::ExtTextOutA:
        case emr::ExtTextOutW:
            return Text(r, 36, type == emr::ExtTextOutW);
        case emr::PolyTextOutA:
        case emr::PolyTextOutW: {
            const std::uint32_t count = r.u32(36);
            if (!r.hasArray(40, count, 40)) return;
            for (std::uint32_t i = 0; i < count; ++i)
                Text(r, 40 + std::size_t(i) * 40, type == emr::PolyTextOutW);
            return;
        }
        case emr::SmallTextOut:
            return SmallText(r);
        case emr::GradientFill:
            return Gradient(r);
        default:
            return;  // comments (EMF+ among them), palettes, colour management
    }
}

void Player::Poly(std::uint32_t type, const ByteReader& r, bool small) {
    if (r.size() < 28) return;
    QPolygonF pts;
    if (!ReadPoints(r, 28, r.u32(24), small, &pts)) return;
    switch (type) {
        case emr::PolyBezier:
        case emr::PolyBezier16:
            return dc_.PolyBezier(pts);
        case emr::Polygon:
        case emr::Polygon16:
            return dc_.Polygon(pts);
        case emr::Polyline:
        case emr::Polyline16:
            return dc_.Polyline(pts);
        case emr::PolyBezierTo:
        case emr::PolyBezierTo16:
            return dc_.PolyBezierTo(pts);
        default:
            return dc_.PolylineTo(pts);
    }
}

void Player::PolyPoly(std::uint32_t type, const ByteReader& r, bool small) {
    std::vector<QPolygonF> list;
    if (!ReadPolyPolygons(r, small, &list)) return;
    if (type == emr::PolyPolygon || type == emr::PolyPolygon16)
        dc_.PolyPolygon(list);
    else
        dc_.PolyPolyline(list);
}

void Player::Pen(const ByteReader& r) {
    LogPen p;
    p.style = r.u32(12) & 0xF;
    p.width = r.i32(16);
    if (p.width < 0) p.width = -p.width;
    p.color = dc_.color(r.u32(24));
    dc_.CreateObject(r.u32(8), p);
}

void Player::ExtPen(const ByteReader& r) {
    LogPen p;
    p.style = r.u32(28);
    p.width = r.u32(32);
    const std::uint32_t brushStyle = r.u32(36);
    p.color = dc_.color(r.u32(40));
    const std::uint32_t entries = r.u32(48);
    // A null style is a null pen whatever its width and brush.
    if ((p.style & kPsStyleMask) == kPsNull) {
        p.style = kPsNull;
        p.width = 0;
        dc_.CreateObject(r.u32(8), p);
        return;
    }
    // A pen ExtCreatePen refuses leaves the slot empty: selecting it keeps
    // the current pen.
    if (!ExtPenAccepted(p.style, r.u32(32), brushStyle, entries)) return;
    if ((p.style & kPsStyleMask) == kPsUserStyle && r.hasArray(52, entries, 4)) {
        for (std::uint32_t i = 0; i < entries && i < 64; ++i) {
            const double d = r.u32(52 + std::size_t(i) * 4);
            // Geometric pens measure dashes in logical units; the output
            // measures them in pen widths.
            p.dashes.push_back(p.isGeometric() && p.width > 0 ? d / p.width : d);
        }
    }
    if (!p.isGeometric()) p.width = 0;
    if (brushStyle == kBsHatched) {
        p.hasBrush = true;
        p.brush.style = kBsHatched;
        p.brush.color = p.color;
        p.brush.hatch = r.u32(44);
    } else if (brushStyle == kBsNull) {
        p.style = (p.style & ~std::uint32_t(kPsStyleMask)) | kPsNull;
    } else if (brushStyle == kBsDibPattern || brushStyle == kBsDibPatternPt ||
               brushStyle == kBsPattern) {
        if (auto dib = ReadDib(r, r.u32(12), r.u32(16), r.u32(20), r.u32(24), r.u32(44))) {
            p.hasBrush = true;
            p.brush.style = kBsDibPattern;
            p.brush.pattern = DecodeDib(*dib);
        }
    }
    dc_.CreateObject(r.u32(8), p);
}

void Player::PatternBrush(const ByteReader& r, bool mono) {
    const std::uint32_t usage = r.u32(12);
    auto dib = ReadDib(r, r.u32(16), r.u32(20), r.u32(24), r.u32(28), usage);
    LogBrush b;
    b.style = kBsDibPattern;
    b.color = Qt::black;
    if (dib && std::int64_t(dib->width) * dib->height <= 4096 * 4096) {
        b.pattern = DecodeDib(*dib);
        // Only a monochrome brush takes the text and background colours; a
        // DIB pattern keeps its own colour table.
        b.monoPattern = mono;
    }
    dc_.CreateObject(r.u32(8), b);
}

QString Player::DecodeAnsi(const ByteReader& r, std::size_t off, std::uint32_t count,
                           const std::vector<double>& dxIn, bool pairs,
                           std::vector<double>* dxOut) {
    QString text;
    dxOut->clear();
    const bool sjis = dc_.font().charSet == int(kShiftJisCharset);
    const std::size_t step = pairs ? 2 : 1;
    const bool haveDx = dxIn.size() >= std::size_t(count) * step;
    // The advances of the bytes of one character add up to its advance.
    auto advance = [&](std::uint32_t first, std::uint32_t bytes) {
        if (!haveDx) return;
        for (std::size_t k = 0; k < step; ++k) {
            double sum = 0;
            for (std::uint32_t b = 0; b < bytes; ++b)
                sum += dxIn[(first + b) * step + k];
            dxOut->push_back(sum);
        }
    };
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t b = r.u8(off + i);
        const bool lead =
            sjis && ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) && i + 1 < count;
        if (lead) {
            const char pair[2] = {char(b), char(r.u8(off + i + 1))};
            text += SjisToUnicode(QByteArray(pair, 2));
            advance(i, 2);
            ++i;
        } else {
            if (sjis && b >= 0xA1 && b <= 0xDF)
                text += SjisToUnicode(QByteArray(1, char(b)));
            else
                text += QChar(b);
            advance(i, 1);
        }
    }
    return text;
}

void Player::Text(const ByteReader& r, std::size_t at, bool wide) {
    EmrText t;
    if (!ReadEmrText(r, at, &t)) return;
    DeviceContext::TextCall call;
    call.reference = t.reference;
    call.options = t.options;
    call.rect = t.rect;
    call.dxHasY = t.dxHasY;
    const std::uint32_t count = t.chars;
    const std::uint32_t offString = t.offString;
    if (count > 0x100000 || !r.hasArray(offString, count, wide ? 2 : 1)) {
        if (call.rect) {
            call.text.clear();
            dc_.ExtTextOut(call);
        }
        return;
    }
    std::vector<double> dx = ReadAdvances(r, t);
    if (wide) {
        call.text.resize(qsizetype(count));
        for (std::uint32_t i = 0; i < count; ++i)
            call.text[i] = QChar(r.u16(offString + i * 2));
        call.dx = std::move(dx);
    } else {
        call.text = DecodeAnsi(r, offString, count, dx, call.dxHasY, &call.dx);
    }
    dc_.ExtTextOut(call);
}

void Player::SmallText(const ByteReader& r) {
    DeviceContext::TextCall call;
    call.reference = ReadPointL(r, 8);
    const std::uint32_t count = r.u32(16);
    call.options = r.u32(20);
    std::size_t at = 36;
    if (!(call.options & kEtoNoRect)) {
        call.rect = ReadRectL(r, 36);
        at += 16;
    }
    const bool small = (call.options & kEtoSmallChars) != 0;
    if (count > 0x100000 || !r.hasArray(at, count, small ? 1 : 2)) return;
    for (std::uint32_t i = 0; i < count; ++i)
        call.text += small ? QChar(r.u8(at + i)) : QChar(r.u16(at + i * 2));
    call.options &= ~(kEtoSmallChars | kEtoNoRect);
    dc_.ExtTextOut(call);
}

void Player::Blt(std::uint32_t type, const ByteReader& r) {
    DeviceContext::BitmapCall call;
    std::size_t src;  // where xSrc, ySrc, xformSrc ... begin
    if (type == emr::PlgBlt) {
        if (r.size() < 140) return;
        src = 48;
    } else {
        if (r.size() < 100) return;
        call.dest = QRectF(r.i32(24), r.i32(28), r.i32(32), r.i32(36));
        call.rop = r.u32(40);
        src = 44;
    }
    const int xSrc = r.i32(src), ySrc = r.i32(src + 4);
    std::size_t bmi;  // iUsageSrc, offBmiSrc, cbBmiSrc, offBitsSrc, cbBitsSrc
    int cxSrc = int(call.dest.width()), cySrc = int(call.dest.height());
    if (type == emr::PlgBlt) {
        cxSrc = r.i32(56);
        cySrc = r.i32(60);
        bmi = 92;
    } else {
        bmi = 80;
    }
    if (type == emr::StretchBlt || type == emr::AlphaBlend || type == emr::TransparentBlt) {
        if (r.size() < 108) return;
        cxSrc = r.i32(100);
        cySrc = r.i32(104);
    }
    const std::uint32_t usage = r.u32(bmi);
    std::optional<DibView> dib =
        ReadDib(r, r.u32(bmi + 4), r.u32(bmi + 8), r.u32(bmi + 12), r.u32(bmi + 16), usage);
    if (dib) {
        call.dib = &*dib;
        // The source is a memory DC: y runs from the top.
        call.src = SourceRect(xSrc, ySrc, cxSrc, cySrc);
    } else if (r.u32(bmi + 8) != 0) {
        return;  // a bitmap was meant but is unusable
    }
    std::optional<DibView> mask;
    if (type == emr::MaskBlt && r.size() >= 128) {
        mask = ReadDib(r, r.u32(112), r.u32(116), r.u32(120), r.u32(124), r.u32(108));
        if (mask) {
            call.mask = &*mask;
            call.maskOrigin = SourceRect(r.i32(100), r.i32(104), 0, 0).topLeft();
            call.rop &= 0x00FFFFFF;
        }
    }
    if (type == emr::AlphaBlend) {
        call.alphaBlend = true;
        call.constantAlpha = r.u8(42);
        call.sourceAlpha = (r.u8(43) & 1) != 0;
        call.rop = 0xCC0020;
        if (dib && !call.sourceAlpha) dib->hasAlpha = false;
        if (dib && call.sourceAlpha && dib->bitCount == 32) {
            // AlphaBlend takes the fourth byte as alpha whatever the bit
            // fields say.
            dib->hasAlpha = true;
            if (dib->masks[3] == 0 &&
                ((dib->masks[0] | dib->masks[1] | dib->masks[2]) & 0xFF000000u) == 0)
                dib->masks[3] = 0xFF000000u;
        }
    } else if (type == emr::TransparentBlt) {
        call.transparent = dc_.color(r.u32(40));
        call.rop = 0xCC0020;
    }
    if (type == emr::PlgBlt) {
        // Parallelogram: upper-left, upper-right, lower-left corners.
        const QPointF a = ReadPointL(r, 24), b = ReadPointL(r, 32), c = ReadPointL(r, 40);
        if (!dib) return;
        call.dest = QRectF(0, 0, 1, 1);
        const QTransform unit(b.x() - a.x(), b.y() - a.y(), c.x() - a.x(), c.y() - a.y(), a.x(),
                              a.y());
        dc_.SaveDc();
        dc_.ModifyWorldTransform(unit, 2);
        dc_.Bitmap(call);
        dc_.RestoreDc(-1);
        return;
    }
    dc_.Bitmap(call);
}

void Player::StretchDib(const ByteReader& r) {
    DeviceContext::BitmapCall call;
    call.dest = QRectF(r.i32(24), r.i32(28), r.i32(72), r.i32(76));
    call.rop = r.u32(68);
    const std::uint32_t usage = r.u32(64);
    std::optional<DibView> dib = ReadDib(r, r.u32(48), r.u32(52), r.u32(56), r.u32(60), usage);
    if (!dib) {
        if (r.u32(52) == 0) dc_.Bitmap(call);  // raster operation without a bitmap
        return;
    }
    const int xSrc = r.i32(32), ySrc = r.i32(36), cxSrc = r.i32(40), cySrc = r.i32(44);
    // StretchDIBits measures the source from the bitmap's first stored row,
    // which is the bottom one for a bottom-up DIB.
    const std::int64_t top =
        dib->topDown ? std::int64_t(ySrc) : std::int64_t(dib->height) - ySrc - cySrc;
    call.src = SourceRect(xSrc, top, cxSrc, cySrc);
    call.dib = &*dib;
    dc_.Bitmap(call);
}

void Player::DibToDevice(const ByteReader& r) {
    const std::uint32_t offBmi = r.u32(48), cbBmi = r.u32(52);
    const std::uint32_t startScan = r.u32(68), scans = r.u32(72);
    if (cbBmi < 12 || !r.has(offBmi, cbBmi)) return;
    // The record holds only `scans` rows from `startScan`: describe just
    // those to the decoder.
    QByteArray info(reinterpret_cast<const char*>(r.data() + offBmi), qsizetype(cbBmi));
    ByteReader ir(reinterpret_cast<const std::uint8_t*>(info.constData()),
                  std::size_t(info.size()));
    const bool core = ir.u32(0) == 12;
    const std::int64_t height = core ? std::int64_t(ir.u16(6)) : std::int64_t(ir.i32(8));
    const bool topDown = height < 0;
    if (scans == 0 || scans > 0x100000) return;
    const std::int32_t h = topDown ? -std::int32_t(scans) : std::int32_t(scans);
    if (core) {
        info[6] = char(scans & 0xFF);
        info[7] = char((scans >> 8) & 0xFF);
    } else {
        for (int i = 0; i < 4; ++i)
            info[8 + i] = char((std::uint32_t(h) >> (8 * i)) & 0xFF);
    }
    const std::uint32_t offBits = r.u32(56), cbBits = r.u32(60);
    if (!r.has(offBits, cbBits)) return;
    std::optional<DibView> dib =
        ParseDib(reinterpret_cast<const std::uint8_t*>(info.constData()), std::size_t(info.size()),
                 r.data() + offBits, cbBits, r.u32(64));
    if (!dib) return;
    const int xSrc = r.i32(32), ySrc = r.i32(36), cxSrc = r.i32(40), cySrc = r.i32(44);
    DeviceContext::BitmapCall call;
    call.dest = QRectF(r.i32(24), r.i32(28), cxSrc, cySrc);
    // Source y counts from the bottom of the whole bitmap; this slice begins
    // `startScan` rows up.
    const std::int64_t fromBottom = std::int64_t(ySrc) - std::int64_t(startScan);
    const std::int64_t top = dib->topDown ? std::int64_t(ySrc) - startScan
                                          : std::int64_t(dib->height) - fromBottom - cySrc;
    call.src = SourceRect(xSrc, top, cxSrc, cySrc);
    call.dib = &*dib;
    dc_.Bitmap(call);
}

void Player::Palette(const ByteReader& r) {
    LogPalette pal;
    const std::uint32_t count = r.u16(14);
    if (!r.hasArray(16, count, 4)) return;
    pal.entries.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t o = 16 + std::size_t(i) * 4;
        pal.entries.push_back(qRgb(r.u8(o), r.u8(o + 1), r.u8(o + 2)));
    }
    dc_.CreateObject(r.u32(8), pal);
}

void Player::Gradient(const ByteReader& r) {
    const std::uint32_t vertices = r.u32(24), items = r.u32(28), mode = r.u32(32);
    if (!r.hasArray(36, vertices, 16)) return;
    const std::size_t itemsAt = 36 + std::size_t(vertices) * 16;
    auto vertex = [&](std::uint32_t i, QPointF* p, QColor* c) {
        if (i >= vertices) return false;
        const std::size_t o = 36 + std::size_t(i) * 16;
        *p = ReadPointL(r, o);
        *c = QColor(r.u16(o + 8) >> 8, r.u16(o + 10) >> 8, r.u16(o + 12) >> 8);
        return true;
    };
    if (mode == kGradientFillTriangle) {
        if (!r.hasArray(itemsAt, items, 12)) return;
        for (std::uint32_t i = 0; i < items; ++i) {
            QPointF p[3];
            QColor c[3];
            bool ok = true;
            for (int k = 0; k < 3; ++k)
                ok = ok && vertex(r.u32(itemsAt + i * 12 + std::size_t(k) * 4), &p[k], &c[k]);
            if (ok) dc_.GradientTriangle(QPolygonF({p[0], p[1], p[2]}), c[0], c[1], c[2]);
        }
    } else if (mode == kGradientFillRectH || mode == kGradientFillRectV) {
        if (!r.hasArray(itemsAt, items, 8)) return;
        for (std::uint32_t i = 0; i < items; ++i) {
            QPointF a, b;
            QColor ca, cb;
            if (vertex(r.u32(itemsAt + i * 8), &a, &ca) &&
                vertex(r.u32(itemsAt + i * 8 + 4), &b, &cb))
                dc_.GradientRect(QRectF(a, b), ca, cb, mode == kGradientFillRectV);
        }
    }
}

}  // namespace

void PlayEmf(const EmfDocument& doc, DeviceContext& dc) {
    Player(doc, dc).Run();
}

DeviceSetup SetupFor(const EmfDocument& doc, const QRectF& target,
                     const QTransform& deviceTransform, const QRectF& deviceBounds) {
    DeviceSetup s;
    const QRectF frame = doc.frameInPixels();
    const double fw = frame.width() > 0 ? frame.width() : 1;
    const double fh = frame.height() > 0 ? frame.height() : 1;
    const QTransform stretch = QTransform::fromTranslate(-frame.left(), -frame.top()) *
                               QTransform::fromScale(target.width() / fw, target.height() / fh) *
                               QTransform::fromTranslate(target.left(), target.top());
    s.refToDevice = stretch * deviceTransform;
    s.refPxPerMmX = doc.pxPerMmX();
    s.refPxPerMmY = doc.pxPerMmY();
    s.deviceBounds = deviceBounds;
    s.objectSlots = doc.handles;
    return s;
}

}  // namespace mf
