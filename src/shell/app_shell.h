#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class QTimer;
class TControlSize;
class TDropDst;
class TVMainForm;
class TVerForm;
class HandOverServer;
struct HandOverMessage;

// What the application shell adds to the main frame: the start timer and the
// start documents, the hand-over from later starts, the drop target, the
// placement keeper, help, the about box, the web links and the end of run.
class FrameShell : public QObject {
    Q_OBJECT
public:
    // `arguments` are the command line's document paths, `exePath` the
    // executable's full path.
    FrameShell(TVMainForm* frame, const QStringList& arguments, const QString& exePath);
    ~FrameShell() override;

    // Starts listening for hand-overs under `serverName`.
    bool ListenForHandOver(const QString& serverName);

    // WMCopyData: one hand-over message.
    void WMCopyData(const HandOverMessage& message);
    // Timer_StartTimer: opens the start documents, or shows the about box.
    void Timer_StartTimer();
    // DropDstFileDrop: the frame comes forward and opens each dropped file.
    void DropDstFileDrop(const QStringList& files);
    // The about box, created on first use and kept, shown modally.
    void ShowAbout();
    // FormDestroy: settings written unless reset, temporary copies deleted,
    // placement saved. Runs once.
    void FormDestroy();

    QTimer* Timer_Start = nullptr;
    TControlSize* ControlSize = nullptr;
    TDropDst* DropDst = nullptr;
    TVerForm* About() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BringForward();
    bool OpenOne(const QString& path);

    QPointer<TVMainForm> frame_;
    QStringList arguments_;
    QString exePath_;
    HandOverServer* server_ = nullptr;
    QPointer<TVerForm> about_;
    bool startTimerArmed_ = false;
    bool destroyed_ = false;
};

// What the program sets up once on the application before any window: Qt's
// Japanese translations and the help key.
void ConfigureApplication();

// The whole program: folders, the single-instance check and hand-over, the
// main frame with its shell, the message loop and the end of run. Returns the
// process's exit status (0).
int RunApplication(int argc, char** argv);
