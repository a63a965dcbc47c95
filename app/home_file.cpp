#include "app/home_file.h"

#include "textfile/file_io.h"
#include "textfile/ini_file.h"

#include <QDir>
#include <QFileInfo>

namespace orvane {

bool ReadHomeFile(const QString &path, HomeFileContent *content, QString *error)
{
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("cannot read %1: no such file").arg(path);
        return false;
    }
    IniFile ini;
    if (!ini.Load(path, error))
        return false;
    HomeFileContent result;
    for (int n = 1; n <= kChannelCount; ++n) {
        const int value = ini.ReadInteger(kHomeSection, HomeKey(n), kDefaultHomeValue);
        if (IsChannelValueCode(value)) {
            result.values[n - 1] = value;
        } else {
            result.values[n - 1] = kDefaultHomeValue;
            result.outOfRange.append(n);
        }
    }
    *content = result;
    return true;
}

bool SaveHomeFile(const QString &path, const HomePosition &home, QString *error)
{
    IniFile ini;
    if (!ini.Load(path, error))
        return false;
    for (int n = 1; n <= kChannelCount; ++n)
        ini.WriteInteger(kHomeSection, HomeKey(n), home[n - 1]);
    return ini.Flush(error);
}

QString WithHomeFileExtension(const QString &name) { return WithDefaultExtension(name, kHomeExtension); }

QString HomeFileStartName(const QDate &date) { return DatedFileName(date, QStringLiteral("HOME") + kHomeExtension); }

QString HomeFileStartPath(const QString &folder, const QDate &date)
{
    return QDir(folder).filePath(HomeFileStartName(date));
}

}  // namespace orvane
