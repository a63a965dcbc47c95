#include "app/home_file.h"

#include "textfile/ini_file.h"

#include <QDir>
#include <QFileInfo>

namespace orvane {

bool IsChannelValueCode(int value)
{
    return (value >= 0 && value <= 180) || (value >= 221 && value <= 227);
}

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

QString WithHomeFileExtension(const QString &name)
{
    const qsizetype slash = name.lastIndexOf(u'/');
    if (name.indexOf(u'.', slash + 1) >= 0)
        return name;
    return name + kHomeExtension;
}

QString HomeFileStartName(const QDate &date)
{
    return QString::asprintf("%02d_%02d_%02d_HOME.vpd", (date.year() % 100 + 100) % 100,
                             date.month(), date.day());
}

QString HomeFileStartPath(const QString &folder, const QDate &date)
{
    return QDir(folder).filePath(HomeFileStartName(date));
}

}  // namespace orvane
