#pragma once
// Readers that take a path get the fuzz input as a file in one temporary folder per run.

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

inline QString WriteInput(const QString &name, const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        __builtin_trap();
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    return path;
}
