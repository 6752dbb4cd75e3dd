#include "shell/main_frame.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStandardPaths>
#include <QStyle>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "controls/align_speed_button.h"
#include "controls/enable_panel.h"
#include "controls/paint_combo_box.h"
#include "document/album_format.h"
#include "document/page_output.h"
#include "shell/program_icons.h"
#include "shell/web_links.h"
#include "shell/window_placing.h"
#include "viewer/view_env.h"
#include "viewer/view_form.h"
#include "viewer/zoom_choices.h"

namespace {

constexpr int kHelpContext = 82;
constexpr int kToolbarButtonSize = 28;
// The frame's size as designed, title bar and frame included.
constexpr QSize kDesignedSize(870, 640);
constexpr int kHelpFinder = 11;

QAction* AddItem(QMenu* menu, const QString& caption, int helpContext = 0) {
    QAction* a = menu->addAction(caption);
    if (helpContext > 0) a->setProperty("helpContext", helpContext);
    return a;
}

QFrame* Separator(QWidget* parent) {
    auto* f = new QFrame(parent);
    f->setFrameShape(QFrame::VLine);
    f->setFrameShadow(QFrame::Sunken);
    f->setFixedWidth(3);
    return f;
}

}  // namespace

QString AlbumOpenFilter() {
    QStringList patterns;
    for (const char* ext : AlbumExtensions)
        patterns << QStringLiteral("*.") + QLatin1String(ext);
    return QStringLiteral("ブラウザファイル (%1)").arg(patterns.join(QLatin1Char(' ')));
}

TVMainForm::TVMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("VMainForm"));
    setProperty("helpContext", kHelpContext);
    workFolder_ = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                  QStringLiteral("/MIRAT/TempFiles/NERIDAL/");
    QDir().mkpath(workFolder_);  // a failure shows when a document needs its copy
    documentFolder_ = QCoreApplication::applicationDirPath() + QStringLiteral("/VIEWFILE/");
    QFont f = font();
    f.setPixelSize(12);
    setFont(f);
    CreateToolBar();
    CreateMenus();
    FormCreate();
    SetOuterSize(this, kDesignedSize);
}

TVMainForm::~TVMainForm() {
    // The document windows go first, while the controls they bind still exist.
    for (QMdiSubWindow* w : MdiArea->subWindowList())
        delete w;
}

