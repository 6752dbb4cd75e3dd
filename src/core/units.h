#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// Scaled decimal: a value times 10000 (four decimal places). Document versions,
// margins in millimetres and printer measurements use it.
using Scaled = std::int64_t;

constexpr Scaled kScale = 10000;

// Inches per centimetre and centimetres per inch as the album programs use them
// (deliberately not 1/2.54 and 2.54).
constexpr double kInchPerCm = 0.39375;
constexpr double kCmPerInch = 160.0 / 63.0;

// Nearest integer of a scaled decimal, halves away from zero.
std::int64_t RoundFixed(Scaled v);

// Millimetres (scaled) to whole screen pixels at `ppi` logical pixels per inch.
int MmToScreenPixels(Scaled mm, int ppi);

// Screen pixels to millimetres in steps of 0.1 mm, as a scaled decimal.
Scaled ScreenPixelsToMm(int px, int ppi);

// A printer length of `units` at `unitsPerInch` as whole millimetres:
// 10 x units / unitsPerInch x 160/63, halves to even. 0 for a bad resolution.
int DeviceUnitsToWholeMm(std::int64_t units, int unitsPerInch);

// num / den kept to four decimals, halves to even, as a scaled decimal; 0 for
// den <= 0.
Scaled ScaledRatio(std::int64_t num, std::int64_t den);

// A whole number of millimetres as a scaled decimal.
constexpr Scaled WholeMm(std::int64_t mm) {
    return mm * kScale;
}

// "3.0", "-2.6", "12", "0.0005" as a scaled decimal; nothing for other text or
// more than four decimals.
std::optional<Scaled> ParseScaled(const QString& text);
