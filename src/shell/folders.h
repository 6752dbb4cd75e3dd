#pragma once

#include <QString>

// The program's three folders, each with a trailing separator.
struct Folders {
    QString program;   // the executable's folder
    QString document;  // program folder + "VIEWFILE": where the open dialog starts
    QString work;      // per-user folder for the settings file and the temporary copies
};

// The folders for an executable at `exePath` whose per-user data folder is
// `dataFolder` (QStandardPaths::GenericDataLocation, which honours
// XDG_DATA_HOME).
Folders ResolveFolders(const QString& exePath, const QString& dataFolder);

// A folder path with exactly one trailing separator.
QString WithTrailingSeparator(const QString& folder);

// Resolves the folders for the running executable, creates the work folder
// when it is missing (a failure only beeps) and makes the work folder the
// settings folder. Needs the application object.
void InitFolders();

// The folders set by InitFolders.
const Folders& AppFolders();

// Test use: replaces the process's folders (and the settings folder).
void SetAppFolders(const Folders& folders);

// Creates `folder` with its missing parents; false when it does not exist
// afterwards.
bool EnsureFolder(const QString& folder);
