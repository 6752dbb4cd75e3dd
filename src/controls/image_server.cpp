#include "controls/image_server.h"

void TImageServer::setGlyph(const QPixmap& glyph) {
    glyph_ = glyph.copy();
    emit changed();
}

void TImageServer::setTransparentColor(const QColor& color) {
    transparentColor_ = color;
    emit changed();
}
