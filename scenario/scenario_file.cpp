#include "scenario/scenario_file.h"

#include "textfile/code_page.h"
#include "textfile/comma_rule.h"
#include "textfile/decimal.h"
#include "textfile/file_io.h"
#include "textfile/file_lines.h"

#include <optional>

namespace orvane {

namespace {

const QString kMotionHeader = QStringLiteral("\"MOTION_NAME\",\"COUNT\"");
const QString kScenarioHeader = QStringLiteral("\"MOTION_NUMBER\",\"FILE_NAME\"");
const QString kLineEnd = QStringLiteral("\r\n");

void AppendPair(QString &text, QStringView first, QStringView second)
{
    AppendCommaField(text, first);
    text.append(u',');
    AppendCommaField(text, second);
    text.append(kLineEnd);
}

ScenarioFileLoad Fault(ScenarioFileError error, int line)
{
    ScenarioFileLoad load;
    load.error = error;
    load.line = line;
    return load;
}

}  // namespace

QString ScenarioFileText(const QList<SlotRow> &motions, const ScenarioRows &rows)
{
    QString text;
    text.reserve(64 * (motions.size() + rows.size() + 2));
    text.append(kMotionHeader);
    text.append(kLineEnd);
    for (const SlotRow &motion : motions)
        AppendPair(text, motion.name, motion.count);
    text.append(kScenarioHeader);
    text.append(kLineEnd);
    for (qsizetype i = 0; i < rows.size(); ++i)
        AppendPair(text, rows.MotionAt(i), rows.NameAt(i));
    return text;
}

bool SaveScenarioFile(const QString &path, const QList<SlotRow> &motions, const ScenarioRows &rows, QString *error)
{
    return WriteFileAtomically(path, EncodeText(ScenarioFileText(motions, rows)), error);
}

namespace {

// The two fields of a scenario line and the number its MOTION names.
struct RowFields {
    QString motion;    // a copy: the reader's view of it ends with the next field
    QStringView name;  // valid until the line's reader goes
    int number = -1;
};

ScenarioFileError ReadRowLine(CommaLineReader &reader, RowFields *row)
{
    QStringView field;
    if (!reader.Next(&field))
        return ScenarioFileError::ShortLine;
    row->motion = field.toString();
    if (!reader.Next(&row->name))
        return ScenarioFileError::ShortLine;
    const std::optional<int> number = MotionNumberOf(row->motion);
    if (!number || *number < 0 || *number >= kMotionSlotCount)
        return ScenarioFileError::BadMotion;
    row->number = *number;
    return ScenarioFileError::None;
}

}  // namespace

namespace {

// `lines` is a TextLineReader or a FileLineReader: both give a line as a view, valid up to the next one,
// and go back to the first.
template <typename Lines>
ScenarioFileLoad ParseScenarioLines(Lines &lines)
{
    // Lines are counted up to the first scenario line before anything is looked at; a file refused
    // early costs nothing for its other lines.
    const int got = CountLines(lines, kScenarioHeaderLines + 1);
    if (got <= kScenarioHeaderLines)
        return Fault(ScenarioFileError::TooFewLines, got);
    QStringView line;

    // One field more than needed tells "exactly two" from "more"; a hostile line costs no more than that.
    lines.Next(&line);
    if (SplitCommaLine(line, 3) != QStringList{QStringLiteral("MOTION_NAME"), QStringLiteral("COUNT")})
        return Fault(ScenarioFileError::MotionHeader, 1);

    // A wrong scenario header is told before a wrong motion line.
    QList<SlotRow> motions;
    motions.reserve(kMotionSlotCount);
    std::optional<ScenarioFileLoad> motionFault;
    for (int k = 0; k < kMotionSlotCount; ++k) {
        const int lineNo = k + 2;
        lines.Next(&line);
        if (motionFault)
            continue;
        const QStringList fields = SplitCommaLine(line, 2);
        if (fields.size() < 2) {
            motionFault = Fault(ScenarioFileError::ShortLine, lineNo);
            continue;
        }
        const std::optional<int> count = ParseDecimal(fields[1]);
        if (!count || *count < 0 || *count > kMotionRowsPerSlot) {
            motionFault = Fault(ScenarioFileError::BadCount, lineNo);
            continue;
        }
        motions.append(SlotRow{QStringLiteral("M") + QString::number(k), fields[0], fields[1]});
    }
    lines.Next(&line);
    if (SplitCommaLine(line, 2) != QStringList{QStringLiteral("MOTION_NUMBER"), QStringLiteral("FILE_NAME")})
        return Fault(ScenarioFileError::ScenarioHeader, kScenarioHeaderLines);
    if (motionFault)
        return std::move(*motionFault);

    // Every scenario line is checked before any row is built: a refused file costs no rows, and a
    // passed one gets its rows in one block of the right size.
    qsizetype count = 0;
    while (lines.Next(&line)) {
        CommaLineReader reader(line);
        RowFields row;
        const ScenarioFileError error = ReadRowLine(reader, &row);
        if (error != ScenarioFileError::None)
            return Fault(error, int(kScenarioHeaderLines + 1 + count));
        ++count;
    }

    lines.Rewind();
    for (int k = 0; k < kScenarioHeaderLines; ++k)
        lines.Next(&line);
    // Each row is the number of its (MOTION, DATA NAME) pair, whose texts are kept once.
    ScenarioRows rows;
    rows.reserve(count);
    while (lines.Next(&line)) {
        CommaLineReader reader(line);
        RowFields row;
        ReadRowLine(reader, &row);
        rows.AppendPair(rows.Intern(row.motion, row.name));
    }

    ScenarioFileLoad load;
    load.motions = std::move(motions);
    load.rows = std::move(rows);
    return load;
}

}  // namespace

ScenarioFileLoad ParseScenarioText(QStringView text)
{
    TextLineReader lines(text);
    return ParseScenarioLines(lines);
}

ScenarioFileLoad LoadScenarioFile(const QString &path)
{
    QByteArray bytes;
    QString error;
    if (!ReadTextFileBytes(path, &bytes, &error)) {
        ScenarioFileLoad load = Fault(ScenarioFileError::CannotRead, 0);
        load.detail = error;
        return load;
    }
    // Decoded a block at a time: the rows are built while the file's bytes, not its whole text, are held.
    FileLineReader lines(std::move(bytes));
    return ParseScenarioLines(lines);
}

QString DescribeScenarioFileError(const ScenarioFileLoad &load)
{
    switch (load.error) {
    case ScenarioFileError::None: return QStringLiteral("no fault");
    case ScenarioFileError::CannotRead: return QStringLiteral("cannot read the file: %1").arg(load.detail);
    case ScenarioFileError::TooFewLines: return QStringLiteral("%1 lines where at least 43 are needed").arg(load.line);
    case ScenarioFileError::MotionHeader: return QStringLiteral("line 1 is not MOTION_NAME,COUNT");
    case ScenarioFileError::ScenarioHeader: return QStringLiteral("line 42 is not MOTION_NUMBER,FILE_NAME");
    case ScenarioFileError::ShortLine: return QStringLiteral("line %1 has fewer than two fields").arg(load.line);
    case ScenarioFileError::BadCount: return QStringLiteral("line %1: the count is not 0 to 100").arg(load.line);
    case ScenarioFileError::BadMotion:
        return QStringLiteral("line %1: the motion number is not 0 to 39").arg(load.line);
    }
    return {};
}

QString ScenarioStartFileName(const QDate &date) { return DatedFileName(date, QStringLiteral("SCENARIO.csv")); }

QString WithScenarioExtension(const QString &path) { return WithDefaultExtension(path, QStringLiteral(".csv")); }

}  // namespace orvane
