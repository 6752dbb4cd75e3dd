#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <vector>

#include <unistd.h>

#include "tool/tool_command.h"

namespace {

std::vector<const ToolCommand*>& Registry() {
    static std::vector<const ToolCommand*> commands;
    return commands;
}

int Usage() {
    QString text = QStringLiteral("usage: neridal-tool COMMAND ...\n");
    for (const ToolCommand* c : Registry())
        text += QStringLiteral("  %1 %2\n")
                    .arg(QString::fromUtf8(c->name), QString::fromUtf8(c->usage));
    ToolErr(text);
    return 2;
}

}  // namespace

ToolCommand::ToolCommand(const char* n, const char* u, Run r) : name(n), usage(u), run(r) {
    Registry().push_back(this);
}

void ToolOut(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stdout);
    std::fflush(stdout);
}

void ToolErr(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stderr);
    std::fflush(stderr);
}

namespace {

// Outside a desktop session there is no runtime folder; give Qt a private one
// so that nothing but the command's own output reaches standard error.
void EnsureRuntimeFolder() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
    const QString dir = QDir::tempPath() + QStringLiteral("/runtime-neridal-%1").arg(getuid());
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir));
}

}  // namespace

int main(int argc, char** argv) {
    // Drawing text needs a GUI application; no screen is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    EnsureRuntimeFolder();
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) return Usage();
    for (const ToolCommand* c : Registry()) {
        if (args[1] == QLatin1String(c->name)) return c->run(args.mid(2));
    }
    return Usage();
}
