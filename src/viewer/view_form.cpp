#include "viewer/view_form.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "controls/cng_lst_box.h"
#include "controls/focus_control.h"
#include "controls/no_paint_panel.h"
#include "controls/panel_ext.h"
#include "document/album_document.h"
#include "metafile/picture.h"
#include "printing/printer_env.h"
#include "viewer/messages.h"
#include "viewer/page_prefetch.h"
#include "viewer/view_env.h"
#include "viewer/view_env_commands.h"
#include "viewer/view_widgets.h"
#include "viewer/zoom_choices.h"

namespace {

const QColor kPaleColor(211, 223, 224);
const QColor kSilver(192, 192, 192);

QAction* AddItem(QMenu* menu, const QString& caption, int helpContext) {
    QAction* a = menu->addAction(caption);
    if (helpContext > 0) a->setProperty("helpContext", helpContext);
    return a;
}

}  // namespace

TViewForm::TViewForm(FrameControls* frame, QWidget* parent) : QMdiSubWindow(parent), frame_(frame) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("無題"));
    setProperty("helpContext", 82);
    PrinterEnv = std::make_unique<TPrinterEnv>(this);
    prefetch_ = std::make_unique<PagePrefetcher>();
    printableArea_ = PrinterEnv.get();
    CreateComponents();
    CreateMenus();
    FormCreate();
    connect(this, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates oldState, Qt::WindowStates newState) {
                if (newState.testFlag(Qt::WindowActive) && !oldState.testFlag(Qt::WindowActive))
                    FormActivate();
            });
}

TViewForm::~TViewForm() {
    // The base class still moves the focus and sends events while it goes;
    // nothing of this window may answer them any more.
    Timer->stop();
    prefetch_.reset();  // the background loads end before the document goes
    disconnect(FocusControl, nullptr, this, nullptr);
    disconnect(JumpTree, nullptr, this, nullptr);
    ScrollBox->viewport()->removeEventFilter(this);
    ScrollBox->verticalScrollBar()->removeEventFilter(this);
    ScrollBox->horizontalScrollBar()->removeEventFilter(this);
    PL_Paper->removeEventFilter(this);
    widget()->removeEventFilter(this);
}

