#include "teaching/hand_trace.h"

#include "textfile/file_io.h"

#include <QList>

#include <cctype>

namespace orvane {

namespace {

constexpr qint64 kLongestTraceMs = 24LL * 3600 * 1000;

bool ParseInt(QByteArrayView field, qint64 &value)
{
    bool ok = false;
    value = field.trimmed().toLongLong(&ok);
    return ok;
}

bool StartsWithNumber(const QByteArray &line)
{
    const QByteArray t = line.trimmed();
    return !t.isEmpty() && (std::isdigit(static_cast<unsigned char>(t[0])) || t[0] == '-' || t[0] == '+');
}

}  // namespace

QByteArray TraceToCsv(const Trace &trace)
{
    QByteArray out("ms");
    for (int n = 1; n <= kChannelCount; ++n)
        out += ",CH" + QByteArray::number(n);
    out += "\r\n";
    for (const TraceSample &s : trace) {
        out += QByteArray::number(s.ms);
        for (int v : s.values)
            out += ',' + QByteArray::number(v);
        out += "\r\n";
    }
    return out;
}

bool TraceFromCsv(const QByteArray &text, Trace &trace, QString *error)
{
    auto fail = [&](int line, const QString &why) {
        if (error)
            *error = QStringLiteral("line %1: %2").arg(line).arg(why);
        return false;
    };
    Trace read;
    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const int lineNo = i + 1;
        if (line.isEmpty())
            continue;
        if (i == 0 && !StartsWithNumber(line))
            continue;
        const QList<QByteArray> fields = line.split(',');
        if (fields.size() != 1 + kChannelCount)
            return fail(lineNo, QStringLiteral("%1 fields, expected the time and 24 values").arg(fields.size()));
        TraceSample sample;
        if (!ParseInt(fields[0], sample.ms) || sample.ms < 0 || sample.ms > kLongestTraceMs)
            return fail(lineNo, QStringLiteral("time '%1' is not a number of ms").arg(QString::fromUtf8(fields[0])));
        if (!read.empty() && sample.ms < read.back().ms)
            return fail(lineNo, QStringLiteral("time %1 runs backwards").arg(sample.ms));
        for (int c = 0; c < kChannelCount; ++c) {
            qint64 v = 0;
            if (!ParseInt(fields[c + 1], v) || v < 0 || v > 255)
                return fail(
                    lineNo,
                    QStringLiteral("CH%1 value '%2' is not 0 to 255").arg(c + 1).arg(QString::fromUtf8(fields[c + 1])));
            sample.values[size_t(c)] = int(v);
        }
        read.push_back(sample);
    }
    trace = std::move(read);
    return true;
}

bool SaveTrace(const QString &path, const Trace &trace, QString *error)
{
    return WriteFileAtomically(path, TraceToCsv(trace), error);
}

bool LoadTrace(const QString &path, Trace &trace, QString *error)
{
    QByteArray data;
    bool missing = false;
    if (!ReadFileBytes(path, &data, &missing, error))
        return false;
    if (missing) {
        if (error)
            *error = QStringLiteral("cannot read %1: no such file").arg(path);
        return false;
    }
    QString why;
    if (!TraceFromCsv(data, trace, &why)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    }
    return true;
}

}  // namespace orvane
