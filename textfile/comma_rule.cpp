#include "textfile/comma_rule.h"

namespace orvane {

namespace {

constexpr char16_t kQuote = u'"';
constexpr char16_t kComma = u',';

// Code 0 is deliberately not blank: the writer does not quote it, so the reader
// must keep it inside a field for a round trip.
inline bool IsBlank(char16_t c) { return c >= 1 && c <= 32; }

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

CommaLineReader::CommaLineReader(QStringView line)
    : p_(reinterpret_cast<const char16_t *>(line.data())), end_(p_ + line.size())
{
    while (p_ < end_ && IsBlank(*p_))
        ++p_;
}

bool CommaLineReader::Next(QStringView *field)
{
    if (pendingEmpty_) {
        pendingEmpty_ = false;
        *field = QStringView();
        return true;
    }
    if (p_ >= end_)
        return false;
    if (*p_ == kQuote) {
        ++p_;
        const char16_t *run = p_;
        bool closed = false;
        bool buffered = false;
        while (p_ < end_) {
            if (*p_ != kQuote) {
                ++p_;
                continue;
            }
            if (p_ + 1 < end_ && p_[1] == kQuote) {
                if (!buffered) {
                    buffer_.clear();
                    buffered = true;
                }
                buffer_.append(QStringView(run, p_ + 1 - run));  // one of the two quotes
                p_ += 2;
                run = p_;
            } else {
                closed = true;
                break;
            }
        }
        // Without a closing quote the field is the rest of the line.
        const QStringView tail(run, p_ - run);
        if (closed)
            ++p_;
        if (buffered) {
            buffer_.append(tail);
            *field = buffer_;
        } else {
            *field = tail;
        }
    } else {
        const char16_t *start = p_;
        while (p_ < end_ && !IsBlank(*p_) && *p_ != kComma)
            ++p_;
        *field = QStringView(start, p_ - start);
    }
    while (p_ < end_ && IsBlank(*p_))
        ++p_;
    if (p_ < end_ && *p_ == kComma) {
        ++p_;
        while (p_ < end_ && IsBlank(*p_))
            ++p_;
        if (p_ == end_)
            pendingEmpty_ = true;
    }
    return true;
}

QStringList SplitCommaLine(QStringView line, qsizetype maxFields)
{
    QStringList fields;
    CommaLineReader reader(line);
    QStringView field;
    while ((maxFields < 0 || fields.size() < maxFields) && reader.Next(&field))
        fields.append(field.toString());
    return fields;
}

bool TextLineReader::Next(QStringView *line)
{
    const qsizetype n = text_.size();
    if (pos_ >= n)
        return false;
    const char16_t *p = reinterpret_cast<const char16_t *>(text_.data());
    qsizetype i = pos_;
    while (i < n && p[i] != u'\r' && p[i] != u'\n')
        ++i;
    *line = text_.mid(pos_, i - pos_);
    if (i < n && p[i] == u'\r' && i + 1 < n && p[i + 1] == u'\n')
        ++i;
    pos_ = i + 1;
    return true;
}

std::vector<QStringView> SplitTextLines(QStringView text, qsizetype maxLines)
{
    std::vector<QStringView> lines;
    TextLineReader reader(text);
    QStringView line;
    while ((maxLines < 0 || qsizetype(lines.size()) < maxLines) && reader.Next(&line))
        lines.push_back(line);
    return lines;
}

}  // namespace orvane