void TViewForm::CreateComponents() {
    auto* body = new QWidget;
    QFont font = body->font();
    font.setPixelSize(12);
    body->setFont(font);
    auto* bodyLayout = new QHBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);

    Splitter = new QSplitter(Qt::Horizontal, body);
    Splitter->setHandleWidth(2);
    Splitter->setChildrenCollapsible(false);
    bodyLayout->addWidget(Splitter);

    // Contents pane.
    PL_JumpTree = new TNoPaintPanel;
    auto* paneLayout = new QVBoxLayout(PL_JumpTree);
    paneLayout->setContentsMargins(1, 1, 1, 1);
    paneLayout->setSpacing(0);
    PL_JumpTool = new TNoPaintPanel(PL_JumpTree);
    PL_JumpTool->setFixedHeight(18);
    auto* toolLayout = new QHBoxLayout(PL_JumpTool);
    toolLayout->setContentsMargins(0, 0, 0, 0);
    LB_Mokuji = new QLabel(QStringLiteral(" 目次(&M):"), PL_JumpTool);
    // The page area's Alt+P belongs to FocusLabel; this caption only shows it.
    LB_Paper = new QLabel(QStringLiteral(" 用紙(<u>P</u>):"), PL_JumpTool);
    LB_Paper->setTextFormat(Qt::RichText);
    toolLayout->addWidget(LB_Mokuji);
    toolLayout->addStretch();
    toolLayout->addWidget(LB_Paper);
    paneLayout->addWidget(PL_JumpTool);
    JumpTree = new TCngLstBox(PL_JumpTree);
    JumpTree->setToolTip(QStringLiteral("目次を表示します"));
    JumpTree->setFrameShape(QFrame::NoFrame);
    LB_Mokuji->setBuddy(JumpTree);
    paneLayout->addWidget(JumpTree);
    Splitter->addWidget(PL_JumpTree);

    // Page area and status strip.
    Panel1 = new TNoPaintPanel;
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    panelLayout->setSpacing(0);
    auto* pageRow = new QHBoxLayout;
    pageRow->setSpacing(0);
    ScrollBox = new TScrollBox(Panel1);
    ScrollBox->horizontalScrollBar()->setSingleStep(39);
    ScrollBox->verticalScrollBar()->setSingleStep(20);
    pageRow->addWidget(ScrollBox, 1);
    // The page area's keyboard catcher and its Alt+P label sit at zero width
    // beside the scroll area, so that they work with the status strip hidden.
    FocusControl = new TFocusControl(Panel1);
    FocusControl->setFixedWidth(0);
    FocusLabel = new QLabel(QStringLiteral("(&P)"), Panel1);
    FocusLabel->setFixedWidth(0);
    FocusLabel->setBuddy(FocusControl);
    pageRow->addWidget(FocusControl);
    pageRow->addWidget(FocusLabel);
    panelLayout->addLayout(pageRow, 1);
    // A click beside the sheet or on a scroll bar gives the keyboard to the
    // page area, as a click on the sheet does.
    ScrollBox->setFocusPolicy(Qt::ClickFocus);
    ScrollBox->setFocusProxy(FocusControl);
    ScrollBox->horizontalScrollBar()->setFocusPolicy(Qt::NoFocus);
    ScrollBox->verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    PL_Paper = new TSheetPanel(ScrollBox->content());
    PL_Paper->hide();
    PaintBox = new TPaintBox(PL_Paper);
    PaintBox->onPaint = [this](QPainter& p, const QRect& exposed) { PaintBoxPaint(p, exposed); };

    PL_Bottom = new QWidget(Panel1);
    PL_Bottom->setFixedHeight(20);
    auto* bottomLayout = new QHBoxLayout(PL_Bottom);
    bottomLayout->setContentsMargins(1, 1, 1, 1);
    bottomLayout->setSpacing(2);
    PL_Bottom0 = new TPanelExt(PL_Bottom);
    PL_Bottom1 = new TPanelExt(PL_Bottom);
    PL_Bottom2 = new TPanelExt(PL_Bottom);
    for (TPanelExt* p : {PL_Bottom0, PL_Bottom1, PL_Bottom2}) {
        p->setBevelOuter(BevelKind::Lowered);
        p->setMinimumWidth(0);
    }
    PL_Bottom0->setFixedWidth(60);
    PL_Bottom1->setFixedWidth(60);
    PL_Bottom0->setColor(kSilver);
    PL_Bottom1->setColor(kSilver);
    PL_Bottom2->setAlignment(Qt::AlignLeft);
    PL_Bottom2->setColor(PL_Bottom->palette().color(QPalette::Window));
    bottomLayout->addWidget(PL_Bottom0);
    bottomLayout->addWidget(PL_Bottom1);
    bottomLayout->addWidget(PL_Bottom2, 1);
    panelLayout->addWidget(PL_Bottom);
    Splitter->addWidget(Panel1);
    Splitter->setStretchFactor(0, 0);
    Splitter->setStretchFactor(1, 1);
    Splitter->setSizes({225, 568});

    Timer = new QTimer(this);
    Timer->setInterval(200);
    connect(Timer, &QTimer::timeout, this, &TViewForm::TimerTimer);

    connect(JumpTree, &TCngLstBox::indexChange, this, &TViewForm::JumpTreeIndexChange);
    connect(JumpTree, &TCngLstBox::keyDown, this, &TViewForm::JumpTreeKeyDown);
    JumpTree->setDrawItem([this](QPainter& p, int index, const QRect& r, bool selected) {
        JumpTreeDrawItem(p, index, r, selected);
    });
    connect(FocusControl, &TFocusControl::keyDown, this, &TViewForm::FocusControlKeyDown);
    connect(FocusControl, &TFocusControl::entered, this, &TViewForm::FocusControlEnter);
    connect(FocusControl, &TFocusControl::exited, this, &TViewForm::FocusControlExit);
    ScrollBox->viewport()->installEventFilter(this);
    ScrollBox->verticalScrollBar()->installEventFilter(this);
    ScrollBox->horizontalScrollBar()->installEventFilter(this);
    PL_Paper->installEventFilter(this);
    body->installEventFilter(this);

    setWidget(body);
    resize(793, 533);
}

