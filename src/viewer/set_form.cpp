#include "viewer/set_form.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "document/album_document.h"
#include "viewer/messages.h"
#include "viewer/view_form.h"

namespace {

constexpr QSize kClientSize(321, 208);
constexpr int kMarginRange = 50;  // pixels either way
constexpr int kTickEvery = 10;
constexpr int kBarLength = 100;
constexpr int kBarThickness = 25;
// The cross's centre: the vertical bars meet the horizontal ones here.
constexpr int kCrossLeft = 10;
constexpr int kCrossTop = 4;
constexpr int kButtonWidth = 78;
constexpr int kButtonHeight = 26;
constexpr int kHelpContext = 42;

QSlider* MakeBar(QWidget* parent, Qt::Orientation orientation) {
    auto* bar = new QSlider(orientation, parent);
    bar->setRange(-kMarginRange, kMarginRange);
    bar->setValue(0);
    bar->setTickInterval(kTickEvery);
    bar->setPageStep(kTickEvery);
    if (orientation == Qt::Vertical) {
        // Minimum at the top, so the thumb moves the way the edge does.
        bar->setInvertedAppearance(true);
        bar->setInvertedControls(true);
        bar->setTickPosition(QSlider::TicksRight);
        bar->resize(kBarThickness, kBarLength);
    } else {
        bar->setTickPosition(QSlider::TicksBelow);
        bar->resize(kBarLength, kBarThickness);
    }
    return bar;
}

QLabel* MakeLabel(QWidget* parent, const QString& caption, QSlider* buddy, QPoint at) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    label->adjustSize();
    label->move(at);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, QPoint at) {
    auto* button = new QPushButton(caption, parent);
    button->setAutoDefault(false);
    button->setGeometry(QRect(at, QSize(kButtonWidth, kButtonHeight)));
    return button;
}

}  // namespace

TSetForm& TSetForm::Instance(QWidget* mainWindow) {
    static QPointer<TSetForm> form;
    if (!form) form = new TSetForm(mainWindow);
    return *form;
}

