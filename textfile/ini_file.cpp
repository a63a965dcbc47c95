#include "textfile/ini_file.h"

#include "textfile/code_page.h"
#include "textfile/file_io.h"

#include <cstdint>

namespace orvane {

namespace {

// Only space and tab: an ideographic space typed into a name is content.
bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

QStringView Trim(QStringView s)
{
    while (!s.isEmpty() && IsBlank(s.front()))
        s = s.sliced(1);
    while (!s.isEmpty() && IsBlank(s.back()))
        s.chop(1);
    return s;
}

bool IsQuoted(QStringView s)
{
    return s.size() >= 2 && s.front() == s.back() && (s.front() == u'"' || s.front() == u'\'');
}

QString ValueOf(const QString &line)
{
    QStringView value = Trim(QStringView(line).sliced(line.indexOf(u'=') + 1));
    if (IsQuoted(value))
        value = value.sliced(1, value.size() - 2);
    return value.toString();
}

// Quotes exactly the values the reader would otherwise change, so that
// ReadString gives back what was written.
QString FormatValue(QString value)
{
    // A line break would end the line and turn the rest into a line of its own.
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    if (!value.isEmpty() && (IsBlank(value.front()) || IsBlank(value.back()) || IsQuoted(value)))
        return u'"' + value + u'"';
    return value;
}

}  // namespace

bool IniFile::Load(const QString &path, QString *error)
{
    path_ = path;
    unreadable_ = false;
    readError_.clear();
    lines_.clear();
    QByteArray bytes;
    bool missing = false;
    if (!ReadFileBytes(path, &bytes, &missing, &readError_)) {
        unreadable_ = true;
        if (error)
            *error = readError_;
        return false;
    }
    SetText(DecodeText(bytes));
    return true;
}

void IniFile::SetText(const QString &text)
{
    lines_.clear();
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines_.append(ParseLine(text.mid(start, i - start)));
        if (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines_.append(ParseLine(text.mid(start)));
}

IniFile::Line IniFile::ParseLine(const QString &text)
{
    Line line{text, Kind::Other, {}};
    const QStringView t = Trim(text);
    if (t.startsWith(u';'))
        return line;
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        if (close > 0) {
            line.kind = Kind::Section;
            line.name = Trim(t.sliced(1, close - 1)).toString();
        }
        return line;
    }
    const qsizetype eq = t.indexOf(u'=');
    if (eq > 0) {
        const QStringView key = Trim(t.first(eq));
        if (!key.isEmpty()) {
            line.kind = Kind::Key;
            line.name = key.toString();
        }
    }
    return line;
}

qsizetype IniFile::FindSection(const QString &section) const
{
    const QStringView wanted = Trim(section);
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Section && lines_[i].name.compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

qsizetype IniFile::SectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::Section)
        ++i;
    return i;
}

qsizetype IniFile::FindKey(const QString &section, const QString &key) const
{
    const qsizetype header = FindSection(section);
    if (header < 0)
        return -1;
    const QStringView wanted = Trim(key);
    const qsizetype end = SectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        if (lines_[i].kind == Kind::Key && lines_[i].name.compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::optional<QString> IniFile::Value(const QString &section, const QString &key) const
{
    const qsizetype i = FindKey(section, key);
    if (i < 0)
        return std::nullopt;
    return ValueOf(lines_[i].text);
}

bool IniFile::SectionExists(const QString &section) const { return FindSection(section) >= 0; }

bool IniFile::KeyExists(const QString &section, const QString &key) const { return FindKey(section, key) >= 0; }

QString IniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    return Value(section, key).value_or(def);
}

int IniFile::ReadInteger(const QString &section, const QString &key, int def) const
{
    const std::optional<QString> value = Value(section, key);
    if (!value)
        return def;
    return ParseInteger(*value).value_or(def);
}

bool IniFile::ReadBool(const QString &section, const QString &key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString text = Trim(key).toString() + u'=' + FormatValue(value);
    const qsizetype header = FindSection(section);
    if (header < 0) {
        lines_.append(ParseLine(u'[' + Trim(section).toString() + u']'));
        lines_.append(ParseLine(text));
        return;
    }
    const qsizetype existing = FindKey(section, key);
    if (existing >= 0) {
        // An unchanged value keeps the line as the user wrote it.
        if (ValueOf(lines_[existing].text) != value)
            lines_[existing] = ParseLine(text);
        return;
    }
    // After the section's last entry, so blank lines and comments that lead
    // into the next section stay with it.
    qsizetype at = header;
    const qsizetype end = SectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const QStringView t = Trim(lines_[i].text);
        if (!t.isEmpty() && !t.startsWith(u';'))
            at = i;
    }
    lines_.insert(at + 1, ParseLine(text));
}

void IniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void IniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString IniFile::Text() const
{
    QString text;
    for (const Line &line : lines_) {
        text += line.text;
        text += QLatin1String("\r\n");
    }
    return text;
}

QByteArray IniFile::Bytes() const { return EncodeText(Text()); }

bool IniFile::Flush(QString *error)
{
    if (unreadable_) {
        // Writing now would replace a file whose content we never saw.
        if (error)
            *error = readError_;
        return false;
    }
    if (path_.isEmpty()) {
        if (error)
            *error = QStringLiteral("no file name");
        return false;
    }
    return WriteFileAtomically(path_, Bytes(), error);
}

std::optional<int> IniFile::ParseInteger(QStringView text)
{
    QStringView s = Trim(text);
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'-' || s.front() == u'+')) {
        negative = s.front() == u'-';
        s = s.sliced(1);
    }
    int base = 10;
    if (s.startsWith(u'$')) {
        base = 16;
        s = s.sliced(1);
    } else if (s.startsWith(u"0x", Qt::CaseInsensitive)) {
        base = 16;
        s = s.sliced(2);
    }
    if (s.isEmpty())
        return std::nullopt;
    uint64_t magnitude = 0;
    for (QChar c : s) {
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c.unicode() - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c.unicode() - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c.unicode() - u'A' + 10;
        else
            return std::nullopt;
        magnitude = magnitude * uint64_t(base) + uint64_t(digit);
        if (magnitude > 0xFFFFFFFFu)
            return std::nullopt;
    }
    if (base == 16) {
        // Eight hex digits fill the 32 bits: 0x8000000F is -2147483633.
        const uint32_t bits = uint32_t(magnitude);
        return int32_t(negative ? 0u - bits : bits);
    }
    if (negative ? magnitude > 0x80000000u : magnitude > 0x7FFFFFFFu)
        return std::nullopt;
    return int(negative ? -int64_t(magnitude) : int64_t(magnitude));
}

}  // namespace orvane
