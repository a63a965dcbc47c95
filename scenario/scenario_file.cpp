#include "scenario/scenario_file.h"

#include "textfile/code_page.h"
#include "textfile/comma_rule.h"
#include "textfile/decimal.h"
#include "textfile/file_io.h"

namespace orvane {

namespace {

constexpr int kMaxCount = 100;
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

ScenarioFileLoad ParseScenarioText(QStringView text)
{
    const std::vector<QStringView> lines = SplitTextLines(text);
    if (lines.size() < size_t(kScenarioHeaderLines + 1))
        return Fault(ScenarioFileError::TooFewLines, int(lines.size()));

    // One field more than needed tells "exactly two" from "more"; a hostile line costs no more than that.
    const QStringList motionHeader = SplitCommaLine(lines[0], 3);
    if (motionHeader != QStringList{QStringLiteral("MOTION_NAME"), QStringLiteral("COUNT")})
        return Fault(ScenarioFileError::MotionHeader, 1);
    const QStringList scenarioHeader = SplitCommaLine(lines[kScenarioHeaderLines - 1], 2);
    if (scenarioHeader != QStringList{QStringLiteral("MOTION_NUMBER"), QStringLiteral("FILE_NAME")})
        return Fault(ScenarioFileError::ScenarioHeader, kScenarioHeaderLines);

    QList<SlotRow> motions;
    motions.reserve(kMotionSlotCount);
    for (int k = 0; k < kMotionSlotCount; ++k) {
        const int lineNo = k + 2;
        const QStringList fields = SplitCommaLine(lines[size_t(k + 1)], 2);
        if (fields.size() < 2)
            return Fault(ScenarioFileError::ShortLine, lineNo);
        const std::optional<int> count = ParseDecimal(fields[1]);
        if (!count || *count < 0 || *count > kMaxCount)
            return Fault(ScenarioFileError::BadCount, lineNo);
        motions.append(SlotRow{QStringLiteral("M") + QString::number(k), fields[0], fields[1]});
    }

    QList<ScenarioRow> rows;
    rows.reserve(qsizetype(lines.size()) - kScenarioHeaderLines);
    for (size_t i = kScenarioHeaderLines; i < lines.size(); ++i) {
        const int lineNo = int(i) + 1;
        const QStringList fields = SplitCommaLine(lines[i], 2);
        if (fields.size() < 2)
            return Fault(ScenarioFileError::ShortLine, lineNo);
        const std::optional<int> number = MotionNumberOf(fields[0]);
        if (!number || *number < 0 || *number >= kMotionSlotCount)
            return Fault(ScenarioFileError::BadMotion, lineNo);
        rows.append(ScenarioRow{fields[0], fields[1]});
    }

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
