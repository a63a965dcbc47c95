#include "transmitter/assignment_file.h"

#include "textfile/code_page.h"
#include "textfile/comma_rule.h"
#include "textfile/decimal.h"
#include "textfile/file_io.h"
#include "textfile/file_lines.h"

namespace orvane {

namespace {

const QString kScenarioHeader = QStringLiteral("INDEX,SCENARIO,COUNT");
const QString kMotionHeader = QStringLiteral("INDEX,MOTION,COUNT");
const QString kEntryHeader = QStringLiteral("INDEX,KEY,MOTION");
constexpr int kScenarioHeaderLine = 0;  // 0-based
constexpr int kMotionHeaderLine = kScenarioHeaderLine + 1 + kScenarioSlotCount;
constexpr int kEntryHeaderLine = kMotionHeaderLine + 1 + kMotionSlotCount;
static_assert(kEntryHeaderLine + 1 + kAssignmentEntryCount == kAssignmentFileLines);

void AppendSlotLines(QString &text, const SlotList &list)
{
    for (const SlotRow &row : list.Rows()) {
        text += row.label;
        text += QLatin1Char(',');
        AppendCommaField(text, row.name);
        text += QLatin1Char(',');
        AppendCommaField(text, row.count);
        text += QLatin1String("\r\n");
    }
}

AssignmentFileLoad Fault(AssignmentFileError error, int line)
{
    AssignmentFileLoad load;
    load.error = error;
    load.line = line;
    return load;
}

std::optional<int> InRange(QStringView field, int low, int high)
{
    const std::optional<int> v = ParseDecimal(field);
    if (!v || *v < low || *v > high)
        return std::nullopt;
    return v;
}

// The lines of one slot list, each taken from `lines` in turn; the first fault found, or None.
template <typename Lines>
AssignmentFileError ReadSlotLines(Lines &lines, int first, QChar prefix, int slotCount, int countLimit,
                                  QList<SlotRow> &rows, int &faultLine)
{
    rows.reserve(slotCount);
    QStringView line;
    for (int k = 0; k < slotCount; ++k) {
        faultLine = first + k + 1;
        lines.Next(&line);
        // Three fields are all that count; a hostile long line costs no more.
        const QStringList fields = SplitCommaLine(line, 3);
        if (fields.size() < 3)
            return AssignmentFileError::ShortLine;
        if (fields[0] != prefix + QString::number(k))
            return AssignmentFileError::SlotLabel;
        if (!InRange(fields[2], 0, countLimit))
            return AssignmentFileError::Count;
        rows.append(SlotRow{fields[0], fields[1], fields[2]});
    }
    return AssignmentFileError::None;
}

}  // namespace

QString AssignmentFileText(const ControlAssignment &assignment)
{
    QString text;
    text.reserve(kAssignmentFileLines * 16);
    text += kScenarioHeader + QLatin1String("\r\n");
    AppendSlotLines(text, assignment.Scenarios());
    text += kMotionHeader + QLatin1String("\r\n");
    AppendSlotLines(text, assignment.Motions());
    text += kEntryHeader + QLatin1String("\r\n");
    for (int e = 0; e < kAssignmentEntryCount; ++e) {
        const AssignmentEntry &entry = assignment.Entry(e);
        AppendDecimal(text, e);
        text += QLatin1Char(',');
        AppendDecimal(text, entry.pattern);
        text += QLatin1Char(',');
        AppendDecimal(text, entry.target);
        text += QLatin1String("\r\n");
    }
    return text;
}

bool SaveAssignmentFile(const QString &path, const ControlAssignment &assignment, QString *error)
{
    return WriteFileAtomically(path, EncodeText(AssignmentFileText(assignment)), error);
}

std::uint8_t KeyPatternOf(QStringView field)
{
    const std::optional<int> v = ParseDecimal(field);
    return v ? std::uint8_t(unsigned(*v) & 0xFFu) : std::uint8_t(0);
}

namespace {

// `lines` is a TextLineReader or a FileLineReader: a line at a time, each valid up to the next, and back
// to the first. The file is walked three times (its line count, its headers, its rows), so that faults are
// told in that order while no line is ever copied.
template <typename Lines>
AssignmentFileLoad ParseAssignmentLines(Lines &lines)
{
    // Up to one line more than the file has: "exactly 207" is told from "more" without looking further.
    if (CountLines(lines, kAssignmentFileLines + 1) != kAssignmentFileLines)
        return Fault(AssignmentFileError::LineCount, 0);

    // Whole lines: a quoted or spaced header splits into the same words but is not the header.
    QStringView line;
    for (int n = 0; n <= kEntryHeaderLine; ++n) {
        lines.Next(&line);
        const QString *header = n == kScenarioHeaderLine ? &kScenarioHeader
                                : n == kMotionHeaderLine ? &kMotionHeader
                                : n == kEntryHeaderLine  ? &kEntryHeader
                                                         : nullptr;
        if (header && line != *header)
            return Fault(AssignmentFileError::Header, n + 1);
    }

    lines.Rewind();
    AssignmentFileLoad load;
    int faultLine = 0;
    lines.Next(&line);
    AssignmentFileError error = ReadSlotLines(lines, kScenarioHeaderLine + 1, QLatin1Char('S'), kScenarioSlotCount,
                                              kScenarioItemsPerSlot, load.scenarios, faultLine);
    if (error == AssignmentFileError::None) {
        lines.Next(&line);
        error = ReadSlotLines(lines, kMotionHeaderLine + 1, QLatin1Char('M'), kMotionSlotCount, kMotionRowsPerSlot,
                              load.motions, faultLine);
    }
    if (error != AssignmentFileError::None)
        return Fault(error, faultLine);

    lines.Next(&line);
    for (int e = 0; e < kAssignmentEntryCount; ++e) {
        const int lineNo = kEntryHeaderLine + 2 + e;
        lines.Next(&line);
        const QStringList fields = SplitCommaLine(line, 3);
        if (fields.size() < 3)
            return Fault(AssignmentFileError::ShortLine, lineNo);
        // The number is checked but not compared with the line's place: the place decides the entry.
        if (!InRange(fields[0], 0, 200))
            return Fault(AssignmentFileError::EntryNumber, lineNo);
        const std::optional<int> target = ParseDecimal(fields[2]);
        if (!target || !IsValidTarget(*target))
            return Fault(AssignmentFileError::Target, lineNo);
        load.table[size_t(e)] = AssignmentEntry{KeyPatternOf(fields[1]), std::uint8_t(*target)};
    }
    return load;
}

}  // namespace

AssignmentFileLoad ParseAssignmentText(QStringView text)
{
    TextLineReader lines(text);
    return ParseAssignmentLines(lines);
}

AssignmentFileLoad LoadAssignmentFile(const QString &path)
{
    QByteArray bytes;
    QString error;
    if (!ReadTextFileBytes(path, &bytes, &error)) {
        AssignmentFileLoad load = Fault(AssignmentFileError::CannotRead, 0);
        load.detail = error;
        return load;
    }
    // Decoded a block at a time and only up to the line past the last: the rest of a file of millions of
    // lines is never decoded.
    FileLineReader lines(std::move(bytes));
    return ParseAssignmentLines(lines);
}

bool ApplyAssignmentLoad(ControlAssignment &assignment, AssignmentFileLoad &&load)
{
    if (!load.ok())
        return false;
    assignment.Scenarios().Assign(std::move(load.scenarios));
    assignment.Motions().Assign(std::move(load.motions));
    assignment.SetTable(load.table);
    return true;
}

QString DescribeAssignmentFileError(const AssignmentFileLoad &load)
{
    const QString where = QStringLiteral("line %1: ").arg(load.line);
    switch (load.error) {
    case AssignmentFileError::None: return QStringLiteral("no fault");
    case AssignmentFileError::CannotRead: return QStringLiteral("cannot read the file: %1").arg(load.detail);
    case AssignmentFileError::LineCount: return QStringLiteral("the file has not exactly 207 lines");
    case AssignmentFileError::Header: return where + QStringLiteral("not the header line");
    case AssignmentFileError::ShortLine: return where + QStringLiteral("fewer than three fields");
    case AssignmentFileError::SlotLabel: return where + QStringLiteral("wrong slot label");
    case AssignmentFileError::Count: return where + QStringLiteral("COUNT out of range or no number");
    case AssignmentFileError::EntryNumber: return where + QStringLiteral("entry number not 0 to 200");
    case AssignmentFileError::Target: return where + QStringLiteral("invalid target");
    }
    return {};
}

}  // namespace orvane