void TVMainForm::CreateToolBar() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Bevel = new QFrame(central);
    Bevel->setFrameShape(QFrame::HLine);
    Bevel->setFrameShadow(QFrame::Sunken);
    Bevel->setFixedHeight(2);
    layout->addWidget(Bevel);

    PL_Top = new QWidget(central);
    PL_Top->setFixedHeight(32);
    PL_Top->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* bar = new QHBoxLayout(PL_Top);
    bar->setContentsMargins(2, 2, 2, 2);
    bar->setSpacing(0);
    auto button = [&](ToolbarPicture picture, const QString& tip, bool toggle) {
        auto* b = new TAlignSpeedButton(PL_Top);
        b->setFixedSize(kToolbarButtonSize, kToolbarButtonSize);
        b->setIcon(ToolbarIcon(picture));
        b->setIconSize(QSize(kToolbarPictureSize, kToolbarPictureSize));
        b->setToolTip(tip);
        b->setCheckable(toggle);
        bar->addWidget(b);
        return b;
    };
    auto at = [this](FrameButton which) -> TAlignSpeedButton*& { return Buttons[size_t(which)]; };
    SB_Open = button(ToolbarPicture::Open, QStringLiteral("開く"), false);
    at(FrameButton::Marjin) = button(ToolbarPicture::Margin, QStringLiteral("マージン調整"), false);
    at(FrameButton::Prn) = button(ToolbarPicture::Print, QStringLiteral("印刷"), false);
    bar->addWidget(Separator(PL_Top));
    at(FrameButton::PageScroll) =
        button(ToolbarPicture::PageScroll, QStringLiteral("ページを越えてスクロール"), true);
    bar->addWidget(Separator(PL_Top));
    at(FrameButton::JumpTree) = button(ToolbarPicture::Contents, QStringLiteral("目次"), true);
    at(FrameButton::Jump) = button(ToolbarPicture::Jump, QStringLiteral("頁指定"), false);
    at(FrameButton::Start) = button(ToolbarPicture::Start, QStringLiteral("最初の頁"), false);
    at(FrameButton::Back) = button(ToolbarPicture::Back, QStringLiteral("前の頁"), false);
    at(FrameButton::Next) = button(ToolbarPicture::Next, QStringLiteral("次の頁"), false);
    at(FrameButton::End) = button(ToolbarPicture::End, QStringLiteral("最後の頁"), false);
    bar->addWidget(Separator(PL_Top));
    at(FrameButton::Small) = button(ToolbarPicture::Small, QStringLiteral("縮小"), false);
    at(FrameButton::Big) = button(ToolbarPicture::Big, QStringLiteral("拡大"), false);

    PL_Ritu = new TEnablePanel(PL_Top);
    PL_Ritu->setFixedWidth(179);
    PL_Ritu->setToolTip(QStringLiteral("表示率"));
    auto* ritu = new QHBoxLayout(PL_Ritu);
    ritu->setContentsMargins(0, 0, 0, 0);
    ritu->setSpacing(0);
    Label1 = new QLabel(QStringLiteral("  表示率(&R): "), PL_Ritu);
    Label1->setFixedWidth(69);
    CB_Ritu = new TPaintComboBox(PL_Ritu);
    CB_Ritu->setFixedWidth(107);
    CB_Ritu->setFocusPolicy(Qt::ClickFocus);
    QFont selectorFont = CB_Ritu->font();
    selectorFont.setPixelSize(13);
    CB_Ritu->setFont(selectorFont);
    CB_Ritu->addItems(ZoomSelectorItems());
    Label1->setBuddy(CB_Ritu);
    ritu->addWidget(Label1);
    ritu->addWidget(CB_Ritu);
    bar->addWidget(PL_Ritu);
    bar->addStretch();
    layout->addWidget(PL_Top);

    MdiArea = new QMdiArea(central);
    MdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(MdiArea, 1);
    setCentralWidget(central);

    DisableBound();
    connect(SB_Open, &QAbstractButton::clicked, this, &TVMainForm::SB_OpenClick);
    connect(MdiArea, &QMdiArea::subWindowActivated, this, &TVMainForm::MergeMenus);
}