void TViewForm::CreateMenus() {
    File1 = new QMenu(QStringLiteral("ファイル(&F)"), this);
    Mn_Open = AddItem(File1, QStringLiteral("開く(&O)..."), 36);
    Close1 = AddItem(File1, QStringLiteral("閉じる(&C)"), 37);
    File1->addSeparator();
    QMenu* n10 = File1->addMenu(QStringLiteral("現在の環境(&D)"));
    n10->menuAction()->setProperty("helpContext", 39);
    D1 = n10->addAction(QStringLiteral("記録(&D)..."));
    R1 = n10->addAction(QStringLiteral("初期値に戻す(&R)"));
    File1->addSeparator();
    N4 = AddItem(File1, QStringLiteral("書類情報(&I)..."), 38);
    File1->addSeparator();
    Mn_Print = AddItem(File1, QStringLiteral("印刷(&P)..."), 40);
    S1 = AddItem(File1, QStringLiteral("印刷設定(&S)..."), 41);
    Mn_Marjin = AddItem(File1, QStringLiteral("マージン調整(&E)..."), 42);
    File1->addSeparator();
    Mn_Exit = AddItem(File1, QStringLiteral("終了(&X)"), 43);

    N2 = new QMenu(QStringLiteral("書類(&D)"), this);
    Mn_Jump = AddItem(N2, QStringLiteral("頁指定(&J)..."), 46);
    N2->addSeparator();
    Mn_Start = AddItem(N2, QStringLiteral("最初の頁(&S)"), 47);
    Mn_Back = AddItem(N2, QStringLiteral("前の頁(&B)"), 48);
    Mn_Next = AddItem(N2, QStringLiteral("次の頁(&N)"), 49);
    Mn_EndPage = AddItem(N2, QStringLiteral("最後の頁(&E)"), 50);
    N2->addSeparator();
    Mn_PageScroll = AddItem(N2, QStringLiteral("ページを越えてスクロール(&P)"), 51);
    Mn_PageScroll->setCheckable(true);

    const QStringList captions = ZoomMenuCaptions();
    Show1 = new QMenu(QStringLiteral("表示(&V)"), this);
    Mn_Small = AddItem(Show1, QStringLiteral("縮小(&O)"), 52);
    Mn_Big = AddItem(Show1, QStringLiteral("拡大(&I)"), 53);
    Show1->addSeparator();
    for (int i = 0; i < kZoomChoiceCount; ++i) {
        MnZoom[size_t(i)] = AddItem(Show1, captions[i], i == 0 ? 54 : i == 1 ? 55 : 56);
        MnZoom[size_t(i)]->setCheckable(true);
    }
    Show1->addSeparator();
    Mn_Contents = AddItem(Show1, QStringLiteral("目次(&V)"), 57);
    Mn_Contents->setCheckable(true);
    Mn_ToolBar = AddItem(Show1, QStringLiteral("ツールバー(&T)"), 58);
    Mn_ToolBar->setCheckable(true);
    Mn_StatusBar = AddItem(Show1, QStringLiteral("ステータスバー(&S)"), 59);
    Mn_StatusBar->setCheckable(true);

    PopupMenu_Paper = new QMenu(this);
    Po_Small = PopupMenu_Paper->addAction(QStringLiteral("縮小(&O)"));
    Po_Big = PopupMenu_Paper->addAction(QStringLiteral("拡大(&I)"));
    PopupMenu_Paper->addSeparator();
    QMenu* output = PopupMenu_Paper->addMenu(QStringLiteral("出力(&S)"));
    Mn_Output = output->menuAction();
    Mn_File = output->addAction(QStringLiteral("ファイル(&F)..."));
    Mn_Clip = output->addAction(QStringLiteral("クリップボード(&C)"));
    PopupMenu_Paper->addSeparator();
    for (int i = 0; i < kZoomChoiceCount; ++i) {
        PoZoom[size_t(i)] = PopupMenu_Paper->addAction(captions[i]);
        PoZoom[size_t(i)]->setCheckable(true);
    }

    connect(File1, &QMenu::aboutToShow, this, &TViewForm::File1Click);
    connect(N2, &QMenu::aboutToShow, this, &TViewForm::N2Click);
    connect(Show1, &QMenu::aboutToShow, this, &TViewForm::Show1Click);

    connect(Mn_Open, &QAction::triggered, this, [this] {
        if (frame_) frame_->OpenWithDialog();
    });
    connect(Close1, &QAction::triggered, this, &QWidget::close);
    connect(Mn_Exit, &QAction::triggered, this, [this] {
        if (frame_) frame_->CloseFrame();
    });
    connect(D1, &QAction::triggered, this, &TViewForm::D1Click);
    connect(R1, &QAction::triggered, this, &TViewForm::R1Click);
    connect(Mn_Print, &QAction::triggered, this, &TViewForm::PrnBtnClick);
    connect(Mn_File, &QAction::triggered, this, &TViewForm::Mn_FileClick);
    connect(N4, &QAction::triggered, this, &TViewForm::N4Click);
    connect(Mn_Clip, &QAction::triggered, this, &TViewForm::Mn_ClipClick);
    connect(Mn_Marjin, &QAction::triggered, this, &TViewForm::MarjinBtnClick);
    connect(S1, &QAction::triggered, this, &TViewForm::S1Click);
    connect(Mn_Jump, &QAction::triggered, this, &TViewForm::Mn_JumpClick);
    connect(Mn_Start, &QAction::triggered, this, &TViewForm::StartBtnClick);
    connect(Mn_Back, &QAction::triggered, this, &TViewForm::BackBtnClick);
    connect(Mn_Next, &QAction::triggered, this, &TViewForm::NextBtnClick);
    connect(Mn_EndPage, &QAction::triggered, this, &TViewForm::EndBtnClick);
    connect(Mn_PageScroll, &QAction::triggered, this, &TViewForm::Mn_PageScrollClick);
    for (QAction* a : {Mn_Small, Po_Small})
        connect(a, &QAction::triggered, this, &TViewForm::SmallBtnClick);
    for (QAction* a : {Mn_Big, Po_Big})
        connect(a, &QAction::triggered, this, &TViewForm::BigBtnClick);
    for (int i = 0; i < kZoomChoiceCount; ++i) {
        for (QAction* a : {MnZoom[size_t(i)], PoZoom[size_t(i)]})
            connect(a, &QAction::triggered, this, [this, i] { Mn10Click(i); });
    }
    connect(Mn_Contents, &QAction::triggered, this, &TViewForm::Mn_ContentsClick);
    connect(Mn_ToolBar, &QAction::triggered, this, [this] {
        if (frame_) frame_->ToolBarToggle();
    });
    connect(Mn_StatusBar, &QAction::triggered, this, [this] {
        if (frame_)
            frame_->StatusBarToggle();
        else
            PL_Bottom->setVisible(PL_Bottom->isHidden());
    });
}

