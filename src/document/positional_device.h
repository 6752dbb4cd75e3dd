#pragma once

// Reads a file from a position of its own, without moving the file's shared
// position: any number of readers on any threads can read one open album.

#include <QIODevice>

class PositionalDevice : public QIODevice {
public:
    // Reads the file descriptor `fd` (owned elsewhere, open for reading) from
    // byte `start`; `size` is the file's length.
    PositionalDevice(int fd, qint64 start, qint64 size);

    bool isSequential() const override { return false; }
    qint64 size() const override { return size_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    int fd_;
    qint64 size_;
};
