#pragma once

// Where an open album's pages are read from: the album file itself, or the
// temporary copy that holds a format-1.x body for as long as the album is
// open. Every read is positional, so pages are read on any thread at once.

#include <QString>
#include <memory>

class QFile;
class PositionalDevice;

class PageSource {
public:
    PageSource();
    // `body` is open for reading; `size` is the number of bytes it holds for
    // pages; `temporaryCopy` is the copy's path, empty for the album file.
    PageSource(std::unique_ptr<QFile> body, qint64 size, QString temporaryCopy);
    ~PageSource();
    PageSource(PageSource&&) noexcept;
    PageSource& operator=(PageSource&&) noexcept;

    bool isOpen() const;
    qint64 size() const { return size_; }
    // Empty when the pages lie in the album file.
    const QString& temporaryCopy() const { return temporaryCopy_; }
    // A reader of its own, starting at `offset`; null when the body is not
    // open or the offset cannot be reached.
    std::unique_ptr<PositionalDevice> ReaderAt(qint64 offset) const;

private:
    std::unique_ptr<QFile> body_;
    qint64 size_ = 0;
    QString temporaryCopy_;
};
