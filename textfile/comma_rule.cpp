#include "textfile/comma_rule.h"

namespace orvane {

namespace {

constexpr char16_t kQuote = u'"';
constexpr char16_t kComma = u',';

// Code 0 is deliberately not blank: the writer does not quote it, so the reader
// must keep it inside a field for a round trip.
inline bool IsBlank(char16_t c)
{
    return c >= 1 && c <= 32;
}

}  // namespace

bool CommaFieldNeedsQuotes(QStringView field)
{
    for (const QChar ch : field) {
        const char16_t c = ch.unicode();
        if (IsBlank(c) || c == kComma || c == kQuote)
            return true;
    }
    return false;
}

void AppendCommaField(QString &line, QStringView field)
{
    if (!CommaFieldNeedsQuotes(field)) {
        line.append(field);
        return;
    }
    line.append(QChar(kQuote));
    qsizetype start = 0;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i].unicode() == kQuote) {
            line.append(field.mid(start, i + 1 - start));
            line.append(QChar(kQuote));
            start = i + 1;
        }
    }
    line.append(field.mid(start));
    line.append(QChar(kQuote));
}

QString JoinCommaLine(const QStringList &fields)
{
    QString line;
    qsizetype estimate = fields.size();
    for (const QString &f : fields)
        estimate += f.size() + 2;
    line.reserve(estimate);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line.append(QChar(kComma));
        AppendCommaField(line, fields[i]);
    }
    return line;
}

QStringList SplitCommaLine(QStringView line, qsizetype maxFields)
{
    QStringList fields;
    if (maxFields == 0)
        return fields;
    const char16_t *p = reinterpret_cast<const char16_t *>(line.data());
    const char16_t *const end = p + line.size();
    const auto full = [&] { return maxFields >= 0 && fields.size() >= maxFields; };

    while (p < end && IsBlank(*p))
        ++p;
    while (p < end) {
        if (*p == kQuote) {
            QString field;
            ++p;
            const char16_t *run = p;
            while (p < end) {
                if (*p != kQuote) {
                    ++p;
                    continue;
                }
                field.append(QStringView(run, p - run));
                if (p + 1 < end && p[1] == kQuote) {
                    field.append(QChar(kQuote));
                    p += 2;
                    run = p;
                } else {
                    ++p;
                    run = nullptr;
                    break;
                }
            }
            if (run)  // no closing quote: the rest of the line
                field.append(QStringView(run, p - run));
            fields.append(std::move(field));
        } else {
            const char16_t *start = p;
            while (p < end && !IsBlank(*p) && *p != kComma)
                ++p;
            fields.append(QStringView(start, p - start).toString());
        }
        if (full())
            return fields;
        while (p < end && IsBlank(*p))
            ++p;
        if (p < end && *p == kComma) {
            ++p;
            while (p < end && IsBlank(*p))
                ++p;
            if (p == end)
                fields.append(QString());
        }
    }
    return fields;
}

std::vector<QStringView> SplitTextLines(QStringView text)
{
    std::vector<QStringView> lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        lines.push_back(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1].unicode() == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.push_back(text.mid(start));
    return lines;
}

}  // namespace orvane