void TViewForm::FormCreate() {
    if (QScreen* screen = QGuiApplication::primaryScreen(); screen && screen->depth() <= 8) {
        const QColor face = palette().color(QPalette::Button);
        QPalette pal = JumpTree->palette();
        pal.setColor(QPalette::Base, face);
        pal.setColor(QPalette::Text, palette().color(QPalette::ButtonText));
        JumpTree->setPalette(pal);
    } else {
        QPalette pal = JumpTree->palette();
        pal.setColor(QPalette::Base, kPaleColor);
        pal.setColor(QPalette::Text, Qt::black);
        JumpTree->setPalette(pal);
    }
    FocusControlExit();  // the scroll area takes the list's colour

    const ViewEnv& env = ViewEnvironment();
    PL_JumpTree->setVisible(env.treePanel);
    PL_Bottom->setVisible(env.statusBar);
    if (env.treeWidth > 20)
        Splitter->setSizes({env.treeWidth, std::max(width() - env.treeWidth, 1)});
    SyncContentsButton();
    if (env.formMaximized) {
        maximizeOnShow_ = true;  // once the frame holds the window
    } else if (env.formWidth > 20 && env.formHeight > 20) {
        resize(env.formWidth, env.formHeight);
    }
}

void TViewForm::showEvent(QShowEvent* event) {
    QMdiSubWindow::showEvent(event);
    if (std::exchange(maximizeOnShow_, false)) setWindowState(windowState() | Qt::WindowMaximized);
    PrepareContentsMetrics();
    ScrollBoxResize();
}

