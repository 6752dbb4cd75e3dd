#include "document/positional_device.h"

#include <unistd.h>

#include <cerrno>

PositionalDevice::PositionalDevice(int fd, qint64 start, qint64 size) : fd_(fd), size_(size) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    seek(start);
}

qint64 PositionalDevice::readData(char* data, qint64 maxSize) {
    qint64 done = 0;
    while (done < maxSize) {
        const ssize_t got = ::pread(fd_, data + done, size_t(maxSize - done), off_t(pos() + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return done > 0 ? done : -1;
        if (got == 0) break;
        done += got;
    }
    return done;
}