void TVMainForm::CreateMenus() {
    File1 = new QMenu(QStringLiteral("ファイル(&F)"), this);
    Mn_Open = AddItem(File1, QStringLiteral("開く(&O)..."), 36);
    File1->addSeparator();
    Mn_Exit = AddItem(File1, QStringLiteral("終了(&X)"), 43);

    Show1 = new QMenu(QStringLiteral("表示(&V)"), this);
    Mn_ToolBar = AddItem(Show1, QStringLiteral("ツールバー(&T)"), 58);
    Mn_StatusBar = AddItem(Show1, QStringLiteral("ステータスバー(&S)"), 59);
    Mn_ToolBar->setCheckable(true);
    Mn_StatusBar->setCheckable(true);

    Mn_Window = new QMenu(QStringLiteral("ウィンドウ(&W)"), this);
    Mn_Window->menuAction()->setProperty("helpContext", 34);
    V1 = AddItem(Mn_Window, QStringLiteral("横に並べて表示(&V)"), 60);
    T1 = AddItem(Mn_Window, QStringLiteral("縦に並べて表示(&T)"), 61);
    Cascade1 = AddItem(Mn_Window, QStringLiteral("重ねて表示(&C)"), 62);
    ArrangeIcon1 = AddItem(Mn_Window, QStringLiteral("アイコンの整列(&A)"), 63);

    Help1 = new QMenu(QStringLiteral("ヘルプ(&H)"), this);
    Help1->menuAction()->setProperty("helpContext", 35);
    SearchforHelpOn = AddItem(Help1, QStringLiteral("トピックの検索(&K)"), 64);
    Help1->addSeparator();
    QMenu* n4 = Help1->addMenu(QStringLiteral("ホームページ(&H)"));
    Mn_Delna = AddItem(n4, FramePartnerMenuCaption(), 65);
    n4->addSeparator();
    Mn_SeriesSite = AddItem(n4, SeriesMenuCaption());
    N6 = AddItem(n4, QStringLiteral("ハルカゼシリーズの紹介(&C)..."));
    Mn_NewPrg = AddItem(Help1, QStringLiteral("最新のブラウザの入手(&B)"), 66);
    Help1->addSeparator();
    Mn_About = AddItem(Help1, QStringLiteral("バージョン情報(&A)..."), 67);

    PopupMenu = new QMenu(this);
    Mn_ToolBar2 = PopupMenu->addAction(QStringLiteral("ツールバー(&T)"));
    Mn_StatusBar2 = PopupMenu->addAction(QStringLiteral("ステータスバー(&S)"));
    Mn_ToolBar2->setCheckable(true);
    Mn_StatusBar2->setCheckable(true);
    PopupMenu->addSeparator();
    const std::pair<const char*, QSize> presets[] = {
        {"&1 640*480", {640, 480}},   {"&2 800*600", {800, 600}},     {"&3 1024*768", {1024, 768}},
        {"&4 1152*870", {1152, 870}}, {"&5 1280*1024", {1280, 1024}},
    };
    for (const auto& [caption, size] : presets) {
        const QSize s = size;
        connect(PopupMenu->addAction(QString::fromUtf8(caption)), &QAction::triggered, this,
                [this, s] { SizePresetClick(s.width(), s.height()); });
    }

    connect(Mn_Open, &QAction::triggered, this, &TVMainForm::SB_OpenClick);
    connect(Mn_Exit, &QAction::triggered, this, &QWidget::close);
    for (QAction* a : {Mn_ToolBar, Mn_ToolBar2})
        connect(a, &QAction::triggered, this, &TVMainForm::Mn_ToolBarClick);
    for (QAction* a : {Mn_StatusBar, Mn_StatusBar2})
        connect(a, &QAction::triggered, this, &TVMainForm::Mn_StatusBarClick);
    connect(Show1, &QMenu::aboutToShow, this, &TVMainForm::Show1Click);
    connect(PopupMenu, &QMenu::aboutToShow, this, &TVMainForm::PopupMenuPopup);
    connect(PL_Top, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu->popup(PL_Top->mapToGlobal(pos)); });
    connect(V1, &QAction::triggered, this, &TVMainForm::V1Click);
    connect(T1, &QAction::triggered, this, &TVMainForm::T1Click);
    connect(Cascade1, &QAction::triggered, this, &TVMainForm::Cascade1Click);
    connect(ArrangeIcon1, &QAction::triggered, this, &TVMainForm::ArrangeIcon1Click);
    connect(Mn_Window, &QMenu::aboutToShow, this, &TVMainForm::FillWindowMenu);
    connect(Help1, &QMenu::aboutToShow, this, &TVMainForm::Help1Click);
    connect(SearchforHelpOn, &QAction::triggered, this, &TVMainForm::SearchforHelpOnClick);
    auto forward = [this](QAction* a, std::function<void()> TVMainForm::*hook) {
        connect(a, &QAction::triggered, this, [this, hook] {
            if (this->*hook) (this->*hook)();
        });
    };
    forward(Mn_About, &TVMainForm::showAbout);
    forward(Mn_Delna, &TVMainForm::openPartnerHomePage);
    forward(Mn_SeriesSite, &TVMainForm::openSeriesSite);
    forward(N6, &TVMainForm::openCatalogPage);
    forward(Mn_NewPrg, &TVMainForm::openDownloadPage);
    MergeMenus(nullptr);
}

void TVMainForm::FormCreate() {
    setWindowTitle(QStringLiteral("アルバーノ"));
    setWindowIcon(ApplicationIcon());
    const ViewEnv& env = ViewEnvironment();
    PL_Top->setVisible(env.toolBar);
    Bevel->setVisible(env.toolBar);
}

// --- documents ---------------------------------------------------------------

bool TVMainForm::OpenDocumentPath(const QString& path) {
    auto* view = new TViewForm(this);
    view->setWorkFolder(workFolder_);
    MdiArea->addSubWindow(view);
    view->show();
    MdiArea->setActiveSubWindow(view);
    if (view->OpenDocument(path)) return true;
    MdiArea->removeSubWindow(view);
    delete view;
    // The toolbar follows whichever window is left, or goes quiet.
    const QList<QMdiSubWindow*> rest = SubWindowsActiveFirst();
    if (rest.isEmpty()) {
        DisableBound();
    } else if (auto* next = qobject_cast<TViewForm*>(rest.first())) {
        MdiArea->setActiveSubWindow(next);
        next->FormActivate();
    }
    return false;
}

