#pragma once

#include <QColor>
#include <QObject>
#include <QPixmap>

// A picture source shared by caption panels: its glyph is their background.
class TImageServer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Keeps its own copy of `glyph`.
    void setGlyph(const QPixmap& glyph);
    const QPixmap& glyph() const { return glyph_; }
    void setTransparentColor(const QColor& color);
    QColor transparentColor() const { return transparentColor_; }

signals:
    void changed();

private:
    QPixmap glyph_;
    QColor transparentColor_{128, 128, 0};  // olive
};
