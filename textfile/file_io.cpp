#include "textfile/file_io.h"

#include "textfile/code_page.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

namespace {

bool Fail(QString *error, const QString &what, int err)
{
    if (error)
        *error = QStringLiteral("%1: %2").arg(what, qt_error_string(err));
    return false;
}

bool WriteAll(int fd, const char *p, qsizetype n)
{
    while (n > 0) {
        const ssize_t done = ::write(fd, p, size_t(n));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += done;
        n -= done;
    }
    return true;
}

}  // namespace

bool WriteFileAtomically(const QString &path, const QByteArray &data, QString *error)
{
    // Write through a symbolic link rather than replacing the link itself.
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty())
        target = info.canonicalFilePath();
    const QFileInfo targetInfo(target);
    if (targetInfo.isDir())
        return Fail(error, QStringLiteral("cannot replace %1").arg(target), EISDIR);

    const QByteArray targetName = QFile::encodeName(target);
    const QByteArray dirName = QFile::encodeName(targetInfo.absolutePath());
    QByteArray tempName;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tempName = dirName + '/' + '.' + QFile::encodeName(targetInfo.fileName()) + '.'
                   + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return Fail(error, QStringLiteral("cannot create a file in %1").arg(targetInfo.absolutePath()), errno);

    struct stat old {};
    if (::stat(targetName.constData(), &old) == 0) {
        // Keep the old file's owner and permissions; failing that is no reason to stop.
        const bool ownerKept = ::fchown(fd, old.st_uid, old.st_gid) == 0;
        Q_UNUSED(ownerKept);
        ::fchmod(fd, old.st_mode & 07777);
    }

    int err = 0;
    if (!WriteAll(fd, data.constData(), data.size()) || ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(tempName.constData(), targetName.constData()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(tempName.constData());
        return Fail(error, QStringLiteral("cannot write %1").arg(target), err);
    }

    // Make the rename itself durable.
    const int dirFd = ::open(dirName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool ReadFileBytes(const QString &path, QByteArray *data, bool *missing, QString *error)
{
    data->clear();
    *missing = false;
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking, so that opening a FIFO with no writer cannot hang; checked before anything is read.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int err = errno;
        if (!QFileInfo::exists(path)) {
            *missing = true;
            return true;
        }
        return Fail(error, QStringLiteral("cannot read %1").arg(path), err);
    }
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return Fail(error, QStringLiteral("cannot read %1").arg(path), errno);
    if (!S_ISREG(st.st_mode)) {
        if (error)
            *error = QStringLiteral("cannot read %1: not a regular file").arg(path);
        return false;
    }
    if (st.st_size > kMaxReadFileBytes) {
        if (error)
            *error = QStringLiteral("cannot read %1: larger than %2 bytes").arg(path).arg(kMaxReadFileBytes);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QByteArray bytes;
    bytes.reserve(qsizetype(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return Fail(error, QStringLiteral("cannot read %1").arg(path), errno);
        }
        if (got == 0)
            break;
        // The file may grow while it is read.
        if (bytes.size() + got > kMaxReadFileBytes) {
            if (error)
                *error = QStringLiteral("cannot read %1: larger than %2 bytes").arg(path).arg(kMaxReadFileBytes);
            return false;
        }
        bytes.append(buffer, got);
    }
    *data = std::move(bytes);
    return true;
}

bool ReadTextFileBytes(const QString &path, QByteArray *bytes, QString *error)
{
    bool missing = false;
    if (!ReadFileBytes(path, bytes, &missing, error))
        return false;
    if (missing)
        return Fail(error, QStringLiteral("cannot read %1").arg(path), ENOENT);
    return true;
}

bool ReadTextFile(const QString &path, QString *text, QString *error)
{
    QByteArray bytes;
    if (!ReadTextFileBytes(path, &bytes, error))
        return false;
    *text = DecodeText(bytes);
    return true;
}

bool WriteTextFile(const QString &path, const QString &text, QString *error)
{
    return WriteFileAtomically(path, EncodeText(text), error);
}

QString WithDefaultExtension(const QString &name, const QString &extension)
{
    const qsizetype slash = name.lastIndexOf(u'/');
    if (name.indexOf(u'.', slash + 1) >= 0)
        return name;
    return name + extension;
}

QString DatedFileName(const QDate &date, const QString &suffix)
{
    return QString::asprintf("%02d_%02d_%02d_", (date.year() % 100 + 100) % 100, date.month(), date.day()) + suffix;
}

}  // namespace orvane
