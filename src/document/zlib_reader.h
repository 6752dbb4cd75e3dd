#pragma once

// A zlib (RFC 1950) inflating reader over a device, starting at the device's
// current position. It never waits for more output than the stream holds: at
// the end of the stream a read delivers what is left.

#include <QString>
#include <memory>
#include <vector>

class QIODevice;

class ZlibReader {
public:
    explicit ZlibReader(QIODevice& source, qint64 inputChunk = 64 * 1024);
    ~ZlibReader();
    ZlibReader(const ZlibReader&) = delete;
    ZlibReader& operator=(const ZlibReader&) = delete;

    // Up to `max` inflated bytes into `out`; fewer only at the end of the
    // stream or where it fails. -1 when the data is damaged or the file ends
    // inside the stream; error() then says which. The bytes inflated before a
    // failure are delivered first: the read that meets it returns them, with
    // error() already set, and the next read returns -1.
    qint64 read(char* out, qint64 max);
    bool atStreamEnd() const { return streamEnd_; }
    const QString& error() const { return error_; }

private:
    struct State;
    std::unique_ptr<State> state_;
    QIODevice& source_;
    std::vector<char> input_;
    bool streamEnd_ = false;
    QString error_;
};