bool TViewForm::IsActiveFrameWindow() const {
    return frame_ && frame_->BoundOwner() == this;
}

QList<QMenu*> TViewForm::MainMenus() const {
    return {File1, N2, Show1};
}

void TViewForm::FormActivate() {
    if (!frame_) return;
    using B = FrameButton;
    FrameBindings b;
    auto at = [&b](B which) -> std::function<void()>& { return b.clicks[size_t(which)]; };
    at(B::Marjin) = [this] { MarjinBtnClick(); };
    at(B::Prn) = [this] { PrnBtnClick(); };
    at(B::JumpTree) = [this] { Mn_ContentsClick(); };
    at(B::Jump) = [this] { Mn_JumpClick(); };
    at(B::Start) = [this] { StartBtnClick(); };
    at(B::Back) = [this] { BackBtnClick(); };
    at(B::Next) = [this] { NextBtnClick(); };
    at(B::End) = [this] { EndBtnClick(); };
    at(B::Small) = [this] { SmallBtnClick(); };
    at(B::Big) = [this] { BigBtnClick(); };
    at(B::PageScroll) = [this] { Mn_PageScrollClick(); };
    b.zoomPicked = [this] { CB_RituChange(true); };
    frame_->Bind(this, b);

    if (auto* tree = frame_->Button(B::JumpTree)) {
        tree->setEnabled(true);
        tree->setChecked(!PL_JumpTree->isHidden());
    }
    if (auto* scroll = frame_->Button(B::PageScroll))
        scroll->setChecked(ViewEnvironment().pageScroll);
    if (QComboBox* selector = frame_->ZoomSelector()) {
        const QSignalBlocker block(selector);
        selector->setCurrentIndex(zoomIndex_ >= 0 && zoomIndex_ < selector->count() ? zoomIndex_
                                                                                    : -1);
    }
    RefreshNavigationState();
    frame_->RefreshMaximizedChild(this);
}

void TViewForm::closeEvent(QCloseEvent* event) {
    // Only the window that drives the toolbar gives it up; closing a window in
    // the background leaves the active one's controls as they are.
    if (frame_ && IsActiveFrameWindow()) frame_->DisableBound();
    Timer->stop();
    QMdiSubWindow::closeEvent(event);
}

void TViewForm::File1Click() {
    Mn_Marjin->setEnabled(nav_.hasPages);
    Mn_Print->setEnabled(nav_.hasPages);
}

void TViewForm::N2Click() {
    Mn_PageScroll->setChecked(ViewEnvironment().pageScroll);
    Mn_Jump->setEnabled(nav_.jump);
    Mn_Back->setEnabled(nav_.back);
    Mn_Next->setEnabled(nav_.next);
    Mn_Start->setEnabled(nav_.start);
    Mn_EndPage->setEnabled(nav_.end);
    Mn_PageScroll->setEnabled(true);
}

