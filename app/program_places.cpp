#include "app/program_places.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace orvane {

bool FolderWritable(const QString &folder)
{
    // Permission bits do not tell about read-only mounts; creating a file does.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".orvane-probe-XXXXXX")));
    return probe.open();
}

ProgramPlaces ResolveProgramPlaces(const QString &programFolder, const QString &xdgConfigHome, const QString &home)
{
    if (FolderWritable(programFolder))
        return {programFolder, programFolder};
    const QString base = !xdgConfigHome.isEmpty() && QDir::isAbsolutePath(xdgConfigHome)
                             ? xdgConfigHome
                             : QDir(home).filePath(QStringLiteral(".config"));
    const QString settings = QDir(base).filePath(QStringLiteral("orvane"));
    QDir().mkpath(settings);
    return {QDir::cleanPath(settings), home};
}

}  // namespace orvane
