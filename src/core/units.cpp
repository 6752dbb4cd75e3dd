#include "core/units.h"

#include <QRegularExpression>
#include <limits>

namespace {

__extension__ typedef __int128 Wide;

// num / den kept to four decimals (the caller has already scaled num), halves to
// even; den > 0.
Wide DivideHalfEven(Wide num, Wide den) {
    Wide q = num / den;
    Wide r = num % den;
    if (r < 0) {  // make the remainder non-negative so q is the floor
        r += den;
        q -= 1;
    }
    const Wide twice = 2 * r;
    if (twice > den || (twice == den && (q % 2 != 0))) q += 1;
    return q;
}

std::int64_t ClampToInt64(Wide v) {
    if (v > std::numeric_limits<std::int64_t>::max())
        return std::numeric_limits<std::int64_t>::max();
    if (v < std::numeric_limits<std::int64_t>::min())
        return std::numeric_limits<std::int64_t>::min();
    return std::int64_t(v);
}

int ClampToInt(std::int64_t v) {
    if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return int(v);
}

}  // namespace

std::int64_t RoundFixed(Scaled v) {
    // Written so that values near the int64 limits do not overflow.
    const std::int64_t whole = v / kScale;
    const std::int64_t rest = v % kScale;
    if (rest >= kScale / 2) return whole + 1;
    if (rest <= -kScale / 2) return whole - 1;
    return whole;
}

// 0.39375 inches per centimetre is exactly 63/160, so the scaled pixel value
// mm x ppi x 0.39375 / 10 is the exact fraction mm x ppi x 63 / 1600.
int MmToScreenPixels(Scaled mm, int ppi) {
    const Wide scaledPx = DivideHalfEven(Wide(mm) * ppi * 63, 1600);
    return ClampToInt(RoundFixed(ClampToInt64(scaledPx)));
}

// px x 100 / ppi / 0.39375 tenths of a millimetre = px x 16000 / (63 x ppi).
Scaled ScreenPixelsToMm(int px, int ppi) {
    if (ppi <= 0) return 0;
    const Wide scaledTenths = DivideHalfEven(Wide(px) * 16000 * kScale, Wide(63) * ppi);
    return RoundFixed(ClampToInt64(scaledTenths)) * 1000;
}

int DeviceUnitsToWholeMm(std::int64_t units, int unitsPerInch) {
    if (unitsPerInch <= 0) return 0;
    // 10 x 160/63 = 1600/63.
    return ClampToInt(ClampToInt64(DivideHalfEven(Wide(units) * 1600, Wide(unitsPerInch) * 63)));
}

Scaled ScaledRatio(std::int64_t num, std::int64_t den) {
    if (den <= 0) return 0;
    return ClampToInt64(DivideHalfEven(Wide(num) * kScale, den));
}

std::optional<Scaled> ParseScaled(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^([+-]?)(\\d{1,12})(?:\\.(\\d{1,4}))?$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const QString fraction = (m.captured(3) + QStringLiteral("0000")).left(4);
    const Scaled v = m.captured(2).toLongLong() * kScale + fraction.toLongLong();
    return m.captured(1) == QLatin1String("-") ? -v : v;
}
