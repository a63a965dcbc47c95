#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

namespace orvane {

// Replaces `path` with `data` so that the file holds either the old or the new
// content, never a mix: a temporary file beside it is written, synced and
// renamed over it. On failure (read-only folder, full disk, missing folder) the
// old file is untouched, `error` (may be null) says why, and false is returned.
bool WriteFileAtomically(const QString &path, const QByteArray &data, QString *error);

// Readers refuse, before reading, anything larger: no file of ours comes near it.
inline constexpr qint64 kMaxReadFileBytes = 256 * 1024 * 1024;

// A missing file is not an error: `*missing` is set and `*data` left empty.
// Anything but a regular file (FIFO, device, folder) and files above kMaxReadFileBytes are refused.
bool ReadFileBytes(const QString &path, QByteArray *data, bool *missing, QString *error);

// Whole text files under the code page rule (see code_page.h). A missing file
// reads as an error here; callers that accept it use ReadFileBytes.
bool ReadTextFile(const QString &path, QString *text, QString *error);
// The same file's bytes, undecoded (for FileLineReader).
bool ReadTextFileBytes(const QString &path, QByteArray *bytes, QString *error);
bool WriteTextFile(const QString &path, const QString &text, QString *error);

// The name with `extension` (".csv") appended when its last part has no extension of its own.
QString WithDefaultExtension(const QString &name, const QString &extension);
// The start names of the file dialogs: two-digit year, month and day joined by "_", then "_" and the
// suffix ("24_05_17_MOTION.csv").
QString DatedFileName(const QDate &date, const QString &suffix);

}  // namespace orvane
