#include "viewer/pro_form.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "document/album_document.h"
#include "document/document_paper.h"
#include "metafile/picture.h"
#include "viewer/view_form.h"

namespace {

constexpr QSize kClientSize(482, 243);
constexpr int kHelpContext = 38;
constexpr int kFontPixels = 13;
const QColor kCaptionBack(0, 0, 128);  // navy
const QColor kValueBack(128, 128, 128);

QLabel* Label(QWidget* parent, const QString& text, QRect rect, bool caption) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(rect);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment((caption ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, caption ? kCaptionBack : kValueBack);
    pal.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(pal);
    return label;
}

}  // namespace

TProForm::TProForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ProForm"));
    setWindowTitle(QStringLiteral("書類情報"));
    setFixedSize(kClientSize);
    setProperty("helpContext", kHelpContext);
    QFont f = font();
    f.setPixelSize(kFontPixels);
    setFont(f);

    const char16_t* captions[] = {u"バージョン", u"作成日", u"題名",     u"作成者",
                                  u"備考",       u"用紙",   u"外字変換", u"代替フォント"};
    for (int i = 0; i < 8; ++i)
        Label(this, QString::fromUtf16(captions[i]), QRect(12, 12 + 24 * i, 80, 17), true);
    LB_Ver = Label(this, QString(), QRect(96, 12, 121, 17), false);
    LB_Date = Label(this, QString(), QRect(96, 36, 153, 17), false);
    LB_Title = Label(this, QString(), QRect(96, 60, 373, 17), false);
    LB_Name = Label(this, QString(), QRect(96, 84, 241, 17), false);
    LB_Bikou = Label(this, QString(), QRect(96, 108, 373, 17), false);
    LB_Paper = Label(this, QString(), QRect(96, 132, 373, 17), false);
    LB_Gaiji = Label(this, QString(), QRect(96, 156, 141, 17), false);
    LB_Font = Label(this, QString(), QRect(96, 180, 141, 17), false);
    // Two lines: the caption is wider than its box on one.
    Label(this, QStringLiteral("使用フォント"), QRect(244, 156, 73, 42), true)->setWordWrap(true);

    Memo = new QPlainTextEdit(this);
    Memo->setGeometry(320, 156, 149, 42);
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setFrameShape(QFrame::NoFrame);
    Memo->setFocusPolicy(Qt::NoFocus);
    Memo->viewport()->setCursor(Qt::ArrowCursor);
    QFont gothic(mf::FontFamilyFor(QStringLiteral("ＭＳ ゴシック"), 128, 0));
    gothic.setPixelSize(kFontPixels);
    Memo->setFont(gothic);
    QPalette pal = Memo->palette();
    pal.setColor(QPalette::Base, kValueBack);
    pal.setColor(QPalette::Text, Qt::white);
    Memo->setPalette(pal);

    Button1 = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    Button1->setGeometry(364, 208, 97, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);  // also Esc

    facts_.hasFont = FontAvailable;
    // Centred on the main frame when made (halves truncate toward zero).
    if (parent) {
        const QRect frame = parent->window()->frameGeometry();
        move(frame.left() + (frame.width() - width()) / 2,
             frame.top() + (frame.height() - height()) / 2);
    }
}

void TProForm::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TProForm::FormShow() {
    const AlbumDocument* doc = view_ ? view_->document() : nullptr;
    if (!doc) return;
    const DocumentInfoLines lines =
        InfoLinesFor(doc->header, WithPaper(doc->settings, view_->sheetGeometry().paper), facts_);
    LB_Ver->setText(lines.version);
    LB_Date->setText(lines.created);
    LB_Title->setText(lines.title);
    LB_Name->setText(lines.author);
    LB_Bikou->setText(lines.remarks);
    LB_Paper->setText(lines.paper);
    LB_Gaiji->setText(lines.externalChars);
    LB_Font->setText(lines.substituteFont);
    Memo->clear();
    Memo->setPlainText(lines.fonts.join(QLatin1Char('\n')));
}