TSetForm::TSetForm(QWidget* mainWindow) : QDialog(mainWindow) {
    setWindowTitle(QStringLiteral("マージン調整"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientSize);
    setProperty("helpContext", kHelpContext);

    const int midX = kCrossLeft + kBarLength;  // the vertical bars' left edge
    const int midY = kCrossTop + kBarLength;   // where top ends and bottom starts
    TrackBar_Left = MakeBar(this, Qt::Horizontal);
    TrackBar_Left->move(kCrossLeft, midY - kBarThickness / 2);
    TrackBar_Top = MakeBar(this, Qt::Vertical);
    TrackBar_Top->move(midX, kCrossTop);
    TrackBar_Right = MakeBar(this, Qt::Horizontal);
    TrackBar_Right->move(midX + kBarThickness, midY - kBarThickness / 2);
    TrackBar_Bottom = MakeBar(this, Qt::Vertical);
    TrackBar_Bottom->move(midX, midY);
    Label1 =
        MakeLabel(this, QStringLiteral("上(&T)"), TrackBar_Top, QPoint(midX - 40, kCrossTop + 6));
    Label2 = MakeLabel(this, QStringLiteral("下(&O)"), TrackBar_Bottom,
                       QPoint(midX - 40, midY + kBarLength - 22));
    Label3 = MakeLabel(this, QStringLiteral("左(&L)"), TrackBar_Left,
                       QPoint(kCrossLeft, midY - kBarThickness / 2 - 20));
    Label4 =
        MakeLabel(this, QStringLiteral("右(&R)"), TrackBar_Right,
                  QPoint(midX + kBarThickness + kBarLength - 36, midY - kBarThickness / 2 - 20));

    // The page buttons sit two by two at the top right, the others below.
    const int panelLeft = kClientSize.width() - 2 * kButtonWidth - 12;
    Panel1 = new QWidget(this);
    Panel1->setGeometry(panelLeft, 4, 2 * kButtonWidth + 8, 2 * kButtonHeight + 8);
    StartBtn = MakeButton(Panel1, QStringLiteral("最初(&S)"), QPoint(2, 2));
    BackBtn = MakeButton(Panel1, QStringLiteral("前(&B)"), QPoint(kButtonWidth + 6, 2));
    NextBtn = MakeButton(Panel1, QStringLiteral("次(&N)"), QPoint(2, kButtonHeight + 6));
    EndBtn =
        MakeButton(Panel1, QStringLiteral("最後(&E)"), QPoint(kButtonWidth + 6, kButtonHeight + 6));
    Panel2 = new QWidget(this);
    Panel2->setGeometry(panelLeft, kClientSize.height() - 2 * kButtonHeight - 12,
                        2 * kButtonWidth + 8, 2 * kButtonHeight + 8);
    BitBtn1 = MakeButton(Panel2, QStringLiteral("ﾘｾｯﾄ(&R)"), QPoint(2, 2));
    BitBtn3 = MakeButton(Panel2, QStringLiteral("書込(&W)"), QPoint(kButtonWidth + 6, 2));
    BitBtn2 = MakeButton(Panel2, QStringLiteral("閉じる(&C)"),
                         QPoint(kButtonWidth + 6, kButtonHeight + 6));

    setTabOrder(TrackBar_Left, TrackBar_Top);
    setTabOrder(TrackBar_Top, TrackBar_Right);
    setTabOrder(TrackBar_Right, TrackBar_Bottom);
    setTabOrder(TrackBar_Bottom, BackBtn);
    setTabOrder(BackBtn, NextBtn);
    setTabOrder(NextBtn, StartBtn);
    setTabOrder(StartBtn, EndBtn);
    setTabOrder(EndBtn, BitBtn1);
    setTabOrder(BitBtn1, BitBtn3);
    setTabOrder(BitBtn3, BitBtn2);

    for (QSlider* bar : {TrackBar_Top, TrackBar_Bottom, TrackBar_Left, TrackBar_Right})
        connect(bar, &QSlider::valueChanged, this, &TSetForm::TrackBar_TopChange);
    connect(StartBtn, &QPushButton::clicked, this, &TSetForm::StartBtnClick);
    connect(BackBtn, &QPushButton::clicked, this, &TSetForm::BackBtnClick);
    connect(NextBtn, &QPushButton::clicked, this, &TSetForm::NextBtnClick);
    connect(EndBtn, &QPushButton::clicked, this, &TSetForm::EndBtnClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TSetForm::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TSetForm::BitBtn3Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);  // Escape too
    FormCreate(mainWindow);
}

void TSetForm::FormCreate(QWidget* mainWindow) {
    if (!mainWindow) return;
    const QRect main = mainWindow->window()->frameGeometry();
    move(main.left() + (main.width() - width()) / 2, main.top() + (main.height() - height()) / 2);
}

void TSetForm::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TSetForm::FormShow() {
    if (!view_ || !view_->document()) return;
    const AlbumDocument& doc = *view_->document();
    const QFileInfo file(doc.fileName);
    // A file nobody may write is read-only, even to an account that could.
    const bool readOnly =
        !(file.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    BitBtn3->setEnabled(file.exists() && file.isWritable() && !readOnly);
    SyncNavigationButtons();
    const PageMargins& margins = view_->sheetGeometry().margins;
    SetBars(margins.top, margins.bottom, margins.left, margins.right);
}

void TSetForm::SetBars(int top, int bottom, int left, int right) {
    suppressChange_ = true;
    TrackBar_Top->setValue(top);
    TrackBar_Bottom->setValue(bottom);
    TrackBar_Left->setValue(left);
    TrackBar_Right->setValue(right);
    suppressChange_ = false;
}

void TSetForm::SyncNavigationButtons() {
    // The same state as the frame's toolbar buttons of these names.
    const NavigationState nav = view_ ? view_->navigation() : NavigationState{};
    StartBtn->setEnabled(nav.start);
    BackBtn->setEnabled(nav.back);
    NextBtn->setEnabled(nav.next);
    EndBtn->setEnabled(nav.end);
}

void TSetForm::TrackBar_TopChange() {
    if (suppressChange_ || !view_) return;
    view_->SetMargins(TrackBar_Top->value(), TrackBar_Bottom->value(), TrackBar_Left->value(),
                      TrackBar_Right->value());
}

void TSetForm::StartBtnClick() {
    if (view_) view_->StartBtnClick();
    SyncNavigationButtons();
}

void TSetForm::BackBtnClick() {
    if (view_) view_->BackBtnClick();
    SyncNavigationButtons();
}

void TSetForm::NextBtnClick() {
    if (view_) view_->NextBtnClick();
    SyncNavigationButtons();
}

void TSetForm::EndBtnClick() {
    if (view_) view_->EndBtnClick();
    SyncNavigationButtons();
}

void TSetForm::BitBtn1Click() {
    SetBars(0, 0, 0, 0);
    if (view_) view_->SetMargins(0, 0, 0, 0);
}

void TSetForm::BitBtn3Click() {
    if (!view_ || !ConfirmMessage(QStringLiteral("ブラウザファイルに設定を記録しますか？"))) return;
    QString error;
    if (!view_->WriteMarginsToFile(&error)) ErrorMessage(error);
}
