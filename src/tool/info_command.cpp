// neridal-tool info FILE: opens an album through the viewer's loader and prints
// what it read as one JSON object.

#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include "document/album_info.h"
#include "tool/tool_command.h"

namespace {

constexpr int kInfoPpi = 96;

int Refused(const LoadError& error) {
    switch (error.kind) {
        case LoadError::Kind::NotFound:
        case LoadError::Kind::BadName:
        case LoadError::Kind::BadVersion:
            ToolErr(error.message + QLatin1Char('\n'));
            break;
        case LoadError::Kind::NoPages:
            ToolErr(QStringLiteral("%1: the document has no pages\n").arg(error.fileName));
            break;
        default:
            ToolErr(QStringLiteral("%1: damaged or unreadable album: %2\n")
                        .arg(error.fileName, error.reason));
    }
    return 1;
}

int RunInfo(const QStringList& args) {
    if (args.size() != 1) {
        ToolErr(QStringLiteral("usage: neridal-tool info FILE\n"));
        return 2;
    }
    QTemporaryDir work;  // the temporary copy of a format-1.x album goes here
    if (!work.isValid()) {
        ToolErr(QStringLiteral("cannot create a temporary folder\n"));
        return 1;
    }
    LoadError error;
    std::unique_ptr<const AlbumDocument> doc =
        OpenAlbum(args[0], OpenOptions{work.path() + QLatin1Char('/')}, &error);
    if (!doc) return Refused(error);

    QStringList irregularities = doc->irregularities;
    const std::optional<QString> json = AlbumInfoJson(*doc, kInfoPpi, &error, &irregularities);
    // What was read although its producer wrote it irregularly is no damage:
    // it is mentioned, and the exit status stays 0.
    for (const QString& irregularity : std::as_const(irregularities))
        ToolErr(QStringLiteral("%1: irregular album: %2\n").arg(doc->fileName, irregularity));
    if (!json) return Refused(error);
    ToolOut(*json + QLatin1Char('\n'));
    return 0;
}

const ToolCommand kInfo("info", "FILE  (the album as the viewer reads it, as JSON)", RunInfo);

}  // namespace