void TViewForm::Show1Click() {
    Mn_Contents->setChecked(!PL_JumpTree->isHidden());
    Mn_ToolBar->setChecked(frame_ && frame_->ToolBarVisible());
    Mn_StatusBar->setChecked(!PL_Bottom->isHidden());
    Mn_Small->setEnabled(zoomButtons_.small);
    Mn_Big->setEnabled(zoomButtons_.big);
    for (int i = 0; i < kZoomChoiceCount; ++i) {
        MnZoom[size_t(i)]->setEnabled(nav_.hasPages);
        MnZoom[size_t(i)]->setChecked(i == zoomIndex_);
    }
}

void TViewForm::PopupMenu_PaperPopup() {
    const Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
    Mn_Output->setVisible(mods.testFlag(Qt::ControlModifier) && mods.testFlag(Qt::ShiftModifier));
    Po_Small->setEnabled(zoomButtons_.small);
    Po_Big->setEnabled(zoomButtons_.big);
    for (int i = 0; i < kZoomChoiceCount; ++i) {
        PoZoom[size_t(i)]->setEnabled(nav_.hasPages);
        PoZoom[size_t(i)]->setChecked(i == zoomIndex_);
    }
}

void TViewForm::ShowContextMenu(const QPoint& globalPos) {
    PopupMenu_PaperPopup();
    PopupMenu_Paper->popup(globalPos);
}

void TViewForm::SyncContentsButton() {
    const bool shown = !PL_JumpTree->isHidden();
    if (frame_ && IsActiveFrameWindow()) {
        if (auto* tree = frame_->Button(FrameButton::JumpTree)) tree->setChecked(shown);
    }
}

void TViewForm::Mn_ContentsClick() {
    PL_JumpTree->setVisible(PL_JumpTree->isHidden());
    SyncContentsButton();
}

void TViewForm::Mn_PageScrollClick() {
    ViewEnv& env = ViewEnvironment();
    env.pageScroll = !env.pageScroll;
    if (frame_ && IsActiveFrameWindow()) {
        if (auto* button = frame_->Button(FrameButton::PageScroll))
            button->setChecked(env.pageScroll);
    }
}

void TViewForm::FocusControlEnter() {
    PL_Paper->setRimColor(Qt::black);
    QPalette pal = ScrollBox->viewport()->palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    ScrollBox->viewport()->setPalette(pal);
}

void TViewForm::FocusControlExit() {
    PL_Paper->setRimColor(Qt::white);
    QPalette pal = ScrollBox->viewport()->palette();
    pal.setColor(QPalette::Window, JumpTree->palette().color(QPalette::Base));
    ScrollBox->viewport()->setPalette(pal);
}

void TViewForm::setShowPrintableArea(bool show) {
    showPrintableArea_ = show;
    PaintBox->repaint();
}

void TViewForm::D1Click() {
    DocWindowEnvState state;
    state.treePanelVisible = !PL_JumpTree->isHidden();
    state.treeWidth = PL_JumpTree->width();
    state.maximized = isMaximized();
    state.outerWidth = width();
    state.outerHeight = height();
    state.zoomIndex = zoomIndex_;
    state.statusBarVisible = !PL_Bottom->isHidden();
    RecordViewEnvCommand(state);
    InfoMessage(kRecordedEnvMessage);
}

void TViewForm::R1Click() {
    ResetViewEnvCommand();
    if (frame_ && !frame_->ToolBarVisible()) frame_->ToolBarToggle();
    PL_Bottom->show();
    if (frame_ && IsActiveFrameWindow()) {
        if (auto* button = frame_->Button(FrameButton::PageScroll)) button->setChecked(true);
    }
    InfoMessage(kResetEnvMessage);
}

void TViewForm::SetStatusTexts() {
    const StatusTexts t =
        StatusTextsFor(doc_ ? doc_->fileName : QString(), JumpTree->currentRow(), JumpTree->count(),
                       currentPage(), pageCount(), pageNumberOffset());
    setWindowTitle(t.title);
    PL_Bottom0->setText(t.contentsPosition);
    PL_Bottom1->setText(t.pagePosition);
    PL_Bottom2->setText(t.documentTitle);
}