bool TVMainForm::OpenWithDialog() {
    QStringList files;
    if (chooseFiles) {
        files = chooseFiles();
    } else {
        QFileDialog dialog(this, QStringLiteral("ブラウザファイルの読み込み"), documentFolder_,
                           AlbumOpenFilter());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setDefaultSuffix(QLatin1String(AlbumExtensions[0]));
        if (prepareOpenDialog) prepareOpenDialog(dialog);
        if (dialog.exec() == QDialog::Accepted) files = dialog.selectedFiles();
    }
    if (files.isEmpty()) return false;
    for (const QString& file : files)
        OpenDocumentPath(file);
    return true;
}

std::optional<SaveChoice> TVMainForm::ChooseSaveFile() {
    if (!SaveDialog) {
        SaveDialog = new QFileDialog(this);
        SaveDialog->setOption(QFileDialog::DontUseNativeDialog);
        SaveDialog->setAcceptMode(QFileDialog::AcceptSave);
        SaveDialog->setNameFilters(PageSaveFilters());
        SaveDialog->setDefaultSuffix(QLatin1String(kPageSaveDefaultSuffix));
        // A name typed without extension takes the chosen entry's.
        connect(SaveDialog, &QFileDialog::filterSelected, SaveDialog, [this](const QString& f) {
            const QString suffix =
                f.section(QLatin1String("*."), 1).section(QLatin1Char(')'), 0, 0);
            SaveDialog->setDefaultSuffix(suffix);
        });
        SaveDialog->setDirectory(QCoreApplication::applicationDirPath());
        SaveDialog->selectFile(QCoreApplication::applicationDirPath() + QStringLiteral("/画像"));
    }
    // The dialog offers the last name without its extension.
    const QStringList last = SaveDialog->selectedFiles();
    if (!last.isEmpty()) SaveDialog->selectFile(NameWithoutExtension(last.first()));
    const int result = execSaveDialog ? execSaveDialog(*SaveDialog) : SaveDialog->exec();
    const QStringList chosen = SaveDialog->selectedFiles();
    if (result != QDialog::Accepted || chosen.isEmpty()) return std::nullopt;
    const int entry = int(PageSaveFilters().indexOf(SaveDialog->selectedNameFilter())) + 1;
    return SaveChoice{chosen.first(), entry > 0 ? entry : kSaveFilterEmf};
}

void TVMainForm::SB_OpenClick() {
    OpenWithDialog();
}

QList<QMdiSubWindow*> TVMainForm::SubWindowsActiveFirst() const {
    QList<QMdiSubWindow*> list = MdiArea->subWindowList(QMdiArea::StackingOrder);
    std::reverse(list.begin(), list.end());
    if (QMdiSubWindow* active = MdiArea->activeSubWindow()) {
        list.removeAll(active);
        list.prepend(active);
    }
    return list;
}

QList<TViewForm*> TVMainForm::DocumentWindows() const {
    QList<TViewForm*> views;
    for (QMdiSubWindow* w : SubWindowsActiveFirst()) {
        if (auto* view = qobject_cast<TViewForm*>(w)) views << view;
    }
    return views;
}

TViewForm* TVMainForm::ActiveDocument() const {
    return qobject_cast<TViewForm*>(MdiArea->activeSubWindow());
}

// --- FrameControls -------------------------------------------------------------

QAbstractButton* TVMainForm::Button(FrameButton which) {
    return Buttons[size_t(which)];
}
QComboBox* TVMainForm::ZoomSelector() {
    return CB_Ritu;
}
QWidget* TVMainForm::ZoomPanel() {
    return PL_Ritu;
}
bool TVMainForm::ToolBarVisible() const {
    return !PL_Top->isHidden();
}

void TVMainForm::RefreshMaximizedChild(QMdiSubWindow* window) {
    if (!window || !window->isMaximized() || !window->widget()) return;
    // Run the window's size handling again at its current size.
    QWidget* body = window->widget();
    QResizeEvent event(body->size(), body->size());
    QApplication::sendEvent(body, &event);
}

// --- menus ---------------------------------------------------------------------

void TVMainForm::MergeMenus(QMdiSubWindow* active) {
    QMenuBar* bar = menuBar();
    bar->clear();
    if (auto* view = qobject_cast<TViewForm*>(active)) {
        for (QMenu* m : view->MainMenus())
            bar->addMenu(m);
    } else {
        bar->addMenu(File1);
        bar->addMenu(Show1);
    }
    bar->addMenu(Mn_Window);
    bar->addMenu(Help1);
}

