#include "shell/app_shell.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QTranslator>

#include "shell/about_box.h"
#include "shell/control_size.h"
#include "shell/drop_target.h"
#include "shell/end_of_run.h"
#include "shell/folders.h"
#include "shell/hand_over.h"
#include "shell/help.h"
#include "shell/main_frame.h"
#include "shell/open_dialog.h"
#include "shell/program_icons.h"
#include "shell/qt_translations.h"
#include "shell/single_instance.h"
#include "shell/start_list.h"
#include "shell/termination.h"
#include "shell/test_log.h"
#include "shell/web_links.h"
#include "viewer/view_env_commands.h"

namespace {

constexpr int kStartDelayMs = 300;

}  // namespace

FrameShell::FrameShell(TVMainForm* frame, const QStringList& arguments, const QString& exePath)
    : QObject(frame), frame_(frame), arguments_(arguments), exePath_(exePath) {
    Timer_Start = new QTimer(this);
    Timer_Start->setSingleShot(true);
    Timer_Start->setInterval(kStartDelayMs);
    connect(Timer_Start, &QTimer::timeout, this, &FrameShell::Timer_StartTimer);

    ControlSize = new TControlSize(frame);
    ControlSize->SizeOnShow = true;
    ControlSize->ScreenSenter = true;
    ControlSize->Style = ControlSizeStyle::Size;

    DropDst = new TDropDst(frame);
    DropDst->OnFileDrop = [this](const QStringList& files, int, int) { DropDstFileDrop(files); };

    frame->installEventFilter(this);
    frame->setProperty("helpContext", kMainHelpContext);
    frame->helpRequest = [](int command, int data) {
        ApplicationHelp::Instance().Request(static_cast<HelpCommand>(command), data);
    };
    frame->helpAvailable = [] { return HelpAvailable(); };
    frame->showAbout = [this] { ShowAbout(); };
    frame->openPartnerHomePage = &OpenPartnerHomePage;
    frame->openSeriesSite = &OpenSeriesSite;
    frame->openCatalogPage = &OpenCatalogPage;
    frame->openDownloadPage = &OpenDownloadPage;
    frame->prepareOpenDialog = &PrepareAlbumOpenDialog;
}

FrameShell::~FrameShell() = default;

TVerForm* FrameShell::About() const {
    return about_.data();
}

bool FrameShell::ListenForHandOver(const QString& serverName) {
    if (!server_)
        server_ = new HandOverServer([this](const HandOverMessage& m) { WMCopyData(m); }, this);
    return server_->Listen(serverName);
}

bool FrameShell::eventFilter(QObject* watched, QEvent* event) {
    // The type is tested first: while the frame is being destroyed it still
    // sends events here, and it is no longer a TVMainForm to compare against.
    if (event->type() == QEvent::Show && !startTimerArmed_ && watched == frame_) {
        startTimerArmed_ = true;
        Timer_Start->start();
    }
    return QObject::eventFilter(watched, event);
}

bool FrameShell::OpenOne(const QString& path) {
    TestLog(QStringLiteral("open ") + path);
    try {
        return frame_ && frame_->OpenDocumentPath(path);
    } catch (...) {
        return false;
    }
}

void FrameShell::Timer_StartTimer() {
    Timer_Start->stop();
    const QStringList list =
        BuildStartList(arguments_, exePath_, WithTrailingSeparator(QFileInfo(exePath_).path()));
    if (list.isEmpty()) {
        ShowAbout();
        return;
    }
    bool lastOpened = false;
    for (const QString& path : list)
        lastOpened = OpenOne(path);
    if (lastOpened && frame_ && frame_->MdiArea)
        if (QMdiSubWindow* window = frame_->MdiArea->activeSubWindow())
            frame_->RefreshMaximizedChild(window);
}

void FrameShell::BringForward() {
    if (!frame_) return;
    if (frame_->isMinimized())
        frame_->setWindowState((frame_->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    frame_->show();
    frame_->raise();
    frame_->activateWindow();
}

void FrameShell::WMCopyData(const HandOverMessage& message) {
    QWidget* active = QApplication::activeWindow();
    const bool foreign =
        QApplication::activeModalWidget() != nullptr || (active && active != frame_);
    const HandOverStep step = DecideHandOver(message, foreign);
    if (step == HandOverStep::Ignore) return;
    TestLog(QStringLiteral("raise"));
    BringForward();
    if (step == HandOverStep::RaiseAndOpen) OpenOne(HandOverText(message));
}

void FrameShell::DropDstFileDrop(const QStringList& files) {
    BringForward();
    OpenDroppedFiles(files, [this](const QString& path) { OpenOne(path); });
}

void FrameShell::ShowAbout() {
    TestLog(QStringLiteral("about"));
    if (!about_) {
        TVMainForm* frame = frame_;
        about_ = new TVerForm([frame] { return frame && frame->OpenWithDialog(); }, frame_);
    }
    about_->exec();
}

void FrameShell::FormDestroy() {
    if (destroyed_ || !frame_) return;
    destroyed_ = true;
    EndOfRun(frame_->ToolBarVisible(), AppFolders().work);
    ControlSize->FormDestroy();
}

int RunApplication(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList arguments = app.arguments();
    const QString exePath = QCoreApplication::applicationFilePath();
    if (!arguments.isEmpty()) arguments.removeFirst();

    InitFolders();
    const QString work = AppFolders().work;
    InstanceLock lock(work);
    if (!CheckPreviousInstance(lock, work, arguments)) return 0;

    // Window titles stay exactly the program's own: no application display
    // name, which the window system would append to every title.
    QTranslator qtTexts;
    if (LoadQtTranslations(qtTexts)) QCoreApplication::installTranslator(&qtTexts);
    QApplication::setWindowIcon(ApplicationIcon());
    InstallHelpKey();
    ApplicationHelp::Instance().SetFolder(HelpFolder());

    AccessViewEnv(EnvAccess::Read);
    {
        TVMainForm frame;
        frame.setObjectName(QStringLiteral("VMainForm"));
        frame.setWorkFolder(work);
        frame.setDocumentFolder(AppFolders().document);
        FrameShell shell(&frame, arguments, exePath);
        shell.ListenForHandOver(HandOverServerName(work));
        QPointer<TVMainForm> guard(&frame);
        InstallTerminationHandler([guard] {
            if (guard) guard->close();
        });
        // At the session's end the settings are saved even if the session
        // manager never lets the program close normally.
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &frame, [&frame] {
            if (!ViewEnvWasReset()) {
                ViewEnvironment().toolBar = frame.ToolBarVisible();
                AccessViewEnv(EnvAccess::Write);
            }
        });
        frame.show();
        app.exec();
        shell.FormDestroy();
        RemoveTerminationHandler();
    }
    lock.Release();
    return 0;
}
