#include "metafile/convert/wmf_to_emf.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <vector>

#include "metafile/dc/dc_state.h"
#include "metafile/emf_writer.h"
#include "metafile/skipped_records.h"
#include "metafile/wmf/wmf_bitmaps.h"
#include "metafile/wmf/wmf_header.h"
#include "metafile/wmf/wmf_records.h"
#include "metafile/wmf/wmf_region.h"
#include "metafile/wmf/wmf_text.h"

namespace mf {

namespace {

using namespace wmf;

// One entry of the WMF object table. Regions have no EMF object: records that
// use them carry the region inline. A damaged create record still takes its
// slot (as a placeholder) so that later indexes keep meaning what the writer
// meant.
struct Slot {
    enum Kind { kFree, kObject, kRegion, kPlaceholder } kind = kFree;
    bool isFont = false;
    bool isPalette = false;
    std::uint8_t charset = 0;
    Region region;
    std::vector<std::uint32_t> palette;  // COLORREFs of a palette object
};

// The default palette's 20 static colours, which palette indexes name while
// the file has selected no palette of its own.
constexpr std::uint32_t kDefaultPalette[20] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000,
                                               0x800080, 0x808000, 0xC0C0C0, 0xC0DCC0, 0xF0CAA6,
                                               0xF0FBFF, 0xA4A0A0, 0x808080, 0x0000FF, 0x00FF00,
                                               0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

std::uint32_t ColorRefOf(const unsigned char* entry) {
    return entry[0] | (std::uint32_t(entry[1]) << 8) | (std::uint32_t(entry[2]) << 16);
}

// The part of the device context the conversion itself needs: the mapping
// (its origins for the relative records that EMF lacks), the font's
// character set for text.
struct DcState {
    Mapping mapping;
    std::uint8_t charset = kAnsiCharset;  // the stock System font
    int palette = -1;
};

class WmfConverter {
public:
    WmfConverter(const QByteArray& wmf, const Header& header, const WmfInfo& info,
                 SkippedRecords* skipped)
        : wmf_(wmf),
          header_(header),
          info_(info),
          skipped_(skipped),
          slots_(size_t(header.objectCount)) {
        const QSize px = info.naturalSize(kRefDevicePpi);
        framePx_ = px;
        const QSizeF hmm = info.frameHundredthsMm();
        frameHmm_ = QSize(int(std::lround(hmm.width())), int(std::lround(hmm.height())));
        // Output stops growing past this: regions used over and over could
        // otherwise multiply a small file into a huge one.
        budget_ = 16 * 1024 * 1024 + 8 * qint64(wmf.size());
    }

    QByteArray Run() {
        InitialMapping();
        RecordReader reader(wmf_, header_.firstRecord);
        Record r;
        while (reader.Next(r)) {
            Convert(r);
            if (written_ > budget_) break;
        }
        if (reader.stoppedAtDamage()) {
            const std::uint16_t f = reader.damagedFunction();
            Skipped(f, FunctionName(f), SkipReason::Damaged);
        }
        return out_.Finish(framePx_, frameHmm_);
    }

private:
    void Skipped(std::uint16_t function, const char* name, SkipReason why) {
        if (skipped_) skipped_->Note("WMF", function, name, why);
    }
    // A record too short for its parameters: left out, and counted.
    bool Short(const Record& r, qsizetype words) {
        if (r.words() >= words) return false;
        Skipped(r.function, FunctionName(r.function), SkipReason::Damaged);
        return true;
    }

    void Add(const EmfRecord& rec) {
        out_.Add(rec);
        written_ += 8 + rec.payload().size();
    }

    EmfRecord Simple(std::uint32_t type, std::uint32_t value) {
        EmfRecord rec(type);
        rec.u32(value);
        return rec;
    }

    EmfRecord& Bounds(EmfRecord& rec) {
        return rec.rect(0, 0, framePx_.width() - 1, framePx_.height() - 1);
    }

    void InitialMapping() {
        Add(Simple(emr::SetMapMode, kMmAnisotropic));
        const QRect& b = info_.bbox;
        EmfRecord org(emr::SetWindowOrgEx);
        Add(org.i32(b.x()).i32(b.y()));
        EmfRecord ext(emr::SetWindowExtEx);
        Add(ext.i32(b.width()).i32(b.height()));
        EmfRecord vorg(emr::SetViewportOrgEx);
        Add(vorg.i32(0).i32(0));
        EmfRecord vext(emr::SetViewportExtEx);
        Add(vext.i32(framePx_.width()).i32(framePx_.height()));
        dc_.mapping.SetMapMode(kMmAnisotropic);
        dc_.mapping.SetWindowOrg(b.x(), b.y());
    }

