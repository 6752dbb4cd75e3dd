#pragma once

#include <QScrollArea>
#include <QWidget>
#include <functional>

// The scroll area of the page view: the sheet sits on a content widget whose
// size is the scroll range; nothing resizes it automatically.
class TScrollBox : public QScrollArea {
    Q_OBJECT
public:
    explicit TScrollBox(QWidget* parent = nullptr);
    QWidget* content() const { return content_; }

private:
    QWidget* content_;
};

// The white sheet: a single-line border and, inside it, a 1-pixel rim in the
// sheet's colour (black while the page area has the focus).
class TSheetPanel : public QWidget {
    Q_OBJECT
public:
    explicit TSheetPanel(QWidget* parent = nullptr);
    void setRimColor(const QColor& color);
    QColor rimColor() const { return rim_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor rim_ = Qt::white;
};

// The picture area inside the sheet; mouse events fall through to the sheet.
class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent = nullptr);
    std::function<void(QPainter&, const QRect& exposed)> onPaint;

protected:
    void paintEvent(QPaintEvent* event) override;
};