void TVMainForm::FillWindowMenu() {
    for (QAction* a : windowListActions_) {
        Mn_Window->removeAction(a);
        a->deleteLater();
    }
    windowListActions_.clear();
    const QList<QMdiSubWindow*> windows = MdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty()) return;
    windowListActions_ << Mn_Window->addSeparator();
    int n = 1;
    for (QMdiSubWindow* w : windows) {
        QAction* a = Mn_Window->addAction(QStringLiteral("&%1 %2").arg(n++).arg(w->windowTitle()));
        a->setCheckable(true);
        a->setChecked(w == MdiArea->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, w] { MdiArea->setActiveSubWindow(w); });
        windowListActions_ << a;
    }
}

void TVMainForm::Mn_ToolBarClick() {
    const bool show = PL_Top->isHidden();
    PL_Top->setVisible(show);
    Bevel->setVisible(show);
}

void TVMainForm::Mn_StatusBarClick() {
    if (TViewForm* view = ActiveDocument())
        view->PL_Bottom->setVisible(view->PL_Bottom->isHidden());
}

void TVMainForm::Show1Click() {
    Mn_ToolBar->setChecked(ToolBarVisible());
    TViewForm* view = ActiveDocument();
    Mn_StatusBar->setVisible(view != nullptr);
    if (view) Mn_StatusBar->setChecked(!view->PL_Bottom->isHidden());
}

void TVMainForm::PopupMenuPopup() {
    Mn_ToolBar2->setChecked(ToolBarVisible());
    TViewForm* view = ActiveDocument();
    Mn_StatusBar2->setVisible(view != nullptr);
    if (view) Mn_StatusBar2->setChecked(!view->PL_Bottom->isHidden());
}

void TVMainForm::Help1Click() {
    SearchforHelpOn->setEnabled(helpAvailable && helpAvailable());
}

void TVMainForm::SearchforHelpOnClick() {
    if (helpRequest) helpRequest(kHelpFinder, 0);
}

void TVMainForm::wheelEvent(QWheelEvent* event) {
    event->accept();
}

// --- window arrangement ------------------------------------------------------------

int TVMainForm::CascadeStep() const {
    const int caption = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, MdiArea);
    const int frame = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, MdiArea);
    return caption + frame / 2;
}

void TVMainForm::Cascade1Click() {
    const QList<QMdiSubWindow*> windows = SubWindowsActiveFirst();
    const int n = int(windows.size());
    const int step = CascadeStep();
    // The frame's client area holds the toolbar (counted also when hidden) and
    // the document windows' area.
    const QSize client = centralWidget()->size();
    const int height = client.height() - PL_Top->height() - n * step;
    const int width = client.width() - n * step;
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* w = windows[i];
        if (w->isMaximized() || w->isMinimized()) w->showNormal();
        w->setGeometry(i * step, i * step, width, height);
    }
}

void TVMainForm::Tile(bool sideBySide) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : SubWindowsActiveFirst()) {
        if (!w->isMinimized()) windows << w;
    }
    if (windows.isEmpty()) return;
    const QSize area = MdiArea->viewport()->size();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* w = windows[i];
        if (w->isMaximized()) w->showNormal();
        if (sideBySide) {
            const int x0 = area.width() * i / n, x1 = area.width() * (i + 1) / n;
            w->setGeometry(x0, 0, x1 - x0, area.height());
        } else {
            const int y0 = area.height() * i / n, y1 = area.height() * (i + 1) / n;
            w->setGeometry(0, y0, area.width(), y1 - y0);
        }
    }
}

void TVMainForm::V1Click() {
    Tile(true);
}
void TVMainForm::T1Click() {
    Tile(false);
}

void TVMainForm::ArrangeIcon1Click() {
    const QSize area = MdiArea->viewport()->size();
    int x = 0;
    int y = area.height();
    for (QMdiSubWindow* w : MdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!w->isMinimized()) continue;
        const QSize s = w->size();
        if (x > 0 && x + s.width() > area.width()) {
            x = 0;
            y -= s.height();
        }
        w->move(x, y - s.height());
        x += s.width();
    }
}

void TVMainForm::SizePresetClick(int width, int height) {
    showNormal();
    SetOuterSize(this, QSize(width, height));
}
