#include "shell/termination.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <csignal>

namespace {

int g_pipe[2] = {-1, -1};
volatile sig_atomic_t g_pending = 0;
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int signal) {
    if (g_pending) {
        // Asked twice: the ordinary close did not finish; leave now.
        std::signal(signal, SIG_DFL);
        raise(signal);
        return;
    }
    g_pending = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(g_pipe[1], &byte, 1);
}

struct Handler {
    QSocketNotifier* notifier = nullptr;
    std::function<void()> close;
};

Handler& State() {
    static Handler handler;
    return handler;
}

}  // namespace

void InstallTerminationHandler(std::function<void()> close) {
    RemoveTerminationHandler();
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0) return;
    State().close = std::move(close);
    State().notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read);
    QObject::connect(State().notifier, &QSocketNotifier::activated, [] {
        char byte;
        [[maybe_unused]] const ssize_t n = read(g_pipe[0], &byte, 1);
        if (State().close) State().close();
    });
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals)
        sigaction(signal, &action, nullptr);
}

void RemoveTerminationHandler() {
    for (int signal : kSignals)
        std::signal(signal, SIG_DFL);
    delete State().notifier;
    State().notifier = nullptr;
    State().close = nullptr;
    for (int& fd : g_pipe) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
    g_pending = 0;
}
