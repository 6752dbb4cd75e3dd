#include "viewer/view_env_commands.h"

#include "core/ini_file.h"

namespace {

const QString kSection = QStringLiteral("View_Env");

struct EnvFlags {
    bool loaded = false;
    bool reset = false;
};

EnvFlags& Flags() {
    static EnvFlags flags;
    return flags;
}

}  // namespace

void ReadViewEnv(ViewEnv& env, const QIniFile& ini) {
    env.treePanel = ini.ReadBool(kSection, QStringLiteral("TreePanel"), env.treePanel);
    env.treeWidth = ini.ReadInteger(kSection, QStringLiteral("TreeWidth"), env.treeWidth);
    env.formMaximized = ini.ReadBool(kSection, QStringLiteral("FormMaximized"), env.formMaximized);
    env.formWidth = ini.ReadInteger(kSection, QStringLiteral("FormWidth"), env.formWidth);
    env.formHeight = ini.ReadInteger(kSection, QStringLiteral("FormHeight"), env.formHeight);
    env.zoomIndex = ini.ReadInteger(kSection, QStringLiteral("ZoomIndex"), env.zoomIndex);
    env.pageScroll = ini.ReadBool(kSection, QStringLiteral("PageScroll"), env.pageScroll);
    env.toolBar = ini.ReadBool(kSection, QStringLiteral("ToolBar"), env.toolBar);
    env.statusBar = ini.ReadBool(kSection, QStringLiteral("StatusBar"), env.statusBar);
}

void WriteViewEnv(const ViewEnv& env, QIniFile& ini) {
    ini.WriteBool(kSection, QStringLiteral("TreePanel"), env.treePanel);
    ini.WriteInteger(kSection, QStringLiteral("TreeWidth"), env.treeWidth);
    ini.WriteBool(kSection, QStringLiteral("FormMaximized"), env.formMaximized);
    ini.WriteInteger(kSection, QStringLiteral("FormWidth"), env.formWidth);
    ini.WriteInteger(kSection, QStringLiteral("FormHeight"), env.formHeight);
    ini.WriteInteger(kSection, QStringLiteral("ZoomIndex"), env.zoomIndex);
    ini.WriteBool(kSection, QStringLiteral("PageScroll"), env.pageScroll);
    ini.WriteBool(kSection, QStringLiteral("ToolBar"), env.toolBar);
    ini.WriteBool(kSection, QStringLiteral("StatusBar"), env.statusBar);
}

void AccessViewEnv(EnvAccess mode) {
    QIniFile ini(QString::fromLatin1(kDefaultIniName));
    if (mode == EnvAccess::Read) {
        ReadViewEnv(ViewEnvironment(), ini);
        Flags().loaded = true;
        return;
    }
    if (!Flags().loaded) return;
    WriteViewEnv(ViewEnvironment(), ini);
    ini.Flush();
}

bool ViewEnvLoaded() {
    return Flags().loaded;
}
bool ViewEnvWasReset() {
    return Flags().reset;
}

void ResetViewEnvState() {
    Flags() = EnvFlags{};
    ViewEnvironment() = ViewEnv{};
}

ViewEnv RecordedViewEnv(const ViewEnv& env, const DocWindowEnvState& window) {
    ViewEnv out = env;
    out.treePanel = window.treePanelVisible;
    out.treeWidth = window.treeWidth;
    out.formMaximized = window.maximized;
    out.formWidth = window.maximized ? 0 : window.outerWidth;
    out.formHeight = window.maximized ? 0 : window.outerHeight;
    out.zoomIndex = window.zoomIndex;
    out.statusBar = window.statusBarVisible;
    return out;
}

void RecordViewEnvCommand(const DocWindowEnvState& window) {
    ViewEnvironment() = RecordedViewEnv(ViewEnvironment(), window);
    AccessViewEnv(EnvAccess::Write);
}

void ResetViewEnvCommand() {
    ViewEnvironment() = ViewEnv{};
    AccessViewEnv(EnvAccess::Write);
    Flags().reset = true;
}
