#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace orvane {

// The program's text files travel between systems that read them as CP932
// (Shift-JIS). A text goes to disk as CP932 whenever that reads back as exactly
// the same text; otherwise as UTF-8, so nothing a user typed is ever lost.
enum class TextEncoding { Cp932, Utf8 };

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const QByteArray &bytes);

// CP932 bytes of the text, or nothing when a character has no CP932 form.
std::optional<QByteArray> ToCp932(const QString &text);

// Bytes that CP932 does not define become U+FFFD.
QString FromCp932(const QByteArray &bytes);

// The encoding EncodeText picks for this text.
TextEncoding ChooseEncoding(const QString &text);

QByteArray EncodeText(const QString &text);

// Valid UTF-8 (an initial byte order mark is dropped) is read as UTF-8,
// anything else as CP932.
QString DecodeText(const QByteArray &bytes);

}  // namespace orvane
