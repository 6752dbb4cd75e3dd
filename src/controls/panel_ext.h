#pragma once

#include <QPointer>
#include <QWidget>

#include "controls/bevel_painting.h"

#include <QLabel>
#include "controls/image_server.h"

// A light caption panel: an outer bevel, a border in the panel's colour, an
// inner bevel, a background picture or the panel's colour, and a one-line
// caption. A disabled panel shows its caption embossed.
class TCustomPanelExt : public QWidget {
    Q_OBJECT
public:
    explicit TCustomPanelExt(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    QColor FaceColor() const;

    QString caption_;
    Qt::Alignment alignment_ = Qt::AlignHCenter;
    BevelKind bevelInner_ = BevelKind::None;
    BevelKind bevelOuter_ = BevelKind::Raised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    bool fullRepaint_ = true;
    bool locked_ = false;
    QColor color_;  // invalid: the button face
    QPointer<QLabel> image_;
    QPointer<TImageServer> imageServer_;
};

class TPanelExt : public TCustomPanelExt {
    Q_OBJECT
public:
    using TCustomPanelExt::TCustomPanelExt;

    // The caption.
    void setText(const QString& text);
    QString text() const { return caption_; }
    // Left, right or centred (the horizontal part of `alignment`).
    void setAlignment(Qt::Alignment alignment);
    Qt::Alignment alignment() const { return alignment_; }
    void setBevelInner(BevelKind kind);
    BevelKind bevelInner() const { return bevelInner_; }
    void setBevelOuter(BevelKind kind);
    BevelKind bevelOuter() const { return bevelOuter_; }
    void setBevelWidth(int width);
    int bevelWidth() const { return bevelWidth_; }
    void setBorderWidth(int width);
    int borderWidth() const { return borderWidth_; }
    void setFullRepaint(bool full);
    bool fullRepaint() const { return fullRepaint_; }
    void setLocked(bool locked);
    bool locked() const { return locked_; }
    // The face colour; an invalid colour stands for the button face.
    void setColor(const QColor& color);
    QColor color() const { return FaceColor(); }
    // A picture control (a label showing a pixmap) stretched over the face.
    void setImage(QLabel* image);
    QLabel* image() const { return image_; }
    // A picture source whose glyph is stretched over the face; it wins over Image.
    void setImageServer(TImageServer* server);
    TImageServer* imageServer() const { return imageServer_; }
};
