#include "motion/motion_file.h"

#include "textfile/code_page.h"
#include "textfile/comma_rule.h"
#include "textfile/file_io.h"
#include "textfile/file_lines.h"

#include <algorithm>

namespace orvane {

int MotionFileBase(int home) { return IsPosition(home) ? home : 90; }

QString MotionFileText(const QStringList &captions, const MotionRows &rows, const HomePositions &home)
{
    static const QString kLineEnd = QStringLiteral("\r\n");
    QString text;
    text.reserve((rows.Size() + 1) * 128);

    QStringList header = captions.mid(0, kMotionFieldCount);
    while (header.size() < kMotionFieldCount)
        header.append(QString());
    text.append(JoinCommaLine(header));
    text.append(kLineEnd);

    for (qsizetype r = 0; r < rows.Size(); ++r) {
        for (int c = 0; c < kMotionFieldCount; ++c) {
            if (c > 0)
                text.append(u',');
            const QStringView field = rows.FieldView(r, c);
            if (c < kFirstChannelColumn) {
                AppendCommaField(text, field);
                continue;
            }
            // Positions become relative; codes and texts that are no position
            // are kept as they stand so that nothing is lost on the way out.
            const std::optional<int> v = ParseDecimal(field);
            if (v && IsPosition(*v))
                AppendDecimal(text, *v - MotionFileBase(home[size_t(c - kFirstChannelColumn)]));
            else
                AppendCommaField(text, field);
        }
        text.append(kLineEnd);
    }
    return text;
}

bool SaveMotionFile(const QString &path, const QStringList &captions, const MotionRows &rows, const HomePositions &home,
                    QString *error)
{
    return WriteFileAtomically(path, EncodeText(MotionFileText(captions, rows, home)), error);
}

namespace {

MotionFileLoad Fault(MotionFileError error, int line, int field)
{
    MotionFileLoad load;
    load.error = error;
    load.line = line;
    load.field = field;
    return load;
}

}  // namespace

namespace {

// Checks one data line and, with `row` given, builds it. Returns the fault; `field` is the 1-based
// field it concerns.
MotionFileError ReadDataLine(QStringView line, const HomePositions &home, MotionRows::RowText *row, int *field)
{
    CommaLineReader reader(line);
    QStringView text;
    for (int c = 0; c < kMotionFieldCount; ++c) {
        *field = c + 1;
        if (!reader.Next(&text))
            return MotionFileError::ShortLine;
        if (c < kSpeedColumn) {
            if (row)
                row->Add(text);
            continue;
        }
        const std::optional<int> v = ParseDecimal(text);
        if (c == kSpeedColumn) {
            if (!v || *v < 0 || *v > 7)
                return MotionFileError::BadSpeed;
            if (row)
                row->Add(text);  // "07" stays "07"
        } else if (v && *v >= -kPositionMax && *v <= kPositionMax) {
            if (row)
                row->AddNumber(
                    std::clamp(*v + MotionFileBase(home[size_t(c - kFirstChannelColumn)]), kPositionMin, kPositionMax));
        } else if (v && IsModeCode(*v)) {
            if (row)
                row->AddNumber(*v);
        } else {
            return MotionFileError::BadChannelValue;
        }
    }
    return MotionFileError::None;
}

}  // namespace

namespace {

// `lines` is a TextLineReader or a FileLineReader: both give a line as a view and go back to the first.
template <typename Lines>
MotionFileLoad ParseMotionLines(Lines &lines, const HomePositions &home)
{
    QStringView line;
    if (!lines.Next(&line))
        return Fault(MotionFileError::Empty, 0, 0);

    // One field more than needed tells "exactly 27" from "more".
    QStringList header = SplitCommaLine(line, kMotionFieldCount + 1);
    if (header.size() != kMotionFieldCount) {
        MotionFileLoad load = Fault(MotionFileError::HeaderFieldCount, 1, 0);
        load.field = int(header.size());
        return load;
    }

    MotionFileLoad load;
    load.header = std::move(header);
    // Every line is checked before any row is built: a refused file costs no rows, and a passed
    // one gets its rows in one block of the right size.
    qsizetype count = 0;
    for (int lineNo = 2; lines.Next(&line); ++lineNo, ++count) {
        int field = 0;
        const MotionFileError error = ReadDataLine(line, home, nullptr, &field);
        if (error != MotionFileError::None) {
            load.error = error;
            load.line = lineNo;
            load.field = field;
            return load;
        }
    }

    lines.Rewind();
    lines.Next(&line);  // the header
    load.rows.Reserve(count);
    MotionRows::RowText row;
    while (lines.Next(&line)) {
        int field = 0;
        // A channel text grows by two characters at most ("0" -> "180").
        row.Reserve(line.size() + 2 * kChannelCount);
        ReadDataLine(line, home, &row, &field);
        load.rows.Append(std::move(row));
    }
    return load;
}

}  // namespace

MotionFileLoad ParseMotionText(QStringView text, const HomePositions &home)
{
    TextLineReader lines(text);
    return ParseMotionLines(lines, home);
}

MotionFileLoad LoadMotionFile(const QString &path, const HomePositions &home)
{
    QByteArray bytes;
    QString error;
    if (!ReadTextFileBytes(path, &bytes, &error)) {
        MotionFileLoad load = Fault(MotionFileError::CannotRead, 0, 0);
        load.detail = error;
        return load;
    }
    // Decoded a block at a time: the rows are built while the file's bytes, not its whole text, are held.
    FileLineReader lines(std::move(bytes));
    return ParseMotionLines(lines, home);
}

QString DescribeMotionFileError(const MotionFileLoad &load)
{
    switch (load.error) {
    case MotionFileError::None: return QStringLiteral("no fault");
    case MotionFileError::CannotRead: return QStringLiteral("cannot read the file: %1").arg(load.detail);
    case MotionFileError::Empty: return QStringLiteral("the file holds no lines");
    case MotionFileError::HeaderFieldCount:
        return QStringLiteral("line 1: the header has %1%2 fields instead of 27")
            .arg(load.field)
            .arg(load.field > kMotionFieldCount ? QStringLiteral(" or more") : QString());
    case MotionFileError::ShortLine:
        return QStringLiteral("line %1: field %2 is missing").arg(load.line).arg(load.field);
    case MotionFileError::BadSpeed:
        return QStringLiteral("line %1, field %2: the speed is not 0 to 7").arg(load.line).arg(load.field);
    case MotionFileError::BadChannelValue:
        return QStringLiteral("line %1, field %2: the channel value is neither -180 to 180 nor 221 to 227")
            .arg(load.line)
            .arg(load.field);
    }
    return {};
}

bool ChannelNamesDiffer(const QStringList &header, const QStringList &channelNames)
{
    for (int n = 0; n < kChannelCount; ++n) {
        if (header.value(kFirstChannelColumn + n) != channelNames.value(n))
            return true;
    }
    return false;
}

QStringList CaptionsAfterLoad(const QStringList &header, const QStringList &channelNames, bool renewLabels)
{
    if (renewLabels)
        return header.mid(0, kMotionFieldCount);
    QStringList captions = header.mid(0, kFirstChannelColumn);
    for (int n = 0; n < kChannelCount; ++n)
        captions.append(channelNames.value(n));
    return captions;
}

bool ApplyMotionLoad(MotionData &data, MotionFileLoad &&load, const QStringList &captions)
{
    if (!load.ok())
        return false;
    data.ReplaceAll(captions, std::move(load.rows));
    return true;
}

QString MotionStartFileName(const QDate &date) { return DatedFileName(date, QStringLiteral("MOTION.csv")); }

QString WithMotionExtension(const QString &path) { return WithDefaultExtension(path, QStringLiteral(".csv")); }

}  // namespace orvane
