#include "shell/about_box.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTextEdit>
#include <QTimer>

#include "controls/align_speed_button.h"
#include "controls/dropdown_speed_button.h"
#include "controls/focus_control.h"
#include "shell/help.h"
#include "shell/web_links.h"
#include "shell/window_placing.h"

namespace {

const QColor kYellow(255, 255, 0);

template <typename Button>
Button* FlatButton(const QString& text, const QRect& rect, QWidget* parent) {
    auto* button = new Button(parent);
    button->setText(text);
    button->setGeometry(rect);
    return button;
}

}  // namespace

QString AboutVersionLine(const QString& buildVersion) {
    return QStringLiteral("アルバーノ ver.") +
           (buildVersion.isEmpty() ? QStringLiteral("8") : buildVersion);
}

QString BuildVersion() {
#ifdef NERIDAL_VERSION
    return QStringLiteral(NERIDAL_VERSION);
#else
    return QString();
#endif
}

QStringList TVerForm::NoticeLines() {
    return {
        QStringLiteral("このプログラムは、ハルカゼシリーズの写真アルバム作成ソフトが"),
        QStringLiteral("作成したアルバムの書類（ブラウザファイル）を"),
        QStringLiteral("表示・印刷するためのビューアです。"),
        QString(),
        QStringLiteral("ハルカゼシリーズのソフトが作成した書類だけを対象とし、"),
        QStringLiteral("他のソフトが作成したファイルは表示できません。"),
        QString(),
        QStringLiteral("ご利用の条件"),
        QString(),
        QStringLiteral("1. このプログラムは、アルバム画像形式の書類の"),
        QStringLiteral("   表示と印刷にだけお使いください。"),
        QStringLiteral("2. このプログラムは無償で配布できます。"),
        QStringLiteral("   著作権その他の権利は作成者が保有します。"),
        QStringLiteral("3. このプログラムについてのお問い合わせや"),
        QStringLiteral("   サポートはお受けしておりません。"),
        QStringLiteral("4. このプログラムを使用した結果について、"),
        QStringLiteral("   作成者は一切の責任を負いません。"),
        QString(),
        QStringLiteral("以上の条件に同意いただける場合にのみ"),
        QStringLiteral("ご利用ください。"),
        QString(),
    };
}

TVerForm::TVerForm(std::function<bool()> openWithDialog, QWidget* parent)
    : QDialog(parent), openWithDialog_(std::move(openWithDialog)) {
    setObjectName(QStringLiteral("VerForm"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setFixedSize(444, 239);
    setProperty("helpContext", kMainHelpContext);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kYellow);
    pal.setColor(QPalette::Base, kYellow);
    setPalette(pal);
    setAutoFillBackground(true);

    Version = new QLabel(AboutVersionLine(BuildVersion()), this);
    Version->setGeometry(0, 0, 444, 33);
    Version->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    Version->setTextFormat(Qt::PlainText);
    QFont bold = Version->font();
    bold.setBold(true);
    bold.setPixelSize(19);
    Version->setFont(bold);

    FocusControl = new TFocusControl(this);
    FocusControl->setGeometry(0, 49, 444, 8);

    Memo = new QTextEdit(this);
    Memo->setGeometry(20, 56, 405, 129);
    Memo->setReadOnly(true);
    Memo->setFocusPolicy(Qt::NoFocus);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->viewport()->setCursor(Qt::ArrowCursor);
    Memo->setPalette(pal);
    Memo->setPlainText(NoticeLines().join(QLatin1Char('\n')));
    QTextCursor all(Memo->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);

    SpeedButton2 =
        FlatButton<TAlignSpeedButton>(QStringLiteral("開く(&O)"), QRect(20, 196, 69, 25), this);
    Button1 = FlatButton<TDropdownSpeedButton>(QStringLiteral("ホームページ"),
                                               QRect(104, 196, 93, 25), this);
    Button1->setCursor(Qt::PointingHandCursor);
    Button_NewPrg = FlatButton<TAlignSpeedButton>(QStringLiteral("最新のブラウザの入手(&B)"),
                                                  QRect(200, 196, 149, 25), this);
    SpeedButton1 =
        FlatButton<TAlignSpeedButton>(QStringLiteral("閉じる(&C)"), QRect(352, 196, 73, 25), this);

    PopupMenu = new QMenu(this);
    QAction* delna = PopupMenu->addAction(AboutPartnerMenuCaption(), this, &OpenPartnerHomePage);
    delna->setObjectName(QStringLiteral("DELNA1"));
    delna->setProperty("helpContext", 65);
    PopupMenu->addSeparator()->setObjectName(QStringLiteral("N1"));
    PopupMenu->addAction(SeriesMenuCaption(), this, &OpenSeriesSite)
        ->setObjectName(QStringLiteral("SeriesSite1"));
    PopupMenu->addAction(QStringLiteral("ハルカゼシリーズの紹介(&C)..."), this, &OpenCatalogPage)
        ->setObjectName(QStringLiteral("M1"));
    Button1->setDropdownMenu(PopupMenu);

    connect(SpeedButton2, &QAbstractButton::clicked, this, &TVerForm::SpeedButton2Click);
    connect(Button_NewPrg, &QAbstractButton::clicked, this, &OpenDownloadPage);
    connect(SpeedButton1, &QAbstractButton::clicked, this, &QDialog::reject);

    // The form sees every key first; the focus always returns to FocusControl.
    // The pop-up menu keeps its own keys: Enter and Esc there act on the menu.
    for (QWidget* child : findChildren<QWidget*>())
        if (!qobject_cast<QMenu*>(child)) child->installEventFilter(this);
    FocusControl->setFocus();
}

void TVerForm::showEvent(QShowEvent* event) {
    CenterOverMainForm(this);
    QDialog::showEvent(event);
    FocusControl->setFocus();
}

void TVerForm::SpeedButton2Click() {
    if (openWithDialog_ && openWithDialog_()) accept();
}

void TVerForm::ScrollMemo(int lines) {
    QScrollBar* bar = Memo->verticalScrollBar();
    for (int i = 0; i < std::abs(lines); ++i)
        bar->triggerAction(lines < 0 ? QAbstractSlider::SliderSingleStepSub
                                     : QAbstractSlider::SliderSingleStepAdd);
}

bool TVerForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Escape:
                reject();
                return true;
            case Qt::Key_Up:
            case Qt::Key_PageUp:
                if (watched != FocusControl) break;
                ScrollMemo(-1);
                return true;
            case Qt::Key_Down:
            case Qt::Key_PageDown:
                if (watched != FocusControl) break;
                ScrollMemo(1);
                return true;
            default:
                break;
        }
    } else if (event->type() == QEvent::FocusIn && watched == Memo) {
        FocusControl->setFocus();
    } else if (event->type() == QEvent::FocusOut && watched == FocusControl) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            QTimer::singleShot(0, FocusControl, [this] {
                if (isVisible()) FocusControl->setFocus();
            });
    }
    return QDialog::eventFilter(watched, event);
}