    // The lowest free slot, as GDI fills the table; -1 when it is full.
    int AllocateSlot() {
        for (size_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].kind == Slot::kFree) return int(i);
        return -1;
    }

    Slot* SlotAt(std::uint16_t index, Slot::Kind kind) {
        if (index >= slots_.size() || slots_[index].kind != kind) return nullptr;
        return &slots_[index];
    }

    // Takes a slot for a new object; the EMF handle is slot + 1.
    int NewObject() {
        const int slot = AllocateSlot();
        if (slot < 0) return -1;
        slots_[size_t(slot)] = Slot{};
        slots_[size_t(slot)].kind = Slot::kObject;
        out_.NoteHandle(std::uint32_t(slot + 1));
        return slot;
    }

    // Palette-index colours become the RGB of the palette selected now, as
    // the EMF player may not keep palettes; palette-relative RGB loses its flag.
    std::uint32_t Colour(std::uint32_t c) const {
        const std::uint32_t flag = c >> 24;
        if (flag == kColorRefPaletteRgb) return c & 0xFFFFFF;
        if (flag != kColorRefPaletteIndex) return c;
        const std::uint32_t index = c & 0xFFFF;
        const Slot* p = dc_.palette >= 0 ? &slots_[size_t(dc_.palette)] : nullptr;
        if (p && p->isPalette) {
            if (p->palette.empty()) return 0;
            return index < p->palette.size() ? p->palette[index] : p->palette[0];
        }
        return index < 20 ? kDefaultPalette[index] : 0;
    }

    void Convert(const Record& r);

    void CreatePen(const Record& r);
    void CreateBrush(const Record& r);
    void CreateFont(const Record& r);
    void CreatePalette(const Record& r);
    void CreateRegion(const Record& r);
    void DibPatternBrush(const Record& r);
    void PatternBrush(const Record& r);
    void AddPatternBrush(int slot, const DibParts& dib, bool mono, std::uint32_t usage);
    void SelectObject(const Record& r);
    void DeleteObject(const Record& r);
    void RestoreDc(const Record& r);
    void Poly(const Record& r, std::uint32_t type);
    void PolyPolygon(const Record& r);
    void Box(const Record& r, std::uint32_t type);
    void ArcLike(const Record& r, std::uint32_t type);
    void Text(const QByteArray& bytes, QPoint at, std::uint32_t options, const QRect* rect,
              const std::vector<std::int16_t>* dx);
    void TextOut(const Record& r);
    void ExtTextOut(const Record& r);
    void Blit(const Record& r);
    void StretchDib(const Record& r);
    void SetDibToDev(const Record& r);
    void RegionRecord(const Record& r);
    void SelectClip(const Region* region);

