// The contents list and the page jump.

#include <QPainter>
#include <QTimer>

#include "controls/cng_lst_box.h"
#include "core/sjis_text.h"
#include "document/album_document.h"
#include "viewer/contents_icons.h"
#include "viewer/messages.h"
#include "viewer/view_form.h"

void TViewForm::PrepareContentsMetrics() {
    const QFont font = JumpTree->font();
    contentsTextHeight_ = font.pixelSize() > 0 ? font.pixelSize() : QFontMetrics(font).height();
    indentUnit_ = contentsTextHeight_ / 2;
    JumpTree->setItemHeight(contentsTextHeight_ + 4);
}

QString TViewForm::ContentsLinePageText(int index) const {
    return ContentsPageText(contents_, index, pageCount(), pageNumberOffset());
}

void TViewForm::JumpTreeDrawItem(QPainter& painter, int index, const QRect& r, bool selected) {
    if (index < 0 || index >= int(contents_.size())) return;
    const ContentsEntry& e = contents_[size_t(index)];
    const QPalette& pal = JumpTree->palette();
    const QColor prepared =
        selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text);
    QColor background = pal.color(QPalette::Base);
    if (selected) background = JumpTree->hasFocus() ? QColor(128, 128, 128) : QColor(192, 192, 192);
    painter.fillRect(r, background);

    const QPixmap icon = ContentsIcon(e.level <= 0 ? 0 : 1, JumpTree->devicePixelRatioF());
    int x = e.level <= 0 ? 3 : (e.level - 1) * 2 * indentUnit_ + 3;
    painter.drawPixmap(r.left() + x, r.top() + (r.height() - kContentsIconSize) / 2, icon);

    painter.setFont(JumpTree->font());
    const QFontMetrics metrics(JumpTree->font());
    const int y = r.top() + (r.height() - contentsTextHeight_) / 2;
    const int baseline = y + metrics.ascent();
    x += static_cast<int>(indentUnit_ * 2.5);
    auto draw = [&](const QString& text, const QColor& plainColor) {
        painter.setPen(selected ? prepared : plainColor);
        painter.drawText(r.left() + x, baseline, text);
        x += metrics.horizontalAdvance(text);
    };
    draw(TrimBlanks(JumpTree->item(index)->text()), QColor(94, 0, 0));
    const QString pageText = ContentsLinePageText(index);
    if (!pageText.isEmpty()) {
        draw(QStringLiteral(" ... "), QColor(192, 192, 192));
        draw(pageText, QColor(255, 0, 0));
    }
}

void TViewForm::JumpTreeIndexChange() {
    if (contentsSync_) return;
    Timer->start();  // from the last change on
}

void TViewForm::TimerTimer() {
    Timer->stop();
    // An entry pointing outside the document (a damaged one) goes nowhere.
    const std::optional<int> page =
        ContentsTargetPage(contents_, JumpTree->currentRow(), pageCount());
    if (!page || *page == currentPage()) return;
    ChangePage(*page);
}

void TViewForm::Mn_JumpClick() {
    if (pageCount() <= 0) return;
    const int offset = pageNumberOffset();
    const std::optional<QString> answer =
        AskText(QStringLiteral("ﾍﾟｰｼﾞ指定"), JumpPrompt(pageCount(), offset),
                QString::number(qint64(currentPage()) + offset));
    if (!answer) return;
    const int page = JumpTargetPage(*answer, pageCount(), offset);
    // The sequence runs even when the page stays the same.
    ChangePage(page);
}
