#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace orvane {

// An INI text file held in memory and written back whole. Sections and keys
// match without regard to case; the first of duplicate sections or keys counts.
// Writing replaces an existing key's line in place, appends a new key at the end
// of its section and a new section at the end of the file; every other line
// (unknown keys and sections, comments, blank lines) stays where it was.
// Lines may end in CR, LF or CR LF when read; they are written with CR LF.
class IniFile {
public:
    IniFile() = default;

    // A missing file loads as an empty one. When an existing file cannot be read
    // the content is empty, false is returned, and Flush will not overwrite it.
    bool Load(const QString &path, QString *error = nullptr);
    void SetText(const QString &text);
    const QString &Path() const { return path_; }

    bool SectionExists(const QString &section) const;
    bool KeyExists(const QString &section, const QString &key) const;

    // Values lose surrounding blanks and one pair of enclosing quotes.
    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    // Decimal, or hexadecimal after "0x" or "$", with an optional sign; anything
    // else (or a missing key) gives `def`.
    int ReadInteger(const QString &section, const QString &key, int def) const;
    // True when the integer value is not 0.
    bool ReadBool(const QString &section, const QString &key, bool def) const;

    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);

    QString Text() const;
    // The text under the code page rule (code_page.h).
    QByteArray Bytes() const;
    // Writes the file atomically (file_io.h); `error` may be null.
    bool Flush(QString *error);

    static std::optional<int> ParseInteger(QStringView text);

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        QString text;
        Kind kind = Kind::Other;
        QString name;  // section or key name, trimmed
    };

    static Line ParseLine(const QString &text);
    qsizetype FindSection(const QString &section) const;
    qsizetype SectionEnd(qsizetype header) const;
    qsizetype FindKey(const QString &section, const QString &key) const;
    std::optional<QString> Value(const QString &section, const QString &key) const;

    QString path_;
    QList<Line> lines_;
    bool unreadable_ = false;
    QString readError_;
};

}  // namespace orvane
