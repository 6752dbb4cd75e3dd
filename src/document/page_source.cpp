#include "document/page_source.h"

#include <QFile>

#include "document/positional_device.h"

PageSource::PageSource() = default;

PageSource::PageSource(std::unique_ptr<QFile> body, qint64 size, QString temporaryCopy)
    : body_(std::move(body)), size_(size), temporaryCopy_(std::move(temporaryCopy)) {}

PageSource::~PageSource() = default;
PageSource::PageSource(PageSource&&) noexcept = default;
PageSource& PageSource::operator=(PageSource&&) noexcept = default;

bool PageSource::isOpen() const {
    return body_ && body_->handle() >= 0;
}

std::unique_ptr<PositionalDevice> PageSource::ReaderAt(qint64 offset) const {
    if (!isOpen()) return nullptr;
    auto reader = std::make_unique<PositionalDevice>(body_->handle(), offset, size_);
    if (reader->pos() != offset) return nullptr;
    return reader;
}
