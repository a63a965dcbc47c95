#include "scenario/scenario_file.h"

#include "textfile/code_page.h"
#include "textfile/comma_rule.h"
#include "textfile/decimal.h"
#include "textfile/file_io.h"

#include <array>

namespace orvane {

namespace {

const QString kMotionHeader = QStringLiteral("\"MOTION_NAME\",\"COUNT\"");
const QString kScenarioHeader = QStringLiteral("\"MOTION_NUMBER\",\"FILE_NAME\"");
const QString kLineEnd = QStringLiteral("\r\n");

void AppendPair(QString &text, const QString &first, const QString &second)
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

QString ScenarioFileText(const QList<SlotRow> &motions, const QList<ScenarioRow> &rows)
{
    QString text;
    text.reserve(64 * (motions.size() + rows.size() + 2));
    text.append(kMotionHeader);
    text.append(kLineEnd);
    for (const SlotRow &motion : motions)
        AppendPair(text, motion.name, motion.count);
    text.append(kScenarioHeader);
    text.append(kLineEnd);
    for (const ScenarioRow &row : rows)
        AppendPair(text, row.motion, row.name);
    return text;
}

bool SaveScenarioFile(const QString &path, const QList<SlotRow> &motions, const QList<ScenarioRow> &rows,
                      QString *error)
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

ScenarioFileLoad ParseScenarioText(QStringView text)
{
    // The headers, the 40 motion lines and the first scenario line; the rest is taken line by line,
    // so a file refused early costs nothing for its other lines.
    TextLineReader lines(text);
    std::array<QStringView, kScenarioHeaderLines + 1> head;
    int got = 0;
    while (got < int(head.size()) && lines.Next(&head[size_t(got)]))
        ++got;
    if (got < int(head.size()))
        return Fault(ScenarioFileError::TooFewLines, got);

    // One field more than needed tells "exactly two" from "more"; a hostile line costs no more than that.
    const QStringList motionHeader = SplitCommaLine(head[0], 3);
    if (motionHeader != QStringList{QStringLiteral("MOTION_NAME"), QStringLiteral("COUNT")})
        return Fault(ScenarioFileError::MotionHeader, 1);
    const QStringList scenarioHeader = SplitCommaLine(head[kScenarioHeaderLines - 1], 2);
    if (scenarioHeader != QStringList{QStringLiteral("MOTION_NUMBER"), QStringLiteral("FILE_NAME")})
        return Fault(ScenarioFileError::ScenarioHeader, kScenarioHeaderLines);

    QList<SlotRow> motions;
    motions.reserve(kMotionSlotCount);
    for (int k = 0; k < kMotionSlotCount; ++k) {
        const int lineNo = k + 2;
        const QStringList fields = SplitCommaLine(head[size_t(k + 1)], 2);
        if (fields.size() < 2)
            return Fault(ScenarioFileError::ShortLine, lineNo);
        const std::optional<int> count = ParseDecimal(fields[1]);
        if (!count || *count < 0 || *count > kMotionRowsPerSlot)
            return Fault(ScenarioFileError::BadCount, lineNo);
        motions.append(SlotRow{QStringLiteral("M") + QString::number(k), fields[0], fields[1]});
    }

    // Every scenario line is checked before any row is built: a refused file costs no rows, and a
    // passed one gets its rows in one block of the right size.
    const TextLineReader rowLines = lines;
    QStringView line = head[kScenarioHeaderLines];
    qsizetype count = 0;
    do {
        CommaLineReader reader(line);
        RowFields row;
        const ScenarioFileError error = ReadRowLine(reader, &row);
        if (error != ScenarioFileError::None)
            return Fault(error, int(kScenarioHeaderLines + 1 + count));
        ++count;
    } while (lines.Next(&line));

    // Texts the rows share with the motion list (the usual "M7" and the slot's name) take no memory of
    // their own, whatever the row count.
    QList<ScenarioRow> rows;
    rows.reserve(count);
    lines = rowLines;
    line = head[kScenarioHeaderLines];
    do {
        CommaLineReader reader(line);
        RowFields row;
        ReadRowLine(reader, &row);
        const SlotRow &slot = motions[row.number];
        ScenarioRow made;
        made.motion = row.motion == slot.label ? slot.label : std::move(row.motion);
        made.name = row.name == slot.name ? slot.name : row.name.toString();
        rows.append(std::move(made));
    } while (lines.Next(&line));

    ScenarioFileLoad load;
    load.motions = std::move(motions);
    load.rows = std::move(rows);
    return load;
}

ScenarioFileLoad LoadScenarioFile(const QString &path)
{
    QString text;
    QString error;
    if (!ReadTextFile(path, &text, &error)) {
        ScenarioFileLoad load = Fault(ScenarioFileError::CannotRead, 0);
        load.detail = error;
        return load;
    }
    return ParseScenarioText(text);
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
