#pragma once

// Inflating a whole zlib (RFC 1950) stream held in memory, in one call, into
// an output whose size is known: much faster than inflating piece by piece.
// It gives no reasons: a caller that gets nothing asks the streaming
// ZlibReader what is wrong.

#include <QByteArray>
#include <QtGlobal>
#include <optional>
#include <span>

// Deflate cannot inflate more than about 1032 bytes from one stored byte; a
// length beyond that ratio cannot be genuine.
constexpr qint64 kMaxInflateRatio = 1100;

// The number of bytes the stream at the start of `in` inflated to, when it
// ends, checksum and all, within `out`; what follows the stream in `in` is
// ignored. Nothing when it inflates to more than `out` holds, is damaged or
// is cut short.
std::optional<qint64> InflateWhole(std::span<const char> in, std::span<char> out);

// Whether the readers of pages and bodies inflate in one call (they do unless
// told otherwise). Off, every stream is inflated piece by piece by zlib, as
// before: benchmarks measure the two on the same albums.
void SetOneCallInflate(bool enabled);
bool OneCallInflate();

// A buffer of `size` bytes, left unset, or nothing when the memory cannot be
// had: sizes come from files and are only bounded, not believed.
std::optional<QByteArray> AllocateBuffer(qint64 size);
