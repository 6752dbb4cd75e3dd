// neridal-tool sample OUTDIR: writes the bundled sample album OUTDIR/SAMPLE.PXA.

#include <QDir>

#include "document/album_writer.h"
#include "tool/sample_album.h"
#include "tool/tool_command.h"

namespace {

int RunSample(const QStringList& args) {
    if (args.size() != 1) {
        ToolErr(QStringLiteral("usage: neridal-tool sample OUTDIR\n"));
        return 2;
    }
    if (!QDir().mkpath(args[0])) {
        ToolErr(QStringLiteral("%1: cannot create the folder\n").arg(args[0]));
        return 1;
    }
    const QString path = QDir(args[0]).filePath(QStringLiteral("SAMPLE.PXA"));
    QString error;
    if (!WriteAlbumFile(path, SampleAlbum(), &error)) {
        ToolErr(QStringLiteral("%1: %2\n").arg(path, error));
        return 1;
    }
    return 0;
}

const ToolCommand kSample("sample", "OUTDIR  (writes the sample album OUTDIR/SAMPLE.PXA)",
                          RunSample);

}  // namespace
