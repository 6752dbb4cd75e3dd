// The device context's mapping calls (their rules are Mapping's), SaveDC/RestoreDC and
// the object table.
#include <cmath>

#include "metafile/dc/device_context.h"

namespace mf {

namespace {

constexpr std::size_t kMaxSavedStates = 4096;

}  // namespace

DeviceContext::DeviceContext(DrawOutput& out, const DeviceSetup& setup, const FontMapper& fonts)
    : out_(out), setup_(setup), fonts_(fonts) {
    st_.mapping = Mapping(setup.refPxPerMmX, setup.refPxPerMmY);
}

const QTransform& DeviceContext::toDevice() {
    if (xfDirty_) {
        xf_ = st_.mapping.toReference() * setup_.refToDevice;
        if (!SaneTransform(xf_)) xf_ = QTransform(0, 0, 0, 0, 0, 0);
        xfDirty_ = false;
    }
    return xf_;
}

void DeviceContext::MappingChanged() {
    xfDirty_ = true;
}

void DeviceContext::SetMapMode(int mode) {
    st_.mapping.SetMapMode(mode);
    MappingChanged();
}

void DeviceContext::SetWindowOrg(double x, double y) {
    st_.mapping.SetWindowOrg(x, y);
    MappingChanged();
}

void DeviceContext::SetViewportOrg(double x, double y) {
    st_.mapping.SetViewportOrg(x, y);
    MappingChanged();
}

void DeviceContext::SetWindowExt(double x, double y) {
    st_.mapping.SetWindowExt(x, y);
    MappingChanged();
}

void DeviceContext::SetViewportExt(double x, double y) {
    st_.mapping.SetViewportExt(x, y);
    MappingChanged();
}

void DeviceContext::ScaleWindowExt(double xNum, double xDen, double yNum, double yDen) {
    st_.mapping.ScaleWindowExt(xNum, xDen, yNum, yDen);
    MappingChanged();
}

void DeviceContext::ScaleViewportExt(double xNum, double xDen, double yNum, double yDen) {
    st_.mapping.ScaleViewportExt(xNum, xDen, yNum, yDen);
    MappingChanged();
}

void DeviceContext::SetWorldTransform(const QTransform& t) {
    st_.mapping.SetWorldTransform(t);
    MappingChanged();
}

void DeviceContext::ModifyWorldTransform(const QTransform& t, int mode) {
    st_.mapping.ModifyWorldTransform(t, mode);
    MappingChanged();
}

void DeviceContext::SaveDc() {
    if (saved_.size() >= kMaxSavedStates) saved_.erase(saved_.begin());
    saved_.push_back(st_);
}

void DeviceContext::RestoreDc(int relative) {
    const std::optional<std::size_t> keep = RestoredDepth(relative, saved_.size());
    if (!keep) return;
    st_ = saved_[*keep];
    saved_.resize(*keep);
    MappingChanged();
    clipDirty_ = true;
}

void DeviceContext::CreateObject(std::uint32_t index, GdiObject object) {
    // Index 0 is reserved for the metafile itself; the table is as large as
    // the header says, and never larger than the records can fill.
    if (index == 0 || index >= setup_.objectSlots) return;
    objects_[index] = std::move(object);
}

void DeviceContext::DeleteObject(std::uint32_t index) {
    objects_.erase(index);
}

const LogBrush* DeviceContext::brushAt(std::uint32_t index) const {
    if (index & kStockObject) {
        static const LogBrush stock[] = {
            {kBsSolid, QColor(255, 255, 255), 0, {}, false},
            {kBsSolid, QColor(192, 192, 192), 0, {}, false},
            {kBsSolid, QColor(128, 128, 128), 0, {}, false},
            {kBsSolid, QColor(64, 64, 64), 0, {}, false},
            {kBsSolid, QColor(0, 0, 0), 0, {}, false},
            {kBsNull, QColor(0, 0, 0), 0, {}, false},
        };
        const std::uint32_t n = index & ~kStockObject;
        return n <= kNullBrush ? &stock[n] : nullptr;
    }
    auto it = objects_.find(index);
    if (it == objects_.end()) return nullptr;
    return std::get_if<LogBrush>(&it->second);
}

void DeviceContext::SelectPalette(std::uint32_t index) {
    if (index == (kStockObject | kDefaultPalette)) {
        palette_.clear();
        return;
    }
    auto it = objects_.find(index);
    if (it == objects_.end()) return;
    if (auto* pal = std::get_if<LogPalette>(&it->second)) palette_ = pal->entries;
}

QColor DeviceContext::color(std::uint32_t ref) const {
    if ((ref >> 24) != kColorRefPaletteIndex) return ColorFromRef(ref);
    // The system's twenty static colours make the default palette.
    static const QRgb kDefault[20] = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),     qRgb(0, 128, 0),     qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128),   qRgb(0, 128, 128),   qRgb(192, 192, 192),
        qRgb(192, 220, 192), qRgb(166, 202, 240), qRgb(255, 251, 240), qRgb(160, 160, 164),
        qRgb(128, 128, 128), qRgb(255, 0, 0),     qRgb(0, 255, 0),     qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255),   qRgb(0, 255, 255),   qRgb(255, 255, 255)};
    const std::uint32_t index = ref & 0xFFFF;
    if (!palette_.empty()) return QColor(palette_[index < palette_.size() ? index : 0]);
    return QColor(kDefault[index < 20 ? index : 0]);
}

void DeviceContext::SelectObject(std::uint32_t index) {
    if (index & kStockObject) {
        const std::uint32_t n = index & ~kStockObject;
        if (n <= kNullBrush) {
            st_.brush = *brushAt(index);
        } else if (n == kWhitePen || n == kBlackPen || n == kNullPen) {
            st_.pen = LogPen();
            st_.pen.color = n == kWhitePen ? QColor(Qt::white) : QColor(Qt::black);
            if (n == kNullPen) st_.pen.style = kPsNull;
        } else if (n >= kOemFixedFont && n <= kDefaultGuiFont && n != kDefaultPalette) {
            // Stock fonts: the system's proportional or fixed face.
            LogFont f;
            f.height = n == kDefaultGuiFont ? -11 : 16;
            f.weight = n == kSystemFont ? 700 : 400;
            f.faceName = (n == kOemFixedFont || n == kAnsiFixedFont || n == kSystemFixedFont)
                             ? QStringLiteral("Courier New")
                             : QStringLiteral("MS Sans Serif");
            st_.font = f;
        } else if (n == kDcBrush) {
            st_.brush = LogBrush();
        } else if (n == kDcPen) {
            st_.pen = LogPen();
        }
        return;
    }
    auto it = objects_.find(index);
    if (it == objects_.end()) return;
    if (auto* pen = std::get_if<LogPen>(&it->second))
        st_.pen = *pen;
    else if (auto* brush = std::get_if<LogBrush>(&it->second))
        st_.brush = *brush;
    else if (auto* font = std::get_if<LogFont>(&it->second))
        st_.font = *font;
}

}  // namespace mf
