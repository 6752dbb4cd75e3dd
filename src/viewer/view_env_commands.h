#pragma once

#include <QString>

#include "viewer/view_env.h"

class QIniFile;

// Reading and writing the view settings (section View_Env of NERIDAL.INI) and
// the two commands of the document window's 現在の環境 submenu.

enum class EnvAccess { Read, Write };

// Read: each of the nine values is read with its current value as default;
// then the settings count as loaded. Write: only once they were loaded; all
// nine values in their fixed order, then the file is flushed.
void AccessViewEnv(EnvAccess mode);

// The same on an explicit store and value set (no loaded flag).
void ReadViewEnv(ViewEnv& env, const QIniFile& ini);
void WriteViewEnv(const ViewEnv& env, QIniFile& ini);

bool ViewEnvLoaded();
// True once the reset command ran in this run: the exit then leaves the file alone.
bool ViewEnvWasReset();
// Test use: back to the state at process start (not loaded, not reset, defaults).
void ResetViewEnvState();

// What the record command takes from the document window it is chosen on.
struct DocWindowEnvState {
    bool treePanelVisible = true;
    int treeWidth = 0;
    bool maximized = true;
    int outerWidth = 0;
    int outerHeight = 0;
    int zoomIndex = 1;
    bool statusBarVisible = true;
};

// The settings after recording `window` into `env`: toolbar and page scrolling
// keep their values; a maximised window records its size as 0 x 0.
ViewEnv RecordedViewEnv(const ViewEnv& env, const DocWindowEnvState& window);

inline const QString kRecordedEnvMessage = QStringLiteral("現在の環境を記録しました。");
inline const QString kResetEnvMessage = QStringLiteral("一部の環境は次回起動時に有効です。");

// D1 記録(&D)...: records `window` into the process's settings and writes them.
// The caller then shows kRecordedEnvMessage with InfoMessage.
void RecordViewEnvCommand(const DocWindowEnvState& window);

// R1 初期値に戻す(&R): every value back to its default, written at once, and
// the exit will not write again. The caller then shows the toolbar, its own
// status bar and PageScrollBtn down, and kResetEnvMessage with InfoMessage.
void ResetViewEnvCommand();