    const QByteArray& wmf_;
    Header header_;
    WmfInfo info_;
    SkippedRecords* skipped_;
    QSize framePx_, frameHmm_;
    EmfWriter out_;
    std::vector<Slot> slots_;
    DcState dc_;
    std::vector<DcState> saved_;
    qint64 written_ = 0, budget_ = 0;
};

void WmfConverter::Convert(const Record& r) {
    switch (r.function) {
        case kCreatePenIndirect:
            return CreatePen(r);
        case kCreateBrushIndirect:
            return CreateBrush(r);
        case kCreateFontIndirect:
            return CreateFont(r);
        case kCreatePalette:
            return CreatePalette(r);
        case kCreateRegion:
            return CreateRegion(r);
        case kDibCreatePatternBrush:
            return DibPatternBrush(r);
        case kCreatePatternBrush:
            return PatternBrush(r);
        case kSelectObject:
            return SelectObject(r);
        case kDeleteObject:
            return DeleteObject(r);
        case kSelectPalette:
            if (r.words() >= 1) {
                if (Slot* s = SlotAt(r.u(0), Slot::kObject); s && s->isPalette) {
                    Add(Simple(emr::SelectPalette, r.u(0) + 1u));
                    dc_.palette = r.u(0);
                }
            }
            return;
        case kRealizePalette: {
            EmfRecord rec(emr::RealizePalette);
            return Add(rec);
        }
        case kSetPalEntries: {
            // start, count, entries: applies to the selected palette.
            if (dc_.palette < 0 || r.words() < 2) return;
            const qsizetype count = r.u(1);
            if (r.words() < 2 + 2 * count || count == 0) return;
            EmfRecord rec(emr::SetPaletteEntries);
            rec.u32(std::uint32_t(dc_.palette + 1)).u32(r.u(0)).u32(std::uint32_t(count));
            rec.bytes(reinterpret_cast<const char*>(r.bytesAt(2)), 4 * count);
            auto& entries = slots_[size_t(dc_.palette)].palette;
            for (qsizetype i = 0; i < count; ++i) {
                const qsizetype at = qsizetype(r.u(0)) + i;
                if (at < qsizetype(entries.size()))
                    entries[size_t(at)] = ColorRefOf(r.bytesAt(2 + 2 * i));
            }
            return Add(rec);
        }

        case kSetBkMode:
            if (r.words() >= 1) Add(Simple(emr::SetBkMode, r.u(0)));
            return;
        case kSetMapMode:
            if (r.words() >= 1) Add(Simple(emr::SetMapMode, r.u(0)));
            return;
        case kSetRop2:
            if (r.words() >= 1) Add(Simple(emr::SetRop2, r.u(0)));
            return;
        case kSetPolyFillMode:
            if (r.words() >= 1) Add(Simple(emr::SetPolyFillMode, r.u(0)));
            return;
        case kSetStretchBltMode:
            if (r.words() >= 1) Add(Simple(emr::SetStretchBltMode, r.u(0)));
            return;
        case kSetTextAlign:
            if (r.words() >= 1) Add(Simple(emr::SetTextAlign, r.u(0)));
            return;
        case kSetMapperFlags:
            if (r.words() >= 2) Add(Simple(emr::SetMapperFlags, r.u32(0)));
            return;
        case kSetLayout:
            if (r.words() >= 1) Add(Simple(emr::SetLayout, r.words() >= 2 ? r.u32(0) : r.u(0)));
            return;
        case kSetBkColor:
            if (r.words() >= 2) Add(Simple(emr::SetBkColor, Colour(r.u32(0))));
            return;
        case kSetTextColor:
            if (r.words() >= 2) Add(Simple(emr::SetTextColor, Colour(r.u32(0))));
            return;

        case kSetWindowOrg:
        case kSetWindowExt:
        case kSetViewportOrg:
        case kSetViewportExt: {
            if (Short(r, 2)) return;
            const QPoint p(r.s(1), r.s(0));
            std::uint32_t type = emr::SetWindowOrgEx;
            if (r.function == kSetWindowOrg) dc_.mapping.SetWindowOrg(p.x(), p.y());
            if (r.function == kSetWindowExt) type = emr::SetWindowExtEx;
            if (r.function == kSetViewportOrg) {
                type = emr::SetViewportOrgEx;
                dc_.mapping.SetViewportOrg(p.x(), p.y());
            }
            if (r.function == kSetViewportExt) type = emr::SetViewportExtEx;
            EmfRecord rec(type);
            return Add(rec.point(p));
        }
        case kOffsetWindowOrg:
        case kOffsetViewportOrg: {
            // EMF has no offset records: the new origin is written instead.
            if (Short(r, 2)) return;
            const QPoint d(r.s(1), r.s(0));
            const bool window = r.function == kOffsetWindowOrg;
            const QPoint org =
                (window ? dc_.mapping.windowOrg() : dc_.mapping.viewportOrg()).toPoint() + d;
            if (window)
                dc_.mapping.SetWindowOrg(org.x(), org.y());
            else
                dc_.mapping.SetViewportOrg(org.x(), org.y());
            EmfRecord rec(window ? emr::SetWindowOrgEx : emr::SetViewportOrgEx);
            return Add(rec.point(org));
        }
        case kScaleWindowExt:
        case kScaleViewportExt: {
            // yDenom, yNum, xDenom, xNum
            if (r.words() < 4 || r.s(0) == 0 || r.s(2) == 0) return;
            EmfRecord rec(r.function == kScaleWindowExt ? emr::ScaleWindowExtEx
                                                        : emr::ScaleViewportExtEx);
            rec.i32(r.s(3)).i32(r.s(2)).i32(r.s(1)).i32(r.s(0));
            return Add(rec);
        }
        case kSaveDc: {
            saved_.push_back(dc_);
            EmfRecord rec(emr::SaveDc);
            return Add(rec);
        }
        case kRestoreDc:
            return RestoreDc(r);

        case kMoveTo:
        case kLineTo: {
            if (Short(r, 2)) return;
            EmfRecord rec(r.function == kMoveTo ? emr::MoveToEx : emr::LineTo);
            return Add(rec.i32(r.s(1)).i32(r.s(0)));
        }
        case kRectangle:
            return Box(r, emr::Rectangle);
        case kEllipse:
            return Box(r, emr::Ellipse);
        case kRoundRect: {
            // height, width, bottom, right, top, left
            if (Short(r, 6)) return;
            EmfRecord rec(emr::RoundRect);
            rec.rect(r.s(5), r.s(4), r.s(3), r.s(2)).i32(r.s(1)).i32(r.s(0));
            return Add(rec);
        }
        case kArc:
            return ArcLike(r, emr::Arc);
        case kChord:
            return ArcLike(r, emr::Chord);
        case kPie:
            return ArcLike(r, emr::Pie);
        case kPolygon:
            return Poly(r, emr::Polygon16);
        case kPolyline:
            return Poly(r, emr::Polyline16);
        case kPolyPolygon:
            return PolyPolygon(r);
        case kSetPixel: {
            // colour (2 words), y, x
            if (Short(r, 4)) return;
            EmfRecord rec(emr::SetPixelV);
            return Add(rec.i32(r.s(3)).i32(r.s(2)).u32(Colour(r.u32(0))));
        }
        case kFloodFill:
        case kExtFloodFill: {
            // [mode], colour (2 words), y, x
            const qsizetype m = r.function == kExtFloodFill ? 1 : 0;
            if (Short(r, 4 + m)) return;
            EmfRecord rec(emr::ExtFloodFill);
            rec.i32(r.s(m + 3)).i32(r.s(m + 2)).u32(Colour(r.u32(m))).u32(m ? r.u(0) : 0);
            return Add(rec);
        }
        case kPatBlt: {
            // rop (2 words), height, width, y, x
            if (Short(r, 6)) return;
            EmfRecord rec(emr::BitBlt);
            Bounds(rec).i32(r.s(5)).i32(r.s(4)).i32(r.s(3)).i32(r.s(2)).u32(r.u32(0));
            rec.i32(0).i32(0).f32(1).f32(0).f32(0).f32(1).f32(0).f32(0);
            rec.u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
            return Add(rec);
        }
        case kTextOut:
            return TextOut(r);
        case kExtTextOut:
            return ExtTextOut(r);
        case kBitBlt:
        case kStretchBlt:
        case kDibBitBlt:
        case kDibStretchBlt:
            return Blit(r);
        case kStretchDib:
            return StretchDib(r);
        case kSetDibToDev:
            return SetDibToDev(r);

        case kIntersectClipRect:
        case kExcludeClipRect: {
            if (Short(r, 4)) return;
            EmfRecord rec(r.function == kIntersectClipRect ? emr::IntersectClipRect
                                                           : emr::ExcludeClipRect);
            return Add(rec.rect(r.s(3), r.s(2), r.s(1), r.s(0)));
        }
        case kOffsetClipRgn: {
            if (Short(r, 2)) return;
            EmfRecord rec(emr::OffsetClipRgn);
            return Add(rec.i32(r.s(1)).i32(r.s(0)));
        }
        case kSelectClipRegion:
            if (r.words() >= 1) {
                const Slot* s = SlotAt(r.u(0), Slot::kRegion);
                SelectClip(s ? &s->region : nullptr);
            }
            return;
        case kFillRegion:
        case kFrameRegion:
        case kInvertRegion:
        case kPaintRegion:
            return RegionRecord(r);

        default:
            // Escapes, SetRelAbs, SetTextCharExtra, SetTextJustification and the
            // palette animation records have no EMF form that changes the page.
            if (const char* name = FunctionName(r.function))
                Skipped(r.function, name, SkipReason::Unsupported);
            else
                Skipped(r.function, nullptr, SkipReason::Unknown);
            return;
    }
}

void WmfConverter::CreatePen(const Record& r) {
    // style, width (x, y), colour (2 words)
    const int slot = NewObject();
    if (slot < 0) return;
    if (r.words() < 5) {
        slots_[size_t(slot)].kind = Slot::kPlaceholder;
        return;
    }
    EmfRecord rec(emr::CreatePen);
    rec.u32(std::uint32_t(slot + 1)).u32(r.u(0)).i32(r.s(1)).i32(0).u32(Colour(r.u32(3)));
    Add(rec);
}

void WmfConverter::CreateBrush(const Record& r) {
    // style, colour (2 words), hatch
    const int slot = NewObject();
    if (slot < 0) return;
    if (r.words() < 4) {
        slots_[size_t(slot)].kind = Slot::kPlaceholder;
        return;
    }
    std::uint32_t style = r.u(0);
    // Pattern styles need a bitmap this record cannot carry.
    if (style != kBsSolid && style != kBsNull && style != 2) style = kBsSolid;
    EmfRecord rec(emr::CreateBrushIndirect);
    rec.u32(std::uint32_t(slot + 1)).u32(style).u32(Colour(r.u32(1))).u32(r.u(3));
    Add(rec);
}

void WmfConverter::CreateFont(const Record& r) {
    // height, width, escapement, orientation, weight, then eight bytes
    // (italic, underline, strike-out, charset, out precision, clip precision,
    // quality, pitch and family), then the face name.
    const int slot = NewObject();
    if (slot < 0) return;
    Slot& s = slots_[size_t(slot)];
    if (r.words() < 9) {
        s.kind = Slot::kPlaceholder;
        return;
    }
    s.isFont = true;
    const unsigned char* b = r.bytesAt(5);
    s.charset = b[3];
    const qsizetype faceBytes = std::min<qsizetype>(r.bytesFrom(9), 32);
    const QString face =
        DecodeFaceName(QByteArray(reinterpret_cast<const char*>(r.bytesAt(9)), faceBytes),
                       s.charset)
            .left(31);
    EmfRecord rec(emr::ExtCreateFontIndirectW);
    rec.u32(std::uint32_t(slot + 1));
    for (int i = 0; i < 5; ++i)
        rec.i32(r.s(i));
    for (int i = 0; i < 8; ++i)
        rec.u8(b[i]);
    for (int i = 0; i < 32; ++i)
        rec.u16(i < face.size() ? face[i].unicode() : 0);
    Add(rec);
}

void WmfConverter::CreatePalette(const Record& r) {
    // start (0x0300), count, entries
    const int slot = NewObject();
    if (slot < 0) return;
    const qsizetype count = r.u(1);
    if (r.words() < 2 || r.words() < 2 + 2 * count) {
        slots_[size_t(slot)].kind = Slot::kPlaceholder;
        return;
    }
    slots_[size_t(slot)].isPalette = true;
    for (qsizetype i = 0; i < count; ++i)
        slots_[size_t(slot)].palette.push_back(ColorRefOf(r.bytesAt(2 + 2 * i)));
    EmfRecord rec(emr::CreatePalette);
    rec.u32(std::uint32_t(slot + 1)).u16(0x0300).u16(std::uint16_t(count));
    rec.bytes(reinterpret_cast<const char*>(r.bytesAt(2)), 4 * count);
    Add(rec);
}

void WmfConverter::CreateRegion(const Record& r) {
    const int slot = AllocateSlot();
    if (slot < 0) return;
    slots_[size_t(slot)] = Slot{};
    slots_[size_t(slot)].kind = Slot::kRegion;
    slots_[size_t(slot)].region = ParseRegion(r);
}

void WmfConverter::AddPatternBrush(int slot, const DibParts& dib, bool mono, std::uint32_t usage) {
    EmfRecord rec(mono ? emr::CreateMonoBrush : emr::CreateDibPatternBrushPt);
    const std::uint32_t infoAt = 8 + 24;
    const std::uint32_t infoSize = std::uint32_t(dib.info.size());
    const std::uint32_t bitsAt = infoAt + ((infoSize + 3) & ~3u);
    rec.u32(std::uint32_t(slot + 1)).u32(usage).u32(infoAt).u32(infoSize);
    rec.u32(bitsAt).u32(std::uint32_t(dib.bits.size()));
    rec.bytes(dib.info).pad4().bytes(dib.bits);
    Add(rec);
}

void WmfConverter::DibPatternBrush(const Record& r) {
    // style, colour usage, packed DIB
    const int slot = NewObject();
    if (slot < 0) return;
    const std::uint32_t style = r.u(0);
    const std::uint32_t usage = style == kBsPattern ? 0 : r.u(1);
    const auto dib =
        r.words() >= 2 ? SplitPackedDib(r.bytesAt(2), r.bytesFrom(2), usage) : std::nullopt;
    if (!dib) {
        slots_[size_t(slot)].kind = Slot::kPlaceholder;
        return;
    }
    const bool mono = style == kBsPattern &&
                      qFromLittleEndian<std::uint16_t>(dib->info.constData() +
                                                       (dib->info.size() >= 40 ? 14 : 10)) == 1;
    AddPatternBrush(slot, *dib, mono, usage);
}

void WmfConverter::PatternBrush(const Record& r) {
    // Bitmap16 header (type, width, height, width bytes, planes, bits per
    // pixel), a 4-byte pointer and 18 reserved bytes, then the pattern.
    const int slot = NewObject();
    if (slot < 0) return;
    std::optional<DibParts> dib;
    if (r.words() >= 5) {
        const int width = r.s(1), height = r.s(2), widthBytes = r.s(3);
        const int planes = r.u(4) & 0xFF, bpp = r.u(4) >> 8;
        const qsizetype need = qsizetype(std::max(widthBytes, 0)) * std::max(height, 0);
        // Some writers leave out the pointer and the reserved bytes.
        const qsizetype at = r.bytesFrom(16) >= need ? 16 : 5;
        dib = Bitmap16ToDib(width, height, widthBytes, planes, bpp, r.bytesAt(at), r.bytesFrom(at));
    }
    if (!dib) {
        slots_[size_t(slot)].kind = Slot::kPlaceholder;
        return;
    }
    const bool mono = (r.u(4) >> 8) == 1;
    AddPatternBrush(slot, *dib, mono, 0);
}

void WmfConverter::SelectObject(const Record& r) {
    if (Short(r, 1)) return;
    const std::uint16_t index = r.u(0);
    if (index >= slots_.size()) return;
    const Slot& s = slots_[index];
    if (s.kind == Slot::kRegion) {
        // Selecting a region sets the clip region, as SelectClipRgn does.
        SelectClip(&s.region);
        return;
    }
    if (s.kind != Slot::kObject || s.isPalette) return;
    if (s.isFont) dc_.charset = s.charset;
    Add(Simple(emr::SelectObject, index + 1u));
}

void WmfConverter::DeleteObject(const Record& r) {
    if (Short(r, 1)) return;
    const std::uint16_t index = r.u(0);
    if (index >= slots_.size() || slots_[index].kind == Slot::kFree) return;
    if (slots_[index].kind == Slot::kObject) Add(Simple(emr::DeleteObject, index + 1u));
    if (dc_.palette == index) dc_.palette = -1;
    slots_[index] = Slot{};
}

void WmfConverter::RestoreDc(const Record& r) {
    if (Short(r, 1)) return;
    // EMF's record says how many levels back: a positive (absolute) level
    // becomes the relative one.
    const std::optional<std::size_t> keep = RestoredDepth(r.s(0), saved_.size());
    if (!keep) return;
    const int relative = int(*keep) - int(saved_.size());
    dc_ = saved_[*keep];
    saved_.resize(*keep);
    Add(Simple(emr::RestoreDc, std::uint32_t(relative)));
}

void WmfConverter::Poly(const Record& r, std::uint32_t type) {
    // count, points
    if (Short(r, 1)) return;
    const qsizetype n = r.u(0);
    if (n == 0 || r.words() < 1 + 2 * n) return;
    EmfRecord rec(type);
    Bounds(rec).u32(std::uint32_t(n));
    rec.bytes(reinterpret_cast<const char*>(r.bytesAt(1)), 4 * n);
    Add(rec);
}

void WmfConverter::PolyPolygon(const Record& r) {
    // polygon count, point count of each, points
    if (Short(r, 1)) return;
    const qsizetype polys = r.u(0);
    if (polys == 0 || r.words() < 1 + polys) return;
    qsizetype total = 0;
    for (qsizetype i = 0; i < polys; ++i)
        total += r.u(1 + i);
    if (Short(r, 1 + polys + 2 * total)) return;
    EmfRecord rec(emr::PolyPolygon16);
    Bounds(rec).u32(std::uint32_t(polys)).u32(std::uint32_t(total));
    for (qsizetype i = 0; i < polys; ++i)
        rec.u32(r.u(1 + i));
    rec.bytes(reinterpret_cast<const char*>(r.bytesAt(1 + polys)), 4 * total);
    Add(rec);
}

void WmfConverter::Box(const Record& r, std::uint32_t type) {
    // bottom, right, top, left
    if (Short(r, 4)) return;
    EmfRecord rec(type);
    Add(rec.rect(r.s(3), r.s(2), r.s(1), r.s(0)));
}

void WmfConverter::ArcLike(const Record& r, std::uint32_t type) {
    // yEnd, xEnd, yStart, xStart, bottom, right, top, left
    if (Short(r, 8)) return;
    EmfRecord rec(type);
    rec.rect(r.s(7), r.s(6), r.s(5), r.s(4)).i32(r.s(3)).i32(r.s(2)).i32(r.s(1)).i32(r.s(0));
    Add(rec);
}

void WmfConverter::Text(const QByteArray& bytes, QPoint at, std::uint32_t options,
                        const QRect* rect, const std::vector<std::int16_t>* dx) {
    const DecodedText text = DecodeText(bytes, dc_.charset, dx);
    EmfRecord rec(emr::ExtTextOutW);
    Bounds(rec).u32(kGmCompatible).f32(0).f32(0);
    constexpr std::uint32_t kStringAt = 76;
    const std::uint32_t chars = std::uint32_t(text.text.size());
    const std::uint32_t dxAt = text.dx.empty() ? 0 : kStringAt + ((chars * 2 + 3) & ~3u);
    rec.point(at).u32(chars).u32(kStringAt).u32(options);
    if (rect)
        rec.rect(rect->left(), rect->top(), rect->right(), rect->bottom());
    else
        rec.rect(0, 0, -1, -1);
    rec.u32(dxAt);
    for (QChar c : text.text)
        rec.u16(c.unicode());
    rec.pad4();
    for (std::int32_t d : text.dx)
        rec.i32(d);
    Add(rec);
}

void WmfConverter::TextOut(const Record& r) {
    // length, string (padded to words), y, x
    if (Short(r, 1)) return;
    const qsizetype len = r.u(0);
    const qsizetype strWords = (len + 1) / 2;
    if (Short(r, 1 + strWords + 2)) return;
    const QByteArray bytes(reinterpret_cast<const char*>(r.bytesAt(1)), len);
    Text(bytes, QPoint(r.s(2 + strWords), r.s(1 + strWords)), 0, nullptr, nullptr);
}

void WmfConverter::ExtTextOut(const Record& r) {
    // y, x, length, options, [rectangle], string (padded to words), [advances]
    if (Short(r, 4)) return;
    const qsizetype len = r.u(2);
    const std::uint32_t options = r.u(3);
    const qsizetype strWords = (len + 1) / 2;
    bool hasRect = (options & (kEtoOpaque | kEtoClipped)) != 0;
    // Some writers store the rectangle without saying so; the size tells.
    if (!hasRect && r.words() != 4 + strWords && r.words() != 4 + strWords + len &&
        (r.words() == 8 + strWords || r.words() == 8 + strWords + len))
        hasRect = true;
    const qsizetype stringAt = hasRect ? 8 : 4;
    if (Short(r, stringAt + strWords)) return;
    QRect rect;
    if (hasRect) rect = QRect(QPoint(r.s(4), r.s(5)), QPoint(r.s(6), r.s(7)));
    const QByteArray bytes(reinterpret_cast<const char*>(r.bytesAt(stringAt)), len);
    std::vector<std::int16_t> dx;
    const qsizetype dxAt = stringAt + strWords;
    if (len > 0 && r.words() >= dxAt + len) {
        dx.resize(size_t(len));
        for (qsizetype i = 0; i < len; ++i)
            dx[size_t(i)] = r.s(dxAt + i);
    }
    // EMF keeps the rectangle with exclusive right and bottom as given.
    Text(bytes, QPoint(r.s(1), r.s(0)), options, hasRect ? &rect : nullptr,
         dx.empty() ? nullptr : &dx);
}

void WmfConverter::Blit(const Record& r) {
    const bool stretch = r.function == kStretchBlt || r.function == kDibStretchBlt;
    const bool dibSource = r.function == kDibBitBlt || r.function == kDibStretchBlt;
    // Without a source the record is one word longer than its parameters
    // (a reserved word) and nothing else: a pattern fill.
    const qsizetype plain = r.function >> 8;
    const bool noSource = r.words() == plain;
    const qsizetype fixed = stretch ? 10 : 8;
    if (r.words() < (noSource ? plain : fixed)) return;
    // rop, [source height, source width], source y, source x, [reserved], height, width, y, x
    const std::uint32_t rop = r.u32(0);
    qsizetype i = 2;
    int srcH = 0, srcW = 0;
    if (stretch) srcH = r.s(i++), srcW = r.s(i++);
    const int srcY = r.s(i++), srcX = r.s(i++);
    if (noSource) ++i;
    const int h = r.s(i++), w = r.s(i++), y = r.s(i++), x = r.s(i++);
    if (!stretch) srcW = w, srcH = h;

    std::optional<DibParts> dib;
    if (!noSource) {
        if (dibSource) {
            dib = SplitPackedDib(r.bytesAt(i), r.bytesFrom(i), 0);
        } else if (r.words() >= i + 5) {
            // Bitmap16: type, width, height, width bytes, planes + bits per pixel, bits
            dib = Bitmap16ToDib(r.s(i + 1), r.s(i + 2), r.s(i + 3), r.u(i + 4) & 0xFF,
                                r.u(i + 4) >> 8, r.bytesAt(i + 5), r.bytesFrom(i + 5));
        }
        if (!dib) return;
    }
    EmfRecord rec(stretch ? emr::StretchBlt : emr::BitBlt);
    Bounds(rec).i32(x).i32(y).i32(w).i32(h).u32(rop).i32(srcX).i32(srcY);
    rec.f32(1).f32(0).f32(0).f32(1).f32(0).f32(0);
    rec.u32(0).u32(0);  // background colour, colour usage
    const std::uint32_t headerBytes = stretch ? 108 : 100;
    if (dib) {
        const std::uint32_t infoSize = std::uint32_t(dib->info.size());
        const std::uint32_t bitsAt = headerBytes + ((infoSize + 3) & ~3u);
        rec.u32(headerBytes).u32(infoSize).u32(bitsAt).u32(std::uint32_t(dib->bits.size()));
    } else {
        rec.u32(0).u32(0).u32(0).u32(0);
    }
    if (stretch) rec.i32(srcW).i32(srcH);
    if (dib) rec.bytes(dib->info).pad4().bytes(dib->bits);
    Add(rec);
}

void WmfConverter::StretchDib(const Record& r) {
    // rop, usage, source height, width, y, x, destination height, width, y, x, DIB
    if (Short(r, 11)) return;
    const std::uint32_t usage = r.u(2);
    const auto dib = SplitPackedDib(r.bytesAt(11), r.bytesFrom(11), usage);
    if (!dib) return;
    EmfRecord rec(emr::StretchDiBits);
    constexpr std::uint32_t kInfoAt = 80;
    const std::uint32_t infoSize = std::uint32_t(dib->info.size());
    Bounds(rec).i32(r.s(10)).i32(r.s(9)).i32(r.s(6)).i32(r.s(5)).i32(r.s(4)).i32(r.s(3));
    rec.u32(kInfoAt).u32(infoSize).u32(kInfoAt + ((infoSize + 3) & ~3u));
    rec.u32(std::uint32_t(dib->bits.size())).u32(usage).u32(r.u32(0)).i32(r.s(8)).i32(r.s(7));
    rec.bytes(dib->info).pad4().bytes(dib->bits);
    Add(rec);
}

void WmfConverter::SetDibToDev(const Record& r) {
    // usage, scan count, start scan, DIB y, DIB x, height, width, y, x, DIB
    if (Short(r, 9)) return;
    const std::uint32_t usage = r.u(0);
    const auto dib = SplitPackedDib(r.bytesAt(9), r.bytesFrom(9), usage);
    if (!dib) return;
    EmfRecord rec(emr::SetDiBitsToDevice);
    constexpr std::uint32_t kInfoAt = 76;
    const std::uint32_t infoSize = std::uint32_t(dib->info.size());
    Bounds(rec).i32(r.s(8)).i32(r.s(7)).i32(r.s(4)).i32(r.s(3)).i32(r.s(6)).i32(r.s(5));
    rec.u32(kInfoAt).u32(infoSize).u32(kInfoAt + ((infoSize + 3) & ~3u));
    rec.u32(std::uint32_t(dib->bits.size())).u32(usage).u32(r.u(2)).u32(r.u(1));
    rec.bytes(dib->info).pad4().bytes(dib->bits);
    Add(rec);
}

void WmfConverter::SelectClip(const Region* region) {
    EmfRecord rec(emr::ExtSelectClipRgn);
    if (!region) {
        // No region: the clip goes back to the whole page.
        rec.u32(0).u32(kRgnCopy);
    } else {
        const QByteArray data = RegionData(*region);
        rec.u32(std::uint32_t(data.size())).u32(kRgnCopy).bytes(data);
    }
    Add(rec);
}

void WmfConverter::RegionRecord(const Record& r) {
    // region, [brush, [height, width]]
    if (Short(r, 1)) return;
    const Slot* region = SlotAt(r.u(0), Slot::kRegion);
    if (!region) return;
    const QByteArray data = RegionData(region->region);
    const bool withBrush = r.function == kFillRegion || r.function == kFrameRegion;
    std::uint32_t type = emr::InvertRgn;
    if (r.function == kFillRegion) type = emr::FillRgn;
    if (r.function == kFrameRegion) type = emr::FrameRgn;
    if (r.function == kPaintRegion) type = emr::PaintRgn;
    if (withBrush) {
        const Slot* brush = r.words() >= 2 ? SlotAt(r.u(1), Slot::kObject) : nullptr;
        if (!brush || brush->isFont || brush->isPalette) return;
        if (r.function == kFrameRegion && r.words() < 4) return;
    }
    EmfRecord rec(type);
    Bounds(rec).u32(std::uint32_t(data.size()));
    if (withBrush) rec.u32(r.u(1) + 1u);
    if (r.function == kFrameRegion) rec.i32(r.s(3)).i32(r.s(2));
    rec.bytes(data);
    Add(rec);
}

}  // namespace

std::optional<QByteArray> ConvertWmfToEmf(const QByteArray& wmf, QString* why,
                                          SkippedRecords* skipped) {
    const auto header = ParseHeader(wmf, why);
    if (!header) return std::nullopt;
    const auto info = ReadWmfInfo(wmf, why);
    if (!info) return std::nullopt;
    WmfConverter converter(wmf, *header, *info, skipped);
    return converter.Run();
}

}  // namespace mf
