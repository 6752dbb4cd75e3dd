#pragma once

// A private data folder for one test: XDG_DATA_HOME points into a temporary
// folder, the process's folders and settings folder follow it, and the view
// settings start afresh.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <ostream>

#include "document/album_writer.h"
#include "metafile/emf_writer.h"
#include "shell/folders.h"
#include "viewer/view_env_commands.h"

// Readable test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

class ScopedWorkFolder {
public:
    ScopedWorkFolder() {
        previous_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dir_.filePath("data").toLocal8Bit());
        folders_ = ResolveFolders(dir_.filePath("prog/neridal"), dir_.filePath("data"));
        QDir().mkpath(folders_.work);
        QDir().mkpath(folders_.program);
        SetAppFolders(folders_);
        ResetViewEnvState();
    }
    ~ScopedWorkFolder() {
        SetAppFolders(Folders{});
        ResetViewEnvState();
        if (previous_.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", previous_);
    }
    const Folders& folders() const { return folders_; }
    QString work() const { return folders_.work; }
    QString root() const { return dir_.path() + QLatin1Char('/'); }
    QString ini() const { return folders_.work + QStringLiteral("NERIDAL.INI"); }

    static void Touch(const QString& path, const QByteArray& bytes = "x") {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir dir_;
    QByteArray previous_;
    Folders folders_;
};

// A small valid album of `pages` pages at `path`; a producer version below
// 20000 makes a format-1.x document, which gets a temporary copy when opened.
inline QString WriteTestAlbum(const QString& path, Scaled version = 30000, int pages = 2) {
    AlbumDraft album;
    album.producer = "PXA";
    album.producerVersion = version;
    album.settings = DefaultSettings();
    for (int i = 0; i < pages; ++i) {
        mf::EmfWriter emf(QSizeF(210, 297));
        emf.Rectangle(QRect(10 + i, 10, 100, 50));
        album.pages.push_back({emf.Finish(), 0, {}, {}});
    }
    WriteAlbumFile(path, album);
    return path;
}
